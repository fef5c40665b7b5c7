// Input: the text of a stored setting.
#include "NumText.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// The rule read independently: the text must match
//   blank* [+-]? ( [0-9]+ | ('$' | "0x" | "0X") [0-9a-fA-F]+ )
// and the magnitude must fit: decimal in the signed 32-bit range, hexadecimal
// in 32 bits (a bit pattern, $FFFFFFFF is -1).
std::optional<std::int64_t> Expected(const std::string& text)
{
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos)
        return std::nullopt;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-')
        negative = text[i++] == '-';
    int base = 10;
    if (text.compare(i, 1, "$") == 0) {
        base = 16;
        i += 1;
    } else if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) {
        if (text.size() - i > 2) {
            base = 16;
            i += 2;
        }
    }
    const std::string digits = text.substr(i);
    const char* allowed = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos)
        return std::nullopt;
    const std::size_t significant = digits.find_first_not_of('0');
    if (significant == std::string::npos)
        return 0;
    if (digits.size() - significant > 10)
        return std::nullopt;
    std::uint64_t magnitude = 0;
    std::from_chars(digits.data() + significant, digits.data() + digits.size(), magnitude, base);
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
        const auto bits = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
        return static_cast<std::int32_t>(bits);
    }
    if (magnitude > (negative ? 2147483648ull : 2147483647ull))
        return std::nullopt;
    return negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> value = TryStrToInt(text);
    const std::optional<std::int64_t> expected = Expected(text);
    if (value.has_value() != expected.has_value() || (value && *value != *expected))
        std::abort();
    if (StrToIntDef(text, 12345) != (value ? *value : 12345))
        std::abort();
    return 0;
}
