#include "TimeZoneRule.h"

#include "RegHive.h"

std::optional<TTimeZoneRule> ReadTimeZoneRule(const THiveFile&) { return {}; }
double UtcFileTimeToZoneDateTime(std::uint64_t, const TTimeZoneRule&) { return 0; }
