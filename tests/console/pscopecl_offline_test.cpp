// pscopecl on an offline Windows directory: the same data as in the private
// live registry gives the same bytes; damaged or missing hives their message.
#include <gtest/gtest.h>

#include "ConsoleMain.h"
#include "OfflineImage.h"
#include "PrivateRegistry.h"

namespace {

using namespace std::string_literals;

const std::string kHotfix = "Microsoft\\Windows NT\\CurrentVersion\\Hotfix";
const std::string kSP4 = "Microsoft\\Windows NT\\CurrentVersion\\SP4\\Hotfix";

struct TRun {
    int ExitCode;
    std::string Text, Warnings;
};

TRun Pscopecl(const std::vector<std::string>& args)
{
    TStringLineWriter output, warnings;
    const int code = RunConsole(args, output, warnings);
    return {code, output.Text, warnings.Text};
}

SYSTEMTIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time{};
    time.wYear = year, time.wMonth = month, time.wDay = day;
    time.wHour = hour, time.wMinute = minute, time.wSecond = second;
    return time;
}

std::string SystemTime(WORD month, WORD dayOfWeek, WORD day, WORD hour)
{
    std::string bytes;
    for (WORD w : {WORD(0), month, dayOfWeek, day, hour, WORD(0), WORD(0), WORD(0)})
        bytes += {static_cast<char>(w & 0xFF), static_cast<char>(w >> 8)};
    return bytes;
}

class OfflineConsoleTest : public ::testing::Test {
protected:
    OfflineConsoleTest() : A("QA" + ProcessTag()), C("QC" + ProcessTag()), E("QE" + ProcessTag())
    {
        Image.SetValue(kHotfix + "\\" + A, "Fix Description", REG_SZ, "Alpha caf\xE9");
        Image.SetValue(kHotfix + "\\QB", "Fix Description", REG_EXPAND_SZ, "Beta %x%");
        Image.SetValue(kHotfix + "\\" + C, "Fix Description", REG_MULTI_SZ, "First\0Second\0"s);
        Image.SetValue(kHotfix + "\\QD", "Installed", REG_DWORD, "\1\0\0\0"s);
        Image.SetValue(kHotfix + "\\Q154087", "Fix Description", REG_SZ, "pre-SP4");
        Image.SetValue(kHotfix + "\\QIGNORED", "Fix Description", REG_SZ, "hidden");
        Image.SetValue(kSP4 + "\\" + E, "Fix Description", REG_SZ, std::string(20000, 'e'));
        const std::string settings = "Brightwater\\Patchscope";
        Image.SetValue(settings, "Hotfixes to ignore", REG_SZ, "QIGNORED");
        Image.SetValue(settings, "Hotfix search path", REG_SZ,
                       "\\SOFTWARE\\" + kHotfix + ",\\SYSTEM\\Select,SOFTWARE\\" + kSP4);
        Image.SetValue(settings, "Ignore pre-SP4 hotfixes", REG_DWORD, "\1\0\0\0"s);
        for (const char* file : {"uninst.inf", "hotfix.inf", "hotfix.exe", "a.dll", "b.dll"})
            Image.AddFile(A, file, Utc(2001, 3, 4, 12, 2, 9));
        Image.AddFile(C, "uninst.inf", Utc(1975, 6, 1, 12, 0, 0));
        Image.AddFile(E, "uninst.inf", Utc(2001, 7, 1, 10, 0, 0));
        Image.AddFile(E, "c.dll", Utc(2001, 7, 1, 10, 0, 0));
        // "ri" roots and segmented big data, as later systems save them.
        THiveBuildOptions options;
        options.MinorVersion = 5;
        options.LeafCapacity = 2;
        options.ListKind = THiveListKind::Lh;
        Image.WriteHive(options);
        Offline = "/offline:" + Image.WindowsDir();
        // The argument is upper-cased, the names the program adds are not.
        HivePath = Image.WindowsDir();
        CharUpperBuffA(HivePath.data(), static_cast<DWORD>(HivePath.size()));
        HivePath += "\\system32\\config\\software";
    }

    PrivateRegistry Scratch;
    TOfflineImage Image;
    std::string A, C, E, Offline, HivePath;
};

TEST_F(OfflineConsoleTest, ListsAsTheLiveRegistryAndLeavesTheImageAlone)
{
    const auto before = Image.Snapshot();
    const TRun live = Pscopecl({});
    const TRun offline = Pscopecl({Offline});
    EXPECT_EQ(offline.ExitCode, 0);
    EXPECT_EQ(offline.Text, live.Text);
    EXPECT_EQ(offline.Warnings, "");
    EXPECT_NE(live.Text.find(A + "\tAlpha caf\xE9\t"), std::string::npos) << live.Text;
    EXPECT_NE(live.Text.find("QB\tBeta %x%\t\r\n" + C + "\tFirst\t(unknown)\t\r\nQD\t(unknown)\t\r\n" +
                             E + "\t" + std::string(20000, 'e') + "\t"),
              std::string::npos)
        << live.Text;
    EXPECT_EQ(live.Text.find("Q154087"), std::string::npos);
    EXPECT_EQ(live.Text.find("QIGNORED"), std::string::npos);
    for (const std::string& fields : {"Q"s, "DT"s, "F"s})
        EXPECT_EQ(Pscopecl({fields, Offline}).Text, Pscopecl({fields}).Text) << fields;
    EXPECT_EQ(Image.Snapshot(), before) << "bytes and times of every file of the image";

    // A wrongly typed description ends both runs with the same report.
    Image.SetValue(kSP4 + "\\QZ", "Fix Description", REG_DWORD, "\7\0\0\0"s);
    Image.WriteHive();
    const TRun liveError = Pscopecl({"QD"});
    EXPECT_EQ(liveError.ExitCode, 1);
    EXPECT_EQ(Pscopecl({"qd", Offline}).Text, liveError.Text);

    // Saved with changes pending: the warning goes to standard error.
    THiveBuildOptions pending;
    pending.PrimarySequence = 8;
    pending.SecondarySequence = 7;
    Image.WriteHive(pending);
    const TRun warned = Pscopecl({"QD", Offline});
    EXPECT_EQ(warned.Text, liveError.Text);
    EXPECT_EQ(warned.Warnings, "pscopecl: " + HivePath +
                                   " was saved while changes were pending: its last changes may "
                                   "be missing.\r\n");
}

TEST_F(OfflineConsoleTest, TimesInTheZoneOfTheOfflineSystem)
{
    // Central European rules: UTC+1, daylight saving from the last Sunday
    // of March to the last Sunday of October.
    const std::string zone = "ControlSet001\\Control\\TimeZoneInformation";
    Image.SystemHive().SetValue("Select", "Current", kRegDword, RegDwordData(1));
    Image.SystemHive().SetValue(zone, "Bias", kRegDword, RegDwordData(static_cast<DWORD>(-60)));
    Image.SystemHive().SetValue(zone, "StandardBias", kRegDword, RegDwordData(0));
    Image.SystemHive().SetValue(zone, "DaylightBias", kRegDword, RegDwordData(static_cast<DWORD>(-60)));
    Image.SystemHive().SetValue(zone, "StandardStart", kRegBinary, SystemTime(10, 0, 5, 3));
    Image.SystemHive().SetValue(zone, "DaylightStart", kRegBinary, SystemTime(3, 0, 5, 2));
    Image.WriteSystemHive();
    EXPECT_EQ(Pscopecl({"QT", Offline}).Text,
              A + "\t3/4/2001 1:02 PM\r\nQB\r\n" + C + "\t(unknown)\r\nQD\r\n" + E +
                  "\t7/1/2001 12:00 PM\r\n");
}

TEST_F(OfflineConsoleTest, MissingOrDamagedHives)
{
    const std::string good = Image.HiveBytes();
    const std::string prefix = "pscopecl: " + HivePath;
    Image.WriteHiveBytes("regf" + good.substr(4, 0x1000 + 40));
    TRun run = Pscopecl({"Q", Offline});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Text.starts_with(prefix + " is damaged at offset 0x")) << run.Text;

    Image.WriteHiveBytes("REGF" + good.substr(4));
    run = Pscopecl({"Q", Offline});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Text, prefix + " is not a registry file.\r\n");

    DeleteFileA(Image.SoftwareHivePath().c_str());
    run = Pscopecl({"Q", Offline});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Text, "pscopecl: The registry file " + HivePath + " does not exist.\r\n");
}

}  // namespace
