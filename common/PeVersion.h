#pragma once
// The fixed file version of a Windows program or library, read from its
// bytes: the PE headers, the resource directory, the version resource and
// its fixed part. Every offset and length is checked against the bytes
// given, so any input is safe.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The file version as the fixed part holds it: the high 32 bits are
// dwFileVersionMS, the low 32 bits dwFileVersionLS, so that two versions
// compare as numbers.
using TFileVersion = std::uint64_t;

// Nothing when the bytes hold no PE image with a version resource (also a
// 16-bit program, a truncated file, a damaged header).
std::optional<TFileVersion> ReadFixedFileVersion(std::string_view image);

// "4.0.1381.133"
std::string FileVersionText(TFileVersion version);
