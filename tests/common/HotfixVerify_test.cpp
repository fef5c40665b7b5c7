// Verification of a Windows directory of its own (reached as an offline
// path, on both platforms): scripts that place files in system32 and
// system32\drivers, a missing and a damaged script, the service pack and an orphaned directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "HotfixVerify.h"
#include "PeVersion.h"
#ifdef _WIN32
#include <windows.h>

#include "TargetAccessWin.h"
#include "TestFiles.h"
constexpr std::size_t kPathLimit = MAX_PATH;
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <regex>

#include "PosixFileSource.h"
constexpr std::size_t kPathLimit = PATH_MAX;
// TestFiles.h's helpers, "\\" in names as on Windows, the fuzzers' seeds as libraries.
struct ScratchDir {
    explicit ScratchDir(const std::string& path) : FPath(path + "/") { AddSubdirectory(""); }
    ~ScratchDir() { std::filesystem::remove_all(FPath, FError); }
    const std::string& Path() const { return FPath; }
    std::string PathOf(std::string name) const { return FPath + std::regex_replace(name, std::regex("\\\\"), "/"); }
    void AddSubdirectory(const std::string& name) { std::filesystem::create_directories(PathOf(name)); }
    void AddFile(const std::string& name, const std::string& content) { std::ofstream(PathOf(name)) << content; }
    void AddFile(const std::string& name, std::time_t time, const std::string& content)
    {
        AddFile(name, content);
        const struct timespec times[2] = {{time, 0}, {time, 0}};
        utimensat(AT_FDCWD, PathOf(name).c_str(), times, 0);
    }
    std::string FPath;
    std::error_code FError;
};
std::string WindowsDirectory() { return std::filesystem::temp_directory_path().string() + "/"; }
std::string ProcessTag() { return std::to_string(getpid()); }
std::time_t LocalTime(int year, int month, int day)
{
    struct tm local {.tm_mday = day, .tm_mon = month - 1, .tm_year = year - 1900, .tm_isdst = -1};
    return std::mktime(&local);
}
std::string VersionedLibrary(int build)
{
    std::ifstream in(PS_SEEDS_DIR + std::string(build == 100 ? "/pe32-version.dll" : "/pe32plus-version.dll"));
    return {std::istreambuf_iterator<char>(in), {}};
}
std::unique_ptr<TFileSource> OpenTargetFiles(const std::string& dir) { return std::make_unique<TPosixFileSource>(dir); }
#endif

namespace {

const std::string kScript = R"([Version]
Signature = "$Windows NT$"   ; a comment
[Strings]
Saved = "newer.dll"
[DefaultInstall]
CopyFiles = Restored.System32, \
            Restored.Drivers, @plain.txt
[DestinationDirs]
Restored.System32 = 11
Restored.Drivers = 12 ; system32\drivers
DefaultDestDir = 10
[Restored.System32]
%Saved%
equal.dll
gone.dll
"renamed.dll", "saved name.dll"
[Restored.Drivers]
older.sys
)";

class TRows : public TVerifySink {
public:
    explicit TRows(std::string root) : FRoot(std::move(root)) {}
    bool Continue(int done, int total, const std::string& fileName) override
    {
        if (!fileName.empty())
            FileSteps.push_back(std::to_string(done) + "/" + std::to_string(total));
        return true;
    }
    void FileVerified(const TVerifiedFile& file) override
    {
        Counts.Add(file);
        auto version = [](const std::optional<TFileVersion>& v) {
            return v ? FileVersionText(*v) : std::string("-");
        };
        auto relative = [this](const std::string& path) {
            return path.starts_with(FRoot) ? path.substr(FRoot.size()) : path;
        };
        std::string path = relative(file.InstalledPath);
        for (const std::string& place : file.LookedIn)
            path.append(1, ';').append(relative(place));
        std::replace(path.begin(), path.end(), '/', '\\');
        Lines.push_back(file.HotfixID + "|" + file.FileName + "|" + StateText(file.State) + "|" +
                        path + "|" + version(file.InstalledVersion) + "|" +
                        version(file.SavedVersion) + "|" + FindingText(file));
    }
    void VerificationIncomplete(const std::string& why) override { Failures.push_back(why); }
    std::vector<std::string> Lines, Failures;
    std::vector<std::string> FileSteps;   // "done/total" before each file
    TVerifyCounts Counts;

private:
    std::string FRoot;
};

}  // namespace

TEST(HotfixVerify, FilesOfScriptsGuessesServicePackAndOrphans)
{
    const std::string v1 = VersionedLibrary(100), v2 = VersionedLibrary(200);
    ASSERT_EQ(ReadFixedFileVersion(v1), 0x000400000565'0064u);   // 4.0.1381.100
    const auto early = LocalTime(2000, 1, 1), late = LocalTime(2001, 1, 1);

    ScratchDir root(WindowsDirectory() + "vfyroot" + ProcessTag());
    root.AddSubdirectory("system32\\drivers");
    for (const char* dir : {"$NtUninstallQ1$", "$NtUninstallQ2$", "$NtUninstallQ3$",
                            "$NtUninstallQ8$", "$NtUninstallQ9$", "$NtServicePackUninstall$"})
        root.AddSubdirectory(dir);
    const std::string q1 = "$NtUninstallQ1$\\", s32 = "system32\\", drv = "system32\\drivers\\";
    root.AddFile(q1 + "uninst.inf", kScript);
    root.AddFile(q1 + "hotfix.inf", "[Version]");
    for (const char* name : {"newer.dll", "gone.dll", "saved name.dll", "stray.dll"})
        root.AddFile(q1 + name, v1);
    root.AddFile(q1 + "equal.dll", v2);
    root.AddFile(q1 + "older.sys", v2);
    root.AddFile(q1 + "plain.txt", early, "saved");
    root.AddFile(s32 + "newer.dll", v2);
    root.AddFile(s32 + "equal.dll", v2);
    root.AddFile(s32 + "renamed.dll", v2);
    root.AddFile(drv + "older.sys", v1);
    root.AddFile(drv + "stray.dll", v2);
    root.AddFile("plain.txt", late, "installed");
    // No script: the first of system32, drivers, Windows directory counts.
    root.AddFile("$NtUninstallQ2$\\guess.dll", v2);
    root.AddFile(drv + "guess.dll", v1);
    root.AddFile("guess.dll", v2);
    root.AddFile("$NtUninstallQ3$\\uninst.inf", "[DefaultInstall\nCopyFiles = Lost\n");
    root.AddFile("$NtUninstallQ3$\\lost.dll", v1);
    root.AddFile("$NtServicePackUninstall$\\sp.dll", v1);
    root.AddFile(s32 + "sp.dll", v2);

    const std::string rootPath = root.Path().substr(0, root.Path().size() - 1);
    const auto files = OpenTargetFiles(rootPath);
    TRows rows(root.Path());
    // Q8 is recorded but ignored: neither verified nor orphaned.
    VerifyHotfixes(*files, {"Q1", "Q2", "Q3", "q1"}, {"Q1", "Q2", "Q3", "Q8"}, rows);

    const std::string a = "4.0.1381.100", b = "4.0.1381.200";
    const std::vector<std::string> expected = {
        "Q1|equal.dll|Undone|system32\\equal.dll|" + b + "|" + b + "|from the script; versions compared",
        "Q1|gone.dll|Missing|system32\\gone.dll|-|-|from the script",
        "Q1|newer.dll|In effect|system32\\newer.dll|" + b + "|" + a + "|from the script; versions compared",
        "Q1|older.sys|Undone|system32\\drivers\\older.sys|" + a + "|" + b + "|from the script; versions compared",
        "Q1|plain.txt|In effect|plain.txt|-|-|from the script; times compared",
        "Q1|saved name.dll|In effect|system32\\renamed.dll|" + b + "|" + a + "|from the script; versions compared",
        "Q1|stray.dll|In effect|system32\\drivers\\stray.dll|" + b + "|" + a + "|guessed; versions compared",
        "Q2|guess.dll|Undone|system32\\drivers\\guess.dll|" + a + "|" + b + "|script missing or damaged; versions compared",
        "Q3|lost.dll|Missing|;system32\\lost.dll;system32\\drivers\\lost.dll;lost.dll|-|-|script missing or damaged",
        "Service Pack|sp.dll|In effect|system32\\sp.dll|" + b + "|" + a + "|script missing or damaged; versions compared",
        "Q9||No registry record|$NtUninstallQ9$|-|-|",
    };
    // Q1's seven rows in name order, whatever order the file system lists them in.
    ASSERT_GE(rows.Lines.size(), 7u);
    std::sort(rows.Lines.begin(), rows.Lines.begin() + 7);
    EXPECT_EQ(rows.Lines, expected);
    EXPECT_EQ(rows.Failures, std::vector<std::string>());
    EXPECT_EQ(VerifySummary(rows.Counts),
              "10 files: 5 in effect, 3 undone, 2 missing; 1 uninstall directory without a registry record");
    EXPECT_FALSE(rows.Counts.AllInEffect());
    EXPECT_EQ(VerifySummary({}) + "|" + VerifySummary({}, false), "No hotfix has saved files to compare|0 files: 0 in effect, 0 undone, 0 missing");
    // The steps count the files, and the directory without a record as one.
    std::vector<std::string> steps;
    for (int done = 0; done < 10; ++done)
        steps.push_back(std::to_string(done) + "/11");
    EXPECT_EQ(rows.FileSteps, steps);
}

// A Windows directory named through "." parts, 25 characters short of the
// platform's limit: its service pack's directory, a script and a guessed place
// are past it, and so no answer, nor is the listing of a directory longer still.
TEST(HotfixVerify, PathsPastThePlatformsLimitAreNoAnswer)
{
    const std::string name = WindowsDirectory() + "vfylong" + ProcessTag();
    ScratchDir root(name + (name.size() % 2 ? "" : "x"));   // an even length with its separator
    for (const char* dir : {"system32", "$NtUninstallQ1$"})
        root.AddSubdirectory(dir);
    root.AddFile("$NtUninstallQ1$\\a.dll", VersionedLibrary(100));
    root.AddFile("system32\\a.dll", VersionedLibrary(200));
    root.AddFile("$NtUninstallQ1$\\long-name-of-a-driver.sys", "saved");
    std::string dir = root.Path();
    const std::string sep(1, dir.back());
    while (dir.size() < kPathLimit - 24)
        dir += "." + sep;
    TRows rows(dir);
    VerifyHotfixes(*OpenTargetFiles(dir.substr(0, dir.size() - 1)), {"Q1"}, {"Q1"}, rows);
    EXPECT_EQ(rows.Lines, std::vector<std::string>{"Q1|a.dll|In effect|system32\\a.dll|4.0.1381.200|"
                                                   "4.0.1381.100|script missing or damaged; versions compared"});
    std::sort(rows.Failures.begin(), rows.Failures.end());
    EXPECT_EQ(rows.Failures, (std::vector<std::string>{
                                 dir + "$NtServicePackUninstall$ cannot be listed: path too long",
                                 dir + "$NtUninstallQ1$" + sep + "uninst.inf cannot be read: path too long",
                                 dir + "system32" + sep + "long-name-of-a-driver.sys cannot be read: path too long"}));
    const std::string past = dir + std::string(30, 'w');
    std::string error = "verified";
    try { VerifyHotfixes(*OpenTargetFiles(past), {}, {}, rows); } catch (const EVerifyError& e) { error = e.what(); }
    EXPECT_EQ(error, "The Windows directory " + past + " cannot be listed: path too long");
}

#ifdef _WIN32
// Our reader against the platform's on the system's own programs and libraries.
TEST(HotfixVerify, FixedVersionsAgreeWithThePlatform)
{
    const std::string system = WindowsDirectory() + "system32\\";
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA((system + "*.dll").c_str(), &found);
    ASSERT_NE(listing, INVALID_HANDLE_VALUE);
    int compared = 0, versioned = 0;
    do {
        const std::string path = system + found.cFileName;
        DWORD handle = 0;
        std::vector<char> info(GetFileVersionInfoSizeA(path.c_str(), &handle));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT size = 0;
        std::optional<TFileVersion> platform;
        if (!info.empty() && GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()) &&
            VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size) && fixed)
            platform = (TFileVersion{fixed->dwFileVersionMS} << 32) | fixed->dwFileVersionLS;
        EXPECT_EQ(ReadFixedFileVersion(ReadWholeFile(path)), platform) << path;
        ++compared;
        versioned += platform.has_value();
    } while (compared < 150 && FindNextFileA(listing, &found));
    FindClose(listing);
    EXPECT_GT(versioned, 50);
}
#endif
