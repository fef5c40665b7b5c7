#include "SizeText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

TEST(SizeText, BytesKilobytesAndMegabytesByTheirThresholds)
{
    TSizeDisplay display;
    EXPECT_EQ(FormatSize(1234567, true, display, ","), "1,234,567 bytes");
    EXPECT_EQ(FormatSize(5368709120LL, false, display, "."), "5.368.709.120");
    EXPECT_EQ(FormatSize(999, false, display, ""), "999");

    display.DisplayKilobytes = true;
    EXPECT_EQ(FormatSize(10239, true, display, ","), "10,239 bytes");
    EXPECT_EQ(FormatSize(10751, true, display, ","), "10 kB");   // 10.499
    EXPECT_EQ(FormatSize(10752, true, display, ","), "11 kB");   // halves away from zero
    display.DisplayKilobytes = false;
    display.DisplayMegabytes = true;                            // without kB: MB alone
    EXPECT_EQ(FormatSize(8192LL * 1024 - 1, false, display, ","), "8,388,607");
    EXPECT_EQ(FormatSize(9961472, false, display, ","), "10 MB");   // 9.5 MB: halves up
    EXPECT_EQ(FormatSize(9961471, false, display, ","), "9 MB");
    display.DisplayKilobytes = true;
    EXPECT_EQ(FormatSize(8192LL * 1024 - 1, false, display, ","), "8,192 kB");
    EXPECT_EQ(FormatSize(5368709120LL, false, display, ","), "5,120 MB");
}

TEST(SizeText, ExtremeThresholdsAndSizesNeitherOverflowNorMisplaceTheUnit)
{
    TSizeDisplay display;
    display.DisplayMegabytes = true;
    display.DisplayKilobytes = true;
    // 2^31-1 kB overflows 32 bits when taken in bytes; it is about 2 TB.
    display.KiloByteThreshold = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(FormatSize(5368709120LL, false, display, ","), "5,242,880 kB");
    EXPECT_EQ(FormatSize(std::numeric_limits<std::int64_t>::max(), false, display, ","),
              "8,796,093,022,208 MB");
    // Thresholds edited by hand below zero compare signed.
    display.KiloByteThreshold = -1;
    display.ByteThreshold = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(FormatSize(0, false, display, ","), "0 MB");
    EXPECT_EQ(FormatSize(-1536, false, display, ","), "-2 kB");
    EXPECT_EQ(FormatSize(std::numeric_limits<std::int64_t>::min(), false, display, ","),
              "-9,223,372,036,854,775,808");
}
