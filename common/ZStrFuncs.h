#pragma once
// Small text functions shared by both programs. Texts are byte strings in the
// ANSI code page; every comparison is exact (case-sensitive, byte by byte).
#include <cstddef>
#include <string>

// The text without its last character; an empty text stays empty.
std::string RemoveLastChar(const std::string& text);

// Every occurrence of Search replaced by Replacement, in one pass from left to
// right that continues after each replacement. An empty search text changes
// nothing.
std::string ReplaceString(const std::string& text, const std::string& search,
                          const std::string& replacement);

// The text followed by blanks up to Width, however wide; a longer text is
// returned whole.
std::string PadRight(const std::string& text, std::size_t width);

// The part of the text before its first NUL character (the whole text when it
// holds none), of any length.
std::string CutAtNul(const std::string& text);

// The text with one backslash appended, unless CutAtNul of it is empty or
// already ends with one.
std::string AddBackslash(const std::string& text);
