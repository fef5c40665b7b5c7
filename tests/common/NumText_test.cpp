#include "NumText.h"

#include <gtest/gtest.h>

TEST(NumText, DecimalWithBlanksAndSign)
{
    EXPECT_EQ(TryStrToInt("0"), 0);
    EXPECT_EQ(TryStrToInt("147222"), 147222);
    EXPECT_EQ(TryStrToInt("  -42"), -42);
    EXPECT_EQ(TryStrToInt("+7"), 7);
    EXPECT_EQ(TryStrToInt("007"), 7);
    EXPECT_EQ(TryStrToInt("2147483647"), 2147483647);
    EXPECT_EQ(TryStrToInt("-2147483648"), INT32_MIN);
}

TEST(NumText, Hexadecimal)
{
    EXPECT_EQ(TryStrToInt("$1F"), 31);
    EXPECT_EQ(TryStrToInt("0x1f"), 31);
    EXPECT_EQ(TryStrToInt("0XfF"), 255);
    EXPECT_EQ(TryStrToInt("-$10"), -16);
    EXPECT_EQ(TryStrToInt("$7FFFFFFF"), INT32_MAX);
    EXPECT_EQ(TryStrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(TryStrToInt("0x00000000FF"), 255);
}

TEST(NumText, RejectsWhatIsNoWholeNumber)
{
    for (const char* bad : {"", " ", "-", "+", "$", "0x", "0X", "x1", "12a", "1 ", "1.5", "1,5",
                            "--1", "+-1", "- 1", "0x-1", "$ 1", "$G", "Q147222", "\t1"}) {
        EXPECT_FALSE(TryStrToInt(bad)) << '"' << bad << '"';
    }
    EXPECT_FALSE(TryStrToInt(std::string_view("12\0" "3", 4)));
}

TEST(NumText, OutOfRangeFails)
{
    EXPECT_FALSE(TryStrToInt("2147483648"));
    EXPECT_FALSE(TryStrToInt("-2147483649"));
    EXPECT_FALSE(TryStrToInt("99999999999999999999999"));
    EXPECT_FALSE(TryStrToInt("$100000000"));
    EXPECT_FALSE(TryStrToInt("0x1FFFFFFFFFFFFFFFF"));
}

TEST(NumText, StrToIntDefFallsBack)
{
    EXPECT_EQ(StrToIntDef("120", 5), 120);
    EXPECT_EQ(StrToIntDef("wide", 5), 5);
    EXPECT_EQ(StrToIntDef("", -1), -1);
    EXPECT_EQ(StrToIntDef("4294967296", 9), 9);
}

TEST(NumText, TypedNumbersTakeHexadecimalOnlyAfterTheDollar)
{
    EXPECT_EQ(TryTypedStrToInt("  10240"), 10240);
    EXPECT_EQ(TryTypedStrToInt("$2800"), 10240);
    EXPECT_EQ(TryTypedStrToInt("-$10"), -16);
    EXPECT_EQ(TryTypedStrToInt("0"), 0);
    EXPECT_EQ(TryTypedStrToInt("-2147483648"), INT32_MIN);
    for (const char* bad : {"0x2800", " 0X1f", "-0x1", "10 240", "", "2147483648", "$", "12 "})
        EXPECT_FALSE(TryTypedStrToInt(bad)) << '"' << bad << '"';
}
