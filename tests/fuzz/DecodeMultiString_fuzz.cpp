// Input: raw value data as the registry returns it.
#include "MultiString.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of exactly the input's length, so that reading past the data is caught.
    const std::vector<char> copy(data, data + size);
    const std::vector<std::string> lines = DecodeMultiString(std::string_view(copy.data(), copy.size()));

    std::size_t total = 0;
    for (const auto& line : lines) {
        if (line.find('\0') != std::string::npos || line == "-")
            std::abort();
        total += line.size();
    }
    if (total > size)
        std::abort();
    // Whatever was read survives a write and a read.
    if (DecodeMultiString(EncodeMultiString(lines)) != lines)
        std::abort();
    return 0;
}
