// Input: a file name in code page 932 (Japanese), whose trail bytes include
// "\", "." and letters. The name's parts and its lower-case form must keep
// every double-byte character whole.
#include "ZStrFuncs.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool ShiftJisLead(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Whether each byte of the text begins a single-byte character.
std::vector<bool> SingleByteStarts(const std::string& text)
{
    std::vector<bool> single(text.size(), false);
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (ShiftJisLead(static_cast<unsigned char>(text[at])) && at + 1 < text.size())
            ++at;
        else
            single[at] = true;
    }
    return single;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string name(reinterpret_cast<const char*>(data), size);
    const std::vector<bool> single = SingleByteStarts(name);
    auto isSeparatorAt = [&](std::size_t at) {
        return single[at] && name[at] != '\0' && std::strchr("\\/:", name[at]);
    };

    // The directory part ends just after the last separator character.
    const std::string path = ExtractFilePath(name, ShiftJisLead);
    Check(name.compare(0, path.size(), path) == 0);
    for (std::size_t at = path.size(); at < name.size(); ++at)
        Check(!isSeparatorAt(at));
    Check(path.empty() || isSeparatorAt(path.size() - 1));

    // The extension is a suffix from a dot character with no separator after it.
    const std::string extension = ExtractFileExt(name, ShiftJisLead);
    if (!extension.empty()) {
        const std::size_t dot = name.size() - extension.size();
        Check(name.compare(dot, std::string::npos, extension) == 0);
        Check(single[dot] && name[dot] == '.' && dot >= path.size());
        for (std::size_t at = dot + 1; at < name.size(); ++at)
            Check(!(single[at] && name[at] == '.'));
    }

    // Only single-byte capitals change, each to its small letter.
    const std::string lower = LowerCaseAnsi(name, ShiftJisLead);
    Check(lower.size() == name.size());
    for (std::size_t at = 0; at < name.size(); ++at) {
        const bool capital = single[at] && name[at] >= 'A' && name[at] <= 'Z';
        Check(lower[at] == (capital ? static_cast<char>(name[at] + 32) : name[at]));
    }

    // A backslash is added unless the text before a NUL ends with one.
    const std::string head = name.substr(0, name.find('\0'));
    const bool endsWithBackslash =
        !head.empty() && single[head.size() - 1] && head.back() == '\\';
    const std::string added = AddBackslash(name, ShiftJisLead);
    Check(added == (head.empty() || endsWithBackslash ? name : name + '\\'));
    return 0;
}
