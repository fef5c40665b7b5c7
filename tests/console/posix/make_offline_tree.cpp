// make_offline_tree DIR: the test tree DIR/WINNT, an offline Windows directory
// made with the test hive writer, its names in the case an image may keep
// them in (WINNT/System32/CONFIG/SOFTWARE, $NTUNINSTALLQ123456$ ...).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <stdexcept>
#include <string>

#include "HiveWriter.h"

namespace {

const std::string kCurrentVersion = "Microsoft\\Windows NT\\CurrentVersion";

void MakeDir(const std::string& path)
{
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
        throw std::runtime_error("cannot create " + path);
}

// A file with some bytes and the given UTC time (seconds since 1970).
void MakeFile(const std::string& path, std::time_t time)
{
    std::ofstream(path, std::ios::binary) << path;
    const struct timespec times[2] = {{time, 0}, {time, 0}};
    if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
        throw std::runtime_error("cannot set the time of " + path);
}

std::string SystemTimeData(std::uint16_t month, std::uint16_t day, std::uint16_t hour)
{
    std::string data;
    for (std::uint16_t part : {std::uint16_t{0}, month, std::uint16_t{0}, day, hour,
                               std::uint16_t{0}, std::uint16_t{0}, std::uint16_t{0}})
        data += {static_cast<char>(part & 0xFF), static_cast<char>(part >> 8)};
    return data;
}

// Central European time: UTC+1, summer time from the last Sunday of March
// 02:00 to the last Sunday of October 03:00.
void WriteSystemHive(const std::string& path)
{
    THiveBuilder system("SYSTEM");
    system.SetValue("Select", "Current", kRegDword, RegDwordData(1));
    const std::string zone = "ControlSet001\\Control\\TimeZoneInformation";
    system.SetValue(zone, "Bias", kRegDword, RegDwordData(static_cast<std::uint32_t>(-60)));
    system.SetValue(zone, "StandardBias", kRegDword, RegDwordData(0));
    system.SetValue(zone, "DaylightBias", kRegDword, RegDwordData(static_cast<std::uint32_t>(-60)));
    system.SetValue(zone, "StandardStart", kRegBinary, SystemTimeData(10, 5, 3));
    system.SetValue(zone, "DaylightStart", kRegBinary, SystemTimeData(3, 5, 2));
    system.WriteFile(path);
}

void MakeTestTree(const std::string& win)
{
    constexpr std::time_t kWinter = 983710929;   // 2001-03-04 13:02:09 UTC
    constexpr std::time_t kSummer = 995191200;   // 2001-07-15 10:00:00 UTC
    THiveBuilder software("SOFTWARE");
    const std::string hotfix = kCurrentVersion + "\\Hotfix\\";
    software.SetValue(hotfix + "Q123456", "Fix Description", kRegSz,
                      RegSzData("Caf\u00e9 printing fix"));
    software.SetValue(hotfix + "Q234567", "Fix Description", kRegMultiSz,
                      RegMultiSzData({"First line", "Second line"}));
    software.Key(hotfix + "Q147222");
    software.Key(hotfix + "Q999999");
    software.SetValue(kCurrentVersion + "\\SP4\\Hotfix\\Q345678", "Fix Description", kRegSz,
                      RegSzData("Service pack fix"));
    software.SetValue(hotfix + "Q456789", "Fix Description", kRegExpandSz,
                      RegSzData("Summer fix"));
    software.SetValue("Brightwater\\Patchscope", "Hotfixes to ignore", kRegSz,
                      RegSzData("Q999999"));
    software.WriteFile(win + "/System32/CONFIG/SOFTWARE");
    WriteSystemHive(win + "/System32/CONFIG/system");

    // A name inside the directory is taken as listed: Uninst.INF is a replaced file.
    MakeDir(win + "/$NTUNINSTALLQ123456$");
    MakeFile(win + "/$NTUNINSTALLQ123456$/Uninst.INF", kWinter);
    MakeFile(win + "/$NTUNINSTALLQ123456$/Cafe\u00e9.dll", kWinter);
    MakeDir(win + "/$NtUninstallQ345678$");
    for (const char* name : {"uninst.inf", "hotfix.inf", "hotfix.exe", "a.dll", "b.sys"})
        MakeFile(win + "/$NtUninstallQ345678$/" + name, kWinter);
    MakeDir(win + "/$NtUninstallQ345678$/sub");
    MakeDir(win + "/$ntuninstallq456789$");
    MakeFile(win + "/$ntuninstallq456789$/uninst.inf", kSummer);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    try {
        const std::string win = std::string(argv[1]) + "/WINNT";
        for (const std::string& dir : {std::string(argv[1]), win, win + "/System32",
                                       win + "/System32/CONFIG"})
            MakeDir(dir);
        MakeTestTree(win);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_offline_tree: %s\n", error.what());
        return 1;
    }
    return 0;
}
