#pragma once
// The command line of pscopecl, examined without the platform: the arguments
// arrive upper-cased already (by the system's locale rules).
#include <optional>
#include <string>
#include <vector>

#include "TargetList.h"

inline constexpr const char* kOfflineSwitch = "/OFFLINE:";
inline constexpr const char* kImageSwitch = "/IMAGE:";
inline constexpr const char* kCompareSwitch = "/COMPARE";
inline constexpr const char* kBaselineSwitch = "/BASELINE:";
inline constexpr const char* kThreadsSwitch = "/THREADS:";
inline constexpr int kDefaultCompareThreads = 8;
inline constexpr int kMaxCompareThreads = 64;

// A target of a comparison as the command line names it: a target itself,
// or "@" and a list file whose lines name targets.
struct TCompareArgument {
    TCompareTarget Target;
    std::string ListFile;   // set for "@<file>"
};

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
    // /COMPARE: every target named, in order, is compared (the last one does
    // not replace the earlier ones); /BASELINE:<file> the hotfixes every
    // target must have; /THREADS:<n> targets read at once.
    bool Compare = false;
    std::vector<TCompareArgument> CompareTargets;
    std::string Baseline;
    int Threads = kDefaultCompareThreads;
    // The first selection word with a character other than D, F, Q and T,
    // an offline, image or baseline switch without a path, "@" without a
    // file, or a thread count that is not a number from 1 to 64.
    std::optional<std::string> InvalidParameter;
};

// "/?" as the first argument asks for the help text and nothing else; an
// argument that begins with two backslashes names the computer, "/OFFLINE:"
// and a path an offline system, "/IMAGE:" and a file a disk image (the last
// target counts, but with /COMPARE every one, and every "@<list file>"); one
// that begins with
// D, F, Q or T is a selection word, which replaces an earlier one; "/VERIFY"
// asks for the verification instead of the list; anything else is ignored.
// Examining stops at the first invalid argument.
TConsoleArgs ParseConsoleArgs(const std::vector<std::string>& args);

// The lines of the help text, without line ends.
const std::vector<std::string>& HelpTextLines();
// The same for the native Linux program, which reads offline systems only.
const std::vector<std::string>& NativeHelpTextLines();
