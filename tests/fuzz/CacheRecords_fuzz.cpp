// Input: the strings of a stored listing, separated by NUL bytes.
#include "CacheRecords.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    while (!rest.empty()) {
        const auto at = rest.find('\0');
        lines.emplace_back(rest.substr(0, at));
        rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + 1);
    }

    const std::vector<THotfixFile> files = DecodeCacheRecords(lines);
    if (files.size() != lines.size() / 5)
        std::abort();
    for (std::size_t i = 0; i < files.size(); ++i)
        if (files[i].FileName != lines[i * 5] || files[i].FileVersion != lines[i * 5 + 3] ||
            files[i].FileDescription != lines[i * 5 + 4])
            std::abort();

    // The numbers against plain readers of the C library: a field of digits
    // alone is the size it spells; a date field of digits with at most one
    // point is that number. The fuzzer runs in the "C" locale.
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& size = lines[i * 5 + 2];
        if (!size.empty() && size.size() <= 18 &&
            size.find_first_not_of("0123456789") == std::string::npos &&
            files[i].FileSize != std::strtoll(size.c_str(), nullptr, 10))
            std::abort();
        const std::string& date = lines[i * 5 + 1];
        if (!date.empty() && date.size() <= 15 && date.front() != '.' &&
            date.find_first_not_of("0123456789.") == std::string::npos &&
            date.find('.') == date.rfind('.') &&
            files[i].FileDate != std::strtod(date.c_str(), nullptr))
            std::abort();
    }

    // What was read is written so that it reads back the same, and every
    // stored time stamp is a point number with six decimals that a plain
    // reader takes to within half its last digit of the value read.
    const std::vector<std::string> written = EncodeCacheRecords(files);
    if (EncodeCacheRecords(DecodeCacheRecords(written)) != written)
        std::abort();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& date = written[i * 5 + 1];
        if (date.size() < 8 || date[date.size() - 7] != '.' ||
            date.find_first_not_of("-0123456789.") != std::string::npos)
            std::abort();
        const double value = files[i].FileDate;
        if (std::fabs(value) < 1e8 &&
            std::fabs(std::strtod(date.c_str(), nullptr) - value) > 5.0001e-7)
            std::abort();
    }
    return 0;
}
