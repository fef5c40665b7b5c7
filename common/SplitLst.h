#pragma once
// A list of strings, and the split list that fills one from a delimited text.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

class EStringListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// The string list the program's units share. Unsorted lists keep the order of
// adding; a sorted list keeps its strings in case-insensitive order and
// applies Duplicates to each added string. Lookups ignore case.
class TStringList {
public:
    TStringList() = default;
    explicit TStringList(std::vector<std::string> strings);
    virtual ~TStringList() = default;

    // Index of the added string; -1 when a sorted list ignored a duplicate.
    // A duplicate in a sorted list with dupError raises EStringListError.
    int Add(const std::string& s);
    void Insert(int index, const std::string& s);   // unsorted lists only
    void Delete(int index);
    void Clear() { FStrings.clear(); }
    int IndexOf(const std::string& s) const;       // case-insensitive, -1 when absent

    int Count() const { return static_cast<int>(FStrings.size()); }
    const std::string& operator[](int index) const { return FStrings.at(static_cast<std::size_t>(index)); }
    std::string& operator[](int index) { return FStrings.at(static_cast<std::size_t>(index)); }
    const std::vector<std::string>& Strings() const { return FStrings; }

    bool Sorted() const { return FSorted; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates = TDuplicates::dupAccept;

private:
    std::vector<std::string> FStrings;
    bool FSorted = false;
};

class TSplitStringList : public TStringList {
public:
    using TStringList::TStringList;
    // Appends the pieces of Text split at Delimiter (one leading blank of each
    // piece dropped) and returns the number of delimiters found; 0 when the
    // list refused a piece (the pieces added before it stay).
    int SplitString(char delimiter, const std::string& text);
};
