#include "InfFile.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>
#include <unordered_set>

#include "TargetAccess.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// A script saved as UTF-16 (little-endian, with its byte order mark) as
// single bytes: the text that matters to us (names, dirids) is ASCII.
std::string NarrowText(std::string_view text)
{
    if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF &&
        static_cast<unsigned char>(text[1]) == 0xFE) {
        std::string narrow;
        narrow.reserve(text.size() / 2);
        for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
            const unsigned unit = static_cast<unsigned char>(text[i]) |
                                  (static_cast<unsigned>(static_cast<unsigned char>(text[i + 1])) << 8);
            narrow += unit < 256 ? static_cast<char>(unit) : '?';
        }
        return narrow;
    }
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    // An old editor's end-of-file mark ends the text.
    return std::string(text.substr(0, text.find('\x1A')));
}

// One field of a line as it is read: blanks outside quotes at either end
// are dropped, blanks inside are kept, quotes removed.
class TFieldBuilder {
public:
    void Add(char c, bool quoted)
    {
        if (!quoted && IsBlank(c) && !FStarted)
            return;
        FText += c;
        if (quoted || !IsBlank(c)) {
            FStarted = true;
            FSignificant = FText.size();
        }
    }
    void Quote()
    {
        FStarted = true;
        FSignificant = FText.size();
    }
    std::string Take()
    {
        FText.resize(FSignificant);
        std::string field = std::move(FText);
        FText.clear();
        FStarted = false;
        FSignificant = 0;
        return field;
    }

private:
    std::string FText;
    std::size_t FSignificant = 0;
    bool FStarted = false;
};

// The physical line without its comment; Continued tells that it ended in a
// backslash outside quotes (which is dropped).
std::string_view StripComment(std::string_view line, bool& continued)
{
    bool quoted = false;
    std::size_t end = line.size();
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ';' && !quoted) {
            end = i;
            break;
        }
    }
    line = line.substr(0, end);
    while (!line.empty() && IsBlank(line.back()))
        line.remove_suffix(1);
    continued = !quoted && !line.empty() && line.back() == '\\';
    if (continued)
        line.remove_suffix(1);
    return line;
}

TInfLine SplitLine(std::string_view text)
{
    TInfLine line;
    TFieldBuilder field;
    bool quoted = false, keyTaken = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                field.Add('"', true);
                ++i;
            } else {
                quoted = !quoted;
                field.Quote();
            }
        } else if (!quoted && c == '=' && !keyTaken) {
            line.Key = field.Take();
            keyTaken = true;
        } else if (!quoted && c == ',') {
            line.Fields.push_back(field.Take());
        } else {
            field.Add(c, quoted);
        }
    }
    line.Fields.push_back(field.Take());
    return line;
}

// Lines of a section by their lower-case key, the first of each key; read
// once, so that a script of many lines is not searched line by line for
// each substitution or list.
using TKeyIndex = std::unordered_map<std::string, const std::vector<std::string>*>;

TKeyIndex IndexKeys(const std::vector<TInfLine>* lines)
{
    TKeyIndex index;
    if (lines)
        for (const TInfLine& line : *lines)
            if (!line.Key.empty())
                index.try_emplace(AsciiLower(line.Key), &line.Fields);
    return index;
}

const std::vector<std::string>* Lookup(const TKeyIndex& index, const std::string& lowerKey)
{
    const auto found = index.find(lowerKey);
    return found == index.end() ? nullptr : found->second;
}

// %name% replaced by the [Strings] value, %% by one percent sign; a name
// without a value stays as it stands.
std::string SubstituteStrings(const std::string& text, const TKeyIndex& strings)
{
    if (text.find('%') == std::string::npos)
        return text;
    std::string result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('%', pos);
        const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            result.append(text, pos, std::string::npos);
            break;
        }
        result.append(text, pos, open - pos);
        const std::string name = AsciiLower(std::string_view(text).substr(open + 1, close - open - 1));
        const std::vector<std::string>* value = Lookup(strings, name);
        if (name.empty())
            result += '%';
        else if (value && !value->empty())
            result += value->front();
        else
            result.append(text, open, close - open + 1);
        pos = close + 1;
    }
    return result;
}

std::optional<int> ParseDirid(const std::string& text)
{
    int value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value == 65535 ? -1 : value;
}

// A subdirectory of a destination: parts separated by "\", each a plain
// name (none leads above the dirid's directory); empty for none.
bool IsPlainSubdirectory(std::string_view subdir)
{
    while (!subdir.empty()) {
        const std::size_t end = std::min(subdir.find('\\'), subdir.size());
        if (!IsPlainFileName(subdir.substr(0, end)) || end + 1 == subdir.size())
            return false;
        subdir.remove_prefix(std::min(end + 1, subdir.size()));
    }
    return true;
}

// A [DestinationDirs] entry: its dirid and subdirectory; nothing when it
// cannot be read.
std::optional<TInfPlacement> DestinationOf(const std::vector<std::string>& fields)
{
    if (fields.empty())
        return std::nullopt;
    const std::optional<int> dirid = ParseDirid(fields[0]);
    if (!dirid)
        return std::nullopt;
    TInfPlacement place;
    place.Dirid = *dirid;
    if (fields.size() > 1)
        place.Subdir = fields[1];
    if (!IsPlainSubdirectory(place.Subdir))
        return std::nullopt;
    return place;
}

}  // namespace

std::string AsciiLower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

TInfFile::TInfFile(std::string_view text)
{
    const std::string narrow = NarrowText(text);
    if (narrow.find('\0') != std::string::npos)
        FDamaged = true;
    ReadLines(narrow);
    Substitute();
}

void TInfFile::ReadLines(std::string_view text)
{
    std::vector<TInfLine>* section = nullptr;
    std::string logical;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        bool continued = false;
        logical += StripComment(text.substr(pos, end - pos), continued);
        pos = end + 1;
        if (continued && pos <= text.size())
            continue;
        std::string_view line = logical;
        while (!line.empty() && IsBlank(line.front()))
            line.remove_prefix(1);
        if (line.starts_with('[')) {
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos) {
                FDamaged = true;
                section = nullptr;
            } else {
                TFieldBuilder name;
                for (char c : line.substr(1, close - 1))
                    name.Add(c, false);
                section = &FSections[AsciiLower(name.Take())];
            }
        } else if (section && !line.empty()) {
            section->push_back(SplitLine(line));
        }
        logical.clear();
    }
}

void TInfFile::Substitute()
{
    const std::vector<TInfLine>* const stringLines = Section("Strings");
    const TKeyIndex strings = IndexKeys(stringLines);
    for (auto& [name, lines] : FSections) {
        if (&lines == stringLines)
            continue;
        for (TInfLine& line : lines) {
            line.Key = SubstituteStrings(line.Key, strings);
            for (std::string& field : line.Fields)
                field = SubstituteStrings(field, strings);
        }
    }
}

const std::vector<TInfLine>* TInfFile::Section(std::string_view name) const
{
    const auto found = FSections.find(AsciiLower(name));
    return found == FSections.end() ? nullptr : &found->second;
}

const std::vector<std::string>* TInfFile::Value(std::string_view section,
                                                std::string_view key) const
{
    const std::vector<TInfLine>* lines = Section(section);
    if (!lines)
        return nullptr;
    const std::string lowerKey = AsciiLower(key);
    for (const TInfLine& line : *lines)
        if (AsciiLower(line.Key) == lowerKey)
            return &line.Fields;
    return nullptr;
}

std::map<std::string, TInfPlacement> CopyFilePlacements(const TInfFile& inf)
{
    std::map<std::string, TInfPlacement> placements;
    const std::vector<TInfLine>* install = inf.Section("DefaultInstall");
    if (!install)
        return placements;
    const TKeyIndex destinations = IndexKeys(inf.Section("DestinationDirs"));
    // A list's own entry decides; one that cannot be read places nothing.
    auto destinationOf = [&](const std::string& list, const std::optional<TInfPlacement>& otherwise) {
        const std::vector<std::string>* fields = Lookup(destinations, AsciiLower(list));
        return fields ? DestinationOf(*fields) : otherwise;
    };
    const std::optional<TInfPlacement> defaultDir = destinationOf("DefaultDestDir", std::nullopt);
    auto place = [&](const std::string& installed, const std::string& source,
                     const std::optional<TInfPlacement>& dir) {
        if (!dir || !IsPlainFileName(installed))
            return;
        TInfPlacement placement = *dir;
        placement.InstalledName = installed;
        placements.emplace(AsciiLower(source.empty() ? installed : source), placement);
    };
    // A list named again places nothing new (each file keeps its first place).
    std::unordered_set<std::string> listsDone;
    for (const TInfLine& line : *install) {
        if (AsciiLower(line.Key) != "copyfiles")
            continue;
        for (const std::string& entry : line.Fields) {
            if (entry.starts_with('@')) {
                place(entry.substr(1), {}, defaultDir);
                continue;
            }
            const std::vector<TInfLine>* list = inf.Section(entry);
            if (entry.empty() || !list || !listsDone.insert(AsciiLower(entry)).second)
                continue;
            const std::optional<TInfPlacement> dir = destinationOf(entry, defaultDir);
            for (const TInfLine& file : *list)
                if (file.Key.empty() && !file.Fields.empty())
                    place(file.Fields[0], file.Fields.size() > 1 ? file.Fields[1] : "", dir);
        }
    }
    return placements;
}

std::optional<std::string> DiridSubdirectory(int dirid)
{
    switch (dirid) {
    case 10: return std::string();                         // the Windows directory
    case 11: return std::string("system32");
    case 12: return std::string("system32\\drivers");
    case 17: return std::string("inf");
    case 18: return std::string("help");
    case 20: return std::string("fonts");
    case 21: return std::string("system32\\viewers");
    case 23: return std::string("system32\\spool\\drivers\\color");
    case 25: return std::string();                         // the shared directory
    case 50: return std::string("system");
    case 51: return std::string("system32\\spool");
    case 52: return std::string("system32\\spool\\drivers\\w32x86");
    case 55: return std::string("system32\\spool\\prtprocs\\w32x86");
    default: return std::nullopt;
    }
}
