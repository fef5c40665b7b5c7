// Input: a whole registry hive file. Every key and value of a file the reader
// accepts is walked and found again by its path and name.
#include "RegHive.h"
#include "TimeZoneRule.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

struct TWalk {
    const THiveFile& Hive;
    std::size_t InputSize;
    std::unordered_set<THiveFile::TKey> Seen;
};

// A name that a path and a UTF-8 name can give back: not empty, no separator,
// nothing lost to U+FFFD on the way from UTF-16.
bool Reachable(const std::string& name) {
    return !name.empty() && name.find('\\') == std::string::npos && name.find("\xEF\xBF\xBD") == std::string::npos;
}

void Walk(TWalk& w, THiveFile::TKey key, const std::string& path, bool pathLeadsHere) {
    // The keys form a tree: no walk meets a key twice.
    if (!w.Seen.insert(key).second) std::abort();
    for (const std::string& name : w.Hive.ValueNames(key)) {
        std::optional<THiveValue> value = w.Hive.ReadValue(key, name);
        if ((Reachable(name) || name.empty()) && !value) std::abort();
        // No value holds more bytes than its file.
        if (value && value->Data.size() > w.InputSize) std::abort();
    }
    std::vector<THiveFile::TKey> subkeys = w.Hive.Subkeys(key);
    std::vector<std::string> names = w.Hive.SubkeyNames(key);
    if (names.size() != subkeys.size()) std::abort();
    for (std::size_t i = 0; i < subkeys.size(); ++i) {
        if (w.Hive.KeyName(subkeys[i]) != names[i]) std::abort();
        std::string subpath = path + "\\" + names[i];
        bool leadsHere = false;
        if (pathLeadsHere && Reachable(names[i])) {
            // Found by its path: this key, or a sibling before it whose name
            // differs only in case.
            std::optional<THiveFile::TKey> found = w.Hive.OpenKey(subpath);
            if (!found) std::abort();
            std::size_t at = 0;
            while (at < i && subkeys[at] != *found) ++at;
            if (at == i && *found != subkeys[i]) std::abort();
            leadsHere = *found == subkeys[i];
        }
        Walk(w, subkeys[i], subpath, leadsHere);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    // Half the inputs get a right checksum, so that the base block's other
    // fields are reached too.
    if (bytes.size() >= 0x1000 && bytes.size() % 2 == 0) {
        std::uint32_t sum = 0;
        for (std::size_t at = 0; at < 0x1FC; at += 4)
            sum ^= static_cast<std::uint32_t>(data[at] | data[at + 1] << 8 | data[at + 2] << 16) |
                   static_cast<std::uint32_t>(data[at + 3]) << 24;
        sum = sum == 0xFFFFFFFF ? 0xFFFFFFFE : sum == 0 ? 1 : sum;
        for (int i = 0; i < 4; ++i) bytes[0x1FC + i] = static_cast<char>(sum >> (8 * i));
    }
    try {
        THiveFile hive(bytes, "fuzz");
        TWalk walk{hive, size, {}};
        Walk(walk, hive.RootKey(), "", true);
        if (hive.OpenKey("") != hive.RootKey() || hive.OpenKey("\\") != hive.RootKey()) std::abort();
        if (std::optional<TTimeZoneRule> rule = ReadTimeZoneRule(hive)) {
            for (std::uint64_t t : {0ULL, 119600028000000000ULL, 134192196000000000ULL, ~0ULL}) {
                double value = UtcFileTimeToZoneDateTime(t, *rule);
                // 0, or a day between 1980 and 2107.
                if (value != 0 && (value < 29221 || value >= 75972)) std::abort();
            }
        }
    } catch (const EHiveError& e) {
        if (std::string(e.what()).rfind("fuzz is ", 0) != 0) std::abort();
    }
    return 0;
}
