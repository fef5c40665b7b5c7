#include "SplitLst.h"

#include <algorithm>
#include <string_view>

namespace {

unsigned char FoldCase(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Case-insensitive order of two strings; bytes outside ASCII compare by value.
int CompareText(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = FoldCase(static_cast<unsigned char>(a[i]));
        const unsigned char cb = FoldCase(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool TextLess(const std::string& a, const std::string& b)
{
    return CompareText(a, b) < 0;
}

[[noreturn]] void ListIndexError(int index)
{
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

TStringList::TStringList(std::vector<std::string> strings)
    : FStrings(std::move(strings))
{
}

int TStringList::Add(const std::string& s)
{
    if (!FSorted) {
        FStrings.push_back(s);
        return Count() - 1;
    }
    const auto first = std::lower_bound(FStrings.begin(), FStrings.end(), s, TextLess);
    if (first != FStrings.end() && CompareText(*first, s) == 0) {
        if (Duplicates == TDuplicates::dupIgnore)
            return -1;
        if (Duplicates == TDuplicates::dupError)
            throw EStringListError("String list does not allow duplicates");
    }
    // Equal strings keep the order in which they were added.
    const auto at = std::upper_bound(first, FStrings.end(), s, TextLess);
    const auto index = at - FStrings.begin();
    FStrings.insert(at, s);
    return static_cast<int>(index);
}

void TStringList::Insert(int index, const std::string& s)
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted string list");
    if (index < 0 || index > Count())
        ListIndexError(index);
    FStrings.insert(FStrings.begin() + index, s);
}

void TStringList::Delete(int index)
{
    if (index < 0 || index >= Count())
        ListIndexError(index);
    FStrings.erase(FStrings.begin() + index);
}

int TStringList::IndexOf(const std::string& s) const
{
    if (FSorted) {
        const auto it = std::lower_bound(FStrings.begin(), FStrings.end(), s, TextLess);
        if (it != FStrings.end() && CompareText(*it, s) == 0)
            return static_cast<int>(it - FStrings.begin());
        return -1;
    }
    for (std::size_t i = 0; i < FStrings.size(); ++i)
        if (CompareText(FStrings[i], s) == 0)
            return static_cast<int>(i);
    return -1;
}

void TStringList::SetSorted(bool sorted)
{
    if (sorted && !FSorted)
        std::stable_sort(FStrings.begin(), FStrings.end(), TextLess);
    FSorted = sorted;
}

int TSplitStringList::SplitString(char delimiter, const std::string& text)
{
    const auto addPiece = [this](std::string_view piece) {
        if (!piece.empty() && piece.front() == ' ')
            piece.remove_prefix(1);
        Add(std::string(piece));
    };

    std::string_view rest(text);
    int count = 0;
    try {
        for (auto at = rest.find(delimiter); at != std::string_view::npos;
             at = rest.find(delimiter)) {
            addPiece(rest.substr(0, at));
            ++count;
            rest.remove_prefix(at + 1);
        }
        if (!rest.empty())
            addPiece(rest);
    } catch (const EStringListError&) {
        return 0;
    }
    return count;
}
