// pscopecl on an offline Windows directory: the same data as in the private
// live registry gives the same bytes; damaged or missing hives their message.
#include <gtest/gtest.h>

#include "ConsoleMain.h"
#include "OfflineImage.h"
#include "PrivateRegistry.h"

namespace {

using namespace std::string_literals;

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

class OfflineConsoleTest : public ::testing::Test {
protected:
    OfflineConsoleTest()
    {
        Image.WriteScenario();
        Offline = "/offline:" + Image.WindowsDir();
        // Of the argument only the switch is upper-cased: the path keeps its spelling.
        HivePath = Image.WindowsDir() + "\\system32\\config\\software";
    }

    PrivateRegistry Scratch;
    TOfflineImage Image;
    std::string Offline, HivePath;
    const std::string &A = Image.A, &C = Image.C, &E = Image.E;
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
    // Saved with changes pending: the warning goes to standard error.
    THiveBuildOptions pending;
    pending.PrimarySequence = 8;
    pending.SecondarySequence = 7;
    Image.WriteHive(pending);
    const TRun warned = Pscopecl({"QD", Offline});
    EXPECT_EQ(warned.ExitCode, 1);
    EXPECT_EQ(warned.Text, Pscopecl({"QD"}).Text);
    EXPECT_NE(warned.Text.find("Invalid data type for 'Fix Description'"), std::string::npos);
    EXPECT_EQ(warned.Warnings, "pscopecl: " + HivePath +
                                   " was saved while changes were pending: its last changes may "
                                   "be missing.\r\n");
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

    // A disk image is for the Linux program: never the local computer instead.
    run = Pscopecl({"Q", "/IMAGE:disk.E01"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Text.starts_with("pscopecl: Disk images are read by the Linux program")) << run.Text;
}

}  // namespace
