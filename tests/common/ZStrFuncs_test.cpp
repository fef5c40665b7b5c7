#include "ZStrFuncs.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

TEST(ZStrFuncs, RemoveLastChar)
{
    EXPECT_EQ(RemoveLastChar("C:\\WINNT\\$NtUninstallQ147222$\\"), "C:\\WINNT\\$NtUninstallQ147222$");
    EXPECT_EQ(RemoveLastChar("x"), "");
    EXPECT_EQ(RemoveLastChar(""), "");
}

TEST(ZStrFuncs, PadRightPadsButNeverCuts)
{
    EXPECT_EQ(PadRight("abc", 6), "abc   ");
    EXPECT_EQ(PadRight("abc", 3), "abc");
    EXPECT_EQ(PadRight("abc", 2), "abc");
    EXPECT_EQ(PadRight("", 255), std::string(255, ' '));
    EXPECT_EQ(PadRight("abc", 300), "abc" + std::string(297, ' '));
}

TEST(ZStrFuncs, ReplaceStringReplacesEveryOccurrence)
{
    EXPECT_EQ(ReplaceString("1.5", ".", ","), "1,5");
    EXPECT_EQ(ReplaceString("1.5", ".", "."), "1.5");
    EXPECT_EQ(ReplaceString("a.b.c.", ".", ""), "abc");
    EXPECT_EQ(ReplaceString("abab", "ab", "xyz"), "xyzxyz");
    EXPECT_EQ(ReplaceString("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceString("Abc", "a", "x"), "Abc");   // exact case
    EXPECT_EQ(ReplaceString("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceString("", "a", "x"), "");
    EXPECT_EQ(ReplaceString("a\0b"s, "\0"s, "-"), "a-b");
    // A replacement that forms a new occurrence with the text before it is
    // replaced again, as a search from the beginning would find it.
    EXPECT_EQ(ReplaceString("aab", "ab", "b"), "b");
    EXPECT_EQ(ReplaceString("xaabb", "ab", ""), "x");
}

TEST(ZStrFuncs, ReplacementThatCouldGrowTheTextForEverEnds)
{
    EXPECT_EQ(ReplaceString("1.5.", ".", ".."), "1..5..");
    EXPECT_EQ(ReplaceString("ab", "a", "aa"), "aab");
    EXPECT_EQ(ReplaceString("x", "x", "<x>"), "<x>");
    // No occurrence inside the replacement, but each one forms a new one with
    // the text before it: searched from the start, this would never end.
    EXPECT_EQ(ReplaceString("aab", "ab", "bbaa"), "abbaa");
}

TEST(ZStrFuncs, CutAtNulTakesTextsOfAnyLength)
{
    EXPECT_EQ(CutAtNul("C:\\WINNT\0garbage"s), "C:\\WINNT");
    EXPECT_EQ(CutAtNul("\0x"s), "");
    EXPECT_EQ(CutAtNul("no nul"), "no nul");
    const std::string longText(5000, 'p');
    EXPECT_EQ(CutAtNul(longText), longText);
    EXPECT_EQ(CutAtNul(longText + '\0' + "tail"), longText);
}

TEST(ZStrFuncs, AddBackslash)
{
    EXPECT_EQ(AddBackslash("C:\\WINNT"), "C:\\WINNT\\");
    EXPECT_EQ(AddBackslash("C:\\"), "C:\\");
    EXPECT_EQ(AddBackslash(""), "");
    const std::string longPath(3000, 'd');
    EXPECT_EQ(AddBackslash(longPath), longPath + '\\');
    // The test looks at the text before a NUL; the result keeps the whole text.
    EXPECT_EQ(AddBackslash("C:\\\0x"s), "C:\\\0x"s);
    EXPECT_EQ(AddBackslash("\0x"s), "\0x"s);
    EXPECT_EQ(AddBackslash("C:\0x"s), "C:\0x\\"s);
}

// Code page 932: lead bytes 0x81 to 0x9F and 0xE0 to 0xFC; the trail byte of
// "\x95\x5C" is a backslash, that of "\x83\x41" the letter A.
bool ShiftJisLead(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

TEST(ZStrFuncs, DoubleByteNamesAreWalkedByCharacter)
{
    const std::string hyou = "\x95\x5C", so = "\x83\x41";
    EXPECT_EQ(AddBackslash("C:\\" + hyou, ShiftJisLead), "C:\\" + hyou + "\\");
    EXPECT_EQ(AddBackslash("C:\\" + hyou + "\\", ShiftJisLead), "C:\\" + hyou + "\\");
    EXPECT_EQ(AddBackslash("C:\\" + hyou), "C:\\" + hyou);   // single-byte: a backslash
    EXPECT_EQ(AddBackslash("C:\\x\x95", ShiftJisLead), "C:\\x\x95\\");   // a lone lead byte

    const std::string file = "C:\\" + hyou + "\\" + hyou + "." + so + "\\list" + hyou;
    EXPECT_EQ(ExtractFilePath(file, ShiftJisLead), "C:\\" + hyou + "\\" + hyou + "." + so + "\\");
    EXPECT_EQ(ExtractFileExt(file, ShiftJisLead), "");
    EXPECT_EQ(ExtractFileExt(file + ".Csv", ShiftJisLead), ".Csv");
    EXPECT_EQ(ExtractFilePath("list.txt", ShiftJisLead), "");
    EXPECT_EQ(ExtractFilePath("A:list", ShiftJisLead), "A:");

    EXPECT_EQ(LowerCaseAnsi("SERVER" + so + "X\xC4", ShiftJisLead), "server" + so + "x\xC4");
}
