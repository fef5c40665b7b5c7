#pragma once
// Date-time values and the pattern language that shows them.
//
// A date-time value is a double: days since 30 December 1899 in local time,
// the fraction being the time of day. 0 means "no date"; callers test for it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The locale's conventions as the patterns need them, read from the platform
// once at program start (see LocaleInfo.h) or set by tests.
struct TFormatSettings {
    std::string ShortDateFormat = "M/d/yyyy";
    std::string LongDateFormat = "dddd, MMMM d, yyyy";
    std::string DateSeparator = "/";
    std::string TimeSeparator = ":";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    bool HourLeadingZero = false;
    bool TwelveHourClock = true;
    bool DesignatorBeforeTime = false;
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> LongDayNames{"Sunday", "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> LongMonthNames{"January", "February", "March", "April",
                                               "May", "June", "July", "August",
                                               "September", "October", "November",
                                               "December"};
    std::string DecimalSeparator = ".";
    std::string ThousandSeparator = ",";

    std::string ShortTimeFormat() const;   // "h:mm AMPM" and its locale variants
    std::string LongTimeFormat() const;    // "h:mm:ss AMPM" ...
};

std::string DefaultListPattern(const TFormatSettings& fs);    // short date, blank, short time
std::string DefaultDetailPattern(const TFormatSettings& fs);  // long date, blank, short time

// The text the pattern makes of the value. Every text is a valid pattern; an
// empty one is "c". Eras: the Gregorian calendar has one, so "e" is the year
// and "g" (its name) is empty.
std::string FormatDateTime(const std::string& pattern, double value, const TFormatSettings& fs);

// Calendar conversions (proleptic Gregorian, years 1 to 9999). Before the base
// day the integer part is the (negative) day and the fraction still the time
// of day: 29 December 1899 06:00 is -1.25. Encoding gives nothing (Try...) or
// 0 when the parts form no valid date and time.
std::optional<double> TryEncodeDateTime(int year, int month, int day, int hour = 0,
                                        int minute = 0, int second = 0, int millisecond = 0);
double EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0,
                      int second = 0, int millisecond = 0);
struct TDateTimeParts {
    int Year, Month, Day, Hour, Minute, Second, Millisecond, DayOfWeek;   // DayOfWeek 0 = Sunday
};
// Rounded to the millisecond. A value that is not finite or lies outside the
// years 1 to 9999 decodes as 0 (30 December 1899, midnight).
TDateTimeParts DecodeDateTime(double value);

// A DOS date and time (two-second resolution) as a date-time value; 0 when the
// two words do not form a valid date and time.
double DosDateTimeToDateTime(std::uint16_t dosDate, std::uint16_t dosTime);
