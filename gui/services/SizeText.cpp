#include "SizeText.h"

namespace {

constexpr std::int64_t kKilobyte = 1024;
constexpr std::int64_t kMegabyte = 1024 * 1024;

std::string GroupDigits(std::uint64_t magnitude, bool negative, const std::string& separator)
{
    const std::string digits = std::to_string(magnitude);
    std::string text = negative ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += separator;
        text += digits[i];
    }
    return text;
}

// The magnitude as unsigned, so that the smallest 64-bit value has one too.
std::uint64_t Magnitude(std::int64_t value)
{
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

std::string RoundedQuotient(std::int64_t value, std::int64_t divisor, const std::string& separator)
{
    const std::uint64_t magnitude = Magnitude(value);
    const auto unit = static_cast<std::uint64_t>(divisor);
    std::uint64_t quotient = magnitude / unit;
    if ((magnitude % unit) * 2 >= unit)
        ++quotient;
    return GroupDigits(quotient, value < 0 && quotient != 0, separator);
}

}  // namespace

std::string FormatThousands(std::int64_t value, const std::string& separator)
{
    return GroupDigits(Magnitude(value), value < 0, separator);
}

std::string FormatSize(std::int64_t size, bool withBytes, const TSizeDisplay& display,
                       const std::string& thousandSeparator)
{
    // In 64 bits the threshold in bytes cannot overflow, whatever the setting.
    const std::int64_t megabyteFrom = static_cast<std::int64_t>(display.KiloByteThreshold) * kKilobyte;
    if (display.DisplayMegabytes && size >= megabyteFrom)
        return RoundedQuotient(size, kMegabyte, thousandSeparator) + " MB";
    if (display.DisplayKilobytes && size >= display.ByteThreshold)
        return RoundedQuotient(size, kKilobyte, thousandSeparator) + " kB";
    std::string text = FormatThousands(size, thousandSeparator);
    if (withBytes)
        text += " bytes";
    return text;
}
