#pragma once
// An offline Windows directory opened for reading: the registry from its
// SOFTWARE hive, its files with their times in the system's own local time
// when its SYSTEM hive gives the time zone. Nothing is ever written to it.
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "HiveSource.h"
#include "TargetAccess.h"
#include "TimeZoneRule.h"

// The registry file of an offline system is missing or cannot be read.
class EOfflineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TOfflineSystem {
public:
    // Files: the offline Windows directory (WindowsDir() is its path). Reads
    // the hives at once: a missing or unreadable SOFTWARE hive raises
    // EOfflineError, a damaged one EHiveError. A SYSTEM hive that is missing,
    // damaged or without a time zone leaves the viewer's local time.
    TOfflineSystem(std::unique_ptr<TFileSource> files, TTextCodePage codePage);
    // The same with files that the caller keeps for the object's lifetime.
    TOfflineSystem(const TFileSource& files, TTextCodePage codePage);
    TOfflineSystem(const TOfflineSystem&) = delete;
    TOfflineSystem& operator=(const TOfflineSystem&) = delete;
    ~TOfflineSystem();

    TRegistrySource& Registry() { return *FRegistry; }
    // The directory's files; LocalDateTime in the offline system's local time
    // when its time zone is known, else in the viewer's.
    const TFileSource& Files() const { return FZoned ? *FZoned : *FFiles; }
    bool HasTimeZone() const { return FTimeZone.has_value(); }
    // The file system keeps local times (FAT): they are shown as stored and
    // the time zone, if any, is not applied to them.
    bool TimesAsStored() const { return FFiles->TimesAsStored(); }
    const std::optional<TTimeZoneRule>& TimeZone() const { return FTimeZone; }
    // "... was saved while changes were pending ..." when the SOFTWARE hive's
    // sequence numbers differ; empty otherwise.
    const std::string& Warning() const { return FWarning; }
    const std::string& SoftwareHivePath() const { return FSoftwarePath; }

private:
    void Read(TTextCodePage codePage);

    std::unique_ptr<TFileSource> FOwnedFiles;
    const TFileSource* FFiles;
    std::unique_ptr<TFileSource> FZoned;
    std::string FSoftwarePath;
    std::optional<THiveFile> FSoftware;
    std::unique_ptr<THiveRegistrySource> FRegistry;
    std::optional<TTimeZoneRule> FTimeZone;
    std::string FWarning;
};

// The path of a hive file ("software", "system") below Files' Windows directory.
std::string HivePath(const TFileSource& files, const std::string& hiveName);
