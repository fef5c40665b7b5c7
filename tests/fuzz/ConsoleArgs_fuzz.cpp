// Input: the arguments, separated by NUL bytes.
#include "ConsoleArgs.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool OnlySelectionLetters(const std::string& word)
{
    return word.find_first_not_of("DFQT") == std::string::npos;
}

bool IsSelectionWord(const std::string& arg)
{
    return !arg.empty() && std::string_view("DFQT").find(arg.front()) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (!rest.empty()) {
        const auto at = rest.find('\0');
        args.emplace_back(rest.substr(0, at));
        rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + 1);
    }
    const TConsoleArgs parsed = ParseConsoleArgs(args);

    if (!args.empty() && args.front() == "/?") {
        if (!parsed.ShowHelp || !parsed.Computer.empty() || parsed.InvalidParameter
            || !parsed.PrintID || !parsed.PrintDescription || !parsed.PrintDateApplied
            || !parsed.PrintFiles)
            std::abort();
        return 0;
    }
    if (parsed.ShowHelp)
        std::abort();

    // Only the arguments before the first invalid selection word count.
    std::size_t end = 0;
    while (end < args.size() && !(IsSelectionWord(args[end]) && !OnlySelectionLetters(args[end])) &&
           args[end] != kOfflineSwitch && args[end] != kImageSwitch)
        ++end;
    if (end < args.size()) {
        if (!parsed.InvalidParameter || *parsed.InvalidParameter != args[end])
            std::abort();
    } else if (parsed.InvalidParameter) {
        std::abort();
    }

    // The last target before it: a computer, an offline directory or an image, one at most.
    std::string computer, offline, image;
    for (std::size_t i = end; i-- > 0;) {
        if (args[i].starts_with("\\\\")) {
            computer = args[i];
            break;
        }
        if (args[i].starts_with(kOfflineSwitch)) {
            offline = args[i].substr(std::string_view(kOfflineSwitch).size());
            break;
        }
        if (args[i].starts_with(kImageSwitch)) {
            image = args[i].substr(std::string_view(kImageSwitch).size());
            break;
        }
    }
    std::string selection = "DFQT";
    for (std::size_t i = end; i-- > 0;) {
        if (IsSelectionWord(args[i])) {
            selection = args[i];
            break;
        }
    }
    if (parsed.Computer != computer || parsed.Offline != offline || parsed.Image != image)
        std::abort();
    if (!parsed.InvalidParameter
        && (parsed.PrintID != (selection.find('Q') != std::string::npos)
            || parsed.PrintDescription != (selection.find('D') != std::string::npos)
            || parsed.PrintDateApplied != (selection.find('T') != std::string::npos)
            || parsed.PrintFiles != (selection.find('F') != std::string::npos)))
        std::abort();
    return 0;
}
