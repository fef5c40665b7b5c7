#pragma once
// The program's conversion of text to integers, as stored settings and
// identifiers use it: optional leading blanks, an optional sign, then decimal
// digits, or hexadecimal digits after "$", "0x" or "0X". The whole rest of the
// text must be digits, and the value must fit 32 bits.
#include <cstdint>
#include <optional>
#include <string_view>

std::optional<std::int32_t> TryStrToInt(std::string_view text);
std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback);
// Numbers the user types into the settings: the same rule, but hexadecimal
// digits only after "$" ("0x10" is refused, not read as 16), and hexadecimal
// values are numbers, not bit patterns: they too must lie in the signed range
// ("$FFFFFFFF" is refused, not read as -1).
std::optional<std::int32_t> TryTypedStrToInt(std::string_view text);
