#pragma once
// The command line of pscopecl, examined without the platform: the arguments
// arrive upper-cased already (by the system's locale rules).
#include <optional>
#include <string>
#include <vector>

inline constexpr const char* kOfflineSwitch = "/OFFLINE:";
inline constexpr const char* kImageSwitch = "/IMAGE:";

struct TConsoleArgs {
    bool ShowHelp = false;
    // The four fields, in output order; all set unless a selection word says otherwise.
    bool PrintID = true;            // Q
    bool PrintDescription = true;   // D
    bool PrintDateApplied = true;   // T
    bool PrintFiles = true;         // F
    // The target: at most one of the three is set; none for the local computer.
    std::string Computer;           // "\\NAME"
    std::string Offline;            // the path of an offline Windows directory
    std::string Image;              // a disk image: "<file>[@<n>[:<directory>]]"
    // /VERIFY: the saved files of every hotfix compared with the installed ones.
    bool Verify = false;
    // The first selection word with a character other than D, F, Q and T,
    // or an offline or image switch without a path.
    std::optional<std::string> InvalidParameter;
};

// "/?" as the first argument asks for the help text and nothing else; an
// argument that begins with two backslashes names the computer, "/OFFLINE:"
// and a path an offline system, "/IMAGE:" and a file a disk image (the last
// target counts); one that begins with
// D, F, Q or T is a selection word, which replaces an earlier one; "/VERIFY"
// asks for the verification instead of the list; anything else is ignored.
// Examining stops at the first invalid argument.
TConsoleArgs ParseConsoleArgs(const std::vector<std::string>& args);

// The lines of the help text, without line ends.
const std::vector<std::string>& HelpTextLines();
// The same for the native Linux program, which reads offline systems only.
const std::vector<std::string>& NativeHelpTextLines();
