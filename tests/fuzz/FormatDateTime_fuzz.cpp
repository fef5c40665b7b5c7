// Input: one byte of locale flags, eight bytes of the value, then the pattern;
// a byte 0x01 in the rest starts the locale's short date pattern, a second
// one its long date pattern, a third a text to be quoted.
#include "DateTimePatterns.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 9)
        return 0;
    TFormatSettings fs;
    fs.TwelveHourClock = (data[0] & 1) != 0;
    fs.HourLeadingZero = (data[0] & 2) != 0;
    fs.DesignatorBeforeTime = (data[0] & 4) != 0;
    double value;
    std::memcpy(&value, data + 1, sizeof value);

    std::string_view rest(reinterpret_cast<const char*>(data + 9), size - 9);
    std::string_view parts[4];
    for (auto& part : parts) {
        const auto at = rest.find('\x01');
        part = rest.substr(0, at);
        rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + 1);
    }
    if (!parts[1].empty())
        fs.ShortDateFormat = parts[1];
    if (!parts[2].empty())
        fs.LongDateFormat = parts[2];

    const std::string pattern(parts[0]);
    const std::string text = FormatDateTime(pattern, value, fs);
    // Quoted text in front changes nothing after it (an empty pattern is "c").
    const std::string quoted = FormatDateTime("'<'" + (pattern.empty() ? "c" : pattern), value, fs);
    if (pattern.find_first_of("\"'") == std::string::npos && quoted != "<" + text)
        std::abort();

    // Quoted text comes out as it stands, alone or after a pattern, in either
    // kind of quotes.
    for (const char quote : {'\'', '"'}) {
        std::string literal(parts[3]);
        std::erase(literal, quote);
        const std::string inQuotes = quote + literal + quote;
        if (FormatDateTime(inQuotes, value, fs) != literal)
            std::abort();
        if (!pattern.empty() && pattern.find_first_of("\"'") == std::string::npos
            && FormatDateTime(pattern + inQuotes, value, fs) != text + literal)
            std::abort();
    }

    // Whatever the value, its parts form a valid date and time, and encoded
    // again they give the same parts and (within the rounding to the
    // millisecond) the value; before the base day only values of whole days
    // before it keep their sign, since -0.5 is 30 December 1899 12:00 as 0.5 is.
    const TDateTimeParts p = DecodeDateTime(value);
    const auto encoded =
        TryEncodeDateTime(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second, p.Millisecond);
    if (!encoded || p.DayOfWeek < 0 || p.DayOfWeek > 6)
        std::abort();
    const TDateTimeParts again = DecodeDateTime(*encoded);
    if (again.Year != p.Year || again.Month != p.Month || again.Day != p.Day
        || again.Hour != p.Hour || again.Minute != p.Minute || again.Second != p.Second
        || again.Millisecond != p.Millisecond || again.DayOfWeek != p.DayOfWeek)
        std::abort();
    const bool inRange = std::isfinite(value) && value > -693594.0 && value < 2958466.0;
    if (inRange && !(value > -1.0 && value < 0.0)
        && std::fabs(*encoded - value) > 1.001 / 86'400'000.0)
        std::abort();
    return 0;
}
