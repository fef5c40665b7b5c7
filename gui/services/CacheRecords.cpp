#include "CacheRecords.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace {

constexpr std::size_t kFieldsPerFile = 5;

std::string_view TrimBlanks(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The whole of Text as a number of type T, or nothing.
template <typename T>
bool ParseWhole(std::string_view text, T& value)
{
    text = TrimBlanks(text);
    // from_chars takes no plus sign; a stored number may carry one.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const char* const end = text.data() + text.size();
    std::from_chars_result result;
    if constexpr (std::is_floating_point_v<T>)
        result = std::from_chars(text.data(), end, value, std::chars_format::general);
    else
        result = std::from_chars(text.data(), end, value, 10);
    return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

std::string FormatCacheDate(double value)
{
    // Negative zero would render with a sign that no fresh time stamp has.
    if (!std::isfinite(value) || value == 0)
        value = 0;
    const int length = std::snprintf(nullptr, 0, "%.6f", value);
    if (length <= 0)
        return "0.000000";
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.6f", value);
    text.resize(static_cast<std::size_t>(length));
    // The C library writes the decimal point of its locale; the store has ".".
    const std::string_view point = std::localeconv()->decimal_point;
    if (point.empty() || point == ".")
        return text;
    std::string result;
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, point.size(), point) == 0) {
            result += '.';
            i += point.size();
        } else {
            result += text[i++];
        }
    }
    return result;
}

double ParseCacheDate(std::string_view text)
{
    double value = 0;
    // Infinities and NaN are words, not numbers of a time stamp.
    if (!ParseWhole(text, value) || !std::isfinite(value))
        return 0;
    return value;
}

std::int64_t ParseCacheSize(std::string_view text)
{
    std::int64_t value = 0;
    if (!ParseWhole(text, value))
        return 0;
    return value;
}

std::vector<std::string> EncodeCacheRecords(const std::vector<THotfixFile>& files)
{
    std::vector<std::string> lines;
    lines.reserve(files.size() * kFieldsPerFile);
    for (const THotfixFile& file : files) {
        lines.push_back(file.FileName);
        lines.push_back(FormatCacheDate(file.FileDate));
        lines.push_back(std::to_string(file.FileSize));
        lines.push_back(file.FileVersion);
        lines.push_back(file.FileDescription);
    }
    return lines;
}

std::vector<THotfixFile> DecodeCacheRecords(const std::vector<std::string>& lines)
{
    std::vector<THotfixFile> files;
    files.reserve(lines.size() / kFieldsPerFile);
    for (std::size_t first = 0; first + kFieldsPerFile <= lines.size(); first += kFieldsPerFile) {
        THotfixFile file;
        file.FileName = lines[first];
        file.FileDate = ParseCacheDate(lines[first + 1]);
        file.FileSize = ParseCacheSize(lines[first + 2]);
        file.FileVersion = lines[first + 3];
        file.FileDescription = lines[first + 4];
        files.push_back(std::move(file));
    }
    return files;
}
