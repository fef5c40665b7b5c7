// pscopecl /COMPARE: offline images with different hotfixes, the local
// computer (the first image's live twin), a name that does not answer and a
// damaged hive, read by one worker and by sixteen.
#include <gtest/gtest.h>

#include <fstream>

#include "ConsoleMain.h"
#include "OfflineImage.h"
#include "PrivateRegistry.h"

namespace {

using namespace std::string_literals;

struct TRun {
    int ExitCode;
    std::string Text, Errors;
};

TRun Pscopecl(const std::vector<std::string>& args)
{
    TStringLineWriter output, errors;
    const int code = RunConsole(args, output, errors);
    return {code, output.Text, errors.Text};
}

// The line of Text that begins with Start, without its line end.
std::string LineOf(const std::string& text, const std::string& start)
{
    const std::size_t at = text.find("\r\n" + start);
    if (at == std::string::npos)
        return "(no line " + start + ")";
    return text.substr(at + 2, text.find("\r\n", at + 2) - at - 2);
}

std::string Upper(std::string text)
{
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

void SetFileUtc(const std::string& path, const SYSTEMTIME& utc)
{
    std::ofstream(path, std::ios::binary) << "installed";
    FILETIME time{};
    SystemTimeToFileTime(&utc, &time);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
}

class CompareConsoleTest : public ::testing::Test {
protected:
    CompareConsoleTest()
    {
        First.WriteScenario();
        // Service Pack 6, QB again, QX undone by an older file put back, QHIDE ignored.
        const std::string cv = "Microsoft\\Windows NT\\CurrentVersion";
        Second.SetValue(cv, "CSDVersion", REG_SZ, "Service Pack 6");
        Second.SetValue(cv + "\\Hotfix\\QB", "Fix Description", REG_SZ, "Beta again");
        Second.SetValue(cv + "\\Hotfix\\QX", "Fix Description", REG_SZ, "Undone fix");
        Second.SetValue(cv + "\\Hotfix\\QHIDE", "Fix Description", REG_SZ, "hidden");
        Second.SetValue("Brightwater\\Patchscope", "Hotfixes to ignore", REG_SZ, "QHIDE");
        Second.AddFile("QX", "x.dll", Utc(2001, 5, 1, 8, 0, 0));
        CreateDirectoryA((Second.WindowsDir() + "\\system32").c_str(), nullptr);
        SetFileUtc(Second.WindowsDir() + "\\system32\\x.dll", Utc(2000, 1, 1, 8, 0, 0));
        Second.WriteHive();
        Damaged.WriteHiveBytes("regf and nothing else");
        List = First.WindowsDir() + "\\..\\fleet.txt";
        std::ofstream(List, std::ios::binary)
            << "; the fleet\r\n\r\n  .  \r\n" + First.WindowsDir() + "\r\n\t;" +
                   Damaged.WindowsDir() + "\n" + Second.WindowsDir() + "\\\r\n" + Unreachable +
                   "\r\n" + Damaged.WindowsDir() + "\r\n" + First.WindowsDir();
    }

    // Read before the private registry hides it.
    const std::string Host = [] {
        char name[MAX_COMPUTERNAME_LENGTH + 1] = "";
        DWORD size = sizeof name;
        GetComputerNameA(name, &size);
        return std::string(name, size);
    }();
    PrivateRegistry Scratch;
    TOfflineImage First{"cmpfirst"}, Second{"cmpsecond", true}, Damaged{"cmpdamaged", true};
    const std::string Unreachable = "\\\\NOSUCHPC" + ProcessTag();
    std::string List;
};

TEST_F(CompareConsoleTest, ListingVerificationAndBaseline)
{
    // The single listing gives the dates and the messages the table must
    // repeat.
    const std::string date = LineOf("\r\n" + Pscopecl({"QT", "/OFFLINE:" + First.WindowsDir()}).Text,
                                    First.A + "\t").substr(First.A.size() + 1);
    const std::string damagedMessage =
        Pscopecl({"/OFFLINE:" + Damaged.WindowsDir()}).Text.substr(10);
    const std::string connectMessage = "Error connecting to the computer " + Unreachable + ".";

    const TRun one = Pscopecl({"/compare", "@" + List, "/threads:1"});
    EXPECT_EQ(one.ExitCode, 3);
    EXPECT_TRUE(Upper(one.Text).starts_with(Upper("Hotfix\tDescription\t" + Host + "\t" + First.WindowsDir() + "\t" +
                                     Second.WindowsDir() + "\\\t" + Unreachable + "\t" +
                                     Damaged.WindowsDir() + "\r\nService pack\t\tService Pack 4\t"
                                     "Service Pack 4\tService Pack 6\tNot read: " +
                                     connectMessage + "\tNot read: " +
                                     damagedMessage.substr(0, damagedMessage.size() - 2) + "\r\n")))
        << one.Text;
    EXPECT_EQ(LineOf(one.Text, First.A), First.A + "\tAlpha caf\xE9\t" + date + "\t" + date + "\t\t\t");
    EXPECT_EQ(LineOf(one.Text, "QB\t"), "QB\tBeta %x%\tInstalled\tInstalled\tInstalled\t\t");
    EXPECT_EQ(LineOf(one.Text, "QD\t"), "QD\t(unknown)\tInstalled\tInstalled\t\t\t");
    EXPECT_EQ(LineOf(one.Text, "QX\t"), "QX\tUndone fix\t\t\tInstalled\t\t");
    EXPECT_EQ(one.Text.find("QHIDE"), std::string::npos);
    EXPECT_EQ(one.Text.find("QIGNORED"), std::string::npos);
    EXPECT_EQ(std::count(one.Text.begin(), one.Text.end(), '\n'), 2 + 6);
    EXPECT_EQ(Upper(one.Errors), Upper("pscopecl: " + connectMessage + "\r\npscopecl: " + damagedMessage));
    const TRun sixteen = Pscopecl({"/COMPARE", "@" + List, "/THREADS:16"});
    EXPECT_EQ(sixteen.Text, one.Text);
    EXPECT_EQ(sixteen.Errors, one.Errors);

    // Verification: the worst file of each hotfix; faults give 2 when every target was read.
    const std::string second = "/OFFLINE:" + Second.WindowsDir();
    const TRun verified = Pscopecl({"/COMPARE", "/OFFLINE:" + First.WindowsDir(), second, "/VERIFY"});
    EXPECT_EQ(verified.ExitCode, 2) << verified.Text;
    EXPECT_EQ(LineOf(verified.Text, "QX\t"), "QX\tUndone fix\t\tUndone");
    EXPECT_EQ(LineOf(verified.Text, "QB\t"), "QB\tBeta %x%\tNo files\tNo files");
    EXPECT_EQ(LineOf(verified.Text, First.A), First.A + "\tAlpha caf\xE9\tMissing\t");
    EXPECT_EQ(Pscopecl({"/COMPARE", second, "/VERIFY"}).ExitCode, 2);

    // A baseline: its hotfixes are rows, marked, and one lacking makes 2.
    const std::string baseline = First.WindowsDir() + "\\..\\baseline.txt";
    std::ofstream(baseline, std::ios::binary) << "; required\r\nqb\r\nQ999999\r\n";
    const TRun required = Pscopecl({"/COMPARE", second, "/BASELINE:" + baseline});
    EXPECT_EQ(required.ExitCode, 2);
    EXPECT_EQ(required.Text, "Hotfix\tDescription\tRequired\t" + Second.WindowsDir() +
                                 "\r\nService pack\t\t\tService Pack 6\r\nQ999999\tRequired\tYes\t\r\n"
                                 "QB\tBeta again\tYes\tInstalled\r\nQX\tUndone fix\t\tInstalled\r\n");
    std::ofstream(baseline, std::ios::binary | std::ios::trunc) << "QX\r\n";
    EXPECT_EQ(Pscopecl({"/COMPARE", second, "/BASELINE:" + baseline}).ExitCode, 0);

    // Errors of the run itself.
    const TRun none = Pscopecl({"/COMPARE", "Q"});
    EXPECT_EQ(none.ExitCode, 1);
    EXPECT_EQ(none.Text, "pscopecl: No target to compare, use /? for help\r\n");
    const TRun missing = Pscopecl({"/COMPARE", second, "@" + List + ".none"});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(missing.Text, "pscopecl: Cannot read the list file " + List + ".none.\r\n");
    EXPECT_EQ(Pscopecl({"/COMPARE", second, "/THREADS:65"}).ExitCode, 1);
}

}  // namespace
