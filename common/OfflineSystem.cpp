#include "OfflineSystem.h"

namespace {

// Larger than any hive a system of this age can load; a larger file is no
// hive of it.
constexpr std::uint64_t kMaxHiveSize = std::uint64_t{1} << 30;

// The directory's files with their times in the zone of the offline system.
class TZonedFileSource : public TFileSource {
public:
    TZonedFileSource(const TFileSource& files, TTimeZoneRule rule) : FFiles(files), FRule(rule)
    {
    }
    std::string WindowsDir() const override { return FFiles.WindowsDir(); }
    std::string PathOf(const std::string& dir, const std::string& name) const override
    {
        return FFiles.PathOf(dir, name);
    }
    TLookup ListDirectory(const std::string& dir, std::vector<TFileEntry>& entries) const override
    {
        return FFiles.ListDirectory(dir, entries);
    }
    TLookup FindFile(const std::string& path, TFileEntry& entry) const override
    {
        return FFiles.FindFile(path, entry);
    }
    bool ReadFile(const std::string& path, std::string& bytes, std::size_t limit) const override
    {
        return FFiles.ReadFile(path, bytes, limit);
    }
    double LocalDateTime(std::uint64_t lastWriteTime) const override
    {
        return UtcFileTimeToZoneDateTime(lastWriteTime, FRule);
    }

private:
    const TFileSource& FFiles;
    TTimeZoneRule FRule;
};

enum class THiveRead { Read, Missing, Unreadable, LookupFailed };

THiveRead ReadHive(const TFileSource& files, const std::string& path, std::string& bytes,
                   std::string& reason)
{
    TFileEntry entry;
    const TLookup found = files.FindFile(path, entry);
    if (found.Result == TLookup::Failed) {
        reason = found.Reason;
        return THiveRead::LookupFailed;
    }
    if (found.Result == TLookup::Absent || entry.IsDirectory())
        return THiveRead::Missing;
    if (entry.Size > kMaxHiveSize ||
        !files.ReadFile(path, bytes, static_cast<std::size_t>(kMaxHiveSize) + 1) ||
        bytes.size() > kMaxHiveSize)
        return THiveRead::Unreadable;
    return THiveRead::Read;
}

}  // namespace

std::string HivePath(const TFileSource& files, const std::string& hiveName)
{
    const std::string config =
        files.PathOf(files.PathOf(files.WindowsDir(), "system32"), "config");
    return files.PathOf(config, hiveName);
}

TOfflineSystem::TOfflineSystem(std::unique_ptr<TFileSource> files, TTextCodePage codePage)
    : FOwnedFiles(std::move(files)), FFiles(FOwnedFiles.get()),
      FSoftwarePath(HivePath(*FFiles, "software"))
{
    Read(std::move(codePage));
}

TOfflineSystem::TOfflineSystem(const TFileSource& files, TTextCodePage codePage)
    : FFiles(&files), FSoftwarePath(HivePath(files, "software"))
{
    Read(std::move(codePage));
}

void TOfflineSystem::Read(TTextCodePage codePage)
{
    std::string bytes, reason;
    switch (ReadHive(*FFiles, FSoftwarePath, bytes, reason)) {
    case THiveRead::Missing:
        throw EOfflineError("The registry file " + FSoftwarePath + " does not exist");
    case THiveRead::Unreadable:
        throw EOfflineError("The registry file " + FSoftwarePath + " cannot be read");
    case THiveRead::LookupFailed:
        throw EOfflineError("The registry file " + CannotReadText(FSoftwarePath, reason));
    case THiveRead::Read:
        break;
    }
    FSoftware.emplace(std::move(bytes), FSoftwarePath);
    FRegistry = std::make_unique<THiveRegistrySource>(*FSoftware, std::move(codePage));
    if (FSoftware->SequenceNumbersDiffer())
        FWarning = FSoftwarePath +
                   " was saved while changes were pending: its last changes may be missing";

    // The SYSTEM hive only gives the time zone, which the listing can do
    // without: whatever fails there (damage, a crafted file that asks for
    // more memory than there is) counts as a damaged hive and gives none.
    try {
        const std::string systemPath = HivePath(*FFiles, "system");
        std::string systemBytes;
        if (ReadHive(*FFiles, systemPath, systemBytes, reason) == THiveRead::Read)
            FTimeZone = ReadTimeZoneRule(THiveFile(std::move(systemBytes), systemPath));
    } catch (const std::exception&) {
        FTimeZone.reset();
    }
    if (FTimeZone && !FFiles->TimesAsStored())
        FZoned = std::make_unique<TZonedFileSource>(*FFiles, *FTimeZone);
}

TOfflineSystem::~TOfflineSystem() = default;
