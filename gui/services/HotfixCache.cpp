#include "HotfixCache.h"

#include <windows.h>

#include "RegistryEx.h"
#include "ps_common.h"

namespace {

// The look-up key of a name: letters A to Z folded, other bytes as they are,
// as the string list's own search compares.
std::string FoldedName(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::unique_ptr<TRegIniFileEx> MachineRegistry()
{
    auto registry = std::make_unique<TRegIniFileEx>("");
    registry->SetRootKey(HKEY_LOCAL_MACHINE);
    return registry;
}

}  // namespace

THotfixCache::THotfixCache(const std::string& hotfixID)
    : FCacheName(hotfixID.empty() ? kServicePackCacheName : hotfixID)
{
}

THotfixCache::~THotfixCache() = default;

int THotfixCache::Find(const std::string& fileName) const
{
    const auto found = FIndex.find(FoldedName(fileName));
    return found == FIndex.end() ? -1 : static_cast<int>(found->second);
}

void THotfixCache::Append(THotfixFile file)
{
    // A name stored twice keeps the first entry as the one found.
    FIndex.emplace(FoldedName(file.FileName), FEntries.size());
    FEntries.push_back(std::move(file));
}

std::unique_ptr<THotfixFile> THotfixCache::GetFile(const std::string& fileName) const
{
    const int index = Find(fileName);
    if (index < 0)
        return nullptr;
    auto file = std::make_unique<THotfixFile>(FEntries[static_cast<std::size_t>(index)]);
    file->FileName = fileName;
    return file;
}

void THotfixCache::Load()
{
    TStringList lines;
    try {
        auto registry = MachineRegistry();
        // Not created: without the key the read below finds nothing.
        registry->OpenKey(kSettingsKey, false);
        registry->ReadMultiString("Cache", FCacheName, lines);
    } catch (const ERegistryException&) {
        // A value that cannot be read is no listing; the scan reads the files.
        return;
    }
    for (THotfixFile& file : DecodeCacheRecords(lines.Strings()))
        Append(std::move(file));
}

void THotfixCache::SetFile(const std::string& fileName, std::int64_t size, double date,
                           const std::string& version, const std::string& description)
{
    THotfixFile file{fileName, date, size, version, description};
    const int index = Find(fileName);
    if (index < 0)
        Append(std::move(file));
    else
        FEntries[static_cast<std::size_t>(index)] = std::move(file);
}

bool THotfixCache::IsCurrent(const std::string& fileName, std::int64_t size, double date) const
{
    const int index = Find(fileName);
    if (index < 0)
        return false;
    const THotfixFile& entry = FEntries[static_cast<std::size_t>(index)];
    // The store keeps six decimals (under a tenth of a second): the texts, not
    // the numbers, must agree. A time stamp of 0 (none, or one that could not
    // be read) matches nothing, or any file of the same size would pass.
    const std::string stored = FormatCacheDate(entry.FileDate);
    return entry.FileSize == size && stored != FormatCacheDate(0) &&
           stored == FormatCacheDate(date);
}

void THotfixCache::Save()
{
    auto registry = MachineRegistry();
    if (!registry->OpenKey(kCacheKey, true))
        return;
    registry->WriteMultiString("", FCacheName, TStringList(EncodeCacheRecords(FEntries)));
}

bool ClearHotfixCache()
{
    auto registry = MachineRegistry();
    if (!registry->OpenKey(kCacheKey, false)) {
        // Keys open with full access only: a key that reading still finds is
        // there, and this account cannot clear it.
        HKEY found = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCacheKey + 1, 0, KEY_READ, &found) !=
            ERROR_SUCCESS)
            return true;
        RegKey owned(found);
        return false;
    }
    TStringList names;
    registry->GetValueNames(names);
    bool cleared = true;
    for (const std::string& name : names.Strings())
        cleared = registry->DeleteValue(name) && cleared;
    return cleared;
}
