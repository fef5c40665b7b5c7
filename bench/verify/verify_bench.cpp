// Times the verification of the benchmark computer (every hotfix's uninstall
// directory with its script and two saved files, installed copies in
// system32 and system32\drivers) against its floor: the same listings,
// script reads and version resources (two per file) as plain API calls.
// A second floor reads the files' bytes instead of asking the platform for
// their version resources, as the verification itself does. Prints the
// medians (RUNS by turns, default 3), the ratios and the summary.
//
//   verify_bench [RUNS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "HotfixRecords.h"
#include "LiveTarget.h"
#include "HotfixVerify.h"
#include "RegistryEx.h"
#include "TargetAccessWin.h"
#include "ps_common.h"

namespace {

class TCountingSink : public TVerifySink {
public:
    bool Continue(int, int, const std::string&) override { return true; }
    void FileVerified(const TVerifiedFile& file) override { Counts.Add(file); }
    // A figure of an incomplete run would measure something else.
    void VerificationIncomplete(const std::string& why) override
    {
        throw std::runtime_error(why);
    }
    TVerifyCounts Counts;
};

std::vector<std::string> ListFiles(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA((dir + "*.*").c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE)
        return names;
    do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    while (FindNextFileA(listing, &found));
    FindClose(listing);
    return names;
}

void ReadScript(const std::string& path, std::vector<char>& buffer)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD read = 0;
    buffer.resize(65536);
    ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr);
    CloseHandle(file);
}

DWORD FixedVersion(const std::string& path, std::vector<char>& buffer)
{
    DWORD handle = 0;
    buffer.resize(GetFileVersionInfoSizeA(path.c_str(), &handle));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (buffer.empty() ||
        !GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(buffer.size()), buffer.data()) ||
        !VerQueryValueA(buffer.data(), "\\", reinterpret_cast<void**>(&fixed), &size) || !fixed)
        return 0;
    return fixed->dwFileVersionLS;
}

// The bytes of a whole file, as the verification reads a version resource.
DWORD ReadWhole(const std::string& path, std::vector<char>& buffer)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD total = 0, read = 0;
    buffer.resize(65536);
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read)
        total += read;
    CloseHandle(file);
    return total;
}

// The plain calls: where the script puts each file is known here (".sys"
// files in drivers, the rest in system32) and taken for granted. The
// version resources through the platform's functions, or (PlainReads) as
// the files' bytes.
long Floor(const std::string& windows, const std::vector<std::string>& listed, bool plainReads)
{
    std::vector<char> buffer;
    long sum = static_cast<long>(ListFiles(windows + "\\").size());
    const std::string system = windows + "\\system32\\";
    for (const std::string& id : listed) {
        const std::string dir = windows + "\\$NtUninstall" + id + "$\\";
        const std::vector<std::string> names = ListFiles(dir);
        ReadScript(dir + "uninst.inf", buffer);
        for (const std::string& name : names) {
            if (name == "uninst.inf" || name == "hotfix.inf" || name == "hotfix.exe")
                continue;
            const std::string installed =
                (name.ends_with(".sys") ? system + "drivers\\" : system) + name;
            WIN32_FIND_DATAA found;
            HANDLE entry = FindFirstFileA(installed.c_str(), &found);
            if (entry != INVALID_HANDLE_VALUE)
                FindClose(entry);
            if (plainReads)
                sum += static_cast<long>(ReadWhole(installed, buffer) == ReadWhole(dir + name, buffer));
            else
                sum += static_cast<long>(FixedVersion(installed, buffer) > FixedVersion(dir + name, buffer));
        }
    }
    ListFiles(windows + "\\$NtServicePackUninstall$\\");
    return sum;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    double start = Seconds();
    TRegIniFileEx registry("");
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    TLiveHotfixReader reader(registry, "", HotfixRecordOptions(), false);
    const THotfixRecords records = ReadHotfixRecords(reader);
    const double registrySeconds = Seconds() - start;
    const std::string windows = LocalWindowsDirectory();
    const auto files = OpenTargetFiles("");

    std::vector<double> floors, readFloors, verifications;
    TVerifyCounts counts;
    long floorSum = 0;
    for (int run = 0; run < runs; ++run) {
        start = Seconds();
        floorSum = Floor(windows, records.Listed, false);
        floors.push_back(Seconds() - start);
        start = Seconds();
        Floor(windows, records.Listed, true);
        readFloors.push_back(Seconds() - start);
        TCountingSink sink;
        start = Seconds();
        VerifyHotfixes(*files, records.Listed, records.Recorded, sink);
        verifications.push_back(Seconds() - start);
        counts = sink.Counts;
    }
    const double floor = Median(floors), readFloor = Median(readFloors);
    const double verification = Median(verifications);
    std::printf("hotfixes listed: %zu (registry read in %.3f s)\n", records.Listed.size(),
                registrySeconds);
    std::printf("%s\n", VerifySummary(counts).c_str());
    std::printf("floor (listings, scripts, two version resources per file): %.3f s (%ld in effect)\n",
                floor, floorSum);
    std::printf("floor with the files' bytes read instead (as the verification reads them): %.3f s\n",
                readFloor);
    std::printf("verification: %.3f s\n", verification);
    std::printf("ratio verification / floor: %.2f (goal: at most 1.5)\n", verification / floor);
    std::printf("ratio verification / floor of plain reads: %.2f\n", verification / readFloor);
    return 0;
}
