// Input: the arguments, separated by NUL bytes.
#include "ConsoleArgs.h"
#include "NumText.h"

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

// A switch that needs a value and has none, or a thread count out of range.
bool IsInvalidSwitch(const std::string& arg)
{
    if (arg == kOfflineSwitch || arg == kImageSwitch || arg == "@" || arg == kBaselineSwitch)
        return true;
    if (!arg.starts_with(kThreadsSwitch))
        return false;
    const auto threads = TryStrToInt(std::string_view(arg).substr(std::string_view(kThreadsSwitch).size()));
    return !threads || *threads < 1 || *threads > kMaxCompareThreads;
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
           !IsInvalidSwitch(args[end]))
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
    // Every target and list file before it, in order.
    std::size_t named = 0;
    for (std::size_t i = 0; i < end; ++i)
        named += args[i].starts_with("\\\\") || args[i].starts_with(kOfflineSwitch) ||
                 args[i].starts_with(kImageSwitch) || args[i].starts_with('@');
    if (parsed.CompareTargets.size() != named || parsed.Threads < 1 || parsed.Threads > kMaxCompareThreads)
        std::abort();
    if (!parsed.InvalidParameter
        && (parsed.PrintID != (selection.find('Q') != std::string::npos)
            || parsed.PrintDescription != (selection.find('D') != std::string::npos)
            || parsed.PrintDateApplied != (selection.find('T') != std::string::npos)
            || parsed.PrintFiles != (selection.find('F') != std::string::npos)))
        std::abort();
    return 0;
}
