// Input: the strings of a stored listing, separated by NUL bytes.
#include "CacheRecords.h"

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

    // What was read is written so that it reads back the same: names and
    // sizes exactly, time stamps to the same six-decimal text.
    const std::vector<std::string> written = EncodeCacheRecords(files);
    const std::vector<THotfixFile> again = DecodeCacheRecords(written);
    if (again.size() != files.size() || EncodeCacheRecords(again) != written)
        std::abort();
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (again[i].FileSize != files[i].FileSize ||
            FormatCacheDate(again[i].FileDate) != FormatCacheDate(files[i].FileDate))
            std::abort();
        // The stored time stamp has a point and six decimals, never a comma.
        const std::string& date = written[i * 5 + 1];
        if (date.size() < 8 || date[date.size() - 7] != '.' ||
            date.find_first_not_of("-0123456789.") != std::string::npos)
            std::abort();
    }
    return 0;
}
