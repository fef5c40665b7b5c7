#pragma once
// Locations of the uninstall directories of hotfixes and of the service pack,
// and the user settings that both programs read the same way.
#include <string>

#include "DateTimePatterns.h"

class TRegIniFileEx;

// Computer: empty for the local computer, else "\\NAME". Results end with a
// backslash; whether the directory exists is for the caller to find out.
std::string GetUninstallDir(const std::string& computer, const std::string& hotfixID);
std::string GetServicePackUninstallDir(const std::string& computer);

// The same, given the local Windows directory (platform-free core of the two).
std::string FormUninstallDir(const std::string& computer, const std::string& windowsDir,
                             const std::string& hotfixID);
std::string FormServicePackUninstallDir(const std::string& computer,
                                        const std::string& windowsDir);

// "Time format" and "Text if unknown value" of the user's settings key, read
// from the open settings key of Settings, with the locale-built default.
inline constexpr const char* kSettingsKey = "\\Software\\Brightwater\\Patchscope";
inline constexpr const char* kDefaultUnknownText = "(unknown)";
struct TListSettings {
    std::string TimeFormat;
    std::string DefaultText;
};
TListSettings ReadListSettings(TRegIniFileEx& settings, const TFormatSettings& locale);
