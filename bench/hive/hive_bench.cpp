// hive_bench [COUNT [HIVEFILE]]
//
// The hive reading alone: a SOFTWARE hive of COUNT hotfixes (10,000 unless
// given) with the data of the console benchmark (make-bench.sh: half under
// CurrentVersion\Hotfix, half under SP4\Hotfix, each with a description, an
// "Installed" flag and a "File 1" subkey) is written to HIVEFILE (a scratch
// file unless given), then read from the file and every hotfix key's values
// and its file subkey's values enumerated, as the offline listing reads them.
// Prints the best and the median of five runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "HiveWriter.h"
#include "RegHive.h"

namespace {

const std::string kCurrentVersion = "Microsoft\\Windows NT\\CurrentVersion";

THiveBuilder& Fill(THiveBuilder& b, int count) {
    static const char* const kAreas[] = {"Network stack", "File system", "Print spooler", "Logon service",
                                         "Graphics subsystem", "Remote access", "Kernel"};
    b.SetValue(kCurrentVersion, "CSDVersion", kRegSz, RegSzData("Service Pack 4"));
    for (int i = 0; i < count; ++i) {
        int line = i + 1;
        char id[16];
        std::snprintf(id, sizeof id, "Q%06d", 300000 + i);
        std::string key = kCurrentVersion + (line <= count / 2 ? "\\Hotfix\\" : "\\SP4\\Hotfix\\") + id;
        b.SetValue(key, "Fix Description", kRegSz,
                   RegSzData(std::string(kAreas[line % 7]) + " fix number " + std::to_string(line) +
                             " for a problem found in the field"));
        b.SetValue(key, "Installed", kRegSz, RegSzData("1"));
        b.SetValue(key + "\\File 1", "Name", kRegSz, RegSzData("fix" + std::to_string(line) + ".dll"));
    }
    return b;
}

double Milliseconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

// Reads the file and walks both hotfix lists; returns the bytes of value data seen.
std::size_t ReadAll(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::string content(static_cast<std::size_t>(std::filesystem::file_size(fileName)), '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    THiveFile hive(std::move(content), fileName);
    std::size_t bytes = 0;
    auto values = [&](THiveFile::TKey key) {
        for (const std::string& name : hive.ValueNames(key)) bytes += hive.ReadValue(key, name)->Data.size();
    };
    for (const char* list : {"\\Hotfix", "\\SP4\\Hotfix"}) {
        std::string path = kCurrentVersion + list;
        auto key = hive.OpenKey(path);
        if (!key) continue;
        for (const std::string& id : hive.SubkeyNames(*key)) {
            auto hotfix = hive.OpenKey(path + "\\" + id);
            values(*hotfix);
            for (const std::string& file : hive.SubkeyNames(*hotfix)) values(*hive.OpenKey(path + "\\" + id + "\\" + file));
        }
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    bool scratch = argc <= 2;
    std::string fileName = scratch ? (std::filesystem::temp_directory_path() / "hive_bench.hiv").string() : argv[2];
    if (count < 1) {
        std::fprintf(stderr, "usage: hive_bench [COUNT [HIVEFILE]]\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    THiveBuilder b;
    Fill(b, count).WriteFile(fileName);
    std::printf("hive of %d hotfixes written in %.0f ms: %ju bytes, %s\n", count, Milliseconds(start),
                static_cast<std::uintmax_t>(std::filesystem::file_size(fileName)), fileName.c_str());
    std::vector<double> runs;
    std::size_t bytes = 0;
    for (int run = 0; run < 5; ++run) {
        start = std::chrono::steady_clock::now();
        bytes = ReadAll(fileName);
        runs.push_back(Milliseconds(start));
    }
    std::sort(runs.begin(), runs.end());
    std::printf("hive reading: best %.1f ms, median %.1f ms (%.1f us a hotfix; %zu bytes of value data)\n", runs[0],
                runs[2], runs[2] * 1000 / count, bytes);
    if (scratch) std::filesystem::remove(fileName);
    return 0;
}
