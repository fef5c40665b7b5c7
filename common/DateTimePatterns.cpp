#include "DateTimePatterns.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string_view>

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
// Days of 1 January 0001 and 31 December 9999 counted from 30 December 1899.
constexpr std::int64_t kFirstDay = -693'593;
constexpr std::int64_t kLastDay = 2'958'465;

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from civil dates and back in the proleptic Gregorian calendar, on
// eras of 400 years (146097 days) whose years begin on 1 March, so that the
// leap day ends each year. Day 0 of this count is 1 January 1970.
std::int64_t DaysFromCivil(int year, int month, int day)
{
    const std::int64_t y = month <= 2 ? year - 1 : year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146'097 + dayOfEra - 719'468;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day)
{
    days += 719'468;
    const std::int64_t era = (days >= 0 ? days : days - 146'096) / 146'097;
    const std::int64_t dayOfEra = days - era * 146'097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// 30 December 1899, day 0 of date-time values, in the count above.
constexpr std::int64_t kBaseDay = -25'569;

char FoldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsLetter(char c)
{
    const char l = FoldCase(c);
    return l >= 'a' && l <= 'z';
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

bool MatchesAt(std::string_view pattern, std::size_t at, std::string_view word)
{
    if (pattern.size() - at < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (FoldCase(pattern[at + i]) != word[i])
            return false;
    return true;
}

// Length of the am/pm, a/p or ampm specifier at the position, 0 if none.
std::size_t DesignatorLength(std::string_view pattern, std::size_t at)
{
    if (MatchesAt(pattern, at, "am/pm"))
        return 5;
    if (MatchesAt(pattern, at, "a/p"))
        return 3;
    if (MatchesAt(pattern, at, "ampm"))
        return 4;
    return 0;
}

// Index after the quoted text that opens at the position (the end of the
// pattern when the quote is never closed).
std::size_t SkipQuoted(std::string_view pattern, std::size_t at)
{
    const auto close = pattern.find(pattern[at], at + 1);
    return close == std::string_view::npos ? pattern.size() : close + 1;
}

// Whether the first "a" after the position, before any further "h", begins a
// designator: then an hour before it counts on the 12-hour clock.
bool DesignatorFollows(std::string_view pattern, std::size_t from)
{
    for (std::size_t i = from; i < pattern.size();) {
        const char c = FoldCase(pattern[i]);
        if (IsQuote(c)) {
            i = SkipQuoted(pattern, i);
            continue;
        }
        if (c == 'h')
            return false;
        if (c == 'a')
            return DesignatorLength(pattern, i) != 0;
        ++i;
    }
    return false;
}

void AppendNumber(std::string& out, int value, int minWidth)
{
    char digits[std::numeric_limits<unsigned>::digits10 + 1];
    const auto end = std::to_chars(std::begin(digits), std::end(digits),
                                   static_cast<unsigned>(value)).ptr;
    const auto length = static_cast<int>(end - digits);
    if (length < minWidth)
        out.append(static_cast<std::size_t>(minWidth - length), '0');
    out.append(digits, end);
}

class TPatternWriter {
public:
    TPatternWriter(const TFormatSettings& fs, const TDateTimeParts& parts)
        : FSettings(fs), FParts(parts)
    {
    }

    // A locale pattern is written with Nested set: the five specifiers that
    // expand locale patterns produce nothing inside one, so expansion ends there.
    void Write(std::string_view pattern, bool nested);
    std::string Take() { return std::move(FOut); }

private:
    void WriteLocalePattern(const std::string& pattern) { Write(pattern, true); }
    void WriteHour(std::size_t run, bool twelveHour);

    const TFormatSettings& FSettings;
    const TDateTimeParts& FParts;
    std::string FOut;
};

void TPatternWriter::WriteHour(std::size_t run, bool twelveHour)
{
    int hour = FParts.Hour;
    if (twelveHour) {
        hour %= 12;
        if (hour == 0)
            hour = 12;
    }
    AppendNumber(FOut, hour, run >= 2 ? 2 : 1);
}

void TPatternWriter::Write(std::string_view pattern, bool nested)
{
    char lastLetter = 0;
    bool designatorSeen = false;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (IsQuote(c)) {
            const std::size_t close = pattern.find(c, i + 1);
            const std::size_t textEnd = close == std::string_view::npos ? pattern.size() : close;
            FOut.append(pattern.substr(i + 1, textEnd - (i + 1)));
            i = textEnd + 1;
            continue;
        }
        if (c == '/') {
            FOut += FSettings.DateSeparator;
            ++i;
            continue;
        }
        if (c == ':') {
            FOut += FSettings.TimeSeparator;
            ++i;
            continue;
        }
        if (!IsLetter(c)) {
            FOut += c;
            ++i;
            continue;
        }

        const char letter = FoldCase(c);
        if (letter == 'a') {
            if (const std::size_t length = DesignatorLength(pattern, i)) {
                const bool morning = FParts.Hour < 12;
                if (length == 5)
                    FOut.append(pattern.substr(morning ? i : i + 3, 2));
                else if (length == 3)
                    FOut += pattern[morning ? i : i + 2];
                else
                    FOut += morning ? FSettings.TimeAMString : FSettings.TimePMString;
                designatorSeen = true;
                lastLetter = FoldCase(pattern[i + length - 1]);
                i += length;
                continue;
            }
        }

        std::size_t run = 1;
        while (i + run < pattern.size() && FoldCase(pattern[i + run]) == letter)
            ++run;

        switch (letter) {
        case 'c':
            if (!nested) {
                WriteLocalePattern(FSettings.ShortDateFormat);
                if (FParts.Hour != 0 || FParts.Minute != 0 || FParts.Second != 0) {
                    FOut += ' ';
                    WriteLocalePattern(FSettings.LongTimeFormat());
                }
            }
            break;
        case 'd':
            if (run <= 2)
                AppendNumber(FOut, FParts.Day, static_cast<int>(run));
            else if (run == 3)
                FOut += FSettings.ShortDayNames[static_cast<std::size_t>(FParts.DayOfWeek)];
            else if (run == 4)
                FOut += FSettings.LongDayNames[static_cast<std::size_t>(FParts.DayOfWeek)];
            else if (!nested)
                WriteLocalePattern(run == 5 ? FSettings.ShortDateFormat : FSettings.LongDateFormat);
            break;
        case 'm':
            if (run <= 2)
                AppendNumber(FOut, lastLetter == 'h' ? FParts.Minute : FParts.Month,
                             static_cast<int>(run));
            else if (run == 3)
                FOut += FSettings.ShortMonthNames[static_cast<std::size_t>(FParts.Month - 1)];
            else
                FOut += FSettings.LongMonthNames[static_cast<std::size_t>(FParts.Month - 1)];
            break;
        case 'y':
            if (run <= 2)
                AppendNumber(FOut, FParts.Year % 100, 2);
            else
                AppendNumber(FOut, FParts.Year, 4);
            break;
        case 'h':
            WriteHour(run, designatorSeen || DesignatorFollows(pattern, i + run));
            break;
        case 'n':
            AppendNumber(FOut, FParts.Minute, run >= 2 ? 2 : 1);
            break;
        case 's':
            AppendNumber(FOut, FParts.Second, run >= 2 ? 2 : 1);
            break;
        case 't':
            if (!nested)
                WriteLocalePattern(run == 1 ? FSettings.ShortTimeFormat() : FSettings.LongTimeFormat());
            break;
        case 'a':
            if (run < 3) {
                run = 1;   // not a specifier: the letter itself
                FOut += c;
            } else {
                FOut += run == 3 ? FSettings.ShortDayNames[static_cast<std::size_t>(FParts.DayOfWeek)]
                                 : FSettings.LongDayNames[static_cast<std::size_t>(FParts.DayOfWeek)];
            }
            break;
        case 'e':
            // The Gregorian calendar has one era: its year is the year itself.
            AppendNumber(FOut, FParts.Year, run >= 2 ? 2 : 1);
            break;
        case 'g':
            break;   // no era name in the Gregorian calendar
        default:
            run = 1;
            FOut += c;
            break;
        }
        lastLetter = letter;
        i += run;
    }
}

std::string TimeFormat(const TFormatSettings& fs, const char* rest)
{
    std::string format = fs.HourLeadingZero ? "hh" : "h";
    format += rest;
    if (!fs.TwelveHourClock)
        return format;
    return fs.DesignatorBeforeTime ? "AMPM " + format : format + " AMPM";
}

}  // namespace

std::string TFormatSettings::ShortTimeFormat() const
{
    return TimeFormat(*this, ":mm");
}

std::string TFormatSettings::LongTimeFormat() const
{
    return TimeFormat(*this, ":mm:ss");
}

std::string DefaultListPattern(const TFormatSettings& fs)
{
    return fs.ShortDateFormat + ' ' + fs.ShortTimeFormat();
}

std::string DefaultDetailPattern(const TFormatSettings& fs)
{
    return fs.LongDateFormat + ' ' + fs.ShortTimeFormat();
}

std::string FormatDateTime(const std::string& pattern, double value, const TFormatSettings& fs)
{
    const TDateTimeParts parts = DecodeDateTime(value);
    TPatternWriter writer(fs, parts);
    writer.Write(pattern.empty() ? std::string_view("c") : std::string_view(pattern), false);
    return writer.Take();
}

std::optional<double> TryEncodeDateTime(int year, int month, int day, int hour, int minute,
                                        int second, int millisecond)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1
        || day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59
        || second < 0 || second > 59 || millisecond < 0 || millisecond > 999)
        return std::nullopt;
    const auto days = static_cast<double>(DaysFromCivil(year, month, day) - kBaseDay);
    const double time = static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond)
                        / static_cast<double>(kMsPerDay);
    // Before the base day the fraction still counts forward from midnight.
    return days < 0 ? days - time : days + time;
}

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                      int millisecond)
{
    return TryEncodeDateTime(year, month, day, hour, minute, second, millisecond).value_or(0.0);
}

TDateTimeParts DecodeDateTime(double value)
{
    double dayPart = std::isfinite(value) ? std::trunc(value) : 0.0;
    if (dayPart < static_cast<double>(kFirstDay) || dayPart > static_cast<double>(kLastDay)) {
        value = 0.0;
        dayPart = 0.0;
    }
    auto day = static_cast<std::int64_t>(dayPart);
    auto ms = static_cast<std::int64_t>(std::llround(std::fabs(value - dayPart) * kMsPerDay));
    if (ms >= kMsPerDay) {
        // Rounded up to the next midnight, away from the base day.
        const std::int64_t next = value < 0 ? day - 1 : day + 1;
        if (next < kFirstDay || next > kLastDay) {
            ms = kMsPerDay - 1;
        } else {
            day = next;
            ms -= kMsPerDay;
        }
    }

    TDateTimeParts parts{};
    CivilFromDays(day + kBaseDay, parts.Year, parts.Month, parts.Day);
    const auto time = static_cast<int>(ms);
    parts.Hour = time / 3'600'000;
    parts.Minute = time / 60'000 % 60;
    parts.Second = time / 1000 % 60;
    parts.Millisecond = time % 1000;
    // 30 December 1899 was a Saturday.
    parts.DayOfWeek = static_cast<int>(((day + 6) % 7 + 7) % 7);
    return parts;
}

double DosDateTimeToDateTime(std::uint16_t dosDate, std::uint16_t dosTime)
{
    const int year = 1980 + (dosDate >> 9);
    const int month = (dosDate >> 5) & 0x0F;
    const int day = dosDate & 0x1F;
    const int hour = dosTime >> 11;
    const int minute = (dosTime >> 5) & 0x3F;
    const int second = (dosTime & 0x1F) * 2;
    return TryEncodeDateTime(year, month, day, hour, minute, second, 0).value_or(0.0);
}
