// Times the details window's scan of a service-pack uninstall directory of
// 3,000 files, a third of them with version resources: with an empty listing
// cache (cold) and with the cache of the previous scan (warm), each against
// its floor of plain API calls on the same directory. Prints the medians,
// the ratios and the version resources each scan read.
//
// Two kinds of figures: in this process (the scan alone against the listing,
// icon and version calls), and from outside (a process of this program that
// scans and ends once every row is in the list, against a floor process that
// makes the same calls and inserts every row into a report list view, each
// with its own start).
//
//   details_bench VERSIONED_DLL [RUNS]
//   details_bench --scan RESULTFILE       one scan, for the figures from outside
//   details_bench --floor cold|warm       one floor process
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <utility>
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
#include "ps_verify.h"

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

std::string SystemDirectory()
{
    char path[MAX_PATH] = {};
    GetSystemDirectoryA(path, MAX_PATH);
    return std::string(path) + "\\";
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
    const std::string system = SystemDirectory();
    for (int file = 0; file < kFiles; ++file) {
        char name[32];
        const bool withVersion = file % kVersionedEvery == 0;
        std::snprintf(name, sizeof name, "f%04d.%s", file, withVersion ? "dll" : "txt");
        // The saved copy, and the installed one where the verification finds it.
        for (const std::string& place : {directory, system})
            std::ofstream(place + name, std::ios::binary) << (withVersion ? versioned : text);
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

// The floor of a whole scan: the listing, the small icon of each file type,
// with Versions the version texts of the libraries, and every row with its
// texts in a report list view of a window on the screen.
[[noreturn]] void FloorProcess(const std::string& directory, bool versions)
{
    HWND frame = CreateWindowExA(0, "STATIC", "floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                 500, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS, 0, 0, 490,
                                270, frame, nullptr, GetModuleHandleA(nullptr), nullptr);
    SHFILEINFOA shared{};
    const auto images = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(
        "C:\\", 0, &shared, sizeof shared, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    for (const char* caption : {"Filename", "Time stamp", "File size", "File version", "Description"}) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 90;
        column.pszText = const_cast<char*>(caption);
        SendMessageA(list, LVM_INSERTCOLUMNA, 5, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((directory + "*.*").c_str(), &found);
    std::vector<char> info;
    std::vector<std::pair<std::string, int>> types;
    int row = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            const std::string path = directory + found.cFileName;
            const std::string type = path.substr(path.rfind('.'));
            auto known = std::find_if(types.begin(), types.end(),
                                      [&](const auto& entry) { return entry.first == type; });
            if (known == types.end()) {
                SHFILEINFOA icon{};
                SHGetFileInfoA(path.c_str(), found.dwFileAttributes, &icon, sizeof icon,
                               SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
                types.emplace_back(type, icon.iIcon);
                known = types.end() - 1;
            }
            std::string version = "(unknown)", description = "(unknown)";
            if (versions && type == ".dll") {
                DWORD handle = 0;
                const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
                info.resize(size);
                char* text = nullptr;
                UINT length = 0;
                if (size && GetFileVersionInfoA(path.c_str(), 0, size, info.data())) {
                    if (VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\FileVersion",
                                       reinterpret_cast<void**>(&text), &length) && text)
                        version = text;
                    if (VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\FileDescription",
                                       reinterpret_cast<void**>(&text), &length) && text)
                        description = text;
                }
            }
            FILETIME local{};
            SYSTEMTIME time{};
            FileTimeToLocalFileTime(&found.ftLastWriteTime, &local);
            FileTimeToSystemTime(&local, &time);
            char stamp[32], size[16];
            std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear,
                          time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
            std::snprintf(size, sizeof size, "%lu", found.nFileSizeLow);
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = row;
            item.pszText = found.cFileName;
            item.iImage = known->second;
            const int index = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
            const std::string texts[] = {stamp, size, version, description};
            for (int column = 0; column < 4; ++column) {
                LVITEMA sub{};
                sub.iSubItem = column + 1;
                sub.pszText = const_cast<char*>(texts[column].c_str());
                SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
            }
            ++row;
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(frame);
    // Timed until every row is in the list: the process ends here.
    ExitProcess(0);
}

// The floor of a verification of the directory: the listing, each installed
// file found, the fixed versions of both copies of the libraries, and every
// row with its texts in a report list view of a window on the screen.
[[noreturn]] void VerifyFloorProcess(const std::string& directory)
{
    HWND frame = CreateWindowExA(0, "STATIC", "floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 80,
                                 900, 400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT,
                                0, 0, 890, 370, frame, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int column = 0; column < 7; ++column) {
        LVCOLUMNA item{};
        item.mask = LVCF_TEXT | LVCF_WIDTH;
        item.cx = 90;
        item.pszText = const_cast<char*>("Column");
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    const std::string system = SystemDirectory();
    std::vector<char> info;
    auto fixedVersion = [&](const std::string& path) -> std::string {
        DWORD handle = 0;
        info.resize(GetFileVersionInfoSizeA(path.c_str(), &handle));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT size = 0;
        if (info.empty() || !GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()) ||
            !VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size) || !fixed)
            return "";
        char text[64];
        std::snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", fixed->dwFileVersionMS >> 16,
                      fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
                      fixed->dwFileVersionLS & 0xFFFF);
        return text;
    };
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((directory + "*.*").c_str(), &found);
    int row = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            const std::string name = found.cFileName;
            const std::string installed = system + name;
            WIN32_FIND_DATAA entry{};
            HANDLE one = FindFirstFileA(installed.c_str(), &entry);
            if (one != INVALID_HANDLE_VALUE)
                FindClose(one);
            std::string installedVersion, savedVersion;
            if (name.ends_with(".dll")) {
                installedVersion = fixedVersion(installed);
                savedVersion = fixedVersion(directory + name);
            }
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = row++;
            item.pszText = const_cast<char*>("Service Pack");
            const int index = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
            const std::string texts[] = {name, "Undone", installed, installedVersion, savedVersion,
                                         "guessed; versions compared"};
            for (int column = 0; column < 6; ++column) {
                LVITEMA sub{};
                sub.iSubItem = column + 1;
                sub.pszText = const_cast<char*>(texts[column].c_str());
                SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(frame);
    // Timed until every row is in the list: the process ends here.
    ExitProcess(0);
}

// The verification window of this computer in a process of its own.
int VerifyProcess()
{
    TUserOptions options;
    options.Load();
    options.UseIdle = false;
    auto window = std::make_unique<TfrmVerify>(nullptr, options, std::function<void(bool)>());
    window->Show();
    // Timed until every row is in the list: the process ends here.
    ExitProcess(window->FileList().ItemCount() > 0 ? 0 : 1);
}

// One scan in a process of its own; the rows and the version resources read
// go to ResultFile.
int ScanProcess(const std::string& resultFile)
{
    TUserOptions options;
    options.Load();
    options.ViewIcons = true;
    options.UseCache = true;
    options.UseIdle = false;
    auto window = std::make_unique<TfrmDetails>(nullptr, options, std::function<void(bool)>());
    window->SetServicePackLayout("Service Pack");
    window->Show();
    std::ofstream(resultFile) << window->FileList().ItemCount() << ' '
                              << window->VersionResourcesRead() << '\n';
    // Timed until every row is in the list: the process ends here.
    ExitProcess(0);
}

// Seconds from the start of a process of this program with Arguments to its end.
double TimeProcess(const std::string& arguments)
{
    std::string self(MAX_PATH, '\0');
    self.resize(GetModuleFileNameA(nullptr, self.data(), MAX_PATH));
    std::string command = "\"" + self + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = Seconds();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        throw std::runtime_error("cannot start " + command + " (error " + std::to_string(GetLastError()) + ")");
    WaitForSingleObject(process.hProcess, INFINITE);
    const double seconds = Seconds() - start;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--floor") {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        FloorProcess(GetServicePackUninstallDir(""), std::string(argv[2]) == "cold");
        return 0;
    }
    if (argc == 2 && (std::string(argv[1]) == "--verify" || std::string(argv[1]) == "--verify-floor")) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        if (std::string(argv[1]) == "--verify")
            return VerifyProcess();
        VerifyFloorProcess(GetServicePackUninstallDir(""));
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--scan") {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        return ScanProcess(argv[2]);
    }
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
        // From outside: whole processes, each with its own start.
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        const std::string resultFile = std::string(temp) + "details_bench_result.txt";
        std::vector<double> coldProcess, warmProcess, coldFloorProcess, warmFloorProcess;
        for (int run = 0; run < runs; ++run) {
            ClearHotfixCache();
            coldProcess.push_back(TimeProcess("--scan \"" + resultFile + "\""));
            coldFloorProcess.push_back(TimeProcess("--floor cold"));
            warmProcess.push_back(TimeProcess("--scan \"" + resultFile + "\""));
            warmFloorProcess.push_back(TimeProcess("--floor warm"));
        }
        std::vector<double> verifyProcess, verifyFloorProcess;
        for (int run = 0; run < runs; ++run) {
            verifyProcess.push_back(TimeProcess("--verify"));
            verifyFloorProcess.push_back(TimeProcess("--verify-floor"));
        }
        int processRows = 0, processReads = 0;
        std::ifstream(resultFile) >> processRows >> processReads;
        DeleteFileA(resultFile.c_str());

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
        std::printf("From outside, process start included, until every row is in a list (%d rows):\n",
                    processRows);
        const double coldOutside = Median(coldProcess), warmOutside = Median(warmProcess);
        const double coldFloorOutside = Median(coldFloorProcess), warmFloorOutside = Median(warmFloorProcess);
        std::printf("  cold scan process                        %7.3f s\n", coldOutside);
        std::printf("  floor process: versions, icons, rows     %7.3f s\n", coldFloorOutside);
        std::printf("  ratio cold / floor process               %7.2f     (goal: at most 1.25)\n",
                    coldOutside / coldFloorOutside);
        std::printf("  warm scan process                        %7.3f s   version resources read: %d\n",
                    warmOutside, processReads);
        std::printf("  floor process: icons, rows               %7.3f s\n", warmFloorOutside);
        std::printf("  ratio warm / floor process               %7.2f     (goal: at most 1.25)\n",
                    warmOutside / warmFloorOutside);
        // The same directory verified, every file installed in system32.
        const double verifyOutside = Median(verifyProcess), verifyFloorOutside = Median(verifyFloorProcess);
        std::printf("  verification window process              %7.3f s\n", verifyOutside);
        std::printf("  floor process: finds, versions, rows     %7.3f s\n", verifyFloorOutside);
        std::printf("  ratio verification / floor process       %7.2f     (goal: at most 1.25)\n",
                    verifyOutside / verifyFloorOutside);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "details_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
