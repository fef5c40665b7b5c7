// Input: the bytes of a file whose fixed file version is read.
#include "PeVersion.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto version = ReadFixedFileVersion(bytes);
    // A version read from bytes within the file stays what it is whatever
    // follows (more bytes can only complete a truncated image).
    if (version && ReadFixedFileVersion(bytes + std::string(300, '\xFF')) != version)
        std::abort();
    if (version) {
        if (!bytes.starts_with("MZ"))
            std::abort();
        // Four numbers of at most five digits, dot-separated.
        const std::string text = FileVersionText(*version);
        if (text.size() < 7 || text.size() > 23 ||
            std::count(text.begin(), text.end(), '.') != 3 ||
            text.find_first_not_of("0123456789.") != std::string::npos)
            std::abort();
    }
    return 0;
}
