// Uninstall directory paths, file times, the user's list settings and the
// locale as the prefix (en-US) reports it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "LocaleInfo.h"
#include "PrivateRegistry.h"
#include "RegistryEx.h"
#include "TestFiles.h"
#include "ps_common.h"

namespace {

TEST(UninstallDir, LocalAndRemoteDifferOnlyInFront)
{
    EXPECT_EQ(FormUninstallDir("", "C:\\WINNT", "Q147222"), "C:\\WINNT\\$NtUninstallQ147222$\\");
    EXPECT_EQ(FormUninstallDir("", "D:\\", "Q1"), "D:\\$NtUninstallQ1$\\");
    EXPECT_EQ(FormUninstallDir("\\\\SERVER", "C:\\WINNT", "Q147222"),
              "\\\\SERVER\\ADMIN$\\$NtUninstallQ147222$\\");
    EXPECT_EQ(FormServicePackUninstallDir("", "C:\\WINNT"), "C:\\WINNT\\$NtServicePackUninstall$\\");
    EXPECT_EQ(FormServicePackUninstallDir("\\\\SERVER", ""),
              "\\\\SERVER\\ADMIN$\\$NtServicePackUninstall$\\");

    // The prefix's Windows directory.
    EXPECT_EQ(GetUninstallDir("", "Q5"), "C:\\windows\\$NtUninstallQ5$\\");
    EXPECT_EQ(GetServicePackUninstallDir(""), "C:\\windows\\$NtServicePackUninstall$\\");
    EXPECT_EQ(GetUninstallDir("\\\\PC", "Q5"), "\\\\PC\\ADMIN$\\$NtUninstallQ5$\\");
}

TEST(FileTimes, LocalTwoSecondResolutionAndDosRange)
{
    auto timeOf = [](const SYSTEMTIME& local) {
        FILETIME localTime{}, utc{};
        SystemTimeToFileTime(&local, &localTime);
        LocalFileTimeToFileTime(&localTime, &utc);
        return FileTimeToDateTime(utc);
    };
    EXPECT_DOUBLE_EQ(timeOf(LocalTime(1999, 7, 15, 8, 30, 45)), EncodeDateTime(1999, 7, 15, 8, 30, 44));
    EXPECT_DOUBLE_EQ(timeOf(LocalTime(1980, 1, 1)), EncodeDateTime(1980, 1, 1));
    EXPECT_EQ(timeOf(LocalTime(1979, 12, 31, 12)), 0);
    EXPECT_EQ(timeOf(LocalTime(2108, 1, 1, 12)), 0);
}

TEST(ListSettings, DefaultsAndStoredValues)
{
    PrivateRegistry scratch;
    TFormatSettings locale;
    locale.ShortDateFormat = "dd.MM.yyyy";
    locale.TwelveHourClock = false;
    TRegIniFileEx registry("");
    TListSettings settings = ReadListSettings(registry, locale);
    EXPECT_EQ(settings.TimeFormat, "dd.MM.yyyy h:mm");
    EXPECT_EQ(settings.DefaultText, "(unknown)");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Brightwater\\Patchscope"));

    WriteSz(HKEY_CURRENT_USER, "Software\\Brightwater\\Patchscope", "Time format", "");
    WriteSz(HKEY_CURRENT_USER, "Software\\Brightwater\\Patchscope", "Text if unknown value", "n/a");
    // Whatever key the object has open, the settings key is the one read.
    WriteSz(HKEY_CURRENT_USER, "Other", "Time format", "wrong");
    ASSERT_TRUE(registry.OpenKey("Other", false));
    settings = ReadListSettings(registry, locale);
    EXPECT_EQ(settings.TimeFormat, "");
    EXPECT_EQ(settings.DefaultText, "n/a");
}

// What the platform reports for the user's locale, as literals. The test
// runs twice: in the prefix (en-US, the built-in defaults of every field) and
// through other-locale.sh as a user whose locale differs in every field: Korean,
// with the user's own designators, decimal separator and time format
// "tt HH.mm.ss" (texts in the ANSI code page 949).
struct ExpectedLocale {
    const char* ShortDate;
    const char* LongDate;
    const char* DateSeparator;
    const char* TimeSeparator;
    const char* AM;
    const char* PM;
    bool TwelveHourClock, HourLeadingZero, DesignatorBeforeTime;
    const char* DecimalSeparator;
    const char* Sunday;   // short
    const char* Monday;
    const char* Saturday;
    const char* January;  // short
    const char* December;
    const char* ListPattern;
};

const ExpectedLocale kEnglish{
    "M/d/yyyy", "dddd, MMMM d, yyyy", "/", ":", "AM", "PM", true, false, false, ".",
    "Sun", "Monday", "Saturday", "Jan", "December", "M/d/yyyy h:mm AMPM"};
const ExpectedLocale kKoreanOfTheUser{
    "yyyy. M. d.", "yyyy\xB3\xE2 M\xBF\xF9 d\xC0\xCF dddd", ". ", ".", "vm", "nm",
    false, true, true, ",",
    "\xC0\xCF", "\xBF\xF9\xBF\xE4\xC0\xCF", "\xC5\xE4\xBF\xE4\xC0\xCF", "1\xBF\xF9", "12\xBF\xF9",
    "yyyy. M. d. hh:mm"};

TEST(Locale, ReadFromThePlatformOnce)
{
    const char* other = std::getenv("PS_OTHER_LOCALE");
    const ExpectedLocale& expected = other && std::string(other) == "ko-KR" ? kKoreanOfTheUser : kEnglish;
    const TFormatSettings& fs = LocaleFormatSettings();
    EXPECT_EQ(&fs, &LocaleFormatSettings());
    EXPECT_EQ(fs.ShortDateFormat, expected.ShortDate);
    EXPECT_EQ(fs.LongDateFormat, expected.LongDate);
    EXPECT_EQ(fs.DateSeparator, expected.DateSeparator);
    EXPECT_EQ(fs.TimeSeparator, expected.TimeSeparator);
    EXPECT_EQ(fs.TimeAMString, expected.AM);
    EXPECT_EQ(fs.TimePMString, expected.PM);
    EXPECT_EQ(fs.TwelveHourClock, expected.TwelveHourClock);
    EXPECT_EQ(fs.HourLeadingZero, expected.HourLeadingZero);
    EXPECT_EQ(fs.DesignatorBeforeTime, expected.DesignatorBeforeTime);
    EXPECT_EQ(fs.DecimalSeparator, expected.DecimalSeparator);
    EXPECT_EQ(fs.ShortDayNames[0], expected.Sunday);
    EXPECT_EQ(fs.LongDayNames[1], expected.Monday);
    EXPECT_EQ(fs.LongDayNames[6], expected.Saturday);
    EXPECT_EQ(fs.ShortMonthNames[0], expected.January);
    EXPECT_EQ(fs.LongMonthNames[11], expected.December);
    EXPECT_EQ(DefaultListPattern(fs), expected.ListPattern);
}

}  // namespace
