#pragma once
// A disk image read without mounting it: raw (split raw by its first
// segment), E01, VMDK or VHD, its volumes found through a DOS or GPT
// partition table (or the whole image as one volume), and the files of an
// NTFS or FAT volume. Nothing is ever written: the image is opened for
// reading only. This unit alone knows which library reads the image.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "OfflineSystem.h"
#include "TargetAccess.h"

// The image cannot be opened or one of its volumes read; the message names
// the image (and the volume) and carries the library's own reason.
class EImageError : public EOfflineError {
public:
    using EOfflineError::EOfflineError;
};

struct TImageVolume {
    int Number = 0;            // 1, 2 ... in the order of the partition table
    std::uint64_t Offset = 0;  // bytes from the image's start
    std::string FileSystem;    // "NTFS", "FAT16" ...; empty when none is known
    std::string Problem;       // why no file system opened, in the library's words
};

class TDiskImage {
public:
    // Opens Path for reading and every volume's file system; raises
    // EImageError when Path is no image the library reads.
    explicit TDiskImage(std::string path);
    TDiskImage(const TDiskImage&) = delete;
    TDiskImage& operator=(const TDiskImage&) = delete;
    ~TDiskImage();

    const std::string& Path() const { return FPath; }
    const std::vector<TImageVolume>& Volumes() const { return FVolumes; }

private:
    friend class TImageFileSource;
    struct TImageCloser {
        void operator()(struct TSK_IMG_INFO* image) const;
    };
    struct TFileSystemCloser {
        void operator()(struct TSK_FS_INFO* fileSystem) const;
    };
    using TImageHandle = std::unique_ptr<struct TSK_IMG_INFO, TImageCloser>;
    using TFileSystemHandle = std::unique_ptr<struct TSK_FS_INFO, TFileSystemCloser>;

    void AddVolume(std::uint64_t offset);

    std::string FPath;
    TImageHandle FImage;
    std::vector<TImageVolume> FVolumes;
    std::vector<TFileSystemHandle> FFileSystems;   // one per volume, null without one
};

// The files of one volume of an image. Paths are "<image>@<n>:\DIR\NAME"
// (Windows separators inside the volume); every name is looked up without
// regard to case, a FAT volume's short names matching too. A damaged file
// system raises EImageError where a file or directory that exists cannot be
// read, so that damage is never taken for absence.
class TImageFileSource : public TFileSource {
public:
    // WindowsDir: the directory inside the volume, "\WINNT" (or "" for the
    // volume's root).
    TImageFileSource(std::shared_ptr<const TDiskImage> image, int volume,
                     const std::string& windowsDir);
    ~TImageFileSource() override;
    // Another directory of the same volume; what was read of the volume is kept.
    void SetWindowsDir(const std::string& windowsDir);

    std::string WindowsDir() const override { return FPrefix + FWindowsDir; }
    std::string PathOf(const std::string& dir, const std::string& name) const override;
    // Damage found on the way is raised as EImageError, never taken for absence.
    TLookup ListDirectory(const std::string& dir, std::vector<TFileEntry>& entries) const override;
    TLookup FindFile(const std::string& path, TFileEntry& entry) const override;
    bool ReadFile(const std::string& path, std::string& bytes, std::size_t limit) const override;
    // NTFS keeps UTC: this machine's local time (PosixLocalDateTime), which the
    // offline system replaces by its own zone. FAT keeps the system's local
    // time itself: shown as stored.
    double LocalDateTime(std::uint64_t lastWriteTime) const override;
    bool TimesAsStored() const override { return FTimesAsStored; }

    // "<image>@<n>" and the file system, for messages.
    std::string VolumeName() const;
    const std::string& FileSystem() const;

private:
    struct TName {
        std::string Name, ShortName;
        std::uint64_t Address = 0;
        std::uint64_t Parent = 0;   // the directory that lists it
        bool Directory = false;
    };
    struct TDirNames {
        std::vector<TName> Names;
        std::unordered_map<std::string, std::size_t> Exact;
        std::unordered_map<std::string, std::size_t> Folded;   // long and short names
    };
    // The directory's names, read once: the image does not change.
    const TDirNames& NamesOf(std::uint64_t address, const std::string& path) const;
    // The entry a path names, case-insensitively; false when there is none.
    bool Resolve(const std::string& path, TName& found) const;
    TFileEntry EntryOf(struct TSK_FS_FILE& file, const TName& name) const;
    // A FAT entry's time as stored, read from its directory's own entries.
    std::uint64_t FatTimeOf(const TName& name, std::int64_t converted) const;
    // At most Limit bytes of File from its beginning.
    void ReadAll(struct TSK_FS_FILE& file, std::size_t limit, std::string& bytes,
                 const std::string& path) const;
    [[noreturn]] void Fail(const std::string& what, const std::string& path) const;

    std::shared_ptr<const TDiskImage> FImage;
    int FVolume;
    struct TSK_FS_INFO* FFileSystem;
    std::string FPrefix;
    std::string FWindowsDir;
    bool FTimesAsStored;
    mutable std::map<std::uint64_t, TDirNames> FDirs;
    mutable std::map<std::uint64_t, std::unordered_map<std::string, std::uint64_t>> FFatTimes;
};
