#pragma once
// The hotfix reading procedure that both programs follow: the per-machine
// settings of the target, the hotfix keys of its search path, the ignore
// filter, each hotfix's description and uninstall directory. The two programs
// differ only in the options they pass and in what their sink does with a
// hotfix.
#include <string>

#include "RegistryEx.h"
#include "SplitLst.h"

// String resources shared by both programs (common/ps_strings.rc).
inline constexpr unsigned IDS_PRESP4_HOTFIXES = 1;
inline constexpr unsigned IDS_HOTFIX_SEARCH_PATH = 2;
// From the running program's resources, whatever their length; empty when
// the program carries no such string.
std::string LoadResString(unsigned id);

struct THotfix {
    std::string ID;
    std::string Description;
    double HotfixDate = 0;    // time of "hotfix.inf"; 0 = unknown
    double DateApplied = 0;   // time of "uninst.inf"; 0 = unknown
    std::string Files;        // replaced files, in listing order, joined with ", "
    bool HasUninstallDir = false;
};

struct THotfixReadOptions {
    bool WantDescription = true;
    bool WantUninstallDir = true;
    // Windowed program: "hotfix.inf" gives HotfixDate and "hotfix.exe" is
    // skipped. Console program: both are ordinary replaced files.
    bool InstallerFilesAreDates = true;
    // Windowed program: the per-machine settings key is created when missing.
    bool CreateSettingsKey = false;
    std::string DefaultText = "(unknown)";
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
    TSplitStringList SearchPath;
    std::string PreSP4List;
};

class THotfixReader {
public:
    // Registry: root HKEY_LOCAL_MACHINE of the target, already connected.
    THotfixReader(TRegIniFileEx& registry, std::string computer, THotfixReadOptions options);

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

private:
    TRegIniFileEx& FRegistry;
    std::string FComputer;
    THotfixReadOptions FOptions;
    std::string FWindowsDir;   // of the local computer, asked for once
};
