#include "ps_common.h"

#include <cstring>
#include <vector>

#include "RegistryEx.h"
#include "TargetAccess.h"
#include "ZStrFuncs.h"

std::string FormUninstallDir(const std::string& computer, const std::string& windowsDir,
                             const std::string& hotfixID)
{
    if (IsOfflineTarget(computer))
        return AddBackslash(computer) + "$NtUninstall" + hotfixID + "$\\";
    if (!computer.empty())
        return computer + "\\ADMIN$\\$NtUninstall" + hotfixID + "$\\";
    return AddBackslash(windowsDir) + "$NtUninstall" + hotfixID + "$\\";
}

std::string FormServicePackUninstallDir(const std::string& computer,
                                        const std::string& windowsDir)
{
    if (IsOfflineTarget(computer))
        return AddBackslash(computer) + "$NtServicePackUninstall$\\";
    if (!computer.empty())
        return computer + "\\ADMIN$\\$NtServicePackUninstall$\\";
    return AddBackslash(windowsDir) + "$NtServicePackUninstall$\\";
}

std::string LocalWindowsDirectory()
{
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        UINT length = GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0)
            return {};
        // A result longer than the buffer is the size that it needs.
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

std::string GetUninstallDir(const std::string& computer, const std::string& hotfixID)
{
    return FormUninstallDir(computer, computer.empty() ? LocalWindowsDirectory() : std::string(),
                            hotfixID);
}

std::string GetServicePackUninstallDir(const std::string& computer)
{
    return FormServicePackUninstallDir(
        computer, computer.empty() ? LocalWindowsDirectory() : std::string());
}

std::string FoundFileName(const WIN32_FIND_DATAA& found)
{
    return std::string(found.cFileName, strnlen(found.cFileName, sizeof found.cFileName));
}

double FileTimeToDateTime(const FILETIME& lastWrite)
{
    FILETIME local{};
    SYSTEMTIME parts{};
    WORD dosDate = 0, dosTime = 0;
    if (!FileTimeToLocalFileTime(&lastWrite, &local) || !FileTimeToSystemTime(&local, &parts))
        return 0;
    // Some platforms wrap years past 2107 round to 1980 instead of failing.
    if (parts.wYear < 1980 || parts.wYear > 2107 ||
        !FileTimeToDosDateTime(&local, &dosDate, &dosTime))
        return 0;
    return DosDateTimeToDateTime(dosDate, dosTime);
}

std::string ReadListTimeFormat(TRegIniFileEx& settings, const TFormatSettings& locale)
{
    return settings.ReadString(kSettingsKey, "Time format", DefaultListPattern(locale));
}

std::string ReadDefaultText(TRegIniFileEx& settings)
{
    return settings.ReadString(kSettingsKey, "Text if unknown value", kDefaultUnknownText);
}

TListSettings ReadListSettings(TRegIniFileEx& settings, const TFormatSettings& locale)
{
    return {ReadListTimeFormat(settings, locale), ReadDefaultText(settings)};
}
