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

// Code page 932: the trail byte of "\x95\x5C" reads as "\\", that of "\x83\x41" as "A".
TEST(ZStrFuncs, DoubleByteNamesAreWalkedByCharacter)
{
    auto lead = [](unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || byte >= 0xE0; };
    const std::string dir = "C:\\\x95\x5C.\x83\x41\\", file = dir + "list\x95\x5C";
    EXPECT_EQ(ExtractFilePath(file, lead), dir);
    EXPECT_EQ(ExtractFileExt(file, lead) + ExtractFileExt(file + ".Csv", lead), ".Csv");
    EXPECT_EQ(LowerCaseAnsi("SERVER\x83\x41X", lead), "server\x83\x41x");
}
