// Input: one byte of flags, eight bytes of size, four of each threshold, then
// the thousands separator.
#include "SizeText.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
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

    // The unit as the text shows it, then whether the thresholds allow it:
    // megabytes from KiloByteThreshold kB up, else kilobytes from
    // ByteThreshold up, else bytes.
    __int128 unitSize = 1;
    std::string unit = withBytes ? " bytes" : "";
    if (EndsWith(text, " MB")) {
        unitSize = 1048576;
        unit = " MB";
    } else if (EndsWith(text, " kB")) {
        unitSize = 1024;
        unit = " kB";
    }
    const bool megabytes =
        display.DisplayMegabytes && __int128(value) >= __int128(display.KiloByteThreshold) * 1024;
    const bool kilobytes = !megabytes && display.DisplayKilobytes && value >= display.ByteThreshold;
    if ((unitSize == 1048576) != megabytes || (unitSize == 1024) != kilobytes)
        std::abort();

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
    // Digits with an optional minus, no leading zero, never "-0".
    const std::size_t first = !plain.empty() && plain[0] == '-' ? 1 : 0;
    if ((groups > 0 && groupDigits != 3) || plain.size() <= first || plain.size() > 21 ||
        plain.find_first_not_of("0123456789", first) != std::string::npos ||
        (plain[first] == '0' && plain.size() > 1))
        std::abort();
    // The number read back is the size in the unit, rounded to the nearest
    // whole number, halves away from zero.
    __int128 number = 0;
    for (char c : plain)
        if (c != '-')
            number = number * 10 + (c - '0');
    if (first)
        number = -number;
    const __int128 shown = number * unitSize;
    const __int128 error = shown > value ? shown - value : value - shown;
    const __int128 magnitude = shown < 0 ? -shown : shown;
    const __int128 exact = value < 0 ? -__int128(value) : __int128(value);
    if (error * 2 > unitSize || (error * 2 == unitSize && magnitude < exact))
        std::abort();
    return 0;
}
