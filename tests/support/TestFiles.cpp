#include "TestFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

ScratchDir::ScratchDir(std::string path) : FPath(std::move(path))
{
    if (FPath.empty() || FPath.back() != '\\')
        FPath += '\\';
    std::error_code ec;
    // A directory of the same name can only be a leftover of a crashed run.
    std::filesystem::remove_all(FPath, ec);
    std::filesystem::create_directories(FPath, ec);
    if (ec)
        throw std::runtime_error("cannot create " + FPath + ": " + ec.message());
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

void ScratchDir::AddFile(const std::string& name, const std::string& content)
{
    std::ofstream out(FPath + name, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + FPath + name);
}

void ScratchDir::AddFile(const std::string& name, const SYSTEMTIME& localTime,
                         const std::string& content)
{
    AddFile(name, content);
    FILETIME local{}, utc{};
    SystemTimeToFileTime(&localTime, &local);
    LocalFileTimeToFileTime(&local, &utc);
    HANDLE file = CreateFileA((FPath + name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + FPath + name);
    SetFileTime(file, nullptr, nullptr, &utc);
    CloseHandle(file);
}

void ScratchDir::AddSubdirectory(const std::string& name)
{
    std::filesystem::create_directories(FPath + name);
}

std::string WindowsDirectory()
{
    char buffer[MAX_PATH + 1] = {};
    GetWindowsDirectoryA(buffer, MAX_PATH);
    std::string dir = buffer;
    if (!dir.empty() && dir.back() != '\\')
        dir += '\\';
    return dir;
}

std::string ProcessTag()
{
    return std::to_string(GetCurrentProcessId());
}

SYSTEMTIME LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    return t;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string VersionedLibrary(int build)
{
    return ReadWholeFile(std::string(PS_VERIFY_DATA_DIR) + "/verify_v" + std::to_string(build) +
                         ".dll");
}
