#pragma once
// The time zone of a system that is not running, read from its SYSTEM hive,
// and file times shown in that zone's local time.
#include <cstdint>
#include <optional>

class THiveFile;

// A SYSTEMTIME as stored in the registry: in a rule either an absolute date
// (Year != 0) or the Day-th DayOfWeek of Month (Day 5 = the last).
struct THiveSystemTime {
    std::uint16_t Year, Month, DayOfWeek, Day, Hour, Minute, Second, Milliseconds;
};

struct TTimeZoneRule {
    std::int32_t Bias = 0, StandardBias = 0, DaylightBias = 0;   // minutes, UTC = local + bias
    THiveSystemTime StandardDate{}, DaylightDate{};              // Month 0: no daylight saving
};

// Select\Current names the control set ControlSet00N; its
// Control\TimeZoneInformation holds the rule. Empty when a key or value is
// missing or malformed; a damaged hive raises EHiveError, as its reading does.
std::optional<TTimeZoneRule> ReadTimeZoneRule(const THiveFile& systemHive);
// A UTC FILETIME (100 ns since 1601) as a date-time value (see
// DateTimePatterns.h) in the zone's local time, at DOS resolution (two
// seconds); 0 when the local time has no DOS form (before 1980, after 2107).
double UtcFileTimeToZoneDateTime(std::uint64_t fileTime, const TTimeZoneRule& rule);
