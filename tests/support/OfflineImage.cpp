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
    for (wchar_t unit : wide) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return Utf16LeToUtf8(bytes);
}

void SnapshotDir(const std::string& dir, std::map<std::string, std::string>& files)
{
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA((dir + "*").c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            SnapshotDir(dir + name + "\\", files);
            continue;
        }
        files[dir + name] = std::to_string(found.ftLastWriteTime.dwHighDateTime) + ":" +
                            std::to_string(found.ftLastWriteTime.dwLowDateTime) + ":" +
                            ReadWholeFile(dir + name);
    } while (FindNextFileA(listing, &found));
    FindClose(listing);
}

}  // namespace

TOfflineImage::TOfflineImage()
    : FSoftware("SOFTWARE"), FSystem("SYSTEM"),
      FRoot(std::make_unique<ScratchDir>(WindowsDirectory() + "Temp\\image" + ProcessTag()))
{
    std::filesystem::create_directories(WindowsDir() + "\\system32\\config");
}

TOfflineImage::~TOfflineImage() = default;

void TOfflineImage::SetValue(const std::string& path, const std::string& name, DWORD type,
                             const std::string& data)
{
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    WriteRawValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + path, name, type,
                  text ? data + '\0' : data);
    FSoftware.SetValue(Utf8OfAnsi(path), Utf8OfAnsi(name), type,
                       text ? Utf8ToUtf16Le(Utf8OfAnsi(data)) + std::string(2, '\0') : data);
}

void TOfflineImage::AddFile(const std::string& hotfixID, const std::string& name,
                            const SYSTEMTIME& utc)
{
    const std::string dir = "$NtUninstall" + hotfixID + "$\\";
    for (auto* dirs : {&FLiveDirs, &FOfflineDirs}) {
        auto& scratch = (*dirs)[hotfixID];
        if (!scratch)
            scratch = std::make_unique<ScratchDir>(
                (dirs == &FLiveDirs ? WindowsDirectory() : WindowsDir() + "\\") + dir);
        scratch->AddFile(name, name);
        FILETIME time{};
        SystemTimeToFileTime(&utc, &time);
        HANDLE file = CreateFileA((scratch->Path() + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        SetFileTime(file, nullptr, nullptr, &time);
        CloseHandle(file);
    }
}

std::string TOfflineImage::HiveBytes(const THiveBuildOptions& options) const
{
    return FSoftware.Build(options);
}

void TOfflineImage::WriteHiveBytes(const std::string& bytes)
{
    std::ofstream(SoftwareHivePath(), std::ios::binary | std::ios::trunc) << bytes;
}

std::string TOfflineImage::SoftwareHivePath() const
{
    return WindowsDir() + "\\system32\\config\\software";
}

void TOfflineImage::WriteHive(const THiveBuildOptions& options)
{
    WriteHiveBytes(HiveBytes(options));
}

void TOfflineImage::WriteSystemHive()
{
    FSystem.WriteFile(WindowsDir() + "\\system32\\config\\system");
}

std::string TOfflineImage::WindowsDir() const
{
    return FRoot->Path() + "WINNT";
}

std::map<std::string, std::string> TOfflineImage::Snapshot() const
{
    std::map<std::string, std::string> files;
    SnapshotDir(FRoot->Path(), files);
    return files;
}
