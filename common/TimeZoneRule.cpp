#include "TimeZoneRule.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "DateTimePatterns.h"
#include "RegHive.h"

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kTicksPerMinute = 60 * kTicksPerSecond;
constexpr std::int64_t kTicksPerDay = 24 * 60 * kTicksPerMinute;

// Days since 1 January 1601 of a proleptic Gregorian date (month 1-12).
std::int64_t DaysSince1601(std::int64_t year, int month, int day) {
    year -= month <= 2;
    std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    std::int64_t yearOfEra = year - era * 400;
    std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 + 134774;
}

struct TCivilDate {
    std::int64_t Year;
    int Month, Day;
};

TCivilDate CivilDate(std::int64_t days1601) {
    std::int64_t z = days1601 - 134774 + 719468;
    std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    std::int64_t dayOfEra = z - era * 146097;
    std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    std::int64_t mp = (5 * dayOfYear + 2) / 153;
    int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

int DaysInMonth(std::int64_t year, int month) {
    return static_cast<int>(DaysSince1601(month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1, 1) -
                            DaysSince1601(year, month, 1));
}

bool ValidTransition(const THiveSystemTime& t) {
    if (t.Month < 1 || t.Month > 12 || t.Hour > 23 || t.Minute > 59 || t.Second > 59 || t.Milliseconds > 999)
        return false;
    if (t.Year == 0) return t.DayOfWeek <= 6 && t.Day >= 1 && t.Day <= 5;
    return t.Day >= 1 && t.Day <= DaysInMonth(t.Year, t.Month);
}

// The local time of a rule's change in Year, in ticks since 1601: the Day-th
// DayOfWeek of the month (5: the last), or an absolute date, which changes only
// in its own year.
std::optional<std::int64_t> TransitionIn(const THiveSystemTime& t, std::int64_t year) {
    if (!ValidTransition(t) || (t.Year != 0 && t.Year != year)) return std::nullopt;
    std::int64_t day;
    if (t.Year != 0) {
        day = DaysSince1601(year, t.Month, t.Day);
    } else {
        std::int64_t first = DaysSince1601(year, t.Month, 1);
        int firstWeekday = static_cast<int>((first + 1) % 7);   // 1 January 1601 was a Monday
        int dayOfMonth = 1 + (t.DayOfWeek - firstWeekday + 7) % 7 + (t.Day - 1) * 7;
        while (dayOfMonth > DaysInMonth(year, t.Month)) dayOfMonth -= 7;
        day = first + dayOfMonth - 1;
    }
    return day * kTicksPerDay + ((t.Hour * 60 + t.Minute) * 60 + t.Second) * kTicksPerSecond +
           t.Milliseconds * std::int64_t(10000);
}

// Minutes to add to local time for UTC at the instant Utc.
std::int64_t BiasAt(std::int64_t utc, const TTimeZoneRule& rule) {
    if (rule.StandardDate.Month == 0) return rule.Bias;
    std::int64_t standard = rule.Bias + std::int64_t(rule.StandardBias);
    std::int64_t daylight = rule.Bias + std::int64_t(rule.DaylightBias);
    if (rule.DaylightDate.Month == 0) return standard;
    // Daylight time starts at a standard-time clock reading and ends at a
    // daylight-time one; the changes of the years around the instant decide.
    std::int64_t year = CivilDate((utc - standard * kTicksPerMinute) / kTicksPerDay).Year;
    std::vector<std::pair<std::int64_t, bool>> changes;   // UTC instant, daylight from then on
    for (std::int64_t y = year - 1; y <= year + 1; ++y) {
        if (auto start = TransitionIn(rule.DaylightDate, y))
            changes.emplace_back(*start + standard * kTicksPerMinute, true);
        if (auto end = TransitionIn(rule.StandardDate, y))
            changes.emplace_back(*end + daylight * kTicksPerMinute, false);
    }
    if (changes.empty()) return standard;
    std::sort(changes.begin(), changes.end());
    auto after = std::upper_bound(changes.begin(), changes.end(), std::make_pair(utc, true));
    bool inDaylight = after == changes.begin() ? !changes.front().second : std::prev(after)->second;
    return inDaylight ? daylight : standard;
}

std::optional<std::uint32_t> DwordValue(const THiveFile& hive, THiveFile::TKey key, const char* name) {
    auto value = hive.ReadValue(key, name);
    if (!value || value->Type != kRegDword || value->Data.size() != 4) return std::nullopt;
    const auto* b = reinterpret_cast<const unsigned char*>(value->Data.data());
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

std::optional<THiveSystemTime> SystemTimeValue(const THiveFile& hive, THiveFile::TKey key, const char* name) {
    auto value = hive.ReadValue(key, name);
    if (!value || value->Type != kRegBinary || value->Data.size() != 16) return std::nullopt;
    std::uint16_t w[8];
    for (int i = 0; i < 8; ++i)
        w[i] = static_cast<std::uint16_t>(static_cast<unsigned char>(value->Data[2 * i]) |
                                          static_cast<unsigned char>(value->Data[2 * i + 1]) << 8);
    THiveSystemTime t{w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]};
    if (t.Month != 0 && !ValidTransition(t)) return std::nullopt;
    return t;
}

}  // namespace

std::optional<TTimeZoneRule> ReadTimeZoneRule(const THiveFile& systemHive) {
    auto select = systemHive.OpenKey("Select");
    auto current = select ? DwordValue(systemHive, *select, "Current") : std::nullopt;
    if (!current || *current == 0 || *current > 999) return std::nullopt;
    std::string number = std::to_string(*current);
    std::string path = "ControlSet" + std::string(3 - number.size(), '0') + number +
                       "\\Control\\TimeZoneInformation";
    auto zone = systemHive.OpenKey(path);
    if (!zone) return std::nullopt;
    auto bias = DwordValue(systemHive, *zone, "Bias");
    auto standardBias = DwordValue(systemHive, *zone, "StandardBias");
    auto daylightBias = DwordValue(systemHive, *zone, "DaylightBias");
    auto standardDate = SystemTimeValue(systemHive, *zone, "StandardStart");
    auto daylightDate = SystemTimeValue(systemHive, *zone, "DaylightStart");
    if (!bias || !standardBias || !daylightBias || !standardDate || !daylightDate) return std::nullopt;
    TTimeZoneRule rule;
    rule.Bias = static_cast<std::int32_t>(*bias);
    rule.StandardBias = static_cast<std::int32_t>(*standardBias);
    rule.DaylightBias = static_cast<std::int32_t>(*daylightBias);
    rule.StandardDate = *standardDate;
    rule.DaylightDate = *daylightDate;
    return rule;
}

double UtcFileTimeToZoneDateTime(std::uint64_t fileTime, const TTimeZoneRule& rule) {
    if (fileTime > std::uint64_t(std::numeric_limits<std::int64_t>::max() / 2)) return 0;
    std::int64_t utc = static_cast<std::int64_t>(fileTime);
    std::int64_t local = utc - BiasAt(utc, rule) * kTicksPerMinute;
    if (local < 0) return 0;
    TCivilDate date = CivilDate(local / kTicksPerDay);
    if (date.Year < 1980 || date.Year > 2107) return 0;
    std::int64_t seconds = local % kTicksPerDay / kTicksPerSecond;
    // A DOS time counts two-second steps: an odd second is dropped.
    return EncodeDateTime(static_cast<int>(date.Year), date.Month, date.Day, static_cast<int>(seconds / 3600),
                          static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60 & ~std::int64_t(1)));
}
