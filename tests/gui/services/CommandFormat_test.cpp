#include "CommandFormat.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// The three pieces the Open KB Article command takes from Q123456.
const std::vector<std::string> kArticle{"123", "4", "56"};

std::string Formatted(std::string_view pattern)
{
    return TryFormatCommand(pattern, kArticle).value_or("<invalid>");
}

}  // namespace

TEST(CommandFormat, FillsTheArticleAddress)
{
    EXPECT_EQ(Formatted("http://support.example.com/support/kb/articles/q%s/%s/%s.asp"),
              "http://support.example.com/support/kb/articles/q123/4/56.asp");
    EXPECT_EQ(Formatted("q%s/%S/%s"), "q123/4/56");
    EXPECT_EQ(Formatted("100%% sure: %s%%"), "100% sure: 123%");
    EXPECT_EQ(Formatted("%%s%%%s"), "%s%123");
    EXPECT_EQ(Formatted(""), "");
    EXPECT_EQ(Formatted("no conversion"), "no conversion");
    EXPECT_EQ(Formatted(std::string_view("a\0b%s", 5)), std::string("a\0b123", 6));
}

TEST(CommandFormat, IndexWidthAndPrecision)
{
    // An index moves the argument pointer; the next conversions go on after it.
    EXPECT_EQ(Formatted("%1:s-%s"), "4-56");
    EXPECT_EQ(Formatted("%2:s%0:s%s%s"), "56123456");
    // Width pads on the left, "-" on the right; precision cuts first.
    EXPECT_EQ(Formatted("[%5s]"), "[  123]");
    EXPECT_EQ(Formatted("[%-5s]"), "[123  ]");
    EXPECT_EQ(Formatted("[%-5.2s]"), "[12   ]");
    EXPECT_EQ(Formatted("[%.2s]"), "[12]");
    EXPECT_EQ(Formatted("[%.s]"), "[]");
    EXPECT_EQ(Formatted("[%2s]"), "[123]");
    EXPECT_EQ(Formatted("[%1:-3.0s|%s]"), "[   |56]");
    EXPECT_EQ(Formatted("%0:005s"), "  123");
}

TEST(CommandFormat, ConversionCutOffByTheEndIsDroppedAnyOtherEndIsInvalid)
{
    for (const char* cut : {"q%", "q%1", "q%1:", "q%1:-", "q%-12", "q%12.", "q%0:-12.34", "q%s%"})
        EXPECT_EQ(Formatted(cut), std::string(cut) == "q%s%" ? "q123" : "q") << cut;
    for (const char* bad : {"%d", "q%s/%d", "%s%s%s%s", "%3:s", "%2:s%s", "% s", "%*s",
                            "%-1:s", "%1:1:s", "%.1.s", "%--s", "%x%", "%:s"})
        EXPECT_FALSE(TryFormatCommand(bad, kArticle)) << bad;
    EXPECT_FALSE(TryFormatCommand("%s", {}));
}

TEST(CommandFormat, FieldsAboveTheLimitAreInvalidInsteadOfHuge)
{
    EXPECT_EQ(Formatted("%1024s").size(), 1024u);
    EXPECT_EQ(Formatted("%.1024s"), "123");
    EXPECT_FALSE(TryFormatCommand("%1025s", kArticle));
    EXPECT_FALSE(TryFormatCommand("%-.1025s", kArticle));
    EXPECT_FALSE(TryFormatCommand("%99999999999999999999s", kArticle));
    EXPECT_FALSE(TryFormatCommand("%99999999999999999999:s", kArticle));
}

TEST(CommandFormat, FormatCommandRaisesTheFormattingError)
{
    EXPECT_EQ(FormatCommand("q%s/%s/%s", kArticle), "q123/4/56");
    try {
        FormatCommand("q%d", kArticle);
        FAIL() << "no error raised";
    } catch (const EFormatError& error) {
        EXPECT_STREQ(error.what(), "Format 'q%d' invalid or incompatible with argument");
    }
    EXPECT_THROW(FormatCommand("%s%s%s%s", kArticle), std::runtime_error);
}
