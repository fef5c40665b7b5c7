#pragma once
// Small text functions shared by both programs. Texts are byte strings in the
// ANSI code page; every comparison is exact (case-sensitive, byte by byte).
#include <cstddef>
#include <string>

// The text without its last character; an empty text stays empty.
std::string RemoveLastChar(const std::string& text);

// Every occurrence of Search replaced by Replacement, searching again from the
// beginning after each replacement, so that occurrences a replacement forms
// with the text before it are replaced too. A replacement longer than Search
// is made in one pass from left to right instead, which always ends. An empty
// search text changes nothing.
std::string ReplaceString(const std::string& text, const std::string& search,
                          const std::string& replacement);

// The text followed by blanks up to Width, however wide; a longer text is
// returned whole.
std::string PadRight(const std::string& text, std::size_t width);

// The part of the text before its first NUL character (the whole text when it
// holds none), of any length.
std::string CutAtNul(const std::string& text);

// Whether a byte opens a two-byte character of the ANSI code page (the
// platform's IsDBCSLeadByte). Texts are walked from their start, character by
// character: in a double-byte code page a trail byte may equal "\\", "." or a
// letter. A lead byte at the very end stands alone.
using TLeadBytePredicate = bool (*)(unsigned char byte);
inline bool NoLeadBytes(unsigned char) { return false; }

// The position of the last character of the text that is one of the
// single-byte Characters; npos when there is none.
std::size_t FindLastChar(const std::string& text, const char* characters,
                         TLeadBytePredicate isLeadByte);

// The text with one backslash appended, unless CutAtNul of it is empty or
// already ends with a backslash character.
std::string AddBackslash(const std::string& text, TLeadBytePredicate isLeadByte = NoLeadBytes);

// The directory part of a file name up to and with its last "\\", "/" or ":";
// empty when there is none.
std::string ExtractFilePath(const std::string& fileName, TLeadBytePredicate isLeadByte);
// The extension of the file name's last part with its dot ("list.csv" gives
// ".csv"); empty when that part has no dot.
std::string ExtractFileExt(const std::string& fileName, TLeadBytePredicate isLeadByte);
// The text with the letters A to Z in lower case; the bytes of double-byte
// characters are left as they are.
std::string LowerCaseAnsi(const std::string& text, TLeadBytePredicate isLeadByte);
