#include "CommandFormat.h"

#include <cstddef>
#include <utility>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a run of digits at Pos. The value saturates just above any limit a
// caller checks, so that a long run can neither overflow nor pass a check.
int ReadNumber(std::string_view text, std::size_t& pos)
{
    constexpr int kSaturated = 1 << 20;
    int value = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        value = value * 10 + (text[pos] - '0');
        if (value > kSaturated)
            value = kSaturated;
        ++pos;
    }
    return value;
}

struct TConversion {
    std::optional<int> Index;
    bool LeftJustify = false;
    int Width = 0;
    std::optional<int> Precision;
};

enum class TParse { Complete, CutOff, Invalid };

// Reads the conversion that follows a "%" (Pos points after it) up to and
// including its letter.
TParse ParseConversion(std::string_view text, std::size_t& pos, TConversion& conversion)
{
    if (pos < text.size() && IsDigit(text[pos])) {
        const std::size_t start = pos;
        const int number = ReadNumber(text, pos);
        if (pos < text.size() && text[pos] == ':') {
            conversion.Index = number;
            ++pos;
        } else {
            pos = start;   // the digits are the width
        }
    }
    if (pos < text.size() && text[pos] == '-') {
        conversion.LeftJustify = true;
        ++pos;
    }
    conversion.Width = ReadNumber(text, pos);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        conversion.Precision = ReadNumber(text, pos);
    }
    if (pos >= text.size())
        return TParse::CutOff;
    const char letter = text[pos++];
    return letter == 's' || letter == 'S' ? TParse::Complete : TParse::Invalid;
}

void AppendField(std::string& out, std::string_view argument, const TConversion& conversion)
{
    if (conversion.Precision && argument.size() > static_cast<std::size_t>(*conversion.Precision))
        argument = argument.substr(0, static_cast<std::size_t>(*conversion.Precision));
    const std::size_t width = static_cast<std::size_t>(conversion.Width);
    const std::size_t padding = argument.size() < width ? width - argument.size() : 0;
    if (!conversion.LeftJustify)
        out.append(padding, ' ');
    out.append(argument);
    if (conversion.LeftJustify)
        out.append(padding, ' ');
}

}  // namespace

std::optional<std::string> TryFormatCommand(std::string_view pattern,
                                            const std::vector<std::string>& args)
{
    std::string out;
    std::size_t next = 0;   // the argument of the next conversion without an index
    std::size_t pos = 0;
    while (pos < pattern.size()) {
        const char c = pattern[pos++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (pos < pattern.size() && pattern[pos] == '%') {
            out += '%';
            ++pos;
            continue;
        }
        TConversion conversion;
        const TParse parsed = ParseConversion(pattern, pos, conversion);
        if (parsed == TParse::CutOff)
            break;
        if (parsed == TParse::Invalid || conversion.Width > kMaxCommandFieldWidth ||
            conversion.Precision.value_or(0) > kMaxCommandFieldWidth)
            return std::nullopt;
        if (conversion.Index)
            next = static_cast<std::size_t>(*conversion.Index);
        if (next >= args.size())
            return std::nullopt;
        AppendField(out, args[next++], conversion);
    }
    return out;
}

std::string FormatCommand(std::string_view pattern, const std::vector<std::string>& args)
{
    if (auto text = TryFormatCommand(pattern, args))
        return std::move(*text);
    throw EFormatError("Format '" + std::string(pattern) +
                       "' invalid or incompatible with argument");
}
