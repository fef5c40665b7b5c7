#pragma once
// File sizes as the details window shows them: bytes, kB or MB by the user's
// thresholds, whole numbers with the locale's thousands separator.
#include <cstdint>
#include <string>

struct TSizeDisplay {
    bool DisplayKilobytes = false;   // from ByteThreshold bytes up
    bool DisplayMegabytes = false;   // from KiloByteThreshold x 1024 bytes up
    std::int32_t ByteThreshold = 10240;
    std::int32_t KiloByteThreshold = 8192;
};

// Size in MB when megabytes are on and it reaches KiloByteThreshold kB, else
// in kB when kilobytes are on and it reaches ByteThreshold, else in bytes,
// followed by " bytes" when WithBytes asks for it. Comparisons are signed;
// the quotient is rounded to the nearest whole number, halves away from zero.
std::string FormatSize(std::int64_t size, bool withBytes, const TSizeDisplay& display,
                       const std::string& thousandSeparator);

// Value in decimal with Separator between groups of three digits.
std::string FormatThousands(std::int64_t value, const std::string& separator);
