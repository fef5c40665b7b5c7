#include "ZStrFuncs.h"

#include <cstring>

std::string RemoveLastChar(const std::string& text)
{
    return text.empty() ? text : text.substr(0, text.size() - 1);
}

std::string ReplaceString(const std::string& text, const std::string& search,
                          const std::string& replacement)
{
    if (search.empty() || search == replacement)
        return text;
    std::string result;
    if (replacement.size() > search.size()) {
        // Searching again from the start may never end when the text grows:
        // the replacement can hold the search text, or form it anew with the
        // text around it ("ab" by "bbaa" in "aab"). Replace in one pass,
        // continuing after each replacement.
        result.reserve(text.size());
        std::size_t from = 0;
        for (auto at = text.find(search); at != std::string::npos; at = text.find(search, from)) {
            result.append(text, from, at - from);
            result += replacement;
            from = at + search.size();
        }
        result.append(text, from, std::string::npos);
        return result;
    }
    // Every replacement may join with the text before it into a new first
    // occurrence; none can start more than one search length before it, so
    // the search goes on from there instead of from the very beginning.
    result = text;
    for (auto at = result.find(search); at != std::string::npos;) {
        result.replace(at, search.size(), replacement);
        at = result.find(search, at >= search.size() - 1 ? at - (search.size() - 1) : 0);
    }
    return result;
}

std::string PadRight(const std::string& text, std::size_t width)
{
    if (text.size() >= width)
        return text;
    return text + std::string(width - text.size(), ' ');
}

std::string CutAtNul(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

namespace {

// Calls Visit with the position of every character in turn, and whether it
// is a two-byte one.
template <typename Visit>
void ForEachChar(const std::string& text, TLeadBytePredicate isLeadByte, Visit visit)
{
    for (std::size_t at = 0; at < text.size();) {
        const bool pair = isLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size();
        visit(at, pair);
        at += pair ? 2 : 1;
    }
}

}  // namespace

std::size_t FindLastChar(const std::string& text, const char* characters,
                         TLeadBytePredicate isLeadByte)
{
    std::size_t found = std::string::npos;
    ForEachChar(text, isLeadByte, [&](std::size_t at, bool pair) {
        if (!pair && text[at] != '\0' && std::strchr(characters, text[at]))
            found = at;
    });
    return found;
}

std::string AddBackslash(const std::string& text, TLeadBytePredicate isLeadByte)
{
    const std::string head = CutAtNul(text);
    if (head.empty())
        return text;
    const std::size_t last = FindLastChar(head, "\\", isLeadByte);
    if (last != std::string::npos && last + 1 == head.size())
        return text;
    return text + '\\';
}

std::string ExtractFilePath(const std::string& fileName, TLeadBytePredicate isLeadByte)
{
    const std::size_t end = FindLastChar(fileName, "\\/:", isLeadByte);
    return end == std::string::npos ? std::string() : fileName.substr(0, end + 1);
}

std::string ExtractFileExt(const std::string& fileName, TLeadBytePredicate isLeadByte)
{
    const std::size_t dot = FindLastChar(fileName, ".\\/:", isLeadByte);
    if (dot == std::string::npos || fileName[dot] != '.')
        return {};
    return fileName.substr(dot);
}

std::string LowerCaseAnsi(const std::string& text, TLeadBytePredicate isLeadByte)
{
    std::string result = text;
    ForEachChar(text, isLeadByte, [&](std::size_t at, bool pair) {
        if (!pair && result[at] >= 'A' && result[at] <= 'Z')
            result[at] = static_cast<char>(result[at] - 'A' + 'a');
    });
    return result;
}
