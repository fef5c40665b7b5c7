#include "HotfixReader.h"

#include "MultiString.h"

namespace {

const char* const kFixDescription = "Fix Description";

// An empty search-path entry (a stray comma) names no hotfix key; opened as
// a path it would be the root itself, whose subkeys are no hotfixes.
bool NamesNoKey(const std::string& keyPath)
{
    return keyPath.empty() || keyPath == "\\";
}

}  // namespace

bool IsUsableHotfixID(const std::string& id)
{
    return IsPlainFileName(id) && id.find("..") == std::string::npos;
}

std::string TargetUninstallDir(const TFileSource& files, const std::string& hotfixID)
{
    return files.PathOf(files.WindowsDir(), "$NtUninstall" + hotfixID + "$");
}

std::string TargetServicePackUninstallDir(const TFileSource& files)
{
    return files.PathOf(files.WindowsDir(), "$NtServicePackUninstall$");
}

THotfixReader::THotfixReader(TRegistrySource& registry, const TFileSource& files,
                             THotfixReadOptions options)
    : FRegistry(registry), FFiles(files), FOptions(std::move(options))
{
}

TMachineSettings THotfixReader::ReadMachineSettings()
{
    TMachineSettings settings;
    settings.PreSP4List = FOptions.PreSP4List;
    std::string ignore;
    std::string searchPath = FOptions.DefaultSearchPath;
    bool ignorePreSP4 = false;
    if (FRegistry.OpenSettingsKey(kSettingsKey)) {
        ignore = FRegistry.ReadString(kSettingsKey, "Hotfixes to ignore", "");
        searchPath = FRegistry.ReadString(kSettingsKey, "Hotfix search path", searchPath);
        ignorePreSP4 = FRegistry.ReadBoolean(kSettingsKey, "Ignore pre-SP4 hotfixes", false);
    }
    settings.IgnoreText = "Q147222," + ignore;
    settings.HotfixKeys.SplitString(',', searchPath);
    if (ignorePreSP4)
        settings.IgnoreText = settings.PreSP4List + "," + settings.IgnoreText;
    return settings;
}

void THotfixReader::ReadHotfixes(const TMachineSettings& settings, THotfixSink& sink)
{
    std::vector<std::string> ids;
    for (const std::string& keyPath : settings.HotfixKeys.Strings()) {
        // A path without a backslash starts at the root too.
        if (NamesNoKey(keyPath) || !FRegistry.GetKeyNames(keyPath, ids))
            continue;
        for (const std::string& id : ids) {
            // A plain substring test: a part of an ignored identifier is ignored too.
            if (settings.IgnoreText.find(id) != std::string::npos)
                continue;
            sink.HotfixFound(keyPath, id);
            THotfix hotfix;
            hotfix.ID = id;
            if (FOptions.WantDescription)
                hotfix.Description = ReadDescription(keyPath, id);
            bool uninstInfFound = FOptions.WantUninstallDir && ReadUninstallDir(hotfix);
            sink.HotfixRead(hotfix, uninstInfFound);
        }
    }
}

std::string THotfixReader::ReadDescription(const std::string& keyPath, const std::string& id)
{
    TRegData value;
    if (!FRegistry.ReadValue(keyPath + "\\" + id, kFixDescription, value))
        return FOptions.DefaultText;
    switch (value.Type) {
    case kRegSz:
    case kRegExpandSz:
    case kRegDword:
    case kRegBinary:
        return TextOfRegData(kFixDescription, value);
    default: {
        // A multi-string (or any other type) gives its first line.
        std::vector<std::string> lines = DecodeMultiString(value.Data);
        return lines.empty() ? FOptions.DefaultText : lines.front();
    }
    }
}

bool THotfixReader::ReadUninstallDir(THotfix& hotfix)
{
    if (!IsUsableHotfixID(hotfix.ID))
        return false;
    const std::string dir = TargetUninstallDir(FFiles, hotfix.ID);
    const TLookup listed = FFiles.ListDirectory(dir, FEntries);
    if (listed.Result == TLookup::Absent)
        return false;
    // What a listing that failed part-way gave is kept.
    if (listed.Result == TLookup::Failed)
        hotfix.DirFailure = CannotListText(dir, listed.Reason);
    bool uninstInfFound = false;
    for (const TFileEntry& entry : FEntries) {
        // Every attribute but "directory": subdirectories are no entries.
        if (entry.IsDirectory())
            continue;
        hotfix.HasUninstallDir = true;
        const std::string& name = entry.Name;
        if (name == "uninst.inf") {
            uninstInfFound = true;
            hotfix.DateApplied = FFiles.LocalDateTime(entry.LastWriteTime);
        } else if (FOptions.InstallerFilesAreDates && name == "hotfix.inf") {
            hotfix.HotfixDate = FFiles.LocalDateTime(entry.LastWriteTime);
        } else if (FOptions.InstallerFilesAreDates && name == "hotfix.exe") {
            // the installer itself: neither a date nor a replaced file
        } else {
            if (!hotfix.Files.empty())
                hotfix.Files += ", ";
            hotfix.Files += name;
        }
    }
    return uninstInfFound;
}
