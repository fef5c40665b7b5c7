#include "HiveWriter.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace {

constexpr std::uint32_t kNoCell = 0xFFFFFFFF;
constexpr std::uint32_t kBinSize = 0x1000;
constexpr std::uint32_t kBinHeader = 0x20;
constexpr std::uint32_t kSegment = 16344;
constexpr std::uint64_t kStamp = 125911584000000000ULL;   // 1 January 2000, 00:00 UTC

std::u16string Units(const std::string& utf8) {
    std::string bytes = Utf8ToUtf16Le(utf8);
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              static_cast<unsigned char>(bytes[i + 1]) << 8));
    return units;
}

// ASCII and Latin-1 only: enough for the names tests give.
char16_t Upper(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    return c;
}

std::u16string Upper(std::u16string units) {
    for (char16_t& c : units) c = Upper(c);
    return units;
}

bool FitsLatin1(const std::u16string& units) {
    return std::all_of(units.begin(), units.end(), [](char16_t c) { return c <= 0xFF; });
}

// A name as stored: one byte a character when every character allows it.
std::string StoredName(const std::u16string& units, bool compressed) {
    std::string bytes;
    for (char16_t c : units) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        if (!compressed) bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

struct TValue {
    std::u16string Name;
    std::uint32_t Type;
    std::string Data;
};

}  // namespace

struct THiveBuilder::TNode {
    std::u16string Name;
    std::string Path;
    std::vector<std::unique_ptr<TNode>> Children;
    std::map<std::u16string, TNode*> ChildByName;   // by upper-case name
    std::vector<TValue> Values;
};

namespace {

// Cells laid out bin after bin; a cell too large for a page gets a bin of its own size.
class TCellSpace {
public:
    std::uint32_t Allocate(std::size_t dataSize) {
        std::uint32_t size = static_cast<std::uint32_t>((dataSize + 4 + 7) / 8 * 8);
        if (FData.size() + size > FBinEnd) {
            CloseBin();
            std::uint32_t binSize = (size + kBinHeader + kBinSize - 1) / kBinSize * kBinSize;
            std::uint32_t start = static_cast<std::uint32_t>(FData.size());
            FData.resize(start + kBinHeader, '\0');
            std::memcpy(&FData[start], "hbin", 4);
            Put32(start + 4, start);
            Put32(start + 8, binSize);
            Put64(start + 0x14, kStamp);
            FBinEnd = start + binSize;
        }
        std::uint32_t offset = static_cast<std::uint32_t>(FData.size());
        FData.resize(offset + size, '\0');
        Put32(offset, static_cast<std::uint32_t>(-static_cast<std::int32_t>(size)));
        return offset;
    }
    // The rest of the last bin becomes a free cell.
    void CloseBin() {
        if (FData.size() < FBinEnd) {
            std::uint32_t offset = static_cast<std::uint32_t>(FData.size());
            FData.resize(FBinEnd, '\0');
            Put32(offset, FBinEnd - offset);
        }
    }
    void Put16(std::uint32_t at, std::uint16_t v) { Put(at, v, 2); }
    void Put32(std::uint32_t at, std::uint32_t v) { Put(at, v, 4); }
    void Put64(std::uint32_t at, std::uint64_t v) { Put(at, v, 8); }
    void PutBytes(std::uint32_t at, const std::string& bytes) {
        std::memcpy(&FData[at], bytes.data(), bytes.size());
    }
    std::string& Data() { return FData; }

private:
    void Put(std::uint32_t at, std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) FData[at + i] = static_cast<char>(v >> (8 * i));
    }
    std::string FData;
    std::uint32_t FBinEnd = 0;
};

class TLayoutWriter {
public:
    TLayoutWriter(const THiveBuildOptions& options, THiveLayout* layout)
        : FOptions(options), FLayout(layout) {}

    std::uint32_t WriteTree(const THiveBuilder::TNode& root, std::size_t keyCount) {
        std::uint32_t rootKey = WriteKey(root, kNoCell, true);
        // One security cell, shared by every key.
        std::uint32_t sk = FSpace.Allocate(0x14 + 20);
        FSpace.PutBytes(sk + 4, "sk");
        FSpace.Put32(sk + 8, sk);
        FSpace.Put32(sk + 12, sk);
        FSpace.Put32(sk + 16, static_cast<std::uint32_t>(keyCount));
        FSpace.Put32(sk + 20, 20);
        FSpace.Put16(sk + 24, 1);        // revision 1
        FSpace.Put16(sk + 26, 0x8004);   // self-relative, no owner, null DACL
        for (std::uint32_t nk : FKeys) FSpace.Put32(nk + 4 + 0x2C, sk);
        FSpace.CloseBin();
        return rootKey;
    }
    std::string& Data() { return FSpace.Data(); }

private:
    bool Compressed(const std::u16string& name) const { return !FOptions.Utf16Names && FitsLatin1(name); }

    std::uint32_t WriteKey(const THiveBuilder::TNode& node, std::uint32_t parent, bool isRoot) {
        bool compressed = Compressed(node.Name);
        std::string name = StoredName(node.Name, compressed);
        std::uint32_t nk = FSpace.Allocate(0x4C + name.size());
        FKeys.push_back(nk);
        if (FLayout) FLayout->Keys[node.Path] = nk + kBinSize;
        std::uint32_t at = nk + 4;
        FSpace.PutBytes(at, "nk");
        FSpace.Put16(at + 2, static_cast<std::uint16_t>((compressed ? 0x20 : 0) | (isRoot ? 0x0C : 0)));
        FSpace.Put64(at + 4, kStamp);
        FSpace.Put32(at + 0x10, parent);
        FSpace.Put32(at + 0x1C, kNoCell);
        FSpace.Put32(at + 0x20, kNoCell);
        FSpace.Put32(at + 0x28, kNoCell);
        FSpace.Put32(at + 0x30, kNoCell);
        FSpace.Put16(at + 0x48, static_cast<std::uint16_t>(name.size()));
        FSpace.PutBytes(at + 0x4C, name);
        WriteValues(node, at);

        std::vector<const THiveBuilder::TNode*> children;
        for (const auto& child : node.Children) children.push_back(child.get());
        // Subkey lists are kept in the order of the upper-case names.
        std::sort(children.begin(), children.end(),
                  [](const auto* a, const auto* b) { return Upper(a->Name) < Upper(b->Name); });
        std::vector<std::uint32_t> offsets;
        std::uint32_t longest = 0;
        for (const auto* child : children) {
            offsets.push_back(WriteKey(*child, nk, false));
            longest = std::max(longest, static_cast<std::uint32_t>(child->Name.size() * 2));
        }
        if (!children.empty()) {
            std::uint32_t list = WriteSubkeyList(children, offsets);
            if (FLayout) FLayout->SubkeyLists[node.Path] = list + kBinSize;
            FSpace.Put32(at + 0x14, static_cast<std::uint32_t>(children.size()));
            FSpace.Put32(at + 0x1C, list);
            FSpace.Put32(at + 0x34, longest);
        }
        return nk;
    }

    std::uint32_t WriteLeaf(const std::vector<const THiveBuilder::TNode*>& keys,
                            const std::vector<std::uint32_t>& offsets, std::size_t first, std::size_t count) {
        static const char* const kSignatures[] = {"li", "lf", "lh"};
        THiveListKind kind = FOptions.ListKind;
        std::size_t stride = kind == THiveListKind::Li ? 4 : 8;
        std::uint32_t list = FSpace.Allocate(4 + count * stride);
        FSpace.PutBytes(list + 4, kSignatures[static_cast<int>(kind)]);
        FSpace.Put16(list + 6, static_cast<std::uint16_t>(count));
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t at = static_cast<std::uint32_t>(list + 8 + i * stride);
            FSpace.Put32(at, offsets[first + i]);
            const std::u16string& name = keys[first + i]->Name;
            if (kind == THiveListKind::Lf) {
                // The hint: the first four characters, when they fit a byte each.
                std::string hint(4, '\0');
                for (std::size_t k = 0; k < 4 && k < name.size(); ++k) hint[k] = static_cast<char>(name[k]);
                if (!FitsLatin1(name.substr(0, 4))) hint.assign(4, '\0');
                FSpace.PutBytes(at + 4, hint);
            } else if (kind == THiveListKind::Lh) {
                std::uint32_t hash = 0;
                for (char16_t c : Upper(name)) hash = hash * 37 + c;
                FSpace.Put32(at + 4, hash);
            }
        }
        return list;
    }

    std::uint32_t WriteSubkeyList(const std::vector<const THiveBuilder::TNode*>& keys,
                                  const std::vector<std::uint32_t>& offsets) {
        std::size_t capacity = std::max<std::size_t>(1, FOptions.LeafCapacity);
        if (keys.size() <= capacity) return WriteLeaf(keys, offsets, 0, keys.size());
        std::vector<std::uint32_t> leaves;
        for (std::size_t first = 0; first < keys.size(); first += capacity)
            leaves.push_back(WriteLeaf(keys, offsets, first, std::min(capacity, keys.size() - first)));
        std::uint32_t root = FSpace.Allocate(4 + leaves.size() * 4);
        FSpace.PutBytes(root + 4, "ri");
        FSpace.Put16(root + 6, static_cast<std::uint16_t>(leaves.size()));
        for (std::size_t i = 0; i < leaves.size(); ++i)
            FSpace.Put32(static_cast<std::uint32_t>(root + 8 + i * 4), leaves[i]);
        return root;
    }

    void WriteValues(const THiveBuilder::TNode& node, std::uint32_t nkAt) {
        if (node.Values.empty()) return;
        std::uint32_t list = FSpace.Allocate(node.Values.size() * 4);
        if (FLayout) FLayout->ValueLists[node.Path] = list + kBinSize;
        std::uint32_t longestName = 0, longestData = 0;
        for (std::size_t i = 0; i < node.Values.size(); ++i) {
            const TValue& value = node.Values[i];
            bool compressed = Compressed(value.Name);
            std::string name = StoredName(value.Name, compressed);
            std::uint32_t vk = FSpace.Allocate(0x14 + name.size());
            if (FLayout) FLayout->Values[node.Path + "|" + StoredNameUtf8(value.Name)] = vk + kBinSize;
            FSpace.Put32(static_cast<std::uint32_t>(list + 4 + i * 4), vk);
            std::uint32_t at = vk + 4;
            FSpace.PutBytes(at, "vk");
            FSpace.Put16(at + 2, static_cast<std::uint16_t>(name.size()));
            FSpace.Put32(at + 0x0C, value.Type);
            FSpace.Put16(at + 0x10, compressed && !name.empty() ? 1 : 0);
            FSpace.PutBytes(at + 0x14, name);
            WriteData(at, value.Data);
            longestName = std::max(longestName, static_cast<std::uint32_t>(value.Name.size() * 2));
            longestData = std::max(longestData, static_cast<std::uint32_t>(value.Data.size()));
        }
        FSpace.Put32(nkAt + 0x24, static_cast<std::uint32_t>(node.Values.size()));
        FSpace.Put32(nkAt + 0x28, list);
        FSpace.Put32(nkAt + 0x3C, longestName);
        FSpace.Put32(nkAt + 0x40, longestData);
    }

    static std::string StoredNameUtf8(const std::u16string& units) {
        return Utf16LeToUtf8(StoredName(units, false));
    }

    void WriteData(std::uint32_t vkAt, const std::string& data) {
        std::uint32_t size = static_cast<std::uint32_t>(data.size());
        if (size <= 4) {
            FSpace.Put32(vkAt + 4, size | 0x80000000u);
            FSpace.PutBytes(vkAt + 8, data);
            return;
        }
        FSpace.Put32(vkAt + 4, size);
        if (FOptions.MinorVersion < 4 || size <= kSegment) {
            std::uint32_t cell = FSpace.Allocate(size);
            FSpace.PutBytes(cell + 4, data);
            FSpace.Put32(vkAt + 8, cell);
            return;
        }
        std::size_t segments = (size + kSegment - 1) / kSegment;
        std::uint32_t db = FSpace.Allocate(8);
        std::uint32_t list = FSpace.Allocate(segments * 4);
        FSpace.PutBytes(db + 4, "db");
        FSpace.Put16(db + 6, static_cast<std::uint16_t>(segments));
        FSpace.Put32(db + 8, list);
        for (std::size_t i = 0; i < segments; ++i) {
            std::string part = data.substr(i * kSegment, kSegment);
            std::uint32_t cell = FSpace.Allocate(part.size());
            FSpace.PutBytes(cell + 4, part);
            FSpace.Put32(static_cast<std::uint32_t>(list + 4 + i * 4), cell);
        }
        FSpace.Put32(vkAt + 8, db);
    }

    const THiveBuildOptions& FOptions;
    THiveLayout* FLayout;
    TCellSpace FSpace;
    std::vector<std::uint32_t> FKeys;
};

std::size_t CountKeys(const THiveBuilder::TNode& node) {
    std::size_t count = 1;
    for (const auto& child : node.Children) count += CountKeys(*child);
    return count;
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}

}  // namespace

THiveBuilder::THiveBuilder(std::string rootName) : FRoot(std::make_unique<TNode>()) {
    FRoot->Name = Units(rootName);
}

THiveBuilder::~THiveBuilder() = default;

THiveBuilder::TNode& THiveBuilder::Node(const std::string& path) {
    TNode* node = FRoot.get();
    std::size_t at = 0;
    while (at <= path.size()) {
        std::size_t end = std::min(path.find('\\', at), path.size());
        if (end > at) {
            std::string part = path.substr(at, end - at);
            std::u16string upper = Upper(Units(part));
            auto found = node->ChildByName.find(upper);
            if (found == node->ChildByName.end()) {
                auto child = std::make_unique<TNode>();
                child->Name = Units(part);
                child->Path = node->Path.empty() ? part : node->Path + "\\" + part;
                found = node->ChildByName.emplace(upper, child.get()).first;
                node->Children.push_back(std::move(child));
            }
            node = found->second;
        }
        at = end + 1;
    }
    return *node;
}

THiveBuilder& THiveBuilder::Key(const std::string& path) {
    Node(path);
    return *this;
}

THiveBuilder& THiveBuilder::SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                                     std::string data) {
    TNode& node = Node(path);
    std::u16string units = Units(name);
    auto found = std::find_if(node.Values.begin(), node.Values.end(),
                              [&](const TValue& v) { return Upper(v.Name) == Upper(units); });
    if (found != node.Values.end())
        *found = TValue{units, type, std::move(data)};
    else
        node.Values.push_back(TValue{units, type, std::move(data)});
    return *this;
}

std::string THiveBuilder::Build(const THiveBuildOptions& options, THiveLayout* layout) const {
    TLayoutWriter writer(options, layout);
    std::uint32_t root = writer.WriteTree(*FRoot, CountKeys(*FRoot));
    std::string bins = std::move(writer.Data());

    std::string base(kBinSize, '\0');
    std::memcpy(&base[0], "regf", 4);
    Put32(base, 0x04, options.PrimarySequence);
    Put32(base, 0x08, options.SecondarySequence);
    Put32(base, 0x0C, static_cast<std::uint32_t>(kStamp));
    Put32(base, 0x10, static_cast<std::uint32_t>(kStamp >> 32));
    Put32(base, 0x14, 1);
    Put32(base, 0x18, options.MinorVersion);
    Put32(base, 0x20, 1);   // direct memory load
    Put32(base, 0x24, root);
    Put32(base, 0x28, static_cast<std::uint32_t>(bins.size()));
    Put32(base, 0x2C, 1);   // clustering factor
    std::string name = Utf8ToUtf16Le("\\ROOT");
    base.replace(0x30, name.size(), name);
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < 0x1FC; at += 4)
        sum ^= static_cast<std::uint32_t>(static_cast<unsigned char>(base[at]) |
                                          static_cast<unsigned char>(base[at + 1]) << 8 |
                                          static_cast<unsigned char>(base[at + 2]) << 16 |
                                          static_cast<std::uint32_t>(static_cast<unsigned char>(base[at + 3])) << 24);
    if (sum == 0xFFFFFFFF) sum = 0xFFFFFFFE;
    if (sum == 0) sum = 1;
    Put32(base, 0x1FC, sum);
    return base + bins;
}

void THiveBuilder::WriteFile(const std::string& fileName, const THiveBuildOptions& options) const {
    std::string bytes = Build(options);
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + fileName);
}

std::string RegSzData(const std::string& utf8) { return Utf8ToUtf16Le(utf8) + std::string(2, '\0'); }

std::string RegDwordData(std::uint32_t value) {
    std::string bytes(4, '\0');
    Put32(bytes, 0, value);
    return bytes;
}

std::string RegMultiSzData(const std::vector<std::string>& utf8) {
    std::string bytes;
    for (const std::string& text : utf8) bytes += RegSzData(text);
    return bytes + std::string(2, '\0');
}
