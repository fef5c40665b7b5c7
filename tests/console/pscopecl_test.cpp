// Runs of pscopecl in-process on a private registry, with uninstall
// directories below the prefix's Windows directory; checks the exact bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ConsoleMain.h"
#include "PrivateRegistry.h"
#include "TestFiles.h"
#include "ps_common.h"

namespace {

using namespace std::string_literals;

const std::string kHotfixKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix";
const std::string kUserSettings = "Software\\Brightwater\\Patchscope";

struct TRun {
    int ExitCode;
    std::string Text;
};

TRun RunListing(const std::vector<std::string>& args)
{
    TStringLineWriter output, warnings;
    int code = RunConsole(args, output, warnings);
    return {code, output.Text};
}

// The platform reads the computer name from the registry: ask before the
// private one hides it.
std::string OwnComputerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

// Two hotfixes: QA with a description and an uninstall directory holding
// uninst.inf and a.dll, QB with a description and no directory. Their names
// carry the process id, since the directories are shared with other tests.
class ConsoleTest : public ::testing::Test {
protected:
    ConsoleTest()
        : FComputer(OwnComputerName()),
          FA(std::string("QA").append(ProcessTag())),
          FB(std::string("QB").append(ProcessTag())),
          FDirA(GetUninstallDir("", FA))
    {
        // Connections to the own computer compare with the name in the registry.
        for (const char* key : {"ActiveComputerName", "ComputerName"})
            WriteSz(HKEY_LOCAL_MACHINE,
                    "System\\CurrentControlSet\\Control\\ComputerName\\"s + key, "ComputerName",
                    FComputer);
        WriteSz(HKEY_LOCAL_MACHINE, kHotfixKey + "\\" + FA, "Fix Description", "Alpha");
        WriteSz(HKEY_LOCAL_MACHINE, kHotfixKey + "\\" + FB, "Fix Description", "Beta");
        FDirA.AddFile("uninst.inf", LocalTime(2001, 3, 4, 13, 2, 9));
        FDirA.AddFile("a.dll");
    }

    std::string Lines(const std::vector<std::string>& lines)
    {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        return text;
    }

    std::string FComputer;
    PrivateRegistry FScratch;
    std::string FA, FB;
    ScratchDir FDirA;
};

TEST_F(ConsoleTest, AllFourFieldsByDefault)
{
    TRun run = RunListing({});
    EXPECT_EQ(run.ExitCode, 0);
    // QB has no uninst.inf: no date field, so its files field moves left.
    EXPECT_EQ(run.Text, Lines({FA + "\tAlpha\t3/4/2001 1:02 PM\ta.dll", FB + "\tBeta\t"}));
}

TEST_F(ConsoleTest, UserTimeFormatAndUnknownText)
{
    WriteSz(HKEY_CURRENT_USER, kUserSettings, "Time format", "yyyy-mm-dd hh:nn:ss");
    WriteSz(HKEY_CURRENT_USER, kUserSettings, "Text if unknown value", "n/a");
    CreateKey(HKEY_LOCAL_MACHINE, kHotfixKey + "\\QC");
    EXPECT_EQ(RunListing({"qdt"}).Text,
              Lines({FA + "\tAlpha\t2001-03-04 13:02:08", FB + "\tBeta", "QC\tn/a"}));
}

TEST_F(ConsoleTest, SelectionWords)
{
    EXPECT_EQ(RunListing({"qt"}).Text, Lines({FA + "\t3/4/2001 1:02 PM", FB}));
    EXPECT_EQ(RunListing({"Q", "D"}).Text, Lines({"Alpha", "Beta"}));
    EXPECT_EQ(RunListing({"D", "Q"}).Text, Lines({FA, FB}));
    // Only T: a hotfix without uninst.inf gives no line at all.
    EXPECT_EQ(RunListing({"T"}).Text, Lines({"3/4/2001 1:02 PM"}));
    EXPECT_EQ(RunListing({"dt"}).Text, Lines({"Alpha\t3/4/2001 1:02 PM", "Beta"}));
    EXPECT_EQ(RunListing({"DF"}).Text, Lines({"Alpha\ta.dll", "Beta\t"}));
    EXPECT_EQ(RunListing({"F", "/?", "-?", "/Q", "HELP", ""}).Text, Lines({"a.dll", ""}));
}

TEST_F(ConsoleTest, InvalidParameterBeforeAnythingIsRead)
{
    // A description that would raise shows that nothing was read.
    WriteDword(HKEY_LOCAL_MACHINE, kHotfixKey + "\\" + FA, "Fix Description", 1);
    TRun run = RunListing({"qx"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Text, "pscopecl: Invalid parameter QX, use /? for help\r\n");
    EXPECT_EQ(RunListing({"Q", "delete"}).Text, "pscopecl: Invalid parameter DELETE, use /? for help\r\n");
}

TEST_F(ConsoleTest, UnconvertibleTimeKeepsTheDateColumn)
{
    FDirA.AddFile("uninst.inf", LocalTime(1975, 6, 1, 12, 0, 0));
    EXPECT_EQ(RunListing({"QTF"}).Text, Lines({FA + "\t(unknown)\ta.dll", FB + "\t"}));
}

TEST_F(ConsoleTest, UnexpectedErrorAfterThePrintedLines)
{
    WriteDword(HKEY_LOCAL_MACHINE, kHotfixKey + "\\" + FB, "Fix Description", 7);
    TRun run = RunListing({"QD"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Text, Lines({FA + "\tAlpha",
                               "Exception ERegistryException: Invalid data type for 'Fix Description'."}));

    WriteSz(HKEY_LOCAL_MACHINE, kUserSettings, "Ignore pre-SP4 hotfixes", "1");
    run = RunListing({"Q"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Text,
              "Exception ERegistryException: Invalid data type for 'Ignore pre-SP4 hotfixes'.\r\n");
}

TEST_F(ConsoleTest, OwnComputerByNameListsTheSame)
{
    ASSERT_FALSE(FComputer.empty());
    std::string lower = FComputer;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(tolower(static_cast<unsigned char>(c))); });
    const TRun local = RunListing({});
    const TRun remote = RunListing({"\\\\NOWHERE", "\\\\" + lower});
    EXPECT_EQ(remote.ExitCode, 0);
    EXPECT_EQ(remote.Text, local.Text);
}

TEST_F(ConsoleTest, ReadsTheSettingsKeysWithoutCreatingThem)
{
    // Locally and through a connection, neither the user's settings key nor
    // the target's per-machine key comes into being by a listing.
    EXPECT_EQ(RunListing({}).ExitCode, 0);
    EXPECT_EQ(RunListing({"\\\\" + FComputer}).ExitCode, 0);
    EXPECT_EQ(RunListing({"QX"}).ExitCode, 1);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Brightwater"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Brightwater"));
}

TEST_F(ConsoleTest, UnreachableComputerIsNamedInCapitals)
{
    TRun run = RunListing({"\\\\nowhere", "qd"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Text, "pscopecl: Error connecting to the computer \\\\NOWHERE.\r\n");
}

TEST_F(ConsoleTest, LargeValuesAndOddMultiStrings)
{
    const std::string big(100'000, 'b');
    WriteSz(HKEY_LOCAL_MACHINE, kHotfixKey + "\\" + FA, "Fix Description", big);
    WriteRawValue(HKEY_LOCAL_MACHINE, kHotfixKey + "\\" + FB, "Fix Description", REG_MULTI_SZ,
                  "no closing NUL"s);
    EXPECT_EQ(RunListing({"D"}).Text, Lines({big, "no closing NUL"}));
}

TEST_F(ConsoleTest, ThousandsOfFiles)
{
    std::vector<std::string> names{"a.dll"};
    for (int i = 0; i < 1000; ++i) {
        names.push_back(std::to_string(i).insert(0, 1, 'f') + ".sys");
        FDirA.AddFile(names.back());
    }
    const std::string text = RunListing({"F"}).Text;
    const std::size_t end = text.find("\r\n");
    ASSERT_EQ(text.substr(end), "\r\n\r\n") << "the second hotfix has an empty files field";
    const std::string line = text.substr(0, end);
    std::vector<std::string> listed;
    for (std::size_t start = 0;;) {
        std::size_t comma = line.find(", ", start);
        listed.push_back(line.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 2;
    }
    std::sort(listed.begin(), listed.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(listed, names);
}

TEST(ConsoleLargeKey, TwentyThousandHotfixesWithLongNames)
{
    PrivateRegistry scratch;
    HKEY parent = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kHotfixKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &parent, nullptr),
              ERROR_SUCCESS);
    std::vector<std::string> expected;
    for (int i = 0; i < 20'000; ++i) {
        char name[16];
        snprintf(name, sizeof name, "Q9%05d", i);
        expected.push_back(name);
    }
    expected.push_back(std::string(254, 'y').insert(0, 1, 'Z'));   // 255 characters, the longest key name
    for (const std::string& name : expected) {
        HKEY child = nullptr;
        ASSERT_EQ(RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &child, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(child);
    }
    RegCloseKey(parent);
    TRun run = RunListing({"Q"});
    EXPECT_EQ(run.ExitCode, 0);
    std::string text;
    for (const std::string& name : expected)
        text += name + "\r\n";
    EXPECT_EQ(run.Text, text);
}

}  // namespace
