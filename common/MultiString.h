#pragma once
// The multi-string encoding of line lists in REG_MULTI_SZ values: each line
// followed by a NUL, an empty line stored as "-", one more NUL at the end.
#include <string>
#include <string_view>
#include <vector>

std::string EncodeMultiString(const std::vector<std::string>& lines);

// The lines of raw value data: NUL-terminated strings up to the first empty
// one or the end of the data (a last string without its NUL included); a
// string that is exactly "-" is an empty line. Reads nothing past the data.
std::vector<std::string> DecodeMultiString(std::string_view data);
