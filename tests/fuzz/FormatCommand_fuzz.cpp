// Input: the template, then up to three arguments, each after a byte 0x01.
#include "CommandFormat.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string Escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '%')
            out += '%';
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    auto at = rest.find('\x01');
    const std::string_view pattern = rest.substr(0, at);
    std::vector<std::string> args;
    while (at != std::string_view::npos && args.size() < 3) {
        rest = rest.substr(at + 1);
        at = rest.find('\x01');
        args.emplace_back(rest.substr(0, at));
    }

    const auto result = TryFormatCommand(pattern, args);

    // The raising form agrees with the other.
    try {
        const std::string text = FormatCommand(pattern, args);
        Check(result && text == *result);
    } catch (const EFormatError&) {
        Check(!result);
    }

    // Any text with its percent signs doubled comes out as itself.
    Check(TryFormatCommand(Escaped(pattern), args) == std::string(pattern));

    // Literal text in front changes nothing after it.
    Check(TryFormatCommand("<<" + std::string(pattern), args) ==
          (result ? std::optional<std::string>("<<" + *result) : std::nullopt));

    if (result) {
        // A further argument is never needed: the result stays as it is.
        std::vector<std::string> more = args;
        more.emplace_back("extra");
        Check(TryFormatCommand(pattern, more) == result);

        // Each conversion gives at most a field of the largest allowed width
        // or an argument, so the result stays within those bounds.
        std::size_t longest = 0;
        for (const auto& arg : args)
            longest = std::max(longest, arg.size());
        const auto percents = static_cast<std::size_t>(std::count(pattern.begin(), pattern.end(), '%'));
        Check(result->size() <=
              pattern.size() + percents * std::max<std::size_t>(kMaxCommandFieldWidth, longest));

        // Without a conversion the template is the result.
        if (percents == 0)
            Check(*result == pattern);
    }
    return 0;
}
