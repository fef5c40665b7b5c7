#include "CacheRecords.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <string>

using Lines = std::vector<std::string>;

TEST(CacheRecords, FilesBecomeFiveStringsEachAndReadBackWhole)
{
    const std::vector<THotfixFile> files{
        {"ntoskrnl.exe", 36124.5, 5368709120LL, "4.0.1381.33", "NT Kernel & System"},
        {"readme.txt", 0, 0, "", ""},
        {"big.cab", 40000.25, 4294967296LL + 1, "", "Cabinet"},
    };
    const Lines lines = EncodeCacheRecords(files);
    EXPECT_EQ(lines, (Lines{"ntoskrnl.exe", "36124.500000", "5368709120", "4.0.1381.33",
                            "NT Kernel & System",
                            "readme.txt", "0.000000", "0", "", "",
                            "big.cab", "40000.250000", "4294967297", "", "Cabinet"}));

    const std::vector<THotfixFile> read = DecodeCacheRecords(lines);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].FileName, "ntoskrnl.exe");
    EXPECT_EQ(read[0].FileDate, 36124.5);
    EXPECT_EQ(read[0].FileSize, 5368709120LL);
    EXPECT_EQ(read[0].FileVersion, "4.0.1381.33");
    EXPECT_EQ(read[0].FileDescription, "NT Kernel & System");
    EXPECT_EQ(read[2].FileSize, 4294967297LL);
}

TEST(CacheRecords, TimeStampsKeepSixDecimalsWithAPoint)
{
    EXPECT_EQ(FormatCacheDate(1.5), "1.500000");
    EXPECT_EQ(FormatCacheDate(0), "0.000000");
    EXPECT_EQ(FormatCacheDate(-0.0), "0.000000");
    EXPECT_EQ(FormatCacheDate(36124.123456789), "36124.123457");
    // 1/3 day and a hair more are one stored time stamp.
    EXPECT_EQ(FormatCacheDate(36124.0 + 1.0 / 3), FormatCacheDate(36124.0 + 1.0 / 3 + 1e-8));
    EXPECT_NE(FormatCacheDate(36124.0 + 1.0 / 3), FormatCacheDate(36124.0 + 1.0 / 3 + 2e-6));
    EXPECT_EQ(FormatCacheDate(-2.25), "-2.250000");
    EXPECT_EQ(FormatCacheDate(1e20), "100000000000000000000.000000");

    // A C library switched to a locale with a decimal comma changes nothing.
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* locale : {"de_DE.UTF-8", "de_DE", "German_Germany.1252"}) {
        if (!std::setlocale(LC_NUMERIC, locale))
            continue;
        EXPECT_EQ(FormatCacheDate(36124.5), "36124.500000") << locale;
        EXPECT_EQ(ParseCacheDate("36124.5"), 36124.5) << locale;
        break;
    }
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST(CacheRecords, FieldsThatAreNoNumbersReadAsZeroAndTheFileStillLoads)
{
    const Lines lines{
        "a.dll", "36124,5", "12kB", "1.0", "A",              // comma, unit
        "b.dll", "  36124.25 ", " +42 ", "", "",               // blanks and a plus sign
        "c.dll", "inf", "99999999999999999999", "", "",        // no finite date, size too large
        "d.dll", "nan", "-1073741824", "", "",                 // a size that a 32-bit writer wrapped
        "e.dll", "", "", "", "",
        "f.dll", "1e3", "0x10", "", "",
        "g.dll", "1.0"};                                       // incomplete: ignored
    const std::vector<THotfixFile> read = DecodeCacheRecords(lines);
    ASSERT_EQ(read.size(), 6u);
    EXPECT_EQ(read[0].FileName, "a.dll");
    EXPECT_EQ(read[0].FileDate, 0);
    EXPECT_EQ(read[0].FileSize, 0);
    EXPECT_EQ(read[0].FileVersion, "1.0");
    EXPECT_EQ(read[1].FileDate, 36124.25);
    EXPECT_EQ(read[1].FileSize, 42);
    EXPECT_EQ(read[2].FileDate, 0);
    EXPECT_EQ(read[2].FileSize, 0);
    EXPECT_EQ(read[3].FileDate, 0);
    EXPECT_EQ(read[3].FileSize, -1073741824);
    EXPECT_EQ(read[4].FileName, "e.dll");
    EXPECT_EQ(read[5].FileDate, 1000);
    EXPECT_EQ(read[5].FileSize, 0);
    EXPECT_TRUE(DecodeCacheRecords({"x", "1", "2", "3"}).empty());
}
