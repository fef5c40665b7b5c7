#pragma once
// Strings of the running program's string table.
#include <string>

// String resources shared by both programs (common/ps_strings.rc).
inline constexpr unsigned IDS_PRESP4_HOTFIXES = 1;
inline constexpr unsigned IDS_HOTFIX_SEARCH_PATH = 2;
// From the running program's resources, whatever their length; empty when
// the program carries no such string.
std::string LoadResString(unsigned id);
