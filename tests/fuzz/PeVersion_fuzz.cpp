// Input: the bytes of a file whose fixed file version is read.
#include "PeVersion.h"

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
    return 0;
}
