#include "DateTimePatterns.h"

#include <gtest/gtest.h>

namespace {

const TFormatSettings kUS;   // the defaults: en-US conventions

// Tuesday 29 February 2000, 14:05:09.
const double kAfternoon = EncodeDateTime(2000, 2, 29, 14, 5, 9);
// Saturday 1 January 2005, 09:03:00.
const double kMorning = EncodeDateTime(2005, 1, 1, 9, 3, 0);

std::string Format(const std::string& pattern, double value, const TFormatSettings& fs = kUS)
{
    return FormatDateTime(pattern, value, fs);
}

TFormatSettings German()
{
    // Built, not assigned field by field: g++ 12 warns falsely (-Wrestrict) on
    // assigning short literals to these strings at -O3.
    TFormatSettings fs{
        .ShortDateFormat = "dd.MM.yyyy",
        .LongDateFormat = "dddd, d. MMMM yyyy",
        .DateSeparator = ".",
        .TimeSeparator = ":",
        .TimeAMString = {},
        .TimePMString = {},
        .HourLeadingZero = true,
        .TwelveHourClock = false,
        .DesignatorBeforeTime = false,
        .ShortDayNames = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"},
        .LongDayNames = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag",
                         "Samstag"},
    };
    fs.LongMonthNames[1] = "Februar";
    return fs;
}

}  // namespace

TEST(DateTimeValue, KnownDaysAndTheirWeekdays)
{
    EXPECT_EQ(EncodeDateTime(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDateTime(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDateTime(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDateTime(1, 1, 1), -693593.0);
    EXPECT_EQ(EncodeDateTime(9999, 12, 31), 2958465.0);
    EXPECT_EQ(EncodeDateTime(2000, 1, 1, 12), 36526.5);
    EXPECT_EQ(DecodeDateTime(0).DayOfWeek, 6);
    EXPECT_EQ(DecodeDateTime(kAfternoon).DayOfWeek, 2);
    EXPECT_EQ(DecodeDateTime(-1).DayOfWeek, 5);
}

TEST(DateTimeValue, EncodeDecodeRoundTripsOverTheWholeCalendar)
{
    for (int year : {1, 4, 100, 400, 1600, 1899, 1900, 1980, 2000, 2100, 9999}) {
        for (int month = 1; month <= 12; ++month) {
            for (int day : {1, 28, 29, 30, 31}) {
                const auto value = TryEncodeDateTime(year, month, day, 23, 59, 58, 999);
                const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
                const int monthDays = month == 2 ? (leap ? 29 : 28)
                                      : (month == 4 || month == 6 || month == 9 || month == 11) ? 30
                                                                                              : 31;
                ASSERT_EQ(value.has_value(), day <= monthDays) << year << '-' << month << '-' << day;
                if (!value)
                    continue;
                const TDateTimeParts p = DecodeDateTime(*value);
                EXPECT_EQ(p.Year, year);
                EXPECT_EQ(p.Month, month);
                EXPECT_EQ(p.Day, day);
                EXPECT_EQ(p.Hour, 23);
                EXPECT_EQ(p.Minute, 59);
                EXPECT_EQ(p.Second, 58);
                EXPECT_EQ(p.Millisecond, 999);
            }
        }
    }
}

TEST(DateTimeValue, BeforeTheBaseDayTheFractionIsStillTheTime)
{
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6), -1.25);
    const TDateTimeParts p = DecodeDateTime(-1.25);
    EXPECT_EQ(p.Year, 1899);
    EXPECT_EQ(p.Month, 12);
    EXPECT_EQ(p.Day, 29);
    EXPECT_EQ(p.Hour, 6);
    // Between -1 and 0 the day is the base day itself.
    EXPECT_EQ(DecodeDateTime(-0.5).Day, 30);
    EXPECT_EQ(DecodeDateTime(-0.5).Hour, 12);
}

TEST(DateTimeValue, InvalidPartsAndValuesAreHandled)
{
    EXPECT_FALSE(TryEncodeDateTime(1900, 2, 29));
    EXPECT_FALSE(TryEncodeDateTime(0, 1, 1));
    EXPECT_FALSE(TryEncodeDateTime(10000, 1, 1));
    EXPECT_FALSE(TryEncodeDateTime(2000, 13, 1));
    EXPECT_FALSE(TryEncodeDateTime(2000, 1, 1, 24));
    EXPECT_FALSE(TryEncodeDateTime(2000, 1, 1, 0, 60));
    EXPECT_FALSE(TryEncodeDateTime(2000, 1, 1, 0, 0, 60));
    EXPECT_FALSE(TryEncodeDateTime(2000, 1, 1, 0, 0, 0, 1000));
    EXPECT_EQ(EncodeDateTime(2001, 2, 29), 0.0);

    for (double bad : {1e300, -1e300, 2958466.0, -693594.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        const TDateTimeParts p = DecodeDateTime(bad);
        EXPECT_EQ(p.Year, 1899) << bad;
        EXPECT_EQ(p.Hour, 0) << bad;
    }
    // Rounding up to midnight moves to the next day, but never past the calendar.
    EXPECT_EQ(DecodeDateTime(36526.9999999999).Day, 2);
    const TDateTimeParts last = DecodeDateTime(2958465.999999995);
    EXPECT_EQ(last.Year, 9999);
    EXPECT_EQ(last.Millisecond, 999);
}

TEST(DateTimeValue, DosDateAndTime)
{
    // 15 March 1999, 13:45:58.
    const std::uint16_t date = (19 << 9) | (3 << 5) | 15;
    const std::uint16_t time = (13 << 11) | (45 << 5) | 29;
    EXPECT_EQ(DosDateTimeToDateTime(date, time), EncodeDateTime(1999, 3, 15, 13, 45, 58));
    EXPECT_EQ(DosDateTimeToDateTime((0 << 9) | (1 << 5) | 1, 0), EncodeDateTime(1980, 1, 1));
    EXPECT_EQ(DosDateTimeToDateTime(0xFF9F, 0xBF7D), EncodeDateTime(2107, 12, 31, 23, 59, 58));

    // No valid date or time: unknown.
    EXPECT_EQ(DosDateTimeToDateTime(0, 0), 0.0);                                 // month and day 0
    EXPECT_EQ(DosDateTimeToDateTime((20 << 9) | (2 << 5) | 30, 0), 0.0);         // 30 February 2000
    EXPECT_EQ(DosDateTimeToDateTime((21 << 9) | (2 << 5) | 29, 0), 0.0);         // 29 February 2001
    EXPECT_EQ(DosDateTimeToDateTime((20 << 9) | (13 << 5) | 1, 0), 0.0);         // month 13
    EXPECT_EQ(DosDateTimeToDateTime(date, 24 << 11), 0.0);                       // hour 24
    EXPECT_EQ(DosDateTimeToDateTime(date, 60 << 5), 0.0);                        // minute 60
    EXPECT_EQ(DosDateTimeToDateTime(date, 30), 0.0);                             // second 60
}

TEST(DateTimePatterns, LocaleTimePatterns)
{
    TFormatSettings fs;
    EXPECT_EQ(fs.ShortTimeFormat(), "h:mm AMPM");
    EXPECT_EQ(fs.LongTimeFormat(), "h:mm:ss AMPM");
    fs.DesignatorBeforeTime = true;
    fs.HourLeadingZero = true;
    EXPECT_EQ(fs.ShortTimeFormat(), "AMPM hh:mm");
    EXPECT_EQ(fs.LongTimeFormat(), "AMPM hh:mm:ss");
    fs.TwelveHourClock = false;
    EXPECT_EQ(fs.ShortTimeFormat(), "hh:mm");
    EXPECT_EQ(DefaultListPattern(kUS), "M/d/yyyy h:mm AMPM");
    EXPECT_EQ(DefaultDetailPattern(kUS), "dddd, MMMM d, yyyy h:mm AMPM");
    EXPECT_EQ(Format(DefaultListPattern(kUS), kAfternoon), "2/29/2000 2:05 PM");
    EXPECT_EQ(Format(DefaultDetailPattern(German()), kAfternoon, German()), "Dienstag, 29. Februar 2000 14:05");
}

TEST(DateTimePatterns, DayMonthYearForms)
{
    EXPECT_EQ(Format("d dd ddd dddd", kMorning), "1 01 Sat Saturday");
    EXPECT_EQ(Format("m mm mmm mmmm mmmmmm", kMorning), "1 01 Jan January January");
    EXPECT_EQ(Format("y yy yyy yyyy", kMorning), "05 05 2005 2005");
    EXPECT_EQ(Format("aaa aaaa", kMorning), "Sat Saturday");
    EXPECT_EQ(Format("yyyy", EncodeDateTime(7, 3, 4)), "0007");
    EXPECT_EQ(Format("DD/MM/YY", kAfternoon), "29/02/00");
}

TEST(DateTimePatterns, MinutesAfterAnHour)
{
    EXPECT_EQ(Format("hh:mm", kMorning), "09:03");
    EXPECT_EQ(Format("h mm", kMorning), "9 03");
    EXPECT_EQ(Format("mm/dd/yy", kAfternoon), "02/29/00");
    EXPECT_EQ(Format("h:m:s", kAfternoon), "14:5:9");   // no designator: 24 hours
    // Another letter between makes it the month again; quoted text does not count.
    EXPECT_EQ(Format("hh dd mm", kAfternoon), "14 29 02");
    EXPECT_EQ(Format("hh'x'mm", kAfternoon), "14x05");
    EXPECT_EQ(Format("'h'mm", kAfternoon), "h02");
    EXPECT_EQ(Format("hh mmmm", kAfternoon), "14 February");
}

TEST(DateTimePatterns, HourMinuteSecondSpecifiers)
{
    EXPECT_EQ(Format("h hh hhh n nn s ss", kMorning), "9 09 09 3 03 0 00");
    EXPECT_EQ(Format("hh:nn:ss", EncodeDateTime(2000, 1, 1, 0, 0, 0)), "00:00:00");
}

TEST(DateTimePatterns, DesignatorsAndTheTwelveHourClock)
{
    EXPECT_EQ(Format("hh:nn am/pm", kAfternoon), "02:05 pm");
    EXPECT_EQ(Format("HH:NN AM/PM", kAfternoon), "02:05 PM");
    EXPECT_EQ(Format("h:nn Am/pM", kMorning), "9:03 Am");
    EXPECT_EQ(Format("h:nn Am/pM", kAfternoon), "2:05 pM");
    EXPECT_EQ(Format("h a/p", kMorning), "9 a");
    EXPECT_EQ(Format("h A/P", kAfternoon), "2 P");
    EXPECT_EQ(Format("h ampm", kAfternoon), "2 PM");
    EXPECT_EQ(Format("ampm h", kMorning), "AM 9");
    EXPECT_EQ(Format("am/pm h", kAfternoon), "pm 2");
    EXPECT_EQ(Format("h", EncodeDateTime(2000, 1, 1, 0)), "0");
    EXPECT_EQ(Format("h am/pm", EncodeDateTime(2000, 1, 1, 0)), "12 am");
    EXPECT_EQ(Format("h am/pm", EncodeDateTime(2000, 1, 1, 12)), "12 pm");
    EXPECT_EQ(Format("h am/pm", EncodeDateTime(2000, 1, 1, 23)), "11 pm");
}

TEST(DateTimePatterns, DesignatorLookAheadStopsAtTheFirstAOrNextHour)
{
    // The first "a" after the hour decides; here it begins a day name.
    EXPECT_EQ(Format("h aaa am/pm", kAfternoon), "14 Tue pm");
    // A further hour ends the search for the first one; the second finds it.
    EXPECT_EQ(Format("h h am/pm", kAfternoon), "14 2 pm");
    // Quoted text is passed over.
    EXPECT_EQ(Format("h' at 'am/pm", kAfternoon), "2 at pm");
    EXPECT_EQ(Format("h' h 'am/pm", kAfternoon), "2 h pm");
    // Non-designator letters before the "a" do not stop the search.
    EXPECT_EQ(Format("h x ampm", kAfternoon), "2 x PM");
}

TEST(DateTimePatterns, SeparatorsQuotesAndOtherCharacters)
{
    const TFormatSettings de = German();
    EXPECT_EQ(Format("dd/mm/yyyy hh:nn", kAfternoon, de), "29.02.2000 14:05");
    EXPECT_EQ(Format("\"dd/mm\" 'h:n' dd", kAfternoon, de), "dd/mm h:n 29");
    EXPECT_EQ(Format("'it''s' d", kAfternoon), "its 29");
    EXPECT_EQ(Format("\"'\" d '\"'", kAfternoon), "' 29 \"");
    EXPECT_EQ(Format("d 'unclosed", kAfternoon), "29 unclosed");
    EXPECT_EQ(Format("[d] x=z; #%s\xE9", kAfternoon), "[29] x=z; #%9\xE9");
    EXPECT_EQ(Format("e ee g gg|", kAfternoon), "2000 2000  |");
    EXPECT_EQ(Format("a aa", kAfternoon), "a aa");
}

TEST(DateTimePatterns, LocalePatternSpecifiers)
{
    EXPECT_EQ(Format("ddddd", kAfternoon), "2/29/2000");
    EXPECT_EQ(Format("dddddd", kAfternoon), "Tuesday, February 29, 2000");
    EXPECT_EQ(Format("ddddddddd", kAfternoon), "Tuesday, February 29, 2000");
    EXPECT_EQ(Format("t", kAfternoon), "2:05 PM");
    EXPECT_EQ(Format("tt", kAfternoon), "2:05:09 PM");
    EXPECT_EQ(Format("c", kAfternoon), "2/29/2000 2:05:09 PM");
    EXPECT_EQ(Format("[c]", EncodeDateTime(2000, 2, 29)), "[2/29/2000]");
    EXPECT_EQ(Format("c", EncodeDateTime(2000, 2, 29, 0, 0, 0, 500)), "2/29/2000");
    EXPECT_EQ(Format("c", EncodeDateTime(2000, 2, 29, 0, 0, 1)), "2/29/2000 12:00:01 AM");
}

TEST(DateTimePatterns, EmptyPatternIsC)
{
    EXPECT_EQ(Format("", EncodeDateTime(2000, 2, 29)), "2/29/2000");
    EXPECT_EQ(Format("", kMorning), "1/1/2005 9:03:00 AM");
    EXPECT_EQ(Format("", kAfternoon, German()), "29.02.2000 14:05:09");
}

TEST(DateTimePatterns, LocalePatternsDoNotExpandFurther)
{
    TFormatSettings fs;
    fs.ShortDateFormat = "[c|ddddd|dddddd|t|tt] d";
    fs.LongDateFormat = "dddddd";
    EXPECT_EQ(Format("ddddd", kAfternoon, fs), "[||||] 29");
    EXPECT_EQ(Format("dddddd", kAfternoon, fs), "");
    EXPECT_EQ(Format("c", kAfternoon, fs), "[||||] 29 2:05:09 PM");
}

TEST(DateTimePatterns, LocaleDesignatorPlacementAndLeadingZero)
{
    TFormatSettings fs;
    fs.DesignatorBeforeTime = true;
    fs.HourLeadingZero = true;
    fs.TimeAMString = "vorm.";
    fs.TimePMString = "nachm.";
    EXPECT_EQ(Format("t", kMorning, fs), "vorm. 09:03");
    EXPECT_EQ(Format("tt", kAfternoon, fs), "nachm. 02:05:09");
    const TFormatSettings de = German();
    EXPECT_EQ(Format("t", kMorning, de), "09:03");
    EXPECT_EQ(Format("tt", kAfternoon, de), "14:05:09");
}
