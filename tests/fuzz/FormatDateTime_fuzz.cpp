// Input: one byte of locale flags, eight bytes of the value, then the pattern;
// a byte 0x01 in the rest starts the locale's short date pattern, a second
// one its long date pattern.
#include "DateTimePatterns.h"

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
    std::string_view parts[3];
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

    // Whatever the value, its parts form a valid date and time.
    const TDateTimeParts p = DecodeDateTime(value);
    if (!TryEncodeDateTime(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second, p.Millisecond)
        || p.DayOfWeek < 0 || p.DayOfWeek > 6)
        std::abort();
    return 0;
}
