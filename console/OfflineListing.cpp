#include "OfflineListing.h"

#include <memory>
#include <optional>

#include "RegHive.h"
#include "RegistrySource.h"
#include "TimeZoneRule.h"

namespace {

// Registry files far beyond any real one are not read whole.
constexpr std::size_t kHiveSizeLimit = std::size_t{1} << 31;

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// HKEY_LOCAL_MACHINE of an offline system as far as its SOFTWARE hive holds
// it: paths below "\SOFTWARE\" are found in the hive, any other root is a
// missing key. Texts come as UTF-8, as the hive reader gives them, or as
// Narrow makes them.
class THiveRegistry : public TRegistrySource {
public:
    THiveRegistry(const THiveFile& software, TNarrowText narrow)
        : FHive(software), FNarrow(narrow)
    {
    }

    bool GetKeyNames(const std::string& path, std::vector<std::string>& names) override
    {
        names.clear();
        const std::optional<THiveFile::TKey> key = Open(path);
        if (!key)
            return false;
        names = FHive.SubkeyNames(*key);
        if (FNarrow)
            for (std::string& name : names)
                name = FNarrow(name);
        return true;
    }

    bool ReadValue(const std::string& path, const std::string& name, TRegData& value) override
    {
        const std::optional<THiveFile::TKey> key = Open(path);
        if (!key)
            return false;
        const std::optional<THiveValue> stored = FHive.ReadValue(*key, name);
        if (!stored)
            return false;
        value.Type = stored->Type;
        const bool text =
            stored->Type == kRegSz || stored->Type == kRegExpandSz || stored->Type == kRegMultiSz;
        if (!text)
            value.Data = stored->Data;
        else if (FNarrow)
            value.Data = FNarrow(Utf16LeToUtf8(stored->Data));
        else
            value.Data = Utf16LeToUtf8(stored->Data);
        return true;
    }

    bool OpenSettingsKey(const std::string& path) override { return Open(path).has_value(); }

private:
    std::optional<THiveFile::TKey> Open(const std::string& path) const
    {
        const std::size_t start = path.find_first_not_of('\\');
        if (start == std::string::npos)
            return std::nullopt;
        const std::size_t end = path.find('\\', start);
        if (UpperAscii(path.substr(start, end - start)) != "SOFTWARE")
            return std::nullopt;
        return FHive.OpenKey(end == std::string::npos ? std::string() : path.substr(end));
    }

    const THiveFile& FHive;
    TNarrowText FNarrow;
};

// The files of an offline system with its times in its own time zone.
class TZonedFileSource : public TFileSource {
public:
    TZonedFileSource(const TFileSource& files, const TTimeZoneRule& rule)
        : FFiles(files), FRule(rule)
    {
    }
    std::string WindowsDir() const override { return FFiles.WindowsDir(); }
    std::string PathOf(const std::string& dir, const std::string& name) const override
    {
        return FFiles.PathOf(dir, name);
    }
    bool ListDirectory(const std::string& dir, std::vector<TFileEntry>& entries) const override
    {
        return FFiles.ListDirectory(dir, entries);
    }
    bool FindFile(const std::string& path, TFileEntry& entry) const override
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

// The hive at Path; nothing when the file cannot be read.
std::optional<THiveFile> LoadHive(const TFileSource& files, const std::string& path)
{
    std::string bytes;
    if (!files.ReadFile(path, bytes, kHiveSizeLimit))
        return std::nullopt;
    return THiveFile(std::move(bytes), path);
}

void WarnIfPending(const THiveFile& hive, TLineWriter& warnings)
{
    if (hive.SequenceNumbersDiffer())
        warnings.WriteLine("pscopecl: warning: " + hive.FileName() +
                           " was saved while changes were pending; the last changes may be "
                           "missing.");
}

// The offline system's time zone; nothing without a readable SYSTEM hive
// that names one, and a warning when that hive is damaged.
std::optional<TTimeZoneRule> ReadOfflineTimeZone(const TFileSource& files,
                                                 const std::string& configDir,
                                                 TLineWriter& warnings)
{
    try {
        const std::optional<THiveFile> system = LoadHive(files, files.PathOf(configDir, "system"));
        if (!system)
            return std::nullopt;
        WarnIfPending(*system, warnings);
        return ReadTimeZoneRule(*system);
    } catch (const EHiveError& error) {
        warnings.WriteLine("pscopecl: warning: " + std::string(error.what()) +
                           "; times are shown in this computer's local time.");
        return std::nullopt;
    }
}

}  // namespace

void ReadOfflineHotfixes(const TFileSource& files, const THotfixReadOptions& options,
                         THotfixSink& sink, TLineWriter& output, TLineWriter& warnings,
                         TNarrowText narrow)
{
    const std::string configDir =
        files.PathOf(files.PathOf(files.WindowsDir(), "system32"), "config");
    const std::string softwarePath = files.PathOf(configDir, "software");
    try {
        const std::optional<THiveFile> software = LoadHive(files, softwarePath);
        if (!software)
            ReportError(output, "Cannot read the registry file " + softwarePath + ".", true);
        WarnIfPending(*software, warnings);
        const std::optional<TTimeZoneRule> zone = ReadOfflineTimeZone(files, configDir, warnings);
        std::optional<TZonedFileSource> zoned;
        if (zone)
            zoned.emplace(files, *zone);
        THiveRegistry registry(*software, narrow);
        THotfixReader reader(registry, zoned ? static_cast<const TFileSource&>(*zoned) : files,
                             options);
        const TMachineSettings machine = reader.ReadMachineSettings();
        reader.ReadHotfixes(machine, sink);
    } catch (const EHiveError& error) {
        ReportError(output, std::string(error.what()) + ".", true);
    }
}
