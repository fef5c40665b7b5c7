#pragma once
// The registry of an offline Windows directory, read from its SOFTWARE hive
// file: the hive stands for HKEY_LOCAL_MACHINE\SOFTWARE, so the paths below
// "\SOFTWARE\" are found in it; every other root key is missing. Nothing is
// ever written.
#include <functional>
#include <string>

#include "RegHive.h"
#include "RegistrySource.h"

// How the program's texts relate to the hive's UTF-16: on Windows the ANSI
// code page, as the live registry gives texts; UTF-8 where that is the
// convention. Each direction keeps NULs where they are.
struct TTextCodePage {
    std::function<std::string(const std::string& utf8)> FromUtf8;
    std::function<std::string(const std::string& text)> ToUtf8;
};
// UTF-8 both ways: texts pass unchanged.
TTextCodePage Utf8CodePage();

class THiveRegistrySource : public TRegistrySource {
public:
    THiveRegistrySource(const THiveFile& software, TTextCodePage codePage)
        : FHive(software), FCodePage(std::move(codePage))
    {
    }

    // Damage met on the way raises EHiveError.
    bool GetKeyNames(const std::string& path, std::vector<std::string>& names) override;
    // Texts (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) in the program's code page.
    bool ReadValue(const std::string& path, const std::string& name, TRegData& value) override;
    // Looks only: the settings key is never created here.
    bool OpenSettingsKey(const std::string& path) override;

private:
    std::optional<THiveFile::TKey> KeyOf(const std::string& path) const;

    const THiveFile& FHive;
    TTextCodePage FCodePage;
};
