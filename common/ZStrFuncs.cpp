#include "ZStrFuncs.h"

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
    if (replacement.find(search) != std::string::npos) {
        // Searching again from the start would find the replacement itself
        // for ever: replace in one pass, continuing after each replacement.
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

std::string AddBackslash(const std::string& text)
{
    const std::string head = CutAtNul(text);
    if (head.empty() || head.back() == '\\')
        return text;
    return text + '\\';
}
