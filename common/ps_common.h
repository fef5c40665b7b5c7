#pragma once
// Locations of the uninstall directories of hotfixes and of the service pack,
// directory listings, file times, and the user settings that both programs
// read the same way.
#include <windows.h>

#include <string>

#include "DateTimePatterns.h"
#include "HotfixReader.h"

class TRegIniFileEx;

// Computer: empty for the local computer, "\\NAME", or the path of an offline
// Windows directory (IsOfflineTarget). Results end with a backslash; whether the directory exists is for the caller to find out.
std::string GetUninstallDir(const std::string& computer, const std::string& hotfixID);
std::string GetServicePackUninstallDir(const std::string& computer);

// The same, given the local Windows directory (platform-free core of the two).
std::string FormUninstallDir(const std::string& computer, const std::string& windowsDir,
                             const std::string& hotfixID);
std::string FormServicePackUninstallDir(const std::string& computer,
                                        const std::string& windowsDir);

// The Windows directory of this computer, whatever its length, without a
// trailing backslash added.
std::string LocalWindowsDirectory();

// A directory listing (FindFirstFile ... FindNextFile), closed on destruction.
class FindHandle {
public:
    FindHandle() = default;
    explicit FindHandle(HANDLE handle) : FHandle(handle) {}
    ~FindHandle()
    {
        if (FHandle != INVALID_HANDLE_VALUE)
            FindClose(FHandle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    HANDLE Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != INVALID_HANDLE_VALUE; }

private:
    HANDLE FHandle = INVALID_HANDLE_VALUE;
};

// The name of a listed entry (the platform's buffer holds at most MAX_PATH
// characters and its NUL).
std::string FoundFileName(const WIN32_FIND_DATAA& found);

// A file's last-write time as a date-time value: converted to local time,
// then to a DOS date and time (two-second resolution), then to days. A time
// that has no DOS form (before 1980, after 2107) gives 0, "unknown".
double FileTimeToDateTime(const FILETIME& lastWrite);

// "Time format" and "Text if unknown value" of the user's settings key
// (kSettingsKey below the registry's root, HKEY_CURRENT_USER; not created).
// A missing key or value gives the default: the locale's list pattern (short
// date, blank, short time) and "(unknown)". Wrongly typed values raise the
// registry errors.
TListSettings ReadListSettings(TRegIniFileEx& settings, const TFormatSettings& locale);
// The two values one at a time, for a reader that goes on after an error.
std::string ReadListTimeFormat(TRegIniFileEx& settings, const TFormatSettings& locale);
std::string ReadDefaultText(TRegIniFileEx& settings);
