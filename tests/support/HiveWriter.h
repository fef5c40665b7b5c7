#pragma once
// Registry hive files made in memory for tests: a tree of keys and values laid
// out in bins and cells as the registry saves them, with the base block's
// checksum right. Platform-free: host tests and Windows tests use it alike.
//
//   THiveBuilder b;
//   b.SetValue("Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q123456",
//              "Fix Description", kRegSz, RegSzData("text"));
//   b.WriteFile(path);
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "RegHive.h"

enum class THiveListKind { Li, Lf, Lh };

struct THiveBuildOptions {
    std::uint32_t MinorVersion = 3;   // 3 as NT 4.0 saves; 4 and later hold big data in segments
    THiveListKind ListKind = THiveListKind::Lf;
    std::size_t LeafCapacity = 512;   // a key with more subkeys gets an "ri" root over leaves this long
    bool Utf16Names = false;          // every name as UTF-16, not only those beyond Latin-1
    std::uint32_t PrimarySequence = 1;
    std::uint32_t SecondarySequence = 1;
};

// Where Build put a key's structures, as file offsets (a key's THiveFile::TKey
// is its offset less 0x1000), by the key's path as first given ("" the root).
struct THiveLayout {
    std::map<std::string, std::uint32_t> Keys;
    std::map<std::string, std::uint32_t> SubkeyLists;   // the leaf, or the "ri" root
    std::map<std::string, std::uint32_t> ValueLists;
    std::map<std::string, std::uint32_t> Values;        // "path|value name": the value's cell
};

class THiveBuilder {
public:
    explicit THiveBuilder(std::string rootName = "ROOT");
    ~THiveBuilder();
    THiveBuilder(const THiveBuilder&) = delete;
    THiveBuilder& operator=(const THiveBuilder&) = delete;

    // Paths are in UTF-8, parts separated by "\"; parts compare without
    // regard to ASCII and Latin-1 case, the first spelling is kept.
    THiveBuilder& Key(const std::string& path);
    // Adds the key if needed; a value of the same name is replaced.
    THiveBuilder& SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                           std::string data);

    std::string Build(const THiveBuildOptions& options = {}, THiveLayout* layout = nullptr) const;
    // Raises std::runtime_error when the file cannot be written.
    void WriteFile(const std::string& fileName, const THiveBuildOptions& options = {}) const;

    struct TNode;

private:
    TNode& Node(const std::string& path);
    std::unique_ptr<TNode> FRoot;
};

std::string RegSzData(const std::string& utf8);   // UTF-16LE with its terminating null
std::string RegDwordData(std::uint32_t value);
std::string RegMultiSzData(const std::vector<std::string>& utf8);
