#pragma once
// The stored form of a directory listing: five strings per file (name, time
// stamp, size, file version, description), as the listing cache keeps them
// in one multi-string value. Time stamps are written with six decimals and
// "." whatever the locale; sizes are 64-bit decimal integers. Reading is
// tolerant: a field that is no number reads as 0 and the file still loads.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One file of an uninstall directory.
struct THotfixFile {
    std::string FileName;          // as the directory listing spells it
    double FileDate = 0;           // last-write time, days since 1899-12-30; 0 = none
    std::int64_t FileSize = 0;     // bytes
    std::string FileVersion;       // empty = none
    std::string FileDescription;   // empty = none
};

// Fixed-point text with exactly six decimals and "." as the decimal point
// (1.5 gives "1.500000"). Two time stamps are the same for the cache when
// these texts are equal. A value that is not finite gives "0.000000".
std::string FormatCacheDate(double value);

// The number of a stored time stamp or size; 0 for text that is no number
// (surrounding blanks are allowed). Sizes written by versions that kept them
// in 32 bits read as they were written.
double ParseCacheDate(std::string_view text);
std::int64_t ParseCacheSize(std::string_view text);

// The stored strings of Files, five per file in their order.
std::vector<std::string> EncodeCacheRecords(const std::vector<THotfixFile>& files);
// The files of stored strings: one per complete group of five, in order; a
// last group of fewer than five strings adds nothing.
std::vector<THotfixFile> DecodeCacheRecords(const std::vector<std::string>& lines);
