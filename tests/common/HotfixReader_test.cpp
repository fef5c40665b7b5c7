// The hotfix reading procedure on a private registry and real uninstall
// directories below the prefix's Windows directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "LiveTarget.h"
#include "ResString.h"
#include "PrivateRegistry.h"
#include "TestFiles.h"
#include "ZStrFuncs.h"
#include "ps_common.h"

namespace {

using namespace std::string_literals;

const std::string kHotfixKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix";
const std::string kSP4Key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SP4\\Hotfix";
const std::string kSettings = "Software\\Brightwater\\Patchscope";

struct TRecorded {
    std::string KeyPath;
    THotfix Hotfix;
    bool UninstInf = false;
};

class TRecordingSink : public THotfixSink {
public:
    void HotfixFound(const std::string& keyPath, const std::string& id) override
    {
        Found.push_back(keyPath + "|" + id);
    }
    void HotfixRead(const THotfix& hotfix, bool uninstInfFound) override
    {
        Read.push_back({Found.back(), hotfix, uninstInfFound});
    }
    std::vector<std::string> Ids() const
    {
        std::vector<std::string> ids;
        for (const TRecorded& r : Read)
            ids.push_back(r.Hotfix.ID);
        return ids;
    }
    std::vector<std::string> Found;
    std::vector<TRecorded> Read;
};

THotfixReadOptions WindowedOptions()
{
    THotfixReadOptions options;
    options.InstallerFilesAreDates = true;
    options.DefaultText = "?";
    return options;
}

THotfixReadOptions ConsoleOptions()
{
    THotfixReadOptions options;
    options.InstallerFilesAreDates = false;
    options.DefaultText = "?";
    return options;
}

// The windowed program's reading (installer files as dates) creates the settings key.
TLiveHotfixReader LiveReader(TRegIniFileEx& registry, const std::string& computer,
                             const THotfixReadOptions& options)
{
    return TLiveHotfixReader(registry, computer, options, options.InstallerFilesAreDates);
}

TRecordingSink ReadAll(const THotfixReadOptions& options, const std::string& computer = "")
{
    TRegIniFileEx registry("");
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    TLiveHotfixReader reader = LiveReader(registry, computer, options);
    TRecordingSink sink;
    reader.ReadHotfixes(reader.ReadMachineSettings(), sink);
    return sink;
}

void AddHotfix(const std::string& key, const std::string& id)
{
    CreateKey(HKEY_LOCAL_MACHINE, key + "\\" + id);
}

// A name no other test program running beside this one uses.
std::string UniqueID(const std::string& stem)
{
    return stem + "T" + ProcessTag();
}

std::vector<std::string> SortedPieces(const std::string& files)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (!files.empty()) {
        std::size_t comma = files.find(", ", start);
        pieces.push_back(files.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 2;
    }
    std::sort(pieces.begin(), pieces.end());
    return pieces;
}

TEST(HotfixStrings, BothListsAreInTheProgram)
{
    const std::string preSP4 = LoadResString(IDS_PRESP4_HOTFIXES);
    EXPECT_TRUE(preSP4.starts_with("IIS3fix,IIS4fix,Q108261,"));
    EXPECT_TRUE(preSP4.ends_with(",Q190288,Q193233"));
    EXPECT_EQ(std::count(preSP4.begin(), preSP4.end(), ','), 90);
    const std::string base = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\";
    std::string path = base + "Hotfix";
    for (int level = 4; level <= 9; ++level)
        path += "," + base + "SP" + std::to_string(level) + "\\Hotfix";
    EXPECT_EQ(LoadResString(IDS_HOTFIX_SEARCH_PATH), path);
}

TEST(MachineSettings, DefaultsWithoutASettingsKey)
{
    PrivateRegistry scratch;
    TRegIniFileEx registry("");
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    TMachineSettings settings = LiveReader(registry, "", ConsoleOptions()).ReadMachineSettings();
    EXPECT_EQ(settings.IgnoreText, "Q147222,");
    ASSERT_EQ(settings.HotfixKeys.Count(), 7);
    EXPECT_EQ(settings.HotfixKeys[0], "\\" + kHotfixKey);
    EXPECT_EQ(settings.HotfixKeys[6], "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SP9\\Hotfix");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettings)) << "the console never creates it";

    LiveReader(registry, "", WindowedOptions()).ReadMachineSettings();
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kSettings));
}

TEST(MachineSettings, IgnoreTextIsASubstringFilter)
{
    PrivateRegistry scratch;
    // Key names ignore case, the filter does not: "q77" leaves Q77 listed.
    WriteSz(HKEY_LOCAL_MACHINE, kSettings, "Hotfixes to ignore", "Q123456,q77");
    for (const char* id : {"Q123456", "Q12345", "Q1234", "Q147222", "Q14722", "Q200000", "Q77"})
        AddHotfix(kHotfixKey, id);
    EXPECT_EQ(ReadAll(ConsoleOptions()).Ids(), (std::vector<std::string>{"Q200000", "Q77"}));
}

TEST(MachineSettings, PreSP4ListJoinsTheIgnoreText)
{
    PrivateRegistry scratch;
    for (const char* id : {"IIS4fix", "Q154087", "Q1540", "Q193233", "Q193234"})
        AddHotfix(kHotfixKey, id);
    EXPECT_EQ(ReadAll(ConsoleOptions()).Ids().size(), 5u);

    WriteDword(HKEY_LOCAL_MACHINE, kSettings, "Ignore pre-SP4 hotfixes", 7);
    TRegIniFileEx registry("");
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    TMachineSettings settings = LiveReader(registry, "", ConsoleOptions()).ReadMachineSettings();
    EXPECT_EQ(settings.IgnoreText, settings.PreSP4List + ",Q147222,");
    EXPECT_EQ(ReadAll(ConsoleOptions()).Ids(), (std::vector<std::string>{"Q193234"}));

    WriteSz(HKEY_LOCAL_MACHINE, kSettings, "Ignore pre-SP4 hotfixes", "1");
    try {
        ReadAll(ConsoleOptions());
        ADD_FAILURE() << "a text flag must raise";
    } catch (const ERegistryException& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'Ignore pre-SP4 hotfixes'");
    }
}

TEST(HotfixSearchPath, KeysInOrderWithDuplicatesAndGaps)
{
    PrivateRegistry scratch;
    AddHotfix(kHotfixKey, "Q6");
    AddHotfix(kHotfixKey, "Q5");
    AddHotfix(kSP4Key, "Q5");
    TRecordingSink sink = ReadAll(ConsoleOptions());
    EXPECT_EQ(sink.Found, (std::vector<std::string>{"\\" + kHotfixKey + "|Q5",
                                                    "\\" + kHotfixKey + "|Q6",
                                                    "\\" + kSP4Key + "|Q5"}));

    // Missing keys are passed over, a path needs no leading backslash, and
    // an empty entry (a stray comma) names no key at all.
    WriteSz(HKEY_LOCAL_MACHINE, kSettings, "Hotfix search path",
            "\\Software\\Missing," + kSP4Key + ",, ");
    sink = ReadAll(ConsoleOptions());
    EXPECT_EQ(sink.Found, (std::vector<std::string>{kSP4Key + "|Q5"}));
}

TEST(Description, EveryTypeAndSize)
{
    PrivateRegistry scratch;
    const std::string big(100'000, 'd');
    auto set = [](const std::string& id, DWORD type, const std::string& data) {
        WriteRawValue(HKEY_LOCAL_MACHINE, kHotfixKey + "\\" + id, "Fix Description", type, data);
    };
    set("Q01", REG_SZ, "Plain\0"s);
    set("Q02", REG_EXPAND_SZ, "Expand\0"s);
    set("Q03", REG_MULTI_SZ, "First\0Second\0\0"s);
    set("Q04", REG_MULTI_SZ, "\0"s);
    set("Q05", REG_SZ, "\0"s);
    set("Q06", REG_SZ, "No NUL"s);
    set("Q07", REG_MULTI_SZ, "Open end"s);
    set("Q08", REG_SZ, big + '\0');
    set("Q09", REG_MULTI_SZ, big + '\0' + '\0');
    AddHotfix(kHotfixKey, "Q10");
    WriteSz(HKEY_LOCAL_MACHINE, kHotfixKey + "\\Q11", "Other value", "x");

    std::vector<std::string> descriptions;
    for (const TRecorded& r : ReadAll(ConsoleOptions()).Read)
        descriptions.push_back(r.Hotfix.Description);
    EXPECT_EQ(descriptions, (std::vector<std::string>{"Plain", "Expand", "First", "?", "",
                                                      "No NUL", "Open end", big, big, "?", "?"}));
}

TEST(Description, WrongTypeRaisesAfterTheHotfixWasFound)
{
    PrivateRegistry scratch;
    WriteSz(HKEY_LOCAL_MACHINE, kHotfixKey + "\\Q5", "Fix Description", "fine");
    WriteDword(HKEY_LOCAL_MACHINE, kHotfixKey + "\\Q6", "Fix Description", 1);
    WriteRawValue(HKEY_LOCAL_MACHINE, kHotfixKey + "\\Q7", "Fix Description", REG_BINARY, "ab"s);
    TRegIniFileEx registry("");
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    TLiveHotfixReader reader = LiveReader(registry, "", WindowedOptions());
    TRecordingSink sink;
    try {
        reader.ReadHotfixes(reader.ReadMachineSettings(), sink);
        ADD_FAILURE() << "a number as description must raise";
    } catch (const ERegistryException& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'Fix Description'");
    }
    EXPECT_EQ(sink.Found.size(), 2u);
    EXPECT_EQ(sink.Read.size(), 1u);
    EXPECT_EQ(registry.CurrentKey(), nullptr) << "the hotfix key is closed";
    EXPECT_THROW(reader.ReadDescription("\\" + kHotfixKey, "Q7"), ERegistryException);
}

// The platform reads the computer name from the registry: ask before the
// private one hides it.
std::string OwnComputerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

class UninstallDirTest : public ::testing::Test {
protected:
    UninstallDirTest()
        : FComputer("\\\\" + OwnComputerName()), FID(UniqueID("QU")), FDir(GetUninstallDir("", FID))
    {
        AddHotfix(kHotfixKey, FID);
    }
    std::string FComputer;
    PrivateRegistry FScratch;
    std::string FID;
    ScratchDir FDir;
};

TEST_F(UninstallDirTest, InstallerFilesDifferByProgram)
{
    FDir.AddFile("uninst.inf", LocalTime(2001, 3, 4, 13, 2, 7));
    FDir.AddFile("hotfix.inf", LocalTime(2000, 12, 31, 23, 59, 58));
    FDir.AddFile("hotfix.exe");
    FDir.AddFile("a.dll");
    FDir.AddSubdirectory("sub");

    TRecorded windowed = ReadAll(WindowedOptions()).Read.at(0);
    EXPECT_TRUE(windowed.UninstInf);
    EXPECT_TRUE(windowed.Hotfix.HasUninstallDir);
    // Odd seconds are dropped by the DOS form of the time.
    EXPECT_DOUBLE_EQ(windowed.Hotfix.DateApplied, EncodeDateTime(2001, 3, 4, 13, 2, 6));
    EXPECT_DOUBLE_EQ(windowed.Hotfix.HotfixDate, EncodeDateTime(2000, 12, 31, 23, 59, 58));
    EXPECT_EQ(windowed.Hotfix.Files, "a.dll");

    TRecorded console = ReadAll(ConsoleOptions()).Read.at(0);
    EXPECT_DOUBLE_EQ(console.Hotfix.DateApplied, windowed.Hotfix.DateApplied);
    EXPECT_EQ(console.Hotfix.HotfixDate, 0);
    EXPECT_EQ(SortedPieces(console.Hotfix.Files),
              (std::vector<std::string>{"a.dll", "hotfix.exe", "hotfix.inf"}));
}

TEST_F(UninstallDirTest, NamesCompareWithCase)
{
    // The file system here ignores case, so this directory holds the one name.
    FDir.AddFile("UNINST.INF", LocalTime(2001, 3, 4, 13, 2, 8));
    TRecorded r = ReadAll(WindowedOptions()).Read.at(0);
    EXPECT_FALSE(r.UninstInf);
    EXPECT_EQ(r.Hotfix.DateApplied, 0);
    EXPECT_EQ(r.Hotfix.Files, "UNINST.INF");
}

TEST_F(UninstallDirTest, TimesWithoutADosFormAreUnknown)
{
    FDir.AddFile("uninst.inf", LocalTime(1975, 6, 1, 12, 0, 0));
    FDir.AddFile("hotfix.inf", LocalTime(2110, 1, 1, 12, 0, 0));
    TRecorded windowed = ReadAll(WindowedOptions()).Read.at(0);
    EXPECT_TRUE(windowed.UninstInf);
    EXPECT_EQ(windowed.Hotfix.DateApplied, 0);
    EXPECT_EQ(windowed.Hotfix.HotfixDate, 0);
}

TEST_F(UninstallDirTest, OnlySubdirectoriesOrNothingAtAll)
{
    FDir.AddSubdirectory("only");
    TRecorded r = ReadAll(WindowedOptions()).Read.at(0);
    EXPECT_FALSE(r.Hotfix.HasUninstallDir);
    EXPECT_FALSE(r.UninstInf);
    EXPECT_EQ(r.Hotfix.Files, "");

    THotfixReadOptions noDirectory = ConsoleOptions();
    noDirectory.WantUninstallDir = false;
    noDirectory.WantDescription = false;
    FDir.AddFile("uninst.inf");
    r = ReadAll(noDirectory).Read.at(0);
    EXPECT_FALSE(r.Hotfix.HasUninstallDir);
    EXPECT_EQ(r.Hotfix.Description, "");
}

TEST_F(UninstallDirTest, ThousandsOfFilesAndLongNames)
{
    std::vector<std::string> expected;
    for (int i = 0; i < 2000; ++i) {
        expected.push_back("file" + std::to_string(i) + ".dll");
        FDir.AddFile(expected.back());
    }
    expected.push_back(std::string(250, 'n') + ".dll");   // 254 characters, as long as allowed
    FDir.AddFile(expected.back());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortedPieces(ReadAll(ConsoleOptions()).Read.at(0).Hotfix.Files), expected);
}

TEST_F(UninstallDirTest, RemoteTargetGoesThroughAdminShare)
{
    FDir.AddFile("uninst.inf", LocalTime(2001, 3, 4, 13, 2, 8));
    FDir.AddFile("q.sys");
    ASSERT_NE(FComputer, "\\\\");
    TRecorded remote = ReadAll(WindowedOptions(), FComputer).Read.at(0);
    EXPECT_DOUBLE_EQ(remote.Hotfix.DateApplied, EncodeDateTime(2001, 3, 4, 13, 2, 8));
    EXPECT_EQ(remote.Hotfix.Files, "q.sys");
}

}  // namespace
