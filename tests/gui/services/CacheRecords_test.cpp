#include "CacheRecords.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

using Lines = std::vector<std::string>;

TEST(CacheRecords, FilesBecomeFiveStringsEachAndReadBackWhole)
{
    const Lines lines = EncodeCacheRecords(
        {{"ntoskrnl.exe", 36124.5, 5368709120LL, "4.0.1381.33", "NT Kernel & System"},
         {"readme.txt", -0.0, 0, "", ""}});
    EXPECT_EQ(lines, (Lines{"ntoskrnl.exe", "36124.500000", "5368709120", "4.0.1381.33",
                            "NT Kernel & System", "readme.txt", "0.000000", "0", "", ""}));
    const std::vector<THotfixFile> read = DecodeCacheRecords(lines);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].FileDate, 36124.5);
    EXPECT_EQ(read[0].FileSize, 5368709120LL);
    EXPECT_EQ(read[0].FileDescription, "NT Kernel & System");

    // Six decimals decide: a hair's difference is the same stored time stamp.
    EXPECT_EQ(FormatCacheDate(36124.123456789), "36124.123457");
    EXPECT_EQ(FormatCacheDate(36124.0 + 1.0 / 3), FormatCacheDate(36124.0 + 1.0 / 3 + 1e-8));
    EXPECT_NE(FormatCacheDate(36124.0 + 1.0 / 3), FormatCacheDate(36124.0 + 1.0 / 3 + 2e-6));
}

// A C library switched to a locale with a decimal comma changes nothing.
TEST(CacheRecords, StoredDatesIgnoreTheCLibrarysLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* found = nullptr;
    for (const char* locale : {"de_DE.UTF-8", "de_DE", "German_Germany.1252", "fr_FR.UTF-8"})
        if (std::setlocale(LC_NUMERIC, locale) && *std::localeconv()->decimal_point == ',') {
            found = locale;
            break;
        }
    if (!found) {
        std::setlocale(LC_NUMERIC, previous.c_str());
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    }
    EXPECT_EQ(FormatCacheDate(36124.5), "36124.500000") << found;
    EXPECT_EQ(ParseCacheDate("36124.5"), 36124.5) << found;
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST(CacheRecords, FieldsThatAreNoNumbersReadAsZeroAndTheFileStillLoads)
{
    const std::vector<THotfixFile> read = DecodeCacheRecords(
        {"a.dll", "36124,5", "12kB", "1.0", "A",           // comma, unit
         "b.dll", " 36124.25 ", " +42 ", "", "",            // blanks, plus sign
         "c.dll", "inf", "99999999999999999999", "", "",    // no finite date, size too large
         "d.dll", "nan", "-1073741824", "", "",             // a size a 32-bit writer wrapped
         "e.dll", "1.0"});                                  // incomplete: ignored
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(read[0].FileDate, 0);
    EXPECT_EQ(read[0].FileSize, 0);
    EXPECT_EQ(read[0].FileVersion, "1.0");
    EXPECT_EQ(read[1].FileDate, 36124.25);
    EXPECT_EQ(read[1].FileSize, 42);
    EXPECT_EQ(read[2].FileDate, 0);
    EXPECT_EQ(read[2].FileSize, 0);
    EXPECT_EQ(read[3].FileSize, -1073741824);
}
