// Verification of a Windows directory of its own (reached as an offline
// path): scripts that place files in system32 and system32\drivers, a
// missing and a damaged script, the service pack and an orphaned directory.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "HotfixVerify.h"
#include "PeVersion.h"
#include "TargetAccessWin.h"
#include "TestFiles.h"

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
        Lines.push_back(file.HotfixID + "|" + file.FileName + "|" + StateText(file.State) + "|" +
                        path + "|" + version(file.InstalledVersion) + "|" +
                        version(file.SavedVersion) + "|" + FindingText(file));
    }
    std::vector<std::string> Lines;
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
    const SYSTEMTIME early = LocalTime(2000, 1, 1), late = LocalTime(2001, 1, 1);

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
    EXPECT_EQ(rows.Lines, expected);
    EXPECT_EQ(VerifySummary(rows.Counts),
              "10 files: 5 in effect, 3 undone, 2 missing; 1 uninstall directory without a registry record");
    EXPECT_FALSE(rows.Counts.AllInEffect());
    // The steps count the files, and the directory without a record as one.
    std::vector<std::string> steps;
    for (int done = 0; done < 10; ++done)
        steps.push_back(std::to_string(done) + "/11");
    EXPECT_EQ(rows.FileSteps, steps);
}

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
