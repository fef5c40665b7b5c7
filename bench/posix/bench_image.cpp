// bench_image DIR COUNT: the native benchmark's offline image DIR/WINNT,
// COUNT hotfixes with an uninstall directory of five files each, as
// bench/make-bench.sh makes the live computer: the first half under Hotfix,
// the rest under SP4\Hotfix (Q300000 and up, as floor_posix expects).
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
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

void MakeFile(const std::string& path)
{
    if (!(std::ofstream(path, std::ios::binary) << path))
        throw std::runtime_error("cannot write " + path);
}

void MakeBenchImage(const std::string& win, int count)
{
    THiveBuilder software("SOFTWARE");
    software.SetValue(kCurrentVersion, "CSDVersion", kRegSz, RegSzData("Service Pack 4"));
    for (int i = 0; i < count; ++i) {
        const std::string id = "Q" + std::to_string(300000 + i);
        const std::string key =
            kCurrentVersion + (i < count / 2 ? "\\Hotfix\\" : "\\SP4\\Hotfix\\") + id;
        software.SetValue(key, "Fix Description", kRegSz,
                          RegSzData("Kernel fix number " + std::to_string(i + 1) +
                                    " for a problem found in the field"));
        software.SetValue(key, "Installed", kRegSz, RegSzData("1"));
        software.SetValue(key + "\\File 1", "Name", kRegSz,
                          RegSzData("fix" + std::to_string(i + 1) + ".dll"));
        const std::string dir = win + "/$NtUninstall" + id + "$";
        MakeDir(dir);
        const std::string n = std::to_string(i + 1);
        for (const std::string& name :
             {std::string("uninst.inf"), std::string("hotfix.inf"), std::string("hotfix.exe"),
              "fix" + n + ".dll", "fix" + n + ".sys"})
            MakeFile(dir + "/" + name);
    }
    software.WriteFile(win + "/system32/config/software");
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DIR COUNT\n", argv[0]);
        return 2;
    }
    try {
        const std::string win = std::string(argv[1]) + "/WINNT";
        for (const std::string& dir : {std::string(argv[1]), win, win + "/system32",
                                       win + "/system32/config"})
            MakeDir(dir);
        MakeBenchImage(win, std::stoi(argv[2]));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_image: %s\n", error.what());
        return 1;
    }
    return 0;
}
