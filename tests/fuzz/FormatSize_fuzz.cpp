// Input: one byte of flags, eight bytes of size, four of each threshold, then
// the thousands separator.
#include "SizeText.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The quotient rounded half away from zero, worked out in 128 bits.
__int128 Rounded(__int128 value, __int128 unit)
{
    const __int128 magnitude = value < 0 ? -value : value;
    __int128 quotient = (magnitude * 2 + unit) / (unit * 2);
    return value < 0 ? -quotient : quotient;
}

std::string Digits(__int128 value)
{
    if (value == 0)
        return "0";
    const bool negative = value < 0;
    std::string text;
    for (__int128 rest = negative ? -value : value; rest > 0; rest /= 10)
        text.insert(text.begin(), static_cast<char>('0' + static_cast<int>(rest % 10)));
    return negative ? "-" + text : text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 17)
        return 0;
    TSizeDisplay display;
    display.DisplayKilobytes = (data[0] & 1) != 0;
    display.DisplayMegabytes = (data[0] & 2) != 0;
    const bool withBytes = (data[0] & 4) != 0;
    std::int64_t value;
    std::memcpy(&value, data + 1, sizeof value);
    std::memcpy(&display.ByteThreshold, data + 9, 4);
    std::memcpy(&display.KiloByteThreshold, data + 13, 4);
    // A separator without digits, so that removing it leaves the number.
    std::string separator(reinterpret_cast<const char*>(data + 17), size - 17);
    for (char& c : separator)
        if ((c >= '0' && c <= '9') || c == '-')
            c = '\'';

    const std::string text = FormatSize(value, withBytes, display, separator);

    __int128 number = value;
    std::string unit = withBytes ? " bytes" : "";
    if (display.DisplayMegabytes && __int128(value) >= __int128(display.KiloByteThreshold) * 1024) {
        number = Rounded(value, 1048576);
        unit = " MB";
    } else if (display.DisplayKilobytes && value >= display.ByteThreshold) {
        number = Rounded(value, 1024);
        unit = " kB";
    }

    // The number with the separator between groups of three digits, then the unit.
    if (text.size() < unit.size() || text.compare(text.size() - unit.size(), unit.size(), unit) != 0)
        std::abort();
    const std::string grouped = text.substr(0, text.size() - unit.size());
    std::string plain;
    std::size_t groupDigits = 0, groups = 0;
    for (std::size_t i = 0; i < grouped.size();) {
        if (!separator.empty() && grouped.compare(i, separator.size(), separator) == 0) {
            if ((groups > 0 && groupDigits != 3) || groupDigits == 0 || groupDigits > 3)
                std::abort();
            i += separator.size();
            ++groups;
            groupDigits = 0;
            continue;
        }
        if (grouped[i] >= '0' && grouped[i] <= '9')
            ++groupDigits;
        plain += grouped[i++];
    }
    if ((groups > 0 && groupDigits != 3) || plain != Digits(number))
        std::abort();
    return 0;
}
