// offline-hive SOFTWARE COUNT: the SOFTWARE hive of the benchmark computer
// (bench/make-bench.sh) as a registry file, for the offline listing of the
// same data (bench/offline-bench.sh): Service Pack 4, COUNT hotfixes Q300000
// and up, the first half under ...\CurrentVersion\Hotfix and the rest under
// ...\SP4\Hotfix, each with the same "Fix Description", "Installed" and
// "File 1" as the live registry holds.
#include <cstdio>
#include <exception>
#include <string>

#include "HiveWriter.h"

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fputs("usage: offline-hive SOFTWARE COUNT\n", stderr);
        return 2;
    }
    const int count = std::stoi(argv[2]);
    const std::string cv = "Microsoft\\Windows NT\\CurrentVersion";
    const char* const areas[] = {"Network stack", "File system",        "Print spooler",
                                 "Logon service", "Graphics subsystem", "Remote access",
                                 "Kernel"};
    THiveBuilder hive("SOFTWARE");
    hive.SetValue(cv, "CSDVersion", kRegSz, RegSzData("Service Pack 4"));
    for (int i = 0; i < count; ++i) {
        const int line = i + 1;   // the numbering of make-bench.sh
        const std::string key = cv + (line <= count / 2 ? "\\Hotfix\\" : "\\SP4\\Hotfix\\") + "Q" +
                                std::to_string(300000 + i);
        hive.SetValue(key, "Fix Description", kRegSz,
                      RegSzData(std::string(areas[line % 7]) + " fix number " +
                                std::to_string(line) + " for a problem found in the field"));
        hive.SetValue(key, "Installed", kRegSz, RegSzData("1"));
        hive.SetValue(key + "\\File 1", "Name", kRegSz,
                      RegSzData("fix" + std::to_string(line) + ".dll"));
    }
    try {
        hive.WriteFile(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "offline-hive: %s\n", error.what());
        return 1;
    }
    return 0;
}
