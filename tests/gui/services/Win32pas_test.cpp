// File version strings from libraries built with version resources, and the
// small system queries.
#include <windows.h>

#include <cctype>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Win32pas.h"

namespace {

std::string DataFile(const std::string& name)
{
    std::string path(MAX_PATH, '\0');
    path.resize(GetModuleFileNameA(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of('\\') + 1) + "..\\data\\" + name;
}

struct VersionResult {
    bool Found = false;
    std::vector<std::string> Entries;
};

VersionResult VersionStrings(const std::string& file,
                             std::vector<std::string> names = {"FileVersion", "FileDescription"})
{
    TStringList output;
    VersionResult result;
    result.Found = GetFileVersionStrings(file, TStringList(std::move(names)), output);
    result.Entries = output.Strings();
    return result;
}

const std::vector<std::string> kTwoEmpty{"", ""};

}  // namespace

TEST(FileVersionStrings, FirstTranslationGivesVersionAndDescription)
{
    const auto result = VersionStrings(DataFile("version_0409.dll"));
    EXPECT_TRUE(result.Found);
    EXPECT_EQ(result.Entries,
              (std::vector<std::string>{"4.0.1381.33", "Windows NT BASE API Client DLL"}));
}

TEST(FileVersionStrings, NoVersionResourceGivesTwoEmptyEntries)
{
    for (const char* name : {"plain.txt", "no such file.dll", "version_notrans.dll"}) {
        const auto result = VersionStrings(DataFile(name));
        EXPECT_FALSE(result.Found) << name;
        EXPECT_EQ(result.Entries, kTwoEmpty) << name;
    }
}

TEST(FileVersionStrings, StringsOfAnotherTranslationAreNotFound)
{
    const auto result = VersionStrings(DataFile("version_second.dll"));
    EXPECT_TRUE(result.Found);
    EXPECT_EQ(result.Entries, kTwoEmpty);
}

TEST(FileVersionStrings, MissingDescriptionLeavesItsEntryEmpty)
{
    const auto result = VersionStrings(DataFile("version_nodesc.dll"));
    EXPECT_TRUE(result.Found);
    EXPECT_EQ(result.Entries, (std::vector<std::string>{"2.5.0.7", ""}));
}

TEST(FileVersionStrings, SubBlockPathUsesFourLowerCaseDigitsEach)
{
    EXPECT_EQ(VersionStringPath(0x0409, 0x04B0, "FileVersion"),
              "\\StringFileInfo\\040904b0\\FileVersion");
    EXPECT_EQ(VersionStringPath(0x0C0A, 0x04E4, "FileDescription"),
              "\\StringFileInfo\\0c0a04e4\\FileDescription");
}

TEST(FileVersionStrings, LongValuesComeBackWhole)
{
    std::string comment;
    for (int i = 0; i < 30; ++i)
        comment += "Patchscope lists the hotfixes of a computer. ";
    const auto result = VersionStrings(DataFile("version_0409.dll"), {"Comments", "FileVersion"});
    EXPECT_EQ(result.Entries, (std::vector<std::string>{comment, "4.0.1381.33"}));
}

TEST(FileVersionStrings, AlwaysExactlyTwoEntriesAppended)
{
    TStringList output(std::vector<std::string>{"kept"});
    const TStringList names(std::vector<std::string>{"FileVersion", "FileDescription", "Comments"});
    EXPECT_TRUE(GetFileVersionStrings(DataFile("version_0409.dll"), names, output));
    EXPECT_EQ(output.Strings(), (std::vector<std::string>{"kept", "4.0.1381.33",
                                                          "Windows NT BASE API Client DLL"}));

    TStringList fromNoNames;
    EXPECT_TRUE(GetFileVersionStrings(DataFile("version_0409.dll"), TStringList(), fromNoNames));
    EXPECT_EQ(fromNoNames.Strings(), kTwoEmpty);
}

TEST(SystemQueries, WinePlatformIsWindowsNT) { EXPECT_TRUE(IsWindowsNT()); }

TEST(SystemQueries, LocalComputerNameIsTheSystemsName)
{
    // Wine names the computer after the Linux host, up to its first dot, in
    // capitals.
    std::ifstream hostFile("Z:\\proc\\sys\\kernel\\hostname");
    std::string host;
    std::getline(hostFile, host);
    host = host.substr(0, host.find('.'));
    ASSERT_FALSE(host.empty());
    for (char& c : host)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(GetLocalComputerName(), host);
}

TEST(CompareDateTime, OrdersDaysSince1899)
{
    EXPECT_EQ(CompareDateTime(36526.5, 36526.5), 0);
    EXPECT_EQ(CompareDateTime(1.0, 2.0), -1);
    EXPECT_EQ(CompareDateTime(2.0, 1.0), 1);
    // No date (0) sorts before every real one.
    EXPECT_EQ(CompareDateTime(0.0, 36526.0), -1);
}
