#include "MultiString.h"

#include <gtest/gtest.h>

using namespace std::string_literals;
using Lines = std::vector<std::string>;

TEST(MultiString, EncodesEmptyLinesAsDashAndEndsWithExtraNul)
{
    EXPECT_EQ(EncodeMultiString({"a", "", "b"}), "a\0-\0b\0\0"s);
    EXPECT_EQ(EncodeMultiString({}), "\0"s);
    EXPECT_EQ(EncodeMultiString({"", "x"}), "-\0x\0\0"s);
}

TEST(MultiString, RoundTripKeepsLinesButDashBecomesEmpty)
{
    const Lines lines{"", "first", "", "second line", ""};
    EXPECT_EQ(DecodeMultiString(EncodeMultiString(lines)), lines);
    EXPECT_EQ(DecodeMultiString(EncodeMultiString({"-", "a"})), (Lines{"", "a"}));
    EXPECT_EQ(DecodeMultiString(EncodeMultiString({})), Lines{});
}

TEST(MultiString, DecodingStopsAtFirstEmptyString)
{
    EXPECT_EQ(DecodeMultiString("a\0\0b\0\0"s), Lines{"a"});
    EXPECT_EQ(DecodeMultiString("\0a\0\0"s), Lines{});
    EXPECT_EQ(DecodeMultiString(""), Lines{});
}

TEST(MultiString, LastStringWithoutNulIsReadToTheEndOfTheData)
{
    // A plain text value has no terminating NULs at all.
    EXPECT_EQ(DecodeMultiString("text"), Lines{"text"});
    EXPECT_EQ(DecodeMultiString("a\0b"s), (Lines{"a", "b"}));
    EXPECT_EQ(DecodeMultiString("a\0-"s), (Lines{"a", ""}));

    // Nothing beyond the view is read, even when the bytes after it are text.
    const std::string buffer = "one\0two\0three"s;
    EXPECT_EQ(DecodeMultiString(std::string_view(buffer.data(), 6)), (Lines{"one", "tw"}));
}
