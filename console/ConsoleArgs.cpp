#include "ConsoleArgs.h"

#include <string_view>

#include "PsVersion.h"

namespace {

bool IsSelectionLetter(char c)
{
    return c == 'D' || c == 'F' || c == 'Q' || c == 'T';
}

// Applies one selection word; false at its first character that selects nothing.
bool ApplySelectionWord(const std::string& word, TConsoleArgs& result)
{
    result.PrintID = result.PrintDescription = result.PrintDateApplied = result.PrintFiles = false;
    for (char c : word) {
        switch (c) {
        case 'Q': result.PrintID = true; break;
        case 'D': result.PrintDescription = true; break;
        case 'T': result.PrintDateApplied = true; break;
        case 'F': result.PrintFiles = true; break;
        default: return false;
        }
    }
    return true;
}

}  // namespace

TConsoleArgs ParseConsoleArgs(const std::vector<std::string>& args)
{
    TConsoleArgs result;
    if (!args.empty() && args.front() == "/?") {
        result.ShowHelp = true;
        return result;
    }
    for (const std::string& arg : args) {
        if (arg.starts_with("\\\\")) {
            result.Computer = arg;
            result.Offline.clear();
            result.Image.clear();
        } else if (arg.starts_with(kOfflineSwitch) || arg.starts_with(kImageSwitch)) {
            const bool image = arg.starts_with(kImageSwitch);
            const std::size_t length =
                std::string_view(image ? kImageSwitch : kOfflineSwitch).size();
            if (arg.size() == length) {
                result.InvalidParameter = arg;
                return result;
            }
            result.Computer.clear();
            result.Offline.clear();
            result.Image.clear();
            (image ? result.Image : result.Offline) = arg.substr(length);
        } else if (arg == "/VERIFY") {
            result.Verify = true;
        } else if (!arg.empty() && IsSelectionLetter(arg.front())) {
            if (!ApplySelectionWord(arg, result)) {
                result.InvalidParameter = arg;
                return result;
            }
        }
    }
    return result;
}

const std::vector<std::string>& HelpTextLines()
{
    static const std::vector<std::string> lines = {
        "Patchscope command-line version " PS_VERSION_TEXT " - " PS_COPYRIGHT,
        "",
        "Syntax: PSCOPECL.EXE [\\\\<computer>] [Q][D][T][F] [/?]",
        "",
        "Displayed installed hotfixes on NT machines.",
        "",
        "<computer>  Which computer to connect to. Local computer if omitted.",
        "/OFFLINE:   Followed by a Windows directory: read that offline system.",
        "Q           Print the hotfix ID.",
        "D           Print the description.",
        "T           Print the date/time the hotfix was applied.",
        "F           Print the files that were replaced by the hotfix.",
        "/VERIFY     Compare each hotfix's saved files with the installed ones.",
        "/?          Display this help screen.",
        "",
        "If none of Q, D, T, F is specified, all information will be printed.",
    };
    return lines;
}

const std::vector<std::string>& NativeHelpTextLines()
{
    static const std::vector<std::string> lines = {
        HelpTextLines().front(),
        "",
        "Syntax: pscopecl /OFFLINE:<Windows directory> [Q][D][T][F] [/VERIFY] [/?]",
        "",
        "Displays the hotfixes of an offline Windows NT system (a mounted disk or image).",
        "",
        "/OFFLINE:   Followed by the offline system's Windows directory (required).",
        "Q           Print the hotfix ID.",
        "D           Print the description.",
        "T           Print the date/time the hotfix was applied.",
        "F           Print the files that were replaced by the hotfix.",
        "/VERIFY     Compare each hotfix's saved files with the installed ones.",
        "/?          Display this help screen.",
        "",
        "If none of Q, D, T, F is specified, all information will be printed.",
    };
    return lines;
}
