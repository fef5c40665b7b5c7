#include "TestFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string Native(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace

ScratchDir::ScratchDir(std::string path) : FPath(Native(std::move(path)) + "/")
{
    std::filesystem::remove_all(FPath);
    std::filesystem::create_directories(FPath);
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

void ScratchDir::AddFile(const std::string& name, const std::string& content)
{
    std::ofstream(FPath + Native(name), std::ios::binary | std::ios::trunc) << content;
}

void ScratchDir::AddFile(const std::string& name, std::time_t localTime, const std::string& content)
{
    AddFile(name, content);
    const struct timespec times[2] = {{localTime, 0}, {localTime, 0}};
    if (utimensat(AT_FDCWD, (FPath + Native(name)).c_str(), times, 0) != 0)
        throw std::runtime_error("cannot set the time of " + FPath + name);
}

void ScratchDir::AddSubdirectory(const std::string& name)
{
    std::filesystem::create_directories(FPath + Native(name));
}

std::string WindowsDirectory() { return std::filesystem::temp_directory_path().string() + "/"; }

std::string ProcessTag() { return std::to_string(getpid()); }

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    struct tm local {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

std::string VersionedLibrary(int build)
{
    std::ifstream in(std::string(PS_FUZZ_SEEDS_DIR) +
                     (build == 100 ? "/pe32-version.dll" : "/pe32plus-version.dll"),
                     std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
