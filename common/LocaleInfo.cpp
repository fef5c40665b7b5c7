#include "LocaleInfo.h"

#include <windows.h>

#include <vector>

namespace {

// One locale entry as text, whatever its length (the first call asks for it).
std::string LocaleString(LCTYPE type, const std::string& fallback)
{
    int size = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (size <= 0)
        return fallback;
    std::vector<char> buffer(static_cast<std::size_t>(size));
    int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer.data(), size);
    if (length <= 0)
        return fallback;
    // The length counts the terminating NUL.
    return std::string(buffer.data(), static_cast<std::size_t>(length - 1));
}

bool LocaleFlag(LCTYPE type, bool fallback)
{
    std::string text = LocaleString(type, fallback ? "1" : "0");
    return !text.empty() && text[0] != '0';
}

}  // namespace

TFormatSettings ReadLocaleFormatSettings()
{
    TFormatSettings fs;
    fs.ShortDateFormat = LocaleString(LOCALE_SSHORTDATE, fs.ShortDateFormat);
    fs.LongDateFormat = LocaleString(LOCALE_SLONGDATE, fs.LongDateFormat);
    fs.DateSeparator = LocaleString(LOCALE_SDATE, fs.DateSeparator);
    fs.TimeSeparator = LocaleString(LOCALE_STIME, fs.TimeSeparator);
    fs.TimeAMString = LocaleString(LOCALE_S1159, fs.TimeAMString);
    fs.TimePMString = LocaleString(LOCALE_S2359, fs.TimePMString);
    fs.HourLeadingZero = LocaleFlag(LOCALE_ITLZERO, fs.HourLeadingZero);
    // LOCALE_ITIME is "1" for the 24-hour clock.
    fs.TwelveHourClock = !LocaleFlag(LOCALE_ITIME, !fs.TwelveHourClock);
    fs.DesignatorBeforeTime = LocaleFlag(LOCALE_ITIMEMARKPOSN, fs.DesignatorBeforeTime);
    fs.DecimalSeparator = LocaleString(LOCALE_SDECIMAL, fs.DecimalSeparator);
    fs.ThousandSeparator = LocaleString(LOCALE_STHOUSAND, fs.ThousandSeparator);
    // The platform numbers the days from Monday; the lists start on Sunday.
    for (int day = 0; day < 7; ++day) {
        std::size_t index = static_cast<std::size_t>((day + 1) % 7);
        fs.ShortDayNames[index] =
            LocaleString(static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + day), fs.ShortDayNames[index]);
        fs.LongDayNames[index] =
            LocaleString(static_cast<LCTYPE>(LOCALE_SDAYNAME1 + day), fs.LongDayNames[index]);
    }
    for (int month = 0; month < 12; ++month) {
        std::size_t index = static_cast<std::size_t>(month);
        fs.ShortMonthNames[index] = LocaleString(
            static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + month), fs.ShortMonthNames[index]);
        fs.LongMonthNames[index] =
            LocaleString(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + month), fs.LongMonthNames[index]);
    }
    return fs;
}

const TFormatSettings& LocaleFormatSettings()
{
    static const TFormatSettings settings = ReadLocaleFormatSettings();
    return settings;
}
