// Input: the text of a setup script.
#include "InfFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string Quoted(const std::string& text, bool escapePercent)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        if (c == '%' && escapePercent)
            quoted += '%';
        quoted += c;
    }
    return quoted + "\"";
}

// The sections written out again with every key and field quoted: a
// second reading must give the same sections.
std::string Rewritten(const TInfFile& inf)
{
    std::string text;
    for (const auto& [name, lines] : inf.Sections()) {
        text += "[" + name + "] ; a comment\r\n";
        const bool escape = name != "strings";
        for (const TInfLine& line : lines) {
            if (!line.Key.empty())
                text += Quoted(line.Key, escape) + " = ";
            for (std::size_t i = 0; i < line.Fields.size(); ++i)
                text += (i > 0 ? ", \\\n  " : "") + Quoted(line.Fields[i], escape);
            text += "\n";
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const TInfFile inf(text);
    const bool utf16 = text.starts_with("\xFF\xFE");

    for (const auto& [name, lines] : inf.Sections()) {
        if (AsciiLower(name) != name || inf.Section(name) != &lines)
            std::abort();
        for (const TInfLine& line : lines) {
            if (line.Key.find('\n') != std::string::npos)
                std::abort();
            for (const std::string& field : line.Fields)
                // Without quotes, separators and comments never reach a field.
                if (field.find('\n') != std::string::npos ||
                    (text.find_first_of("\"%") == std::string::npos && !utf16 &&
                     field.find_first_of(",;") != std::string::npos))
                    std::abort();
        }
    }
    for (const auto& [source, place] : CopyFilePlacements(inf))
        if (AsciiLower(source) != source || place.InstalledName.empty())
            std::abort();

    if (!utf16 && !inf.Damaged()) {
        const TInfFile again(Rewritten(inf));
        if (again.Damaged() || again.Sections().size() != inf.Sections().size())
            std::abort();
        for (const auto& [name, lines] : inf.Sections()) {
            const std::vector<TInfLine>* other = again.Section(name);
            if (!other || other->size() != lines.size())
                std::abort();
            for (std::size_t i = 0; i < lines.size(); ++i)
                if ((*other)[i].Key != lines[i].Key || (*other)[i].Fields != lines[i].Fields)
                    std::abort();
        }
    }
    return 0;
}
