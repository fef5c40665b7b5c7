#include "OfflineImage.h"

#include <filesystem>
#include <fstream>

#include "PrivateRegistry.h"

namespace {

// ANSI text of the tests (ASCII and Latin-1) to UTF-8.
std::string Utf8OfAnsi(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
        CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
        static_cast<int>(wide.size()))));
    std::string bytes;
    for (wchar_t unit : wide)
        bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return Utf16LeToUtf8(bytes);
}

std::string RuleTime(WORD month, WORD day, WORD hour)   // the Day-th Sunday of Month
{
    std::string bytes;
    for (WORD w : {WORD(0), month, WORD(0), day, hour, WORD(0), WORD(0), WORD(0)})
        bytes += {static_cast<char>(w & 0xFF), static_cast<char>(w >> 8)};
    return bytes;
}

void SnapshotDir(const std::string& dir, std::map<std::string, std::string>& files)
{
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            files[entry.path().string()] =
                std::to_string(entry.last_write_time().time_since_epoch().count()) + ":" +
                ReadWholeFile(entry.path().string());
}

}  // namespace

SYSTEMTIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time{};
    time.wYear = year, time.wMonth = month, time.wDay = day;
    time.wHour = hour, time.wMinute = minute, time.wSecond = second;
    return time;
}

TOfflineImage::TOfflineImage(const std::string& name, bool offlineOnly)
    : FRoot(std::make_unique<ScratchDir>(WindowsDirectory() + "Temp\\" + name + ProcessTag())),
      FOfflineOnly(offlineOnly)
{
    std::filesystem::create_directories(WindowsDir() + "\\system32\\config");
}

void TOfflineImage::SetValue(const std::string& path, const std::string& name, DWORD type,
                             const std::string& data)
{
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    if (!FOfflineOnly)
        WriteRawValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + path, name, type, text ? data + '\0' : data);
    FSoftware.SetValue(Utf8OfAnsi(path), Utf8OfAnsi(name), type,
                       text ? Utf8ToUtf16Le(Utf8OfAnsi(data)) + std::string(2, '\0') : data);
}

void TOfflineImage::AddFile(const std::string& hotfixID, const std::string& name,
                            const SYSTEMTIME& utc)
{
    for (auto* dirs : {&FLiveDirs, &FOfflineDirs}) {
        if (FOfflineOnly && dirs == &FLiveDirs)
            continue;
        auto& scratch = (*dirs)[hotfixID];
        if (!scratch)
            scratch = std::make_unique<ScratchDir>(
                (dirs == &FLiveDirs ? WindowsDirectory() : WindowsDir() + "\\") + "$NtUninstall" +
                hotfixID + "$");
        scratch->AddFile(name, name);
        FILETIME time{};
        SystemTimeToFileTime(&utc, &time);
        HANDLE file = CreateFileA((scratch->Path() + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &time);
        CloseHandle(file);
    }
}

void TOfflineImage::WriteHiveBytes(const std::string& bytes)
{
    std::ofstream(SoftwareHivePath(), std::ios::binary | std::ios::trunc) << bytes;
}

void TOfflineImage::WriteSystemHive()
{
    THiveBuilder system("SYSTEM");
    const std::string zone = "ControlSet001\\Control\\TimeZoneInformation";
    system.SetValue("Select", "Current", kRegDword, RegDwordData(1));
    system.SetValue(zone, "Bias", kRegDword, RegDwordData(static_cast<DWORD>(-60)));
    system.SetValue(zone, "StandardBias", kRegDword, RegDwordData(0));
    system.SetValue(zone, "DaylightBias", kRegDword, RegDwordData(static_cast<DWORD>(-60)));
    system.SetValue(zone, "StandardStart", kRegBinary, RuleTime(10, 5, 3));
    system.SetValue(zone, "DaylightStart", kRegBinary, RuleTime(3, 5, 2));
    system.WriteFile(WindowsDir() + "\\system32\\config\\system");
}

void TOfflineImage::WriteScenario()
{
    using namespace std::string_literals;
    const std::string cv = "Microsoft\\Windows NT\\CurrentVersion", hotfix = cv + "\\Hotfix\\";
    SetValue(cv, "CSDVersion", REG_SZ, "Service Pack 4");
    SetValue(hotfix + A, "Fix Description", REG_SZ, "Alpha caf\xE9");
    SetValue(hotfix + "QB", "Fix Description", REG_EXPAND_SZ, "Beta %x%");
    SetValue(hotfix + C, "Fix Description", REG_MULTI_SZ, "First\0Second\0"s);
    SetValue(hotfix + "QD", "Installed", REG_DWORD, "\1\0\0\0"s);
    SetValue(hotfix + "Q154087", "Fix Description", REG_SZ, "pre-SP4");
    SetValue(hotfix + "QIGNORED", "Fix Description", REG_SZ, "hidden");
    SetValue(cv + "\\SP4\\Hotfix\\" + E, "Fix Description", REG_SZ, std::string(20000, 'e'));
    SetValue("Brightwater\\Patchscope", "Hotfixes to ignore", REG_SZ, "QIGNORED");
    SetValue("Brightwater\\Patchscope", "Hotfix search path", REG_SZ,
             "\\SOFTWARE\\" + cv + "\\Hotfix,\\SYSTEM\\Select,SOFTWARE\\" + cv + "\\SP4\\Hotfix");
    SetValue("Brightwater\\Patchscope", "Ignore pre-SP4 hotfixes", REG_DWORD, "\1\0\0\0"s);
    for (const char* file : {"uninst.inf", "hotfix.inf", "hotfix.exe", "a.dll", "b.dll"})
        AddFile(A, file, Utc(2001, 3, 4, 12, 2, 9));
    AddFile(C, "uninst.inf", Utc(1975, 6, 1, 12, 0, 0));
    AddFile(E, "c.dll", Utc(2001, 7, 1, 10, 0, 0));
    THiveBuildOptions options;
    options.MinorVersion = 5;
    options.LeafCapacity = 2;
    options.ListKind = THiveListKind::Lh;
    WriteHive(options);
}

std::map<std::string, std::string> TOfflineImage::Snapshot() const
{
    std::map<std::string, std::string> files;
    SnapshotDir(FRoot->Path(), files);
    return files;
}
