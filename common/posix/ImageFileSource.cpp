#include "ImageFileSource.h"

#include <tsk/libtsk.h>

#include <algorithm>
#include <ctime>

#include "PosixFileSource.h"
#include "TimeZoneRule.h"

namespace {

// Seconds from 1 January 1601 (FILETIME's epoch) to 1 January 1970.
constexpr std::int64_t kEpochDifference = 11644473600;
constexpr std::int64_t kTicksPerSecond = 10000000;
// Reads grow the text by this much at a time, so that a size that a damaged
// file system claims costs no memory before its data is really there.
constexpr std::size_t kReadChunk = std::size_t{1} << 20;

struct TVolumeSystemCloser {
    void operator()(TSK_VS_INFO* volumes) const { tsk_vs_close(volumes); }
};
struct TDirCloser {
    void operator()(TSK_FS_DIR* dir) const { tsk_fs_dir_close(dir); }
};
struct TFileCloser {
    void operator()(TSK_FS_FILE* file) const { tsk_fs_file_close(file); }
};
using TVolumeSystemHandle = std::unique_ptr<TSK_VS_INFO, TVolumeSystemCloser>;
using TDirHandle = std::unique_ptr<TSK_FS_DIR, TDirCloser>;
using TFileHandle = std::unique_ptr<TSK_FS_FILE, TFileCloser>;

// The library's reason for its last failure, on one line; its error state is
// cleared for the next call.
std::string LibraryError()
{
    const char* text = tsk_error_get();
    std::string reason = text ? text : "";
    tsk_error_reset();
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    while (!reason.empty() && reason.back() == ' ')
        reason.pop_back();
    return reason.empty() ? "the image library gives no reason" : reason;
}

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool IsFat(TSK_FS_TYPE_ENUM type)
{
    return type == TSK_FS_TYPE_FAT12 || type == TSK_FS_TYPE_FAT16 || type == TSK_FS_TYPE_FAT32;
}

bool IsDotName(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The names a listing shows: allocated (no deleted entry), not one that the
// library adds of its own (orphan files, the FAT tables).
bool IsListedName(const TSK_FS_NAME& name)
{
    return (name.flags & TSK_FS_NAME_FLAG_ALLOC) != 0 && name.name != nullptr &&
           !IsDotName(name.name) && name.type != TSK_FS_NAME_TYPE_VIRT &&
           name.type != TSK_FS_NAME_TYPE_VIRT_DIR;
}

std::uint64_t FileTimeOfSeconds(std::int64_t unixSeconds, std::uint64_t nanoseconds)
{
    const std::int64_t seconds = unixSeconds + kEpochDifference;
    if (seconds < 0)
        return 0;
    return static_cast<std::uint64_t>(seconds) * kTicksPerSecond + nanoseconds / 100;
}

// Times as they are written: a FAT entry's date and time fields kept as if
// they were UTC.
std::uint64_t StoredFileTime(int year, int month, int day, int hour, int minute, int second)
{
    struct tm fields {};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return FileTimeOfSeconds(timegm(&fields), 0);
}

// The library makes a FAT time into a time_t through this machine's zone;
// that zone gives the fields back, except for a time that the zone skips
// when its clocks go forward. Used only where the entry itself is not found.
std::uint64_t StoredFatTime(std::time_t converted)
{
    struct tm fields {};
    if (converted <= 0 || !localtime_r(&converted, &fields))
        return 0;
    return StoredFileTime(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                          fields.tm_hour, fields.tm_min, fields.tm_sec);
}

// The last-write times of a FAT directory's entries from its own bytes, by
// the short name as the library spells it ("NAME.EXT", a byte outside ASCII
// as "^"), upper-cased.
void ReadFatEntryTimes(const std::string& bytes,
                       std::unordered_map<std::string, std::uint64_t>& times)
{
    constexpr std::size_t kEntrySize = 32;
    for (std::size_t at = 0; at + kEntrySize <= bytes.size(); at += kEntrySize) {
        const auto* entry = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        if (entry[0] == 0x00)
            break;
        // Deleted entries, long-name parts and the volume label have no file.
        if (entry[0] == 0xE5 || (entry[11] & 0x0F) == 0x0F || (entry[11] & 0x08) != 0)
            continue;
        auto part = [&](std::size_t from, std::size_t length) {
            std::string text;
            for (std::size_t i = from; i < from + length; ++i) {
                const unsigned char c = i == 0 && entry[i] == 0x05 ? 0xE5 : entry[i];
                text += c < 0x20 || c >= 0x80 ? '^' : static_cast<char>(c);
            }
            while (!text.empty() && text.back() == ' ')
                text.pop_back();
            return text;
        };
        const std::string base = part(0, 8), extension = part(8, 3);
        const unsigned time = entry[22] | (entry[23] << 8), date = entry[24] | (entry[25] << 8);
        if (date == 0)
            continue;
        times.try_emplace(UpperAscii(extension.empty() ? base : base + "." + extension),
                          StoredFileTime(1980 + (date >> 9), (date >> 5) & 0x0F, date & 0x1F,
                                         time >> 11, (time >> 5) & 0x3F, (time & 0x1F) * 2));
    }
}

// "\WINNT" from "WINNT", "/WINNT/", "\\WINNT\\": one leading separator, none at the end.
std::string InnerPath(const std::string& path)
{
    std::string result;
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t end = path.find_first_of("\\/", start);
        const std::size_t stop = end == std::string::npos ? path.size() : end;
        if (stop > start) {
            result += '\\';
            result.append(path, start, stop - start);
        }
        start = stop + 1;
    }
    return result;
}

}  // namespace

void TDiskImage::TImageCloser::operator()(TSK_IMG_INFO* image) const
{
    tsk_img_close(image);
}

void TDiskImage::TFileSystemCloser::operator()(TSK_FS_INFO* fileSystem) const
{
    tsk_fs_close(fileSystem);
}

TDiskImage::TDiskImage(std::string path) : FPath(std::move(path))
{
    tsk_error_reset();
    FImage.reset(tsk_img_open_utf8_sing(FPath.c_str(), TSK_IMG_TYPE_DETECT, 0));
    if (!FImage)
        throw EImageError(FPath + " cannot be read as a disk image: " + LibraryError());
    TVolumeSystemHandle volumes(tsk_vs_open(FImage.get(), 0, TSK_VS_TYPE_DETECT));
    if (volumes) {
        for (TSK_PNUM_T i = 0; i < volumes->part_count; ++i) {
            const TSK_VS_PART_INFO* part = tsk_vs_part_get(volumes.get(), i);
            if (part && (part->flags & TSK_VS_PART_FLAG_ALLOC) != 0)
                AddVolume(static_cast<std::uint64_t>(part->start) * volumes->block_size);
        }
    }
    // No partition table the library knows (or none with a partition): the
    // image may be a volume of its own.
    if (FVolumes.empty())
        AddVolume(0);
    tsk_error_reset();
}

TDiskImage::~TDiskImage() = default;

void TDiskImage::AddVolume(std::uint64_t offset)
{
    TImageVolume volume;
    volume.Number = static_cast<int>(FVolumes.size()) + 1;
    volume.Offset = offset;
    tsk_error_reset();
    TFileSystemHandle fileSystem(
        tsk_fs_open_img(FImage.get(), static_cast<TSK_OFF_T>(offset), TSK_FS_TYPE_DETECT));
    if (fileSystem) {
        const char* type = tsk_fs_type_toname(fileSystem->ftype);
        volume.FileSystem = UpperAscii(type && *type ? type : "unnamed");
    }
    else
        volume.Problem = LibraryError();
    FVolumes.push_back(std::move(volume));
    FFileSystems.push_back(std::move(fileSystem));
}

TImageFileSource::TImageFileSource(std::shared_ptr<const TDiskImage> image, int volume,
                                   const std::string& windowsDir)
    : FImage(std::move(image)), FVolume(volume), FFileSystem(nullptr),
      FPrefix(FImage->Path() + "@" + std::to_string(volume) + ":"),
      FTimesAsStored(false)
{
    if (volume < 1 || static_cast<std::size_t>(volume) > FImage->FFileSystems.size())
        throw EImageError(FImage->Path() + " has no volume " + std::to_string(volume));
    FFileSystem = FImage->FFileSystems[static_cast<std::size_t>(volume) - 1].get();
    if (!FFileSystem)
        throw EImageError(VolumeName() + " holds no file system that can be read: " +
                          FImage->Volumes()[static_cast<std::size_t>(volume) - 1].Problem);
    FTimesAsStored = IsFat(FFileSystem->ftype);
    SetWindowsDir(windowsDir);
}

void TImageFileSource::SetWindowsDir(const std::string& windowsDir)
{
    FWindowsDir = InnerPath(windowsDir);
    // The directory as the volume spells it.
    std::string dir = FPrefix;
    for (std::size_t start = 1; start < FWindowsDir.size();) {
        const std::size_t end = std::min(FWindowsDir.find('\\', start), FWindowsDir.size());
        dir = PathOf(dir, FWindowsDir.substr(start, end - start));
        start = end + 1;
    }
    FWindowsDir = dir.substr(FPrefix.size());
}

TImageFileSource::~TImageFileSource() = default;

std::string TImageFileSource::VolumeName() const
{
    return FImage->Path() + "@" + std::to_string(FVolume);
}

const std::string& TImageFileSource::FileSystem() const
{
    return FImage->Volumes()[static_cast<std::size_t>(FVolume) - 1].FileSystem;
}

void TImageFileSource::Fail(const std::string& what, const std::string& path) const
{
    throw EImageError(path + " " + what + " (" + FileSystem() + "): " + LibraryError());
}

const TImageFileSource::TDirNames& TImageFileSource::NamesOf(std::uint64_t address,
                                                             const std::string& path) const
{
    const auto cached = FDirs.find(address);
    if (cached != FDirs.end())
        return cached->second;
    tsk_error_reset();
    TDirHandle dir(tsk_fs_dir_open_meta(FFileSystem, address));
    if (!dir)
        Fail("cannot be listed", path);
    TDirNames names;
    const std::size_t count = tsk_fs_dir_getsize(dir.get());
    for (std::size_t i = 0; i < count; ++i) {
        const TSK_FS_NAME* name = tsk_fs_dir_get_name(dir.get(), i);
        if (!name)
            Fail("cannot be listed", path);
        if (!IsListedName(*name))
            continue;
        TName entry;
        entry.Name = name->name;
        if (name->shrt_name && name->shrt_name[0] != '\0')
            entry.ShortName = name->shrt_name;
        entry.Address = name->meta_addr;
        entry.Directory = name->type == TSK_FS_NAME_TYPE_DIR;
        const std::size_t index = names.Names.size();
        names.Exact.try_emplace(entry.Name, index);
        names.Folded.try_emplace(UpperAscii(entry.Name), index);
        if (!entry.ShortName.empty())
            names.Folded.try_emplace(UpperAscii(entry.ShortName), index);
        names.Names.push_back(std::move(entry));
    }
    return FDirs.emplace(address, std::move(names)).first->second;
}

bool TImageFileSource::Resolve(const std::string& path, TName& found) const
{
    if (!path.starts_with(FPrefix))
        return false;
    found = TName();
    found.Address = FFileSystem->root_inum;
    found.Directory = true;
    std::string walked = FPrefix;
    std::size_t start = FPrefix.size();
    while (start < path.size()) {
        const std::size_t end = path.find('\\', start);
        const std::size_t stop = end == std::string::npos ? path.size() : end;
        if (stop > start) {
            if (!found.Directory)
                return false;
            const std::string part = path.substr(start, stop - start);
            const TDirNames& names = NamesOf(found.Address, walked);
            // The exact name first: NTFS may hold two names that differ in case only.
            auto match = names.Exact.find(part);
            if (match == names.Exact.end()) {
                match = names.Folded.find(UpperAscii(part));
                if (match == names.Folded.end())
                    return false;
            }
            const TName& name = names.Names[match->second];
            const std::uint64_t parent = found.Address;
            found = name;
            found.Parent = parent;
            walked += "\\" + name.Name;
        }
        start = stop + 1;
    }
    return true;
}

std::string TImageFileSource::PathOf(const std::string& dir, const std::string& name) const
{
    const std::string joined = dir + "\\" + name;
    TName found;
    if (name.empty() || name.find_first_of("\\/") != std::string::npos ||
        !Resolve(joined, found))
        return joined;
    return dir + "\\" + found.Name;
}

std::uint64_t TImageFileSource::FatTimeOf(const TName& name, std::int64_t converted) const
{
    auto cached = FFatTimes.find(name.Parent);
    if (cached == FFatTimes.end()) {
        tsk_error_reset();
        TFileHandle dir(tsk_fs_file_open_meta(FFileSystem, nullptr, name.Parent));
        const std::string path = FPrefix + " the directory holding " + name.Name;
        if (!dir || !dir->meta)
            Fail("cannot be read", path);
        std::string bytes;
        ReadAll(*dir, std::string::npos, bytes, path);
        cached = FFatTimes.try_emplace(name.Parent).first;
        ReadFatEntryTimes(bytes, cached->second);
    }
    const auto time =
        cached->second.find(UpperAscii(name.ShortName.empty() ? name.Name : name.ShortName));
    return time != cached->second.end() ? time->second : StoredFatTime(static_cast<std::time_t>(converted));
}

TFileEntry TImageFileSource::EntryOf(TSK_FS_FILE& file, const TName& name) const
{
    TFileEntry entry;
    entry.Name = name.Name;
    const TSK_FS_META& meta = *file.meta;
    if (TSK_FS_IS_DIR_META(meta.type))
        entry.Attributes |= kFileAttributeDirectory;
    else
        entry.Size = meta.size > 0 ? static_cast<std::uint64_t>(meta.size) : 0;
    if (FTimesAsStored)
        entry.LastWriteTime = FatTimeOf(name, meta.mtime);
    else
        entry.LastWriteTime =
            FileTimeOfSeconds(meta.mtime, meta.mtime_nano > 0 ? meta.mtime_nano : 0);
    return entry;
}

TLookup TImageFileSource::ListDirectory(const std::string& dir,
                                        std::vector<TFileEntry>& entries) const
{
    entries.clear();
    TName found;
    if (!Resolve(dir, found) || !found.Directory)
        return {TLookup::Absent, {}};
    tsk_error_reset();
    TDirHandle listing(tsk_fs_dir_open_meta(FFileSystem, found.Address));
    if (!listing)
        Fail("cannot be listed", dir);
    const std::size_t count = tsk_fs_dir_getsize(listing.get());
    for (std::size_t i = 0; i < count; ++i) {
        const TSK_FS_NAME* name = tsk_fs_dir_get_name(listing.get(), i);
        if (!name)
            Fail("cannot be listed", dir);
        if (!IsListedName(*name))
            continue;
        TFileHandle file(tsk_fs_dir_get(listing.get(), i));
        if (!file || !file->meta)
            Fail("cannot be read", dir + "\\" + name->name);
        TName listed;
        listed.Name = name->name;
        if (name->shrt_name)
            listed.ShortName = name->shrt_name;
        listed.Parent = found.Address;
        entries.push_back(EntryOf(*file, listed));
    }
    return {};
}

TLookup TImageFileSource::FindFile(const std::string& path, TFileEntry& entry) const
{
    TName found;
    if (!Resolve(path, found))
        return {TLookup::Absent, {}};
    tsk_error_reset();
    TFileHandle file(tsk_fs_file_open_meta(FFileSystem, nullptr, found.Address));
    if (!file || !file->meta)
        Fail("cannot be read", path);
    entry = EntryOf(*file, found);
    return {};
}

bool TImageFileSource::ReadFile(const std::string& path, std::string& bytes,
                                std::size_t limit) const
{
    bytes.clear();
    TName found;
    if (!Resolve(path, found) || found.Directory)
        return false;
    tsk_error_reset();
    TFileHandle file(tsk_fs_file_open_meta(FFileSystem, nullptr, found.Address));
    if (!file || !file->meta)
        Fail("cannot be read", path);
    if (file->meta->type != TSK_FS_META_TYPE_REG)
        return false;
    ReadAll(*file, limit, bytes, path);
    return true;
}

void TImageFileSource::ReadAll(TSK_FS_FILE& file, std::size_t limit, std::string& bytes,
                               const std::string& path) const
{
    bytes.clear();
    const std::size_t size = file.meta->size > 0 ? static_cast<std::size_t>(file.meta->size) : 0;
    const std::size_t wanted = std::min(limit, size);
    while (bytes.size() < wanted) {
        const std::size_t start = bytes.size();
        const std::size_t chunk = std::min(kReadChunk, wanted - start);
        bytes.resize(start + chunk);
        const ssize_t got = tsk_fs_file_read(&file, static_cast<TSK_OFF_T>(start),
                                             bytes.data() + start, chunk,
                                             TSK_FS_FILE_READ_FLAG_NONE);
        if (got < 0) {
            bytes.clear();
            Fail("cannot be read", path);
        }
        bytes.resize(start + static_cast<std::size_t>(got));
        if (got == 0)
            break;
    }
}

double TImageFileSource::LocalDateTime(std::uint64_t lastWriteTime) const
{
    if (FTimesAsStored)
        return UtcFileTimeToZoneDateTime(lastWriteTime, TTimeZoneRule{});
    return PosixLocalDateTime(lastWriteTime);
}
