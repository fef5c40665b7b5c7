// The verification over a target held in memory, on every platform.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "HotfixVerify.h"

namespace {

// Files by path below "W", listed as older than found; every path asked for is kept.
class TMemoryFiles : public TFileSource {
public:
    std::map<std::string, std::string> Files;
    mutable std::set<std::string> Asked;

    std::string WindowsDir() const override { return "W"; }
    std::string PathOf(const std::string& dir, const std::string& name) const override { return dir + "\\" + name; }
    TLookup ListDirectory(const std::string& dir, std::vector<TFileEntry>& entries) const override
    {
        Asked.insert(dir);
        for (const auto& [path, bytes] : Files)
            if (path.starts_with(dir + "\\") && path.find('\\', dir.size() + 1) == std::string::npos)
                entries.push_back({path.substr(dir.size() + 1), 0, bytes.size(), 1});
        return {entries.empty() && dir != "W" ? TLookup::Absent : TLookup::Found, {}};
    }
    TLookup FindFile(const std::string& path, TFileEntry& entry) const override
    {
        Asked.insert(path);
        return {Files.contains(path) && (entry = {path, 0, 1, 2}, true) ? TLookup::Found : TLookup::Absent, {}};
    }
    bool ReadFile(const std::string& path, std::string& bytes, std::size_t) const override
    {
        Asked.insert(path);
        return Files.contains(path) && (bytes = Files.at(path), true);
    }
    double LocalDateTime(std::uint64_t) const override { return 0; }
};

struct TRows : TVerifySink {
    bool Continue(int, int, const std::string&) override { return true; }
    void VerificationIncomplete(const std::string& why) override { Rows.push_back("incomplete: " + why); }
    void FileVerified(const TVerifiedFile& file) override
    {
        Rows.push_back(file.FileName + "|" + StateText(file.State) + "|" + file.InstalledPath + "|" + FindingText(file));
    }
    std::vector<std::string> Rows;
};

}  // namespace

// A hostile image: a script and identifiers that point out of the Windows
// directory are not followed, nor is a destination that cannot be read sent
// to DefaultDestDir: such files are guessed below the Windows directory. A
// device's name is never read.
TEST(HotfixVerify, NeverLooksOutsideTheWindowsDirectory)
{
    TMemoryFiles target;
    target.Files = {{"W\\$NtUninstallQ1$\\uninst.inf",
                     "[DefaultInstall]\nCopyFiles = Word, Up, @..\\word.dll\n[DestinationDirs]\nword = 0x0B\n"
                     "Up = 11, ..\\..\\..\\etc\nDefaultDestDir = 12\n[Word]\nword.dll\n[Up]\npasswd\n"},
                    {"W\\$NtUninstallQ1$\\passwd", "saved"}, {"W\\$NtUninstallQ1$\\word.dll", "saved"},
                    {"W\\system32\\passwd", "installed"}, {"W\\system32\\word.dll", "installed"},
                    {"W\\$NtUninstallQ1$\\Nul.dll", "saved"}, {"W\\system32\\Nul.dll", "installed"},
                    {"etc\\passwd", "outside"}};
    TRows rows;
    VerifyHotfixes(target, {"Q1", "..\\..\\etc", "Q2/../..", "C:", ".."}, {}, rows);
    EXPECT_EQ(rows.Rows, (std::vector<std::string>{"Nul.dll|In effect|W\\system32\\Nul.dll|guessed; times compared; not readable by name",
                                                   "passwd|In effect|W\\system32\\passwd|guessed; times compared",
                                                   "word.dll|In effect|W\\system32\\word.dll|guessed; times compared"}));
    for (const std::string& path : target.Asked)
        EXPECT_TRUE(path.starts_with("W") && path.find("..") == std::string::npos &&
                    (path.find("Nul") == std::string::npos || target.Files.at(path) == "installed")) << path;
}
