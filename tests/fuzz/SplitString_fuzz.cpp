// Input: one byte choosing the list's rules and the delimiter, then the text.
#include "SplitLst.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t rules = data[0];
    const char delimiter = (rules & 8) ? static_cast<char>(rules >> 4) : ',';
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    TSplitStringList list;
    list.SetSorted((rules & 1) != 0);
    list.Duplicates = (rules & 6) == 2 ? TDuplicates::dupIgnore
                      : (rules & 6) == 4 ? TDuplicates::dupError
                                         : TDuplicates::dupAccept;
    list.Add("seed");
    const int count = list.SplitString(delimiter, text);

    const auto delimiters = std::count(text.begin(), text.end(), delimiter);
    if (count != 0 && count != delimiters)
        std::abort();
    if (!list.Sorted()) {
        // Every piece is there, in order: the text again, up to dropped blanks.
        const bool lastPiece = !text.empty() && text.back() != delimiter;
        if (count != delimiters || list.Count() != 1 + delimiters + (lastPiece ? 1 : 0))
            std::abort();
        // Joined again, the pieces give the text less one leading blank each.
        std::string expected;
        bool pieceStart = true;
        for (char c : text) {
            if (!(pieceStart && c == ' '))
                expected += c;
            pieceStart = c == delimiter;
        }
        std::string joined;
        for (int i = 1; i < list.Count(); ++i)
            joined += (i > 1 ? std::string(1, delimiter) : std::string()) + list[i];
        if (!lastPiece && !text.empty())
            joined += delimiter;
        if (joined != expected)
            std::abort();
    } else if (!std::is_sorted(list.Strings().begin(), list.Strings().end(),
                               [](const std::string& a, const std::string& b) {
                                   return std::lexicographical_compare(
                                       a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                                           auto fold = [](unsigned char c) {
                                               return c >= 'A' && c <= 'Z' ? c + 32 : c;
                                           };
                                           return fold(static_cast<unsigned char>(x))
                                                  < fold(static_cast<unsigned char>(y));
                                       });
                               })) {
        std::abort();
    }
    return 0;
}
