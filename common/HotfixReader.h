#pragma once
// The hotfix reading procedure that both programs follow: the per-machine
// settings of the target, the hotfix keys of its search path, the ignore
// filter, each hotfix's description and uninstall directory. The two programs
// differ only in the options they pass and in what their sink does with a
// hotfix; the target (a live computer, an offline Windows directory) only in
// the registry and file sources it is read through.
#include <string>

#include "RegistrySource.h"
#include "SplitLst.h"
#include "TargetAccess.h"

// The per-machine settings key below HKEY_LOCAL_MACHINE, and the user's
// below HKEY_CURRENT_USER.
inline constexpr const char* kSettingsKey = "\\Software\\Brightwater\\Patchscope";

// The two user values that both programs read: "Time format" and "Text if
// unknown value" (see ReadListSettings where a user registry exists).
inline constexpr const char* kDefaultUnknownText = "(unknown)";
struct TListSettings {
    std::string TimeFormat;
    std::string DefaultText = kDefaultUnknownText;
};

struct THotfix {
    std::string ID;
    std::string Description;
    double HotfixDate = 0;    // time of "hotfix.inf"; 0 = unknown
    double DateApplied = 0;   // time of "uninst.inf"; 0 = unknown
    std::string Files;        // replaced files, in listing order, joined with ", "
    bool HasUninstallDir = false;
    // Why the uninstall directory could not be listed (it names the
    // directory); empty when it was, or when there is none.
    std::string DirFailure;
};

struct THotfixReadOptions {
    bool WantDescription = true;
    bool WantUninstallDir = true;
    // Windowed program: "hotfix.inf" gives HotfixDate and "hotfix.exe" is
    // skipped. Console program: both are ordinary replaced files.
    bool InstallerFilesAreDates = true;
    std::string DefaultText = "(unknown)";
    // The program's own lists (its string table): the hotfixes that Service
    // Pack 4 makes obsolete, and the search path when the target names none.
    std::string PreSP4List;
    std::string DefaultSearchPath;
};

// What one reading hands its caller, hotfix by hotfix.
class THotfixSink {
public:
    virtual ~THotfixSink() = default;
    // A hotfix that passed the filter; called before its fields are read.
    virtual void HotfixFound(const std::string& keyPath, const std::string& id) = 0;
    // Its fields; UninstInfFound tells that the directory held "uninst.inf"
    // (whose time may still be unknown).
    virtual void HotfixRead(const THotfix& hotfix, bool uninstInfFound) = 0;
};

struct TMachineSettings {
    std::string IgnoreText;        // "Q147222," + "Hotfixes to ignore" (+ pre-SP4 list)
    TSplitStringList HotfixKeys;   // the search path's key paths (no "SearchPath": a platform macro)
    std::string PreSP4List;
};

// An identifier that can name an uninstall directory: one that would lead
// out of the Windows directory (a separator, a drive, "..") names none, and
// its hotfix has no directory to list or verify.
bool IsUsableHotfixID(const std::string& id);
// The uninstall directory of a hotfix in a target's Windows directory, and
// the service pack's (no final separator).
std::string TargetUninstallDir(const TFileSource& files, const std::string& hotfixID);
std::string TargetServicePackUninstallDir(const TFileSource& files);

class THotfixReader {
public:
    // Registry: the target's HKEY_LOCAL_MACHINE; Files: its Windows directory.
    THotfixReader(TRegistrySource& registry, const TFileSource& files, THotfixReadOptions options);

    // The settings key of the target: ignore text, search path, pre-SP4 list.
    TMachineSettings ReadMachineSettings();
    // Every hotfix of the search path that the ignore text does not hold, in
    // search-path and enumeration order, handed to Sink as it is read.
    void ReadHotfixes(const TMachineSettings& settings, THotfixSink& sink);

    // "Fix Description" of the hotfix key KeyPath\ID (first line of a
    // multi-string); DefaultText when the key or the value is missing.
    std::string ReadDescription(const std::string& keyPath, const std::string& id);
    // Lists the uninstall directory of Hotfix.ID into Hotfix; true when it held uninst.inf.
    bool ReadUninstallDir(THotfix& hotfix);
    // The target's registry, for what the procedure itself does not read.
    TRegistrySource& TargetRegistry() { return FRegistry; }

private:
    TRegistrySource& FRegistry;
    const TFileSource& FFiles;
    THotfixReadOptions FOptions;
    std::vector<TFileEntry> FEntries;   // one listing's buffer, kept for the next
};
