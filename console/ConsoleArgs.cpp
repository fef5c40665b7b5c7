#include "ConsoleArgs.h"

#include <string_view>

#include "PsVersion.h"
#include "NumText.h"

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

void AddCompareArgument(TConsoleArgs& result, const TCompareTarget& target,
                        const std::string& listFile)
{
    TCompareArgument argument;
    argument.Target = target;
    argument.ListFile = listFile;
    result.CompareTargets.push_back(std::move(argument));
}

std::string AfterSwitch(const std::string& arg, const char* name)
{
    return arg.substr(std::string_view(name).size());
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
            AddCompareArgument(result, TargetOfText(arg), "");
        } else if (arg.starts_with(kOfflineSwitch) || arg.starts_with(kImageSwitch)) {
            const bool image = arg.starts_with(kImageSwitch);
            const char* pathSwitch = image ? kImageSwitch : kOfflineSwitch;
            if (arg.size() == std::string_view(pathSwitch).size()) {
                result.InvalidParameter = arg;
                return result;
            }
            result.Computer.clear();
            result.Offline.clear();
            result.Image.clear();
            std::string& path = image ? result.Image : result.Offline;
            path = AfterSwitch(arg, pathSwitch);
            AddCompareArgument(result, {image ? TTargetKind::Image : TTargetKind::Offline, path}, "");
        } else if (arg.starts_with('@') || arg.starts_with(kBaselineSwitch)) {
            const bool isList = arg.starts_with('@');
            const std::string file = isList ? arg.substr(1) : AfterSwitch(arg, kBaselineSwitch);
            if (file.empty()) {
                result.InvalidParameter = arg;
                return result;
            }
            if (isList)
                AddCompareArgument(result, {}, file);
            else
                result.Baseline = file;
        } else if (arg.starts_with(kThreadsSwitch)) {
            const std::optional<std::int32_t> threads = TryStrToInt(AfterSwitch(arg, kThreadsSwitch));
            if (!threads || *threads < 1 || *threads > kMaxCompareThreads) {
                result.InvalidParameter = arg;
                return result;
            }
            result.Threads = *threads;
        } else if (arg == kCompareSwitch) {
            result.Compare = true;
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
        "/COMPARE    Compare targets named and @<list> [/BASELINE:<file>] [/THREADS:<n>]",
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
        "/OFFLINE:   Followed by the offline system's Windows directory.",
        "Q           Print the hotfix ID.",
        "D           Print the description.",
        "T           Print the date/time the hotfix was applied.",
        "F           Print the files that were replaced by the hotfix.",
        "/VERIFY     Compare each hotfix's saved files with the installed ones.",
        "/COMPARE    Compare targets named and @<list> [/BASELINE:<file>] [/THREADS:<n>]",
        "/?          Display this help screen.",
        "",
        "If none of Q, D, T, F is specified, all information will be printed.",
    };
    return lines;
}
