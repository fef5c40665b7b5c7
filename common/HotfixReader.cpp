#include "HotfixReader.h"

#include "MultiString.h"
#include "ps_common.h"

namespace {

const char* const kFixDescription = "Fix Description";

// Closes the registry object's current key when a step ends, also by an error.
class TCloseKeyOnExit {
public:
    explicit TCloseKeyOnExit(TRegistry& registry) : FRegistry(registry) {}
    ~TCloseKeyOnExit() { FRegistry.CloseKey(); }
    TCloseKeyOnExit(const TCloseKeyOnExit&) = delete;
    TCloseKeyOnExit& operator=(const TCloseKeyOnExit&) = delete;

private:
    TRegistry& FRegistry;
};

// An empty search-path entry (a stray comma) names no hotfix key; opened as
// a path it would be the root itself, whose subkeys are no hotfixes.
bool NamesNoKey(const std::string& keyPath)
{
    return keyPath.empty() || keyPath == "\\";
}

}  // namespace

std::string LoadResString(unsigned id)
{
    // Read from the string table's block itself: strings of any length, and
    // no reliance on LoadStringW's in-place pointer, which NT 4.0 lacks. A
    // block holds 16 strings, each a count of UTF-16 units and the units.
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC block = FindResourceA(module, MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6));
    HGLOBAL data = block ? LoadResource(module, block) : nullptr;
    const auto* unit = data ? static_cast<const WCHAR*>(LockResource(data)) : nullptr;
    if (!unit)
        return {};
    const WCHAR* const end = unit + SizeofResource(module, block) / sizeof(WCHAR);
    for (unsigned skip = id % 16; skip > 0 && unit < end; --skip)
        unit += 1 + *unit;
    if (unit >= end || *unit == 0 || *unit > end - unit - 1)
        return {};
    const int length = *unit++;
    const int size = WideCharToMultiByte(CP_ACP, 0, unit, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, unit, length, result.data(), size, nullptr, nullptr);
    return result;
}

THotfixReader::THotfixReader(TRegIniFileEx& registry, std::string computer,
                             THotfixReadOptions options)
    : FRegistry(registry), FComputer(std::move(computer)), FOptions(std::move(options))
{
    if (FComputer.empty())
        FWindowsDir = LocalWindowsDirectory();
}

TMachineSettings THotfixReader::ReadMachineSettings()
{
    TMachineSettings settings;
    settings.PreSP4List = LoadResString(IDS_PRESP4_HOTFIXES);
    std::string ignore;
    std::string searchPath = LoadResString(IDS_HOTFIX_SEARCH_PATH);
    bool ignorePreSP4 = false;
    if (FRegistry.OpenKey(kSettingsKey, FOptions.CreateSettingsKey)) {
        TCloseKeyOnExit close(FRegistry);
        ignore = FRegistry.ReadString("", "Hotfixes to ignore", "");
        searchPath = FRegistry.ReadString("", "Hotfix search path", searchPath);
        ignorePreSP4 = FRegistry.ReadBoolean("", "Ignore pre-SP4 hotfixes", false);
    }
    settings.IgnoreText = "Q147222," + ignore;
    settings.SearchPath.SplitString(',', searchPath);
    if (ignorePreSP4)
        settings.IgnoreText = settings.PreSP4List + "," + settings.IgnoreText;
    return settings;
}

void THotfixReader::ReadHotfixes(const TMachineSettings& settings, THotfixSink& sink)
{
    TStringList ids;
    for (const std::string& keyPath : settings.SearchPath.Strings()) {
        if (NamesNoKey(keyPath))
            continue;
        FRegistry.CloseKey();   // a path without a backslash starts at the root too
        if (!FRegistry.OpenKey(keyPath, false))
            continue;
        {
            TCloseKeyOnExit close(FRegistry);
            FRegistry.GetKeyNames(ids);
        }
        for (const std::string& id : ids.Strings()) {
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
    FRegistry.CloseKey();
    if (!FRegistry.OpenKey(keyPath + "\\" + id, false))
        return FOptions.DefaultText;
    TCloseKeyOnExit close(FRegistry);
    TRegData value;
    if (!FRegistry.ReadData(kFixDescription, value))
        return FOptions.DefaultText;
    switch (value.Type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_DWORD:
    case REG_BINARY:
        return TRegistry::TextOfData(kFixDescription, value);
    default: {
        // A multi-string (or any other type) gives its first line.
        std::vector<std::string> lines = DecodeMultiString(value.Data);
        return lines.empty() ? FOptions.DefaultText : lines.front();
    }
    }
}

bool THotfixReader::ReadUninstallDir(THotfix& hotfix)
{
    const std::string dir = FormUninstallDir(FComputer, FWindowsDir, hotfix.ID);
    WIN32_FIND_DATAA found;
    FindHandle listing(FindFirstFileA((dir + "*.*").c_str(), &found));
    if (!listing)
        return false;
    bool uninstInfFound = false;
    do {
        // Every attribute but "directory": ".", ".." and subdirectories are no entries.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        hotfix.HasUninstallDir = true;
        const std::string name = FoundFileName(found);
        if (name == "uninst.inf") {
            uninstInfFound = true;
            hotfix.DateApplied = FileTimeToDateTime(found.ftLastWriteTime);
        } else if (FOptions.InstallerFilesAreDates && name == "hotfix.inf") {
            hotfix.HotfixDate = FileTimeToDateTime(found.ftLastWriteTime);
        } else if (FOptions.InstallerFilesAreDates && name == "hotfix.exe") {
            // the installer itself: neither a date nor a replaced file
        } else {
            if (!hotfix.Files.empty())
                hotfix.Files += ", ";
            hotfix.Files += name;
        }
    } while (FindNextFileA(listing.Get(), &found));
    return uninstInfFound;
}
