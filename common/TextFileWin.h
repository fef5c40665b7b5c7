#pragma once
// Small files read and written whole through the Win32 file functions (list
// and baseline files), with no C runtime stream between.
#include <string>

// False when Path cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);
// Creates or replaces Path with Bytes; false when it cannot be written whole.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
