#pragma once
// The directory listing cache: for each hotfix, and once for the service
// pack, every file last seen in its uninstall directory with its time stamp,
// size, file version and description. A details window keeps one object per
// listing as the store of its rows and, with caching on, loads it from and
// saves it to HKEY_LOCAL_MACHINE\Software\Brightwater\Patchscope\Cache of
// this computer (one REG_MULTI_SZ value per listing, named by the hotfix
// identifier or "Service Pack"). The stored listing of a hotfix is shared by
// all computers: size and time stamp decide whether an entry still applies.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "CacheRecords.h"

class THotfixCache {
public:
    // An empty identifier selects the service pack's listing. Reads nothing.
    explicit THotfixCache(const std::string& hotfixID);
    virtual ~THotfixCache();
    THotfixCache(const THotfixCache&) = delete;
    THotfixCache& operator=(const THotfixCache&) = delete;

    // A copy of the entry of FileName (letter case ignored) that belongs to
    // the caller, named as asked; null when there is none.
    virtual std::unique_ptr<THotfixFile> GetFile(const std::string& fileName) const;
    // Appends the stored listing to the entries. A missing key or value, or a
    // value that cannot be read, adds nothing; fields that are no numbers
    // read as 0. Never raises.
    virtual void Load();
    // Adds or overwrites the entry of FileName (letter case ignored); the
    // entry takes the letter case of FileName.
    virtual void SetFile(const std::string& fileName, std::int64_t size, double date,
                         const std::string& version, const std::string& description);
    // Whether the entry of FileName exists with this size and a time stamp
    // that renders the same to six decimals; never for a time stamp of 0.
    virtual bool IsCurrent(const std::string& fileName, std::int64_t size, double date) const;
    // Replaces the stored listing with the entries, all of them. Without a
    // key that can be opened or created nothing is written; a failed write
    // raises ERegistryException.
    virtual void Save();

    const std::string& CacheName() const { return FCacheName; }
    const std::vector<THotfixFile>& Entries() const { return FEntries; }

private:
    // Index of the first entry named FileName in any letter case, or -1.
    int Find(const std::string& fileName) const;
    void Append(THotfixFile file);

    std::string FCacheName;
    std::vector<THotfixFile> FEntries;
    // Entry names folded to lower case, to the first entry of each.
    std::unordered_map<std::string, std::size_t> FIndex;
};

// Deletes every value of the cache key, those of hotfixes not listed now
// included; the key itself stays. False when the key is there but cannot be
// opened with full access, or a value could not be deleted (the others are
// gone); without a key there is nothing to clear.
bool ClearHotfixCache();

// The cache key below HKEY_LOCAL_MACHINE, and the value of the service pack.
inline constexpr const char* kCacheKey = "\\Software\\Brightwater\\Patchscope\\Cache";
inline constexpr const char* kServicePackCacheName = "Service Pack";
