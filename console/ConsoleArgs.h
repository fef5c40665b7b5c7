#pragma once
// The command line of pscopecl, examined without the platform: the arguments
// arrive upper-cased already (by the system's locale rules).
#include <optional>
#include <string>
#include <vector>

struct TConsoleArgs {
    bool ShowHelp = false;
    // The four fields, in output order; all set unless a selection word says otherwise.
    bool PrintID = true;            // Q
    bool PrintDescription = true;   // D
    bool PrintDateApplied = true;   // T
    bool PrintFiles = true;         // F
    std::string Computer;           // "" for the local computer, else "\\NAME"
    std::string Offline;            // the Windows directory of /OFFLINE:, "" for none
    // The first selection word with a character other than D, F, Q and T.
    std::optional<std::string> InvalidParameter;
};

// "/?" as the first argument asks for the help text and nothing else; an
// argument that begins with two backslashes names the computer (the last one
// counts); "/OFFLINE:<Windows directory>" names an offline system instead
// (a later target replaces an earlier one of either kind); one that begins with D, F, Q or T is a selection word, which
// replaces an earlier one; anything else is ignored. Examining stops at the
// first invalid selection word.
TConsoleArgs ParseConsoleArgs(const std::vector<std::string>& args);

// The lines of the help text, without line ends.
const std::vector<std::string>& HelpTextLines();
