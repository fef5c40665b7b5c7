// The user settings against the registry of a private test prefix.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PrivateRegistry.h"
#include "UserOpts.h"

namespace {

const std::string kKey = "Software\\Brightwater\\Patchscope";
const std::string kDetails = kKey + "\\Details";
const std::string kHistory = kKey + "\\Computer history";

std::string Sz(const std::string& text) { return text + '\0'; }
std::string Dword(DWORD value) { return std::string(reinterpret_cast<char*>(&value), 4); }

void Put(const std::string& name, DWORD type, const std::string& data, const std::string& key = kKey)
{
    WriteRawValue(HKEY_CURRENT_USER, key, name, type, data);
}
void PutSz(const std::string& name, const std::string& text, const std::string& key = kKey)
{
    WriteSz(HKEY_CURRENT_USER, key, name, text);
}
RegValue Get(const std::string& name, const std::string& key = kKey)
{
    return ReadRawValue(HKEY_CURRENT_USER, key, name);
}
std::vector<std::string> Lines(const TStringList& list) { return list.Strings(); }

// The defaults of the prefix's locale (en-US): short or long date, a blank
// and the short time.
const std::string kListDefault = "M/d/yyyy h:mm AMPM";
const std::string kDetailDefault = "dddd, MMMM d, yyyy h:mm AMPM";

// This test program's directory, <build tree>\tests\gui\settings\, as Wine names it
// (the Linux root is drive Z:).
std::string ProgramDirectory()
{
    const char* build = std::getenv("PS_BINARY_DIR");
    std::string path = "Z:" + std::string(build ? build : "/unset") + "/tests/gui/settings/";
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

class UserOptions : public ::testing::Test {
protected:
    PrivateRegistry FRegistry;
};

// Everything away from its default, the two read-only fields included (they
// reach the registry by hand only).
void SetEveryField(TUserOptions& o)
{
    o.Left = -8; o.Top = 7; o.Width = 1024; o.Height = 0x7fffffff;
    o.Toolbar = false; o.Statusbar = false;
    o.ListTimeFormat = "yyyy-mm-dd hh:nn"; o.DetailTimeFormat = "";
    o.DefaultText = "?"; o.OpenKBCommand = "kb %s %s %s"; o.ColumnSep = 3;
    o.ComputerHistory = TStringList({"ALPHA", "beta", "GAMMA"});
    o.DisplayKilobytes = true; o.DisplayMegabytes = true;
    o.ByteThreshold = 1; o.KiloByteThreshold = -1;
    o.ViewIcons = false; o.Maximized = false; o.UseCache = false; o.UseIdle = true;
    o.SaveAsDirectory = "D:\\Out\\";
}

}  // namespace

TEST_F(UserOptions, NewUserGetsDefaultsAndAnEmptySettingsKey)
{
    TUserOptions options;
    options.Load();
    ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, kKey));
    DWORD values = 1, subkeys = 1;
    RegQueryInfoKeyA(options.Registry->CurrentKey(), nullptr, nullptr, nullptr, &subkeys, nullptr,
                     nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(values + subkeys, 0u) << "construction and Load write nothing";

    EXPECT_EQ(std::vector<int>({options.Left, options.Top, options.Width, options.Height}),
              std::vector<int>({100, 100, 500, 300}));
    EXPECT_TRUE(options.Toolbar && options.Statusbar && options.ViewIcons && options.UseCache);
    EXPECT_FALSE(options.DisplayKilobytes || options.DisplayMegabytes || options.Maximized ||
                 options.UseIdle);
    EXPECT_EQ(options.ListTimeFormat, kListDefault);
    EXPECT_EQ(options.DetailTimeFormat, kDetailDefault);
    EXPECT_EQ(options.DefaultText, "(unknown)");
    EXPECT_EQ(options.OpenKBCommand.substr(options.OpenKBCommand.find("/support/")),
              "/support/kb/articles/q%s/%s/%s.asp");
    EXPECT_EQ(options.ColumnSep, 0);
    EXPECT_EQ(options.HistoryMaxSize, 20);
    EXPECT_EQ(options.ComputerHistory.Count(), 0);
    EXPECT_EQ(Lines(options.VersionInfoExtensions),
              std::vector<std::string>({"exe", "dll", "sys", "cpl", "com"}));
    EXPECT_EQ(options.ByteThreshold, 10240);
    EXPECT_EQ(options.KiloByteThreshold, 8192);
    EXPECT_EQ(options.SaveAsDirectory, ProgramDirectory());
    EXPECT_EQ(options.LoadErrors.Count(), 0);
}

TEST_F(UserOptions, SaveWritesIntegersAsDecimalTextAndFlagsAsDword)
{
    {
        TUserOptions options;
        SetEveryField(options);
        options.Save();
    }
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"Left", "-8"}, {"Top", "7"}, {"Width", "1024"}, {"Height", "2147483647"},
        {"Time format", "yyyy-mm-dd hh:nn"}, {"Text if unknown value", "?"},
        {"Open KB article command", "kb %s %s %s"}, {"Column separation", "3"},
        {"Byte threshold", "1"}, {"Kilobyte threshold", "-1"}, {"Save As directory", "D:\\Out\\"}};
    for (const auto& [name, text] : texts) {
        EXPECT_EQ(Get(name).Type, DWORD(REG_SZ)) << name;
        EXPECT_EQ(Get(name).Data, Sz(text)) << name;
    }
    const std::vector<std::pair<std::string, DWORD>> flags = {
        {"Toolbar", 0}, {"Statusbar", 0}, {"Display kilobytes", 1}, {"Display megabytes", 1},
        {"Show detail window icons", 0}, {"Maximized", 0},
        {"Use caching for directory listings", 0}, {"Idle priority when scanning directories", 1}};
    for (const auto& [name, value] : flags) {
        EXPECT_EQ(Get(name).Type, DWORD(REG_DWORD)) << name;
        EXPECT_EQ(Get(name).Data, Dword(value)) << name;
    }
    EXPECT_EQ(Get("Time format", kDetails).Data, Sz(""));
    EXPECT_EQ(Get("0", kHistory).Data, Sz("ALPHA"));
    EXPECT_EQ(Get("2", kHistory).Data, Sz("GAMMA"));
    EXPECT_FALSE(Get("3", kHistory).Exists);
    EXPECT_FALSE(Get("Maximum size", kHistory).Exists);
    EXPECT_FALSE(Get("File extensions scanned for versioninfo").Exists);
}

TEST_F(UserOptions, EveryFieldSurvivesSaveAndLoad)
{
    PutSz("Maximum size", "3", kHistory);
    PutSz("File extensions scanned for versioninfo", "ocx, drv,,exe");
    TUserOptions saved;
    SetEveryField(saved);
    saved.Save();
    TUserOptions loaded;
    loaded.Load();
    loaded.Load();   // a second Load must not add to the lists
    EXPECT_EQ(std::vector<int>({loaded.Left, loaded.Top, loaded.Width, loaded.Height,
                                loaded.ColumnSep, loaded.HistoryMaxSize, loaded.ByteThreshold,
                                loaded.KiloByteThreshold}),
              std::vector<int>({-8, 7, 1024, 0x7fffffff, 3, 3, 1, -1}));
    EXPECT_EQ(std::vector<bool>({loaded.Toolbar, loaded.Statusbar, loaded.DisplayKilobytes,
                                 loaded.DisplayMegabytes, loaded.ViewIcons, loaded.Maximized,
                                 loaded.UseCache, loaded.UseIdle}),
              std::vector<bool>({false, false, true, true, false, false, false, true}));
    EXPECT_EQ(std::vector<std::string>({loaded.ListTimeFormat, loaded.DetailTimeFormat,
                                        loaded.DefaultText, loaded.OpenKBCommand,
                                        loaded.SaveAsDirectory}),
              std::vector<std::string>({"yyyy-mm-dd hh:nn", "", "?", "kb %s %s %s", "D:\\Out\\"}));
    EXPECT_EQ(Lines(loaded.ComputerHistory), Lines(saved.ComputerHistory));
    EXPECT_EQ(Lines(loaded.VersionInfoExtensions),
              std::vector<std::string>({"ocx", "drv", "", "exe"}));
    EXPECT_EQ(loaded.LoadErrors.Count(), 0);
}

TEST_F(UserOptions, BarFlagsStoredAsTextOrOtherTypesReadAsBefore)
{
    PutSz("Toolbar", "0");
    PutSz("Statusbar", "abc");
    TUserOptions options;
    options.Load();
    EXPECT_FALSE(options.Toolbar);
    EXPECT_TRUE(options.Statusbar);
    options.Save();
    EXPECT_EQ(Get("Toolbar").Type, DWORD(REG_DWORD));
    EXPECT_EQ(Get("Toolbar").Data, Dword(0));

    // Hexadecimal text counts; a type that is neither DWORD nor text shows the bar.
    PutSz("Toolbar", "$0");
    Put("Statusbar", REG_BINARY, std::string("\0", 1));
    options.Load();
    EXPECT_FALSE(options.Toolbar);
    EXPECT_TRUE(options.Statusbar);
    Put("Toolbar", REG_DWORD, Dword(2));
    Put("Statusbar", REG_DWORD, Dword(0));
    options.Load();
    EXPECT_TRUE(options.Toolbar);
    EXPECT_FALSE(options.Statusbar);
    EXPECT_EQ(options.LoadErrors.Count(), 0);
}

TEST_F(UserOptions, IntegerTextIsDecimalOrHexAndAnythingElseGivesTheDefault)
{
    const std::vector<std::pair<std::string, std::string>> stored = {
        {"Byte threshold", "0x2800"}, {"Kilobyte threshold", "$400"}, {"Left", "ten"},
        {"Top", "0x"}, {"Width", ""}, {"Height", "12px"}, {"Column separation", "-2"}};
    for (const auto& [name, text] : stored)
        PutSz(name, text);
    TUserOptions options;
    options.Load();
    EXPECT_EQ(std::vector<int>({options.ByteThreshold, options.KiloByteThreshold, options.Left,
                                options.Top, options.Width, options.Height, options.ColumnSep}),
              std::vector<int>({10240, 1024, 100, 100, 500, 300, -2}));
    EXPECT_EQ(options.LoadErrors.Count(), 0);
}

TEST_F(UserOptions, HistoryEndsAtTheFirstGapOrEmptyValueOrMaximumSize)
{
    TUserOptions options;
    for (const char* index : {"0", "1", "3"})
        PutSz(index, std::string("PC") + index, kHistory);
    options.Load();
    EXPECT_EQ(Lines(options.ComputerHistory), std::vector<std::string>({"PC0", "PC1"}));

    PutSz("2", "", kHistory);
    PutSz("0", "", kHistory);
    options.Load();
    EXPECT_EQ(options.ComputerHistory.Count(), 0);

    for (int i = 0; i < 10; ++i)
        PutSz(std::to_string(i), "PC" + std::to_string(i), kHistory);
    for (const auto& [size, count] : std::vector<std::pair<const char*, int>>{
             {"5", 5}, {"0x3", 3}, {"0", 0}, {"-1", 0}, {"11", 10}}) {
        PutSz("Maximum size", size, kHistory);
        options.Load();
        EXPECT_EQ(options.ComputerHistory.Count(), count) << "Maximum size " << size;
    }
}

TEST_F(UserOptions, LoweredMaximumSizeKeepsTheHistoryAtThatSize)
{
    for (int i = 0; i < 10; ++i)
        PutSz(std::to_string(i), "PC" + std::to_string(i), kHistory);
    PutSz("Maximum size", "5", kHistory);
    TUserOptions options;
    options.Load();
    // What the main window does for a newly viewed computer.
    options.ComputerHistory.Delete(options.ComputerHistory.Count() - 1);
    options.ComputerHistory.Insert(0, "NEW");
    options.Save();
    EXPECT_EQ(Get("4", kHistory).Data, Sz("PC3"));
    EXPECT_EQ(Get("5", kHistory).Data, Sz("PC5")) << "left-overs stay in place";
    options.Load();
    EXPECT_EQ(Lines(options.ComputerHistory),
              std::vector<std::string>({"NEW", "PC0", "PC1", "PC2", "PC3"}));
}

TEST_F(UserOptions, MaximizedSaveKeepsTheNormalBounds)
{
    for (const char* name : {"Left", "Top", "Width", "Height"})
        PutSz(name, "42");
    TUserOptions options;
    SetEveryField(options);
    options.Maximized = true;
    options.Save();
    for (const char* name : {"Left", "Top", "Width", "Height"})
        EXPECT_EQ(Get(name).Data, Sz("42")) << name;
    EXPECT_EQ(Get("Maximized").Data, Dword(1));
    options.Load();
    EXPECT_TRUE(options.Maximized);
    EXPECT_EQ(options.Width, 42);
}

TEST_F(UserOptions, SaveAsDirectoryGetsOneTrailingBackslashAndLongValuesReadWhole)
{
    const std::string longPath = "C:\\" + std::string(5000, 'd');
    PutSz("Save As directory", longPath);
    PutSz("Open KB article command", std::string(3000, 'k'));
    PutSz("0", std::string(1000, 'N'), kHistory);
    TUserOptions options;
    options.Load();
    EXPECT_EQ(options.SaveAsDirectory, longPath + "\\");
    EXPECT_EQ(options.OpenKBCommand.size(), 3000u);
    EXPECT_EQ(options.ComputerHistory[0].size(), 1000u);
    for (const auto& [stored, loaded] : std::vector<std::pair<std::string, std::string>>{
             {"C:\\Export", "C:\\Export\\"}, {"C:\\Export\\", "C:\\Export\\"}, {"", ""}}) {
        PutSz("Save As directory", stored);
        options.Load();
        EXPECT_EQ(options.SaveAsDirectory, loaded);
    }
}

TEST_F(UserOptions, ValueOfWrongTypeKeepsItsDefaultAndIsReported)
{
    PutSz("Display kilobytes", "1");
    Put("Left", REG_DWORD, Dword(5));
    Put("Time format", REG_DWORD, Dword(0));
    Put("Time format", REG_BINARY, "xy", kDetails);
    Put("1", REG_DWORD, Dword(1), kHistory);
    PutSz("0", "PC0", kHistory);
    PutSz("Top", "7");
    Put("Maximized", REG_DWORD, Dword(1));
    PutSz("Save As directory", "C:\\x");
    TUserOptions options;
    options.Load();
    EXPECT_FALSE(options.DisplayKilobytes);
    EXPECT_EQ(options.Left, 100);
    EXPECT_EQ(options.ListTimeFormat, kListDefault);
    EXPECT_EQ(options.DetailTimeFormat, kDetailDefault);
    EXPECT_EQ(Lines(options.ComputerHistory), std::vector<std::string>({"PC0"}));
    EXPECT_EQ(options.Top, 7);
    EXPECT_TRUE(options.Maximized);
    EXPECT_EQ(options.SaveAsDirectory, "C:\\x\\");
    EXPECT_EQ(Lines(options.LoadErrors),
              std::vector<std::string>({"Invalid data type for 'Left'",
                                        "Invalid data type for 'Time format'",
                                        "Invalid data type for 'Time format'",
                                        "Invalid data type for '1'",
                                        "Invalid data type for 'Display kilobytes'"}));
}

// The two values that the console program reads too are read together;
// an unreadable one must not take the other with it.
TEST_F(UserOptions, ListValuesOfWrongTypeSpoilOnlyThemselves)
{
    Put("Time format", REG_DWORD, Dword(0));
    PutSz("Text if unknown value", "n/a");
    TUserOptions first;
    first.Load();
    EXPECT_EQ(first.ListTimeFormat, kListDefault);
    EXPECT_EQ(first.DefaultText, "n/a");
    EXPECT_EQ(Lines(first.LoadErrors),
              std::vector<std::string>({"Invalid data type for 'Time format'"}));

    PutSz("Time format", "yyyy");
    Put("Text if unknown value", REG_BINARY, "xy");
    TUserOptions second;
    second.Load();
    EXPECT_EQ(second.ListTimeFormat, "yyyy");
    EXPECT_EQ(second.DefaultText, "(unknown)");
    EXPECT_EQ(Lines(second.LoadErrors),
              std::vector<std::string>({"Invalid data type for 'Text if unknown value'"}));

    // The reports come in reading order, the details' pattern between the two.
    Put("Time format", REG_BINARY, "xy");
    Put("Time format", REG_BINARY, "xy", kDetails);
    TUserOptions third;
    third.Load();
    EXPECT_EQ(Lines(third.LoadErrors),
              std::vector<std::string>({"Invalid data type for 'Time format'",
                                        "Invalid data type for 'Time format'",
                                        "Invalid data type for 'Text if unknown value'"}));
}

TEST_F(UserOptions, SettingsKeyThatCannotBeOpenedLeavesDefaultsAndSaveWritesNothing)
{
    // Once a parent that refuses the new key, once the settings key itself
    // refusing full access although it holds values.
    for (const bool keyExists : {false, true}) {
        if (keyExists)
            PutSz("Width", "640");
        ReadOnlyKey lock(keyExists ? kKey : std::string("Software"));
        TUserOptions options;
        EXPECT_FALSE(options.KeyOpen());
        options.Load();
        EXPECT_EQ(options.Width, 500);
        EXPECT_EQ(options.ListTimeFormat, kListDefault);
        EXPECT_EQ(Lines(options.LoadErrors),
                  std::vector<std::string>({"Failed to create key \\" + kKey}));
        SetEveryField(options);
        EXPECT_NO_THROW(options.Save());
        EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, "", "Left").Exists);
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Details"));
        EXPECT_EQ(Get("Width").Data, keyExists ? Sz("640") : std::string());
    }
}
