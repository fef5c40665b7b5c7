#pragma once
// The hotfix reading of a live computer: its registry through TRegIniFileEx
// (local, or connected to a remote computer), its files through the Win32
// file functions, the program's lists from its string table.
#include <memory>

#include "HotfixReader.h"
#include "RegistryEx.h"
#include "TargetAccessWin.h"

class TLiveRegistrySource : public TRegistrySource {
public:
    // Registry: root HKEY_LOCAL_MACHINE of the target, already connected.
    // CreateSettingsKey: the windowed program's reading creates the
    // per-machine settings key when it is missing.
    TLiveRegistrySource(TRegIniFileEx& registry, bool createSettingsKey)
        : FRegistry(registry), FCreateSettingsKey(createSettingsKey)
    {
    }

    // Each call opens its key, reads, and closes it again, also by an error.
    bool GetKeyNames(const std::string& path, std::vector<std::string>& names) override;
    bool ReadValue(const std::string& path, const std::string& name, TRegData& value) override;
    bool OpenSettingsKey(const std::string& path) override;

private:
    TRegIniFileEx& FRegistry;
    bool FCreateSettingsKey;
};

// Options with the program's lists (the pre-SP4 hotfixes, the default search
// path) from the string table where they are empty.
THotfixReadOptions WithProgramLists(THotfixReadOptions options);

// The sources of a live computer, owned for the reader below.
struct TLiveSources {
    TLiveSources(TRegIniFileEx& registry, const std::string& computer, bool createSettingsKey)
        : Registry(registry, createSettingsKey), Files(OpenTargetFiles(computer))
    {
    }
    TLiveRegistrySource Registry;
    std::unique_ptr<TFileSource> Files;
};

// The reading procedure on a live computer (Computer: empty for this one,
// else "\\NAME"), with the program's lists (WithProgramLists).
class TLiveHotfixReader : private TLiveSources, public THotfixReader {
public:
    TLiveHotfixReader(TRegIniFileEx& registry, const std::string& computer,
                      THotfixReadOptions options, bool createSettingsKey);
    const TFileSource& TargetFiles() const { return *Files; }
    // The reader refers to its own sources: it stays where it was made.
    TLiveHotfixReader(const TLiveHotfixReader&) = delete;
    TLiveHotfixReader& operator=(const TLiveHotfixReader&) = delete;
};
