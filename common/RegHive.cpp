#include "RegHive.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

constexpr std::uint32_t kBaseBlockSize = 0x1000;
constexpr std::uint32_t kBinHeaderSize = 0x20;
constexpr std::uint32_t kBinAlignment = 0x1000;
constexpr std::uint32_t kKeyFixedSize = 0x4C;
constexpr std::uint32_t kValueFixedSize = 0x14;
constexpr std::uint32_t kInlineData = 0x80000000;
// Data longer than one segment is held in big-data segments from version 1.4 on.
constexpr std::uint32_t kBigDataSegment = 16344;
constexpr std::uint32_t kBigDataMinorVersion = 4;
constexpr std::uint16_t kKeyCompressedName = 0x0020;
constexpr std::uint16_t kValueCompressedName = 0x0001;
// Subkey and value lists at least this long are indexed by name once they are searched.
constexpr std::size_t kIndexedListSize = 32;

std::string Hex(std::uint64_t value) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

// The registry's upper case of a UTF-16 unit, for the scripts whose case
// pairs are simple: Latin (ASCII, Latin-1, Latin Extended-A), Greek, Cyrillic.
char16_t Upcase(char16_t c) {
    if (c < u'a') return c;
    if (c <= u'z') return static_cast<char16_t>(c - 0x20);
    if (c < 0xE0) return c;
    if (c <= 0xFE) return c == 0xF7 ? c : static_cast<char16_t>(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (c < 0x180) {
        bool oddIsLower = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
        bool evenIsLower = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddIsLower && (c & 1) && c != 0x131) return static_cast<char16_t>(c - 1);
        if (evenIsLower && !(c & 1)) return static_cast<char16_t>(c - 1);
        return c;
    }
    if ((c >= 0x3B1 && c <= 0x3C1) || (c >= 0x3C3 && c <= 0x3CB)) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
    return c;
}

std::u16string Upcased(std::u16string units) {
    for (char16_t& c : units) c = Upcase(c);
    return units;
}

std::u16string Latin1Units(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    for (unsigned char b : bytes) units.push_back(b);
    return units;
}

std::u16string Utf16Units(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              static_cast<unsigned char>(bytes[i + 1]) << 8));
    return units;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | c >> 18));
        out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string UnitsToUtf8(const std::u16string& units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// Malformed sequences become U+FFFD, one for each byte that starts no valid sequence.
std::u16string Utf8ToUnits(std::string_view utf8) {
    std::u16string units;
    units.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        int length = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3
                   : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
        char32_t c = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
        bool valid = length != 0 && i + length <= utf8.size();
        for (int k = 1; valid && k < length; ++k) {
            unsigned char t = static_cast<unsigned char>(utf8[i + k]);
            valid = (t & 0xC0) == 0x80;
            c = c << 6 | (t & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not characters.
        if (valid && ((length == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
                      (length == 4 && (c < 0x10000 || c > 0x10FFFF))))
            valid = false;
        if (!valid) {
            units.push_back(0xFFFD);
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(c));
        }
        i += length;
    }
    return units;
}

}  // namespace

struct THiveFile::TCell {
    std::uint64_t Start = 0;   // file offset of the cell's data, past its size field
    std::uint32_t Size = 0;    // bytes of data
    std::uint64_t Offset() const { return Start - 4; }   // file offset of the cell itself
};

THiveFile::THiveFile(std::string bytes, std::string fileName)
    : FBytes(std::move(bytes)), FFileName(std::move(fileName)) {
    if (FBytes.size() < kBaseBlockSize || FBytes.compare(0, 4, "regf") != 0 || Get32(0x14) != 1 ||
        Get32(0x18) < 2 || Get32(0x18) > 6 || Get32(0x1C) != 0)
        throw EHiveError(FFileName + " is not a registry file");
    std::uint32_t checksum = 0;
    for (std::uint32_t at = 0; at < 0x1FC; at += 4) checksum ^= Get32(at);
    if (checksum == 0xFFFFFFFF) checksum = 0xFFFFFFFE;
    if (checksum == 0) checksum = 1;
    if (checksum != Get32(0x1FC)) Damaged(0);
    FSequenceNumbersDiffer = Get32(0x04) != Get32(0x08);
    FMinorVersion = Get32(0x18);
    ReadBins();
    FRootKey = Get32(0x24);
    KeyRecord(FRootKey, 0);
}

void THiveFile::Damaged(std::uint64_t fileOffset) const {
    throw EHiveError(FFileName + " is damaged at offset 0x" + Hex(fileOffset));
}

std::uint16_t THiveFile::Get16(std::uint64_t at) const {
    unsigned char b[2];
    std::memcpy(b, FBytes.data() + at, 2);
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

std::uint32_t THiveFile::Get32(std::uint64_t at) const {
    unsigned char b[4];
    std::memcpy(b, FBytes.data() + at, 4);
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

// The bins follow the base block without gaps, each saying where it lies and
// how long it is; a file cut short ends inside (or before) a bin.
void THiveFile::ReadBins() {
    std::uint64_t end = std::uint64_t(kBaseBlockSize) + Get32(0x28);
    std::uint64_t at = kBaseBlockSize;
    while (at < end) {
        if (at + kBinHeaderSize > FBytes.size() || FBytes.compare(at, 4, "hbin") != 0 ||
            Get32(at + 4) != at - kBaseBlockSize)
            Damaged(at);
        std::uint32_t size = Get32(at + 8);
        if (size < kBinAlignment || size % kBinAlignment != 0 || at + size > end ||
            at + size > FBytes.size())
            Damaged(at);
        FBins.emplace_back(at, at + size);
        FCellBytes += size - kBinHeaderSize;
        FBinOfPage.insert(FBinOfPage.end(), size / kBinAlignment, static_cast<std::uint32_t>(FBins.size() - 1));
        at += size;
    }
}

// A cell is found through an offset held by another structure (the referrer):
// an offset that leads outside every bin damages the referrer, a cell whose own
// size is wrong is damaged itself.
THiveFile::TCell THiveFile::Cell(std::uint32_t cellOffset, std::uint64_t referrer) const {
    std::uint64_t page = cellOffset / kBinAlignment;
    if (page >= FBinOfPage.size()) Damaged(referrer);
    const auto& bin = FBins[FBinOfPage[page]];
    std::uint64_t at = std::uint64_t(kBaseBlockSize) + cellOffset;
    if (at < bin.first + kBinHeaderSize || at + 4 > bin.second) Damaged(referrer);
    std::int64_t size = static_cast<std::int32_t>(Get32(at));
    // Allocated cells carry their size negated; a free cell is no target.
    if (size >= -4 || at + static_cast<std::uint64_t>(-size) > bin.second) Damaged(at);
    return TCell{at + 4, static_cast<std::uint32_t>(-size - 4)};
}

// How many cells of records with FixedSize bytes (their size field and
// alignment to 8 included) the bins can hold at most.
std::uint64_t THiveFile::MaxCells(std::uint32_t fixedSize) const {
    return FCellBytes / ((4 + fixedSize + 7) & ~std::uint64_t(7));
}

THiveFile::TCell THiveFile::Record(std::uint32_t cellOffset, std::uint64_t referrer,
                                   const char* signature, std::uint32_t fixedSize) const {
    TCell cell = Cell(cellOffset, referrer);
    if (cell.Size < fixedSize || FBytes.compare(cell.Start, 2, signature) != 0) Damaged(cell.Offset());
    return cell;
}

THiveFile::TCell THiveFile::KeyRecord(TKey key, std::uint64_t referrer) const {
    TCell nk = Record(key, referrer, "nk", kKeyFixedSize);
    if (kKeyFixedSize + std::uint32_t(Get16(nk.Start + 0x48)) > nk.Size) Damaged(nk.Offset());
    return nk;
}

std::u16string THiveFile::KeyNameUnits(const TCell& nk) const {
    std::string_view name(FBytes.data() + nk.Start + kKeyFixedSize, Get16(nk.Start + 0x48));
    return (Get16(nk.Start + 2) & kKeyCompressedName) ? Latin1Units(name) : Utf16Units(name);
}

bool THiveFile::SequenceNumbersDiffer() const { return FSequenceNumbersDiffer; }
THiveFile::TKey THiveFile::RootKey() const { return FRootKey; }
const std::string& THiveFile::FileName() const { return FFileName; }

std::string THiveFile::KeyName(TKey key) const {
    return UnitsToUtf8(KeyNameUnits(KeyRecord(key, kBaseBlockSize + std::uint64_t(key))));
}

void THiveFile::AppendLeaf(const TCell& list, std::vector<TKey>& keys) const {
    std::uint32_t count = Get16(list.Start + 2);
    std::uint32_t stride = FBytes.compare(list.Start, 2, "li") == 0 ? 4 : 8;
    if (4 + std::uint64_t(count) * stride > list.Size) Damaged(list.Offset());
    for (std::uint32_t i = 0; i < count; ++i) keys.push_back(Get32(list.Start + 4 + i * stride));
}

// The keys of a subkey list in its order. Every listed key must name this key
// as its parent and appear once, and the root appears nowhere: so the keys
// form a tree, and no walk through them can loop or meet a key twice.
std::vector<THiveFile::TKey> THiveFile::Subkeys(TKey key) const {
    TCell nk = KeyRecord(key, kBaseBlockSize + std::uint64_t(key));
    std::uint32_t count = Get32(nk.Start + 0x14);
    std::vector<TKey> keys;
    if (count == 0) return keys;
    // Each subkey has a cell of its own: a count the bins cannot hold is
    // damage, found before a list that names its entries again and again
    // makes the collection huge.
    if (count > MaxCells(kKeyFixedSize)) Damaged(nk.Offset());
    TCell list = Cell(Get32(nk.Start + 0x1C), nk.Offset());
    if (list.Size < 4) Damaged(list.Offset());
    auto isLeaf = [&](const TCell& c) {
        return FBytes.compare(c.Start, 2, "li") == 0 || FBytes.compare(c.Start, 2, "lf") == 0 ||
               FBytes.compare(c.Start, 2, "lh") == 0;
    };
    if (isLeaf(list)) {
        AppendLeaf(list, keys);
    } else if (FBytes.compare(list.Start, 2, "ri") == 0) {
        std::uint32_t leaves = Get16(list.Start + 2);
        if (4 + std::uint64_t(leaves) * 4 > list.Size) Damaged(list.Offset());
        for (std::uint32_t i = 0; i < leaves; ++i) {
            TCell leaf = Cell(Get32(list.Start + 4 + i * 4), list.Offset());
            // An index root holds leaves only; one that names a root (itself
            // included) is a loop.
            if (leaf.Size < 4 || !isLeaf(leaf)) Damaged(leaf.Offset());
            AppendLeaf(leaf, keys);
            if (keys.size() > count) Damaged(nk.Offset());
        }
    } else {
        Damaged(list.Offset());
    }
    if (keys.size() != count) Damaged(nk.Offset());
    std::unordered_set<TKey> seen;
    seen.reserve(keys.size());
    for (TKey subkey : keys) {
        TCell child = KeyRecord(subkey, list.Offset());
        if (subkey == FRootKey || Get32(child.Start + 0x10) != key || !seen.insert(subkey).second)
            Damaged(child.Offset());
    }
    return keys;
}

std::vector<std::string> THiveFile::SubkeyNames(TKey key) const {
    std::vector<std::string> names;
    for (TKey subkey : Subkeys(key)) names.push_back(KeyName(subkey));
    return names;
}

// Of subkeys whose names differ only in case, the first in the list.
std::optional<THiveFile::TKey> THiveFile::FindSubkey(TKey key, const std::u16string& upcasedName) const {
    auto indexed = FSubkeyIndex.find(key);
    if (indexed == FSubkeyIndex.end()) {
        std::vector<TKey> subkeys = Subkeys(key);
        if (subkeys.size() < kIndexedListSize) {
            for (TKey subkey : subkeys)
                if (Upcased(KeyNameUnits(KeyRecord(subkey, kBaseBlockSize + std::uint64_t(subkey)))) == upcasedName)
                    return subkey;
            return std::nullopt;
        }
        std::unordered_map<std::u16string, TKey> index;
        for (TKey subkey : subkeys)
            index.emplace(Upcased(KeyNameUnits(KeyRecord(subkey, kBaseBlockSize + std::uint64_t(subkey)))), subkey);
        indexed = FSubkeyIndex.emplace(key, std::move(index)).first;
    }
    auto found = indexed->second.find(upcasedName);
    if (found == indexed->second.end()) return std::nullopt;
    return found->second;
}

std::optional<THiveFile::TKey> THiveFile::OpenKey(const std::string& path) const {
    TKey key = FRootKey;
    std::size_t at = 0;
    while (at <= path.size()) {
        std::size_t end = std::min(path.find('\\', at), path.size());
        if (end > at) {
            std::optional<TKey> subkey = FindSubkey(key, Upcased(Utf8ToUnits(std::string_view(path).substr(at, end - at))));
            if (!subkey) return std::nullopt;
            key = *subkey;
        }
        at = end + 1;
    }
    return key;
}

std::vector<THiveFile::TCell> THiveFile::ValueRecords(TKey key) const {
    TCell nk = KeyRecord(key, kBaseBlockSize + std::uint64_t(key));
    std::uint32_t count = Get32(nk.Start + 0x24);
    std::vector<TCell> values;
    if (count == 0) return values;
    TCell list = Cell(Get32(nk.Start + 0x28), nk.Offset());
    if (std::uint64_t(count) * 4 > list.Size) Damaged(list.Offset());
    values.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        TCell vk = Record(Get32(list.Start + i * 4), list.Offset(), "vk", kValueFixedSize);
        if (kValueFixedSize + std::uint32_t(Get16(vk.Start + 2)) > vk.Size) Damaged(vk.Offset());
        values.push_back(vk);
    }
    return values;
}

std::u16string THiveFile::ValueNameUnits(const TCell& vk) const {
    std::string_view name(FBytes.data() + vk.Start + kValueFixedSize, Get16(vk.Start + 2));
    return (Get16(vk.Start + 0x10) & kValueCompressedName) ? Latin1Units(name) : Utf16Units(name);
}

std::vector<std::string> THiveFile::ValueNames(TKey key) const {
    std::vector<std::string> names;
    for (const TCell& vk : ValueRecords(key)) names.push_back(UnitsToUtf8(ValueNameUnits(vk)));
    return names;
}

// Of values whose names differ only in case, the first in the list.
std::optional<THiveValue> THiveFile::ReadValue(TKey key, const std::string& name) const {
    std::u16string sought = Upcased(Utf8ToUnits(name));
    auto indexed = FValueIndex.find(key);
    if (indexed == FValueIndex.end()) {
        std::vector<TCell> values = ValueRecords(key);
        if (values.size() < kIndexedListSize) {
            for (const TCell& vk : values)
                if (Upcased(ValueNameUnits(vk)) == sought) return THiveValue{Get32(vk.Start + 0x0C), ValueData(vk)};
            return std::nullopt;
        }
        std::unordered_map<std::u16string, std::uint64_t> index;
        for (const TCell& vk : values) index.emplace(Upcased(ValueNameUnits(vk)), vk.Start);
        indexed = FValueIndex.emplace(key, std::move(index)).first;
    }
    auto found = indexed->second.find(sought);
    if (found == indexed->second.end()) return std::nullopt;
    TCell vk{found->second, kValueFixedSize};
    return THiveValue{Get32(vk.Start + 0x0C), ValueData(vk)};
}

std::string THiveFile::ValueData(const TCell& vk) const {
    std::uint32_t size = Get32(vk.Start + 4);
    std::uint32_t offset = Get32(vk.Start + 8);
    if (size & kInlineData) {
        size &= ~kInlineData;
        if (size > 4) Damaged(vk.Offset());
        return FBytes.substr(vk.Start + 8, size);
    }
    if (size == 0) return {};
    // No value holds more bytes than its file: a crafted list that names one
    // segment many times cannot make a value larger than that.
    if (size > FBytes.size()) Damaged(vk.Offset());
    if (FMinorVersion >= kBigDataMinorVersion && size > kBigDataSegment) return BigData(vk, size);
    TCell data = Cell(offset, vk.Offset());
    if (data.Size < size) Damaged(data.Offset());
    return FBytes.substr(data.Start, size);
}

// Every segment but the last holds kBigDataSegment bytes.
std::string THiveFile::BigData(const TCell& vk, std::uint32_t size) const {
    TCell db = Record(Get32(vk.Start + 8), vk.Offset(), "db", 8);
    std::uint32_t segments = Get16(db.Start + 2);
    TCell list = Cell(Get32(db.Start + 4), db.Offset());
    if (std::uint64_t(segments) * 4 > list.Size) Damaged(list.Offset());
    std::string data;
    data.reserve(size);
    for (std::uint32_t i = 0; i < segments && data.size() < size; ++i) {
        TCell segment = Cell(Get32(list.Start + i * 4), list.Offset());
        std::uint32_t take = std::min<std::uint32_t>(kBigDataSegment, size - static_cast<std::uint32_t>(data.size()));
        if (segment.Size < take) Damaged(segment.Offset());
        data.append(FBytes, segment.Start, take);
    }
    if (data.size() < size) Damaged(db.Offset());
    return data;
}

std::string Utf16LeToUtf8(std::string_view utf16le) { return UnitsToUtf8(Utf16Units(utf16le)); }

std::string Utf8ToUtf16Le(std::string_view utf8) {
    std::string bytes;
    for (char16_t unit : Utf8ToUnits(utf8)) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}
