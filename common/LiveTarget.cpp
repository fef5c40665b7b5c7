#include "LiveTarget.h"

#include "ResString.h"

namespace {

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

}  // namespace

bool TLiveRegistrySource::GetKeyNames(const std::string& path, std::vector<std::string>& names)
{
    names.clear();
    FRegistry.CloseKey();   // a path without a backslash starts at the root too
    if (!FRegistry.OpenKey(path, false))
        return false;
    TCloseKeyOnExit close(FRegistry);
    TStringList list;
    FRegistry.GetKeyNames(list);
    names = list.Strings();
    return true;
}

bool TLiveRegistrySource::ReadValue(const std::string& path, const std::string& name,
                                    TRegData& value)
{
    FRegistry.CloseKey();
    if (!FRegistry.OpenKey(path, false))
        return false;
    TCloseKeyOnExit close(FRegistry);
    return FRegistry.ReadData(name, value);
}

bool TLiveRegistrySource::OpenSettingsKey(const std::string& path)
{
    FRegistry.CloseKey();
    if (!FRegistry.OpenKey(path, FCreateSettingsKey))
        return false;
    FRegistry.CloseKey();
    return true;
}

THotfixReadOptions WithProgramLists(THotfixReadOptions options)
{
    if (options.PreSP4List.empty())
        options.PreSP4List = LoadResString(IDS_PRESP4_HOTFIXES);
    if (options.DefaultSearchPath.empty())
        options.DefaultSearchPath = LoadResString(IDS_HOTFIX_SEARCH_PATH);
    return options;
}

TLiveHotfixReader::TLiveHotfixReader(TRegIniFileEx& registry, const std::string& computer,
                                     THotfixReadOptions options, bool createSettingsKey)
    : TLiveSources(registry, computer, createSettingsKey),
      THotfixReader(Registry, *Files, WithProgramLists(std::move(options)))
{
}
