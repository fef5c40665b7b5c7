#pragma once
// Whether the hotfixes of a target are still in effect: every saved file of
// an uninstall directory compared with the file installed now, found where
// the directory's uninstall script (uninst.inf) puts it back. Reads the
// target only through a TFileSource.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "PeVersion.h"
#include "TargetAccess.h"

enum class TVerifyState { InEffect, Undone, Missing, NoRegistryRecord };
// How the installed file's place was found.
enum class TPlaceFinding { Script, Guessed, NoScript };
// How the state was found; None for a missing file or an orphaned directory.
enum class TStateFinding { Versions, Times, None };

// The identifier under which the service pack's directory is verified.
inline constexpr const char* kServicePackLabel = "Service Pack";

struct TVerifiedFile {
    std::string HotfixID;        // kServicePackLabel for the service pack
    std::string FileName;        // the saved copy; empty for an orphaned directory
    TVerifyState State = TVerifyState::Missing;
    std::string InstalledPath;   // where the file is or belongs; empty when guessed in vain
    std::vector<std::string> LookedIn;   // the places guessed in vain, in the order tried
    std::optional<TFileVersion> InstalledVersion, SavedVersion;
    TPlaceFinding Place = TPlaceFinding::Guessed;
    TStateFinding Finding = TStateFinding::None;
    // The saved or the installed file has a device's name (IsDeviceName),
    // which Windows cannot open as a file: its times are compared.
    bool DeviceName = false;
};

// "In effect", "Undone", "Missing", "No registry record".
std::string StateText(TVerifyState state);
// "from the script; versions compared", "guessed; times compared",
// "script missing or damaged", "...; not readable by name"; empty for an
// orphaned directory.
std::string FindingText(const TVerifiedFile& file);

struct TVerifyCounts {
    int Files = 0, InEffect = 0, Undone = 0, Missing = 0;
    int Orphans = 0;   // uninstall directories without a registry record

    void Add(const TVerifiedFile& file);
    // Every file in effect (orphaned directories do not count).
    bool AllInEffect() const { return InEffect == Files; }
};
// "412 files: 405 in effect, 6 undone, 1 missing; 2 uninstall directories
// without a registry record" (the part after ";" only when there are some);
// kNothingToCompare in place of the counts when there is no file and the
// verification is Complete.
std::string VerifySummary(const TVerifyCounts& counts, bool complete = true);
inline constexpr const char* kNothingToCompare = "No hotfix has saved files to compare";

// The target's Windows directory cannot be listed: nothing can be verified.
class EVerifyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What one verification hands its caller, file by file.
class TVerifySink {
public:
    virtual ~TVerifySink() = default;
    // While the directories are listed (Done and Total 0), then before each
    // directory and each file: Done of Total steps finished, one step per
    // saved file and per directory without a registry record. False stops
    // the verification there.
    virtual bool Continue(int done, int total, const std::string& fileName) = 0;
    virtual void FileVerified(const TVerifiedFile& file) = 0;
    // A directory or file that could not be looked at (Why names it and the
    // platform's reason): its rows are left out, and the result vouches for
    // nothing.
    virtual void VerificationIncomplete(const std::string& why) = 0;
};

// Listed: the hotfixes to verify, in their order (each directory once);
// Recorded: every identifier under the searched registry keys (also the
// ignored ones), which no uninstall directory without a record holds. The
// service pack's directory follows the hotfixes, the orphaned directories
// come last, in the order of the Windows directory's listing. A hotfix
// without an uninstall directory gives no rows, as does one whose identifier
// names none (IsUsableHotfixID). Raises EVerifyError when the Windows
// directory cannot be listed.
void VerifyHotfixes(const TFileSource& files, const std::vector<std::string>& listed,
                    const std::vector<std::string>& recorded, TVerifySink& sink);
