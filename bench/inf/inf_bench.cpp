// inf_bench [KILOBYTES]
//
// The reading of one large uninstall script (1,024 KB unless given): a
// [Strings] section of thousands of keys, file lines that name them as
// %tokens%, and as many copy lists, each with its [DestinationDirs] entry,
// as the script has room for. Reads it into a TInfFile and places its files
// (CopyFilePlacements), as the verification does for each uninstall
// directory. Prints the script's size and the best and the median of five runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "InfFile.h"

namespace {

// About a third of the bytes each for the strings, the lists and their
// destinations with the CopyFiles line.
std::string Script(std::size_t bytes) {
    const std::size_t lists = bytes / 90;
    std::string strings = "[Strings]\n", copyFiles = "CopyFiles = ", destinations = "[DestinationDirs]\n",
                files;
    for (std::size_t i = 0; i < lists; ++i) {
        const std::string n = std::to_string(i);
        strings += "File" + n + " = \"library" + n + ".dll\"\n";
        copyFiles += (i ? ", List" : "List") + n;
        destinations += "List" + n + " = " + (i % 2 ? "11" : "12") + "\n";
        files += "[List" + n + "]\n%file" + n + "%, saved" + n + ".dll\n";
    }
    return "[Version]\nSignature = \"$Windows NT$\"\n[DefaultInstall]\n" + copyFiles + "\n" + destinations +
           files + strings;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::size_t kilobytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1024;
    const std::string text = Script(kilobytes * 1024);
    std::vector<double> runs;
    std::size_t placed = 0;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const TInfFile inf(text);
        placed = CopyFilePlacements(inf).size();
        runs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    std::printf("script of %zu bytes, %zu files placed: best %.1f ms, median %.1f ms\n", text.size(), placed,
                runs.front(), runs[runs.size() / 2]);
    return 0;
}
