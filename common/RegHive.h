#pragma once
// A registry hive file read in memory: the keys and values of a system that is
// not running (its SOFTWARE or SYSTEM file). Every offset and length in the
// file is checked before use; damage of any kind raises EHiveError naming the
// file and the file offset of the damaged structure: the structure holding an
// offset that leads outside the bins, else the cell found wrong itself.
// The const methods keep name indexes of long lists, so one THiveFile is not
// for several threads at once.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "RegValueTypes.h"

class EHiveError : public std::runtime_error {
public:
    using runtime_error::runtime_error;
};

struct THiveValue {
    std::uint32_t Type = 0;   // REG_* numbering (1 SZ, 2 EXPAND_SZ, 3 BINARY, 4 DWORD, 7 MULTI_SZ ...)
    std::string Data;         // the stored bytes, exactly as long as stored (texts UTF-16LE)
};

class THiveFile {
public:
    using TKey = std::uint32_t;   // offset of a key's cell

    // Checks the base block; raises EHiveError. FileName is only for messages.
    THiveFile(std::string bytes, std::string fileName);
    // The two sequence numbers of the base block differ (saved while changes were pending).
    bool SequenceNumbersDiffer() const;
    TKey RootKey() const;
    // Path from the root key, parts separated by "\" (leading "\" allowed), names
    // compared without regard to case; empty when a part is missing. Path in UTF-8.
    std::optional<TKey> OpenKey(const std::string& path) const;
    std::string KeyName(TKey key) const;   // UTF-8
    // Subkey names in the order of the key's subkey list, UTF-8.
    std::vector<std::string> SubkeyNames(TKey key) const;
    std::vector<TKey> Subkeys(TKey key) const;
    std::vector<std::string> ValueNames(TKey key) const;   // UTF-8, list order
    // Name compared without regard to case; "" is the default value.
    std::optional<THiveValue> ReadValue(TKey key, const std::string& name) const;
    const std::string& FileName() const;

private:
    struct TCell;   // an allocated cell: where its data starts in the file and how long it is

    [[noreturn]] void Damaged(std::uint64_t fileOffset) const;
    void ReadBins();
    TCell Cell(std::uint32_t cellOffset, std::uint64_t referrer) const;
    std::uint64_t MaxCells(std::uint32_t fixedSize) const;
    TCell Record(std::uint32_t cellOffset, std::uint64_t referrer, const char* signature,
                 std::uint32_t fixedSize) const;
    TCell KeyRecord(TKey key, std::uint64_t referrer) const;
    std::u16string KeyNameUnits(const TCell& nk) const;
    std::vector<TCell> ValueRecords(TKey key) const;
    std::u16string ValueNameUnits(const TCell& vk) const;
    std::string ValueData(const TCell& vk) const;
    std::string BigData(const TCell& vk, std::uint32_t size) const;
    void AppendLeaf(const TCell& list, std::vector<TKey>& keys) const;
    std::optional<TKey> FindSubkey(TKey key, const std::u16string& upcasedName) const;
    std::uint16_t Get16(std::uint64_t at) const;
    std::uint32_t Get32(std::uint64_t at) const;

    std::string FBytes;
    std::string FFileName;
    bool FSequenceNumbersDiffer = false;
    TKey FRootKey = 0;
    std::uint32_t FMinorVersion = 0;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> FBins;   // [start, end) in the file
    std::uint64_t FCellBytes = 0;   // the bins without their headers
    std::vector<std::uint32_t> FBinOfPage;   // for each 4 KB page of the bins, its bin
    // Upper-case names of the long subkey lists OpenKey has passed through, so
    // that a path into a key with thousands of subkeys is found without a scan.
    mutable std::unordered_map<TKey, std::unordered_map<std::u16string, TKey>> FSubkeyIndex;
    // The same for long value lists: where each value's record starts in the file.
    mutable std::unordered_map<TKey, std::unordered_map<std::u16string, std::uint64_t>> FValueIndex;
};

// UTF-16LE bytes (an odd last byte ignored) to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::string_view utf16le);
// UTF-8 to UTF-16LE bytes (for tests and writers).
std::string Utf8ToUtf16Le(std::string_view utf8);
