#include "SizeText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

TEST(SizeText, BytesByDefaultWithTheLocalesSeparator)
{
    const TSizeDisplay defaults;
    EXPECT_EQ(FormatSize(1234567, true, defaults, ","), "1,234,567 bytes");
    EXPECT_EQ(FormatSize(1234567, false, defaults, ","), "1,234,567");
    EXPECT_EQ(FormatSize(5368709120LL, false, defaults, ","), "5,368,709,120");
    EXPECT_EQ(FormatSize(999, true, defaults, ","), "999 bytes");
    EXPECT_EQ(FormatSize(0, true, defaults, ","), "0 bytes");
    EXPECT_EQ(FormatSize(1234567, false, defaults, "."), "1.234.567");
    EXPECT_EQ(FormatSize(1234567, false, defaults, ""), "1234567");
    EXPECT_EQ(FormatSize(1234567, false, defaults, "\xA0\xA0"), "1\xA0\xA0" "234\xA0\xA0" "567");
    EXPECT_EQ(FormatSize(-1234, false, defaults, ","), "-1,234");
    EXPECT_EQ(FormatThousands(std::numeric_limits<std::int64_t>::min(), ","),
              "-9,223,372,036,854,775,808");
}

TEST(SizeText, KilobytesAndMegabytesFromTheirThresholdsRounded)
{
    TSizeDisplay kb;
    kb.DisplayKilobytes = true;
    EXPECT_EQ(FormatSize(10239, true, kb, ","), "10,239 bytes");
    EXPECT_EQ(FormatSize(10240, true, kb, ","), "10 kB");
    EXPECT_EQ(FormatSize(10751, false, kb, ","), "10 kB");   // 10.499
    EXPECT_EQ(FormatSize(10752, false, kb, ","), "11 kB");   // 10.5 rounds up
    EXPECT_EQ(FormatSize(5368709120LL, false, kb, ","), "5,242,880 kB");

    TSizeDisplay mb;
    mb.DisplayMegabytes = true;   // without kB: the megabyte test alone
    EXPECT_EQ(FormatSize(8192LL * 1024 - 1, false, mb, ","), "8,388,607");
    EXPECT_EQ(FormatSize(8192LL * 1024, false, mb, ","), "8 MB");
    EXPECT_EQ(FormatSize(9961472 + 524288, false, mb, ","), "10 MB");   // 9.5 MB
    EXPECT_EQ(FormatSize(5368709120LL, true, mb, ","), "5,120 MB");

    TSizeDisplay both = mb;
    both.DisplayKilobytes = true;
    EXPECT_EQ(FormatSize(8192LL * 1024 - 1, false, both, ","), "8,192 kB");
    EXPECT_EQ(FormatSize(8192LL * 1024, false, both, ","), "8 MB");
}

TEST(SizeText, ExtremeThresholdsNeitherOverflowNorMisplaceTheUnit)
{
    TSizeDisplay display;
    display.DisplayMegabytes = true;
    display.DisplayKilobytes = true;
    // 2^31-1 kB would overflow 32 bits when multiplied; in 64 bits it is ~2 TB.
    display.KiloByteThreshold = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(FormatSize(5368709120LL, false, display, ","), "5,242,880 kB");
    EXPECT_EQ(FormatSize(std::numeric_limits<std::int64_t>::max(), false, display, ","),
              "8,796,093,022,208 MB");

    // A negative threshold (edited by hand) compares signed.
    display.KiloByteThreshold = -1;
    display.ByteThreshold = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(FormatSize(0, false, display, ","), "0 MB");
    EXPECT_EQ(FormatSize(-524288, false, display, ","), "-512 kB");
    display.DisplayMegabytes = false;
    EXPECT_EQ(FormatSize(-1536, false, display, ","), "-2 kB");
    EXPECT_EQ(FormatSize(std::numeric_limits<std::int64_t>::min(), false, display, ","),
              "-9,223,372,036,854,775,808");
}
