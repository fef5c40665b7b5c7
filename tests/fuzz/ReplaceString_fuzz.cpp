// Input: search text, replacement text and text, separated by 0x01 bytes.
#include "ZStrFuncs.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// Every replacement searched for again from the very beginning. It ends when
// the replacement is no longer than the search text.
std::string ReplaceFromTheStart(std::string text, const std::string& search,
                                const std::string& replacement)
{
    for (auto at = text.find(search); at != std::string::npos; at = text.find(search)) {
        text.erase(at, search.size());
        text.insert(at, replacement);
    }
    return text;
}

// Every occurrence of the original text replaced once, left to right.
std::string ReplaceOnce(const std::string& text, const std::string& search,
                        const std::string& replacement)
{
    std::string result;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, search.size(), search) == 0) {
            result += replacement;
            i += search.size();
        } else {
            result += text[i++];
        }
    }
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::string parts[3];
    for (auto& part : parts) {
        const auto at = rest.find('\x01');
        part = rest.substr(0, at);
        rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + 1);
    }
    const std::string& search = parts[0];
    const std::string& replacement = parts[1];
    const std::string& text = parts[2];

    const std::string result = ReplaceString(text, search, replacement);
    if (search.empty() || search == replacement) {
        if (result != text)
            std::abort();
    } else if (replacement.size() > search.size()) {
        // A search from the start might find what the replacements form for ever.
        if (result != ReplaceOnce(text, search, replacement))
            std::abort();
    } else if (result != ReplaceFromTheStart(text, search, replacement)
               || result.find(search) != std::string::npos) {
        std::abort();
    }
    return 0;
}
