// Times the details window's scan of a service-pack uninstall directory of
// 3,000 files, a third of them with version resources: with an empty listing
// cache (cold) and with the cache of the previous scan (warm), each against
// its floor of plain API calls on the same directory. Prints the medians,
// the ratios and the version resources each scan read.
//
//   details_bench VERSIONED_DLL [RUNS]
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "HotfixCache.h"
#include "UserOpts.h"
#include "Window.h"
#include "components/ExtListView.h"
#include "ps_common.h"
#include "ps_details.h"

namespace {

constexpr int kFiles = 3000;
constexpr int kVersionedEvery = 3;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The directory anew: every third file a copy of the versioned library, the
// others small text files.
void MakeDirectory(const std::string& directory, const std::string& versioned)
{
    const std::string pattern = directory + "*.*";
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((directory + found.cFileName).c_str());
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    CreateDirectoryA(directory.c_str(), nullptr);
    const std::string text(512, 't');
    for (int file = 0; file < kFiles; ++file) {
        char name[32];
        const bool withVersion = file % kVersionedEvery == 0;
        std::snprintf(name, sizeof name, "f%04d.%s", file, withVersion ? "dll" : "txt");
        std::ofstream out(directory + name, std::ios::binary);
        out << (withVersion ? versioned : text);
    }
}

struct TScanResult {
    double Seconds = 0;
    int VersionReads = 0;
    int Rows = 0;
};

TScanResult Scan(TUserOptions& options)
{
    TScanResult result;
    auto window = std::make_unique<TfrmDetails>(nullptr, options, std::function<void(bool)>());
    window->SetServicePackLayout("Service Pack");
    const double start = Seconds();
    window->Show();
    result.Seconds = Seconds() - start;
    result.VersionReads = window->VersionResourcesRead();
    result.Rows = window->FileList().ItemCount();
    window.reset();
    Application().ProcessMessages();
    return result;
}

// The plain calls of a scan: the listing, the small icon of each file type,
// and with Versions the version information of the libraries.
double Floor(const std::string& directory, bool versions)
{
    const double start = Seconds();
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((directory + "*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    std::vector<char> info;
    std::vector<std::string> types;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::string path = directory + found.cFileName;
        const std::string type = path.substr(path.rfind('.'));
        if (std::find(types.begin(), types.end(), type) == types.end()) {
            types.push_back(type);
            SHFILEINFOA icon{};
            SHGetFileInfoA(path.c_str(), found.dwFileAttributes, &icon, sizeof icon,
                           SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
        }
        const std::size_t length = path.size();
        if (versions && length > 4 && path.compare(length - 4, 4, ".dll") == 0) {
            DWORD handle = 0;
            const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
            info.resize(size);
            if (size)
                GetFileVersionInfoA(path.c_str(), 0, size, info.data());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return Seconds() - start;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: details_bench VERSIONED_DLL [RUNS]\n");
        return 2;
    }
    const std::string versioned = ReadFile(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    if (versioned.empty()) {
        std::fprintf(stderr, "details_bench: cannot read %s\n", argv[1]);
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    try {
        const std::string directory = GetServicePackUninstallDir("");
        MakeDirectory(directory, versioned);
        TUserOptions options;
        options.Load();
        options.ViewIcons = true;
        options.UseCache = true;
        options.UseIdle = false;

        // One scan of each kind first, so that no timed run pays for a cold
        // file cache or a first loading of the shell's icons.
        ClearHotfixCache();
        Scan(options);
        Floor(directory, true);

        std::vector<double> cold, warm, coldFloor, warmFloor;
        TScanResult coldScan, warmScan;
        for (int run = 0; run < runs; ++run) {
            ClearHotfixCache();
            coldScan = Scan(options);
            cold.push_back(coldScan.Seconds);
            coldFloor.push_back(Floor(directory, true));
            warmScan = Scan(options);
            warm.push_back(warmScan.Seconds);
            warmFloor.push_back(Floor(directory, false));
        }
        const double coldSeconds = Median(cold), warmSeconds = Median(warm);
        const double coldFloorSeconds = Median(coldFloor), warmFloorSeconds = Median(warmFloor);
        std::printf("Details scan of %d files (%d with version resources, %d rows), median of %d runs:\n",
                    kFiles, (kFiles + kVersionedEvery - 1) / kVersionedEvery, coldScan.Rows, runs);
        std::printf("  cold scan (empty cache)                  %7.3f s   version resources read: %d\n",
                    coldSeconds, coldScan.VersionReads);
        std::printf("  floor: listing, version info, icons      %7.3f s\n", coldFloorSeconds);
        std::printf("  ratio cold / floor                       %7.2f     (goal: at most 1.5)\n",
                    coldSeconds / coldFloorSeconds);
        std::printf("  warm scan (cache of the previous scan)   %7.3f s   version resources read: %d\n",
                    warmSeconds, warmScan.VersionReads);
        std::printf("  floor: listing, icons                    %7.3f s\n", warmFloorSeconds);
        std::printf("  ratio warm / floor                       %7.2f     (goal: at most 1.5, no version resource read)\n",
                    warmSeconds / warmFloorSeconds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "details_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
