// The command line of pscopecl (arguments arrive upper-cased).
#include <gtest/gtest.h>

#include "ConsoleArgs.h"

namespace {

std::string Fields(const TConsoleArgs& a)
{
    std::string s;
    if (a.PrintID) s += 'Q';
    if (a.PrintDescription) s += 'D';
    if (a.PrintDateApplied) s += 'T';
    if (a.PrintFiles) s += 'F';
    return s;
}

TEST(ConsoleArgs, HelpOnlyAsTheFirstArgument)
{
    EXPECT_TRUE(ParseConsoleArgs({"/?"}).ShowHelp);
    EXPECT_TRUE(ParseConsoleArgs({"/?", "QX"}).ShowHelp) << "nothing after it is looked at";
    TConsoleArgs second = ParseConsoleArgs({"Q", "/?"});
    EXPECT_FALSE(second.ShowHelp);
    EXPECT_EQ(Fields(second), "Q");
    EXPECT_FALSE(ParseConsoleArgs({"/??"}).ShowHelp);
}

TEST(ConsoleArgs, SelectionWordsCombineLettersAndReplaceEachOther)
{
    EXPECT_EQ(Fields(ParseConsoleArgs({})), "QDTF");
    EXPECT_EQ(Fields(ParseConsoleArgs({"QD"})), "QD");
    EXPECT_EQ(Fields(ParseConsoleArgs({"TQ"})), "QT");
    EXPECT_EQ(Fields(ParseConsoleArgs({"Q", "D"})), "D");
    EXPECT_EQ(Fields(ParseConsoleArgs({"D", "Q"})), "Q");
    EXPECT_EQ(Fields(ParseConsoleArgs({"FFF"})), "F");
    // None of these begins with a selection letter or two backslashes.
    EXPECT_EQ(Fields(ParseConsoleArgs({"-?", "/Q", "HELP", "", "\\X", "T"})), "T");
}

TEST(ConsoleArgs, InvalidWordStopsTheExamination)
{
    TConsoleArgs a = ParseConsoleArgs({"\\\\ONE", "QX", "\\\\TWO", "ZZZ"});
    ASSERT_TRUE(a.InvalidParameter);
    EXPECT_EQ(*a.InvalidParameter, "QX");
    EXPECT_EQ(a.Computer, "\\\\ONE");
    EXPECT_EQ(*ParseConsoleArgs({"Q", "DELETE"}).InvalidParameter, "DELETE");
    EXPECT_EQ(*ParseConsoleArgs({"T1"}).InvalidParameter, "T1");
    EXPECT_FALSE(ParseConsoleArgs({"QDTF"}).InvalidParameter);
}

TEST(ConsoleArgs, LastComputerCounts)
{
    EXPECT_EQ(ParseConsoleArgs({}).Computer, "");
    TConsoleArgs a = ParseConsoleArgs({"\\\\ONE", "Q", "\\\\TWO"});
    EXPECT_EQ(a.Computer, "\\\\TWO");
    EXPECT_EQ(Fields(a), "Q");
    EXPECT_EQ(ParseConsoleArgs({"\\\\"}).Computer, "\\\\");
    // The verification keeps the target; the selection words do not matter to it.
    const TConsoleArgs verify = ParseConsoleArgs({"Q", "/VERIFY", "\\\\THREE"});
    EXPECT_TRUE(verify.Verify);
    EXPECT_EQ(verify.Computer, "\\\\THREE");
    EXPECT_FALSE(a.Verify);
}

TEST(ConsoleArgs, LastTargetCountsOfflineOrComputer)
{
    TConsoleArgs a = ParseConsoleArgs({"\\\\ONE", "/OFFLINE:E:\\WINNT", "Q"});
    EXPECT_EQ(a.Computer, "");
    EXPECT_EQ(a.Offline, "E:\\WINNT");
    a = ParseConsoleArgs({"/OFFLINE:E:\\WINNT", "\\\\TWO"});
    EXPECT_EQ(a.Computer, "\\\\TWO");
    EXPECT_EQ(a.Offline, "");
    EXPECT_EQ(ParseConsoleArgs({"/OFFLINE:A", "/OFFLINE:\\\\FILER\\NT4"}).Offline,
              "\\\\FILER\\NT4");
    // A switch without its path names nothing: it is reported, not taken for the local computer.
    a = ParseConsoleArgs({"\\\\ONE", "/OFFLINE:", "QX"});
    EXPECT_EQ(*a.InvalidParameter, "/OFFLINE:");
    EXPECT_EQ(a.Computer, "\\\\ONE");
    // A disk image is a target like the others.
    a = ParseConsoleArgs({"\\\\ONE", "/OFFLINE:E:\\WINNT", "/IMAGE:disk.E01@2:\\WINNT"});
    EXPECT_EQ(a.Image, "disk.E01@2:\\WINNT");
    EXPECT_EQ(a.Computer + a.Offline, "");
    EXPECT_EQ(ParseConsoleArgs({"/IMAGE:disk.raw", "/OFFLINE:F:\\WINNT"}).Image, "");
    EXPECT_EQ(*ParseConsoleArgs({"/IMAGE:"}).InvalidParameter, "/IMAGE:");
}

TEST(ConsoleArgs, CompareTakesEveryTargetInOrder)
{
    const TConsoleArgs a = ParseConsoleArgs({"\\\\ONE", "@FLEET.TXT", "/COMPARE", "/OFFLINE:E:\\WINNT",
                                             "/BASELINE:REQ.TXT", "/THREADS:16", "\\\\ONE"});
    EXPECT_TRUE(a.Compare);
    ASSERT_EQ(a.CompareTargets.size(), 4u);
    EXPECT_EQ(a.CompareTargets[0].Target, (TCompareTarget{TTargetKind::Computer, "\\\\ONE"}));
    EXPECT_EQ(a.CompareTargets[1].ListFile, "FLEET.TXT");
    EXPECT_EQ(a.CompareTargets[2].Target, (TCompareTarget{TTargetKind::Offline, "E:\\WINNT"}));
    EXPECT_EQ(a.Baseline, "REQ.TXT");
    EXPECT_EQ(a.Threads, 16);
    EXPECT_EQ(ParseConsoleArgs({"/COMPARE"}).Threads, 8);
    for (const char* bad : {"/THREADS:0", "/THREADS:65", "/THREADS:", "/THREADS:X", "@", "/BASELINE:"})
        EXPECT_EQ(*ParseConsoleArgs({"/COMPARE", bad, "\\\\ONE"}).InvalidParameter, bad);
}

TEST(ConsoleArgs, HelpTextLinesAndColumns)
{
    const std::vector<std::string>& lines = HelpTextLines();
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[2], "Syntax: PSCOPECL.EXE [\\\\<computer>] [Q][D][T][F] [/?]");
    EXPECT_EQ(lines[4], "Displayed installed hotfixes on NT machines.");
    EXPECT_EQ(lines[6], "<computer>  Which computer to connect to. Local computer if omitted.");
    EXPECT_EQ(lines[7], "/OFFLINE:   Followed by a Windows directory: read that offline system.");
    EXPECT_EQ(lines[8], "Q           Print the hotfix ID.");
    EXPECT_EQ(lines[9], "D           Print the description.");
    EXPECT_EQ(lines[10], "T           Print the date/time the hotfix was applied.");
    EXPECT_EQ(lines[11], "F           Print the files that were replaced by the hotfix.");
    EXPECT_EQ(lines[12], "/VERIFY     Compare each hotfix's saved files with the installed ones.");
    EXPECT_EQ(lines[13],
              "/COMPARE    Compare targets named and @<list> [/BASELINE:<file>] [/THREADS:<n>]");
    EXPECT_EQ(lines[14], "/?          Display this help screen.");
    EXPECT_EQ(lines[16], "If none of Q, D, T, F is specified, all information will be printed.");
    EXPECT_FALSE(lines[0].empty()) << "the notice of rights";
    for (std::size_t i = 6; i <= 14; ++i) {
        EXPECT_EQ(lines[i].find_first_not_of(' ', lines[i].find(' ')), 12u) << lines[i];
    }
    for (std::size_t i : {1u, 3u, 5u, 15u})
        EXPECT_EQ(lines[i], "");
    // The native program's: no computer to name, the same columns.
    const std::vector<std::string>& native = NativeHelpTextLines();
    ASSERT_EQ(native.size(), 16u);
    EXPECT_EQ(native[12], lines[13]);
    for (std::size_t i = 6; i <= 13; ++i)
        EXPECT_EQ(native[i].find_first_not_of(' ', native[i].find(' ')), 12u) << native[i];
    for (const std::string& line : native)
        EXPECT_EQ(line.find("omputer"), std::string::npos) << line;
}

}  // namespace
