// Uninstall directory paths, file times, the user's list settings and the
// locale as the prefix (en-US) reports it.
#include <gtest/gtest.h>

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

    EXPECT_EQ(GetUninstallDir("", "Q5"), WindowsDirectory() + "$NtUninstallQ5$\\");
    EXPECT_EQ(GetServicePackUninstallDir(""), WindowsDirectory() + "$NtServicePackUninstall$\\");
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

TEST(Locale, ReadFromThePlatformOnce)
{
    const TFormatSettings& fs = LocaleFormatSettings();
    EXPECT_EQ(&fs, &LocaleFormatSettings());
    EXPECT_EQ(fs.ShortDateFormat, "M/d/yyyy");
    EXPECT_EQ(fs.LongDateFormat, "dddd, MMMM d, yyyy");
    EXPECT_EQ(fs.DateSeparator, "/");
    EXPECT_EQ(fs.TimeSeparator, ":");
    EXPECT_EQ(fs.TimeAMString, "AM");
    EXPECT_EQ(fs.TimePMString, "PM");
    EXPECT_TRUE(fs.TwelveHourClock);
    EXPECT_FALSE(fs.HourLeadingZero);
    EXPECT_FALSE(fs.DesignatorBeforeTime);
    EXPECT_EQ(fs.ShortDayNames[0], "Sun");
    EXPECT_EQ(fs.LongDayNames[1], "Monday");
    EXPECT_EQ(fs.LongDayNames[6], "Saturday");
    EXPECT_EQ(fs.ShortMonthNames[0], "Jan");
    EXPECT_EQ(fs.LongMonthNames[11], "December");
    EXPECT_EQ(DefaultListPattern(fs), "M/d/yyyy h:mm AMPM");
}

}  // namespace
