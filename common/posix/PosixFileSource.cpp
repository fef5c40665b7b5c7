#include "PosixFileSource.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "DateTimePatterns.h"

namespace {

// Seconds from 1 January 1601 (FILETIME's epoch) to 1 January 1970.
constexpr std::int64_t kEpochDifference = 11644473600;
constexpr std::int64_t kTicksPerSecond = 10000000;

class DirHandle {
public:
    explicit DirHandle(DIR* dir) : FDir(dir) {}
    ~DirHandle()
    {
        if (FDir)
            closedir(FDir);
    }
    DirHandle(const DirHandle&) = delete;
    DirHandle& operator=(const DirHandle&) = delete;
    DIR* Get() const { return FDir; }
    explicit operator bool() const { return FDir != nullptr; }

private:
    DIR* FDir;
};

class FdHandle {
public:
    explicit FdHandle(int fd) : FFd(fd) {}
    ~FdHandle()
    {
        if (FFd >= 0)
            close(FFd);
    }
    FdHandle(const FdHandle&) = delete;
    FdHandle& operator=(const FdHandle&) = delete;
    int Get() const { return FFd; }
    explicit operator bool() const { return FFd >= 0; }

private:
    int FFd;
};

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string Joined(const std::string& dir, const std::string& name)
{
    if (dir.empty() || dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

bool IsDotEntry(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

std::uint64_t FileTimeOf(const struct timespec& time)
{
    const std::int64_t seconds = static_cast<std::int64_t>(time.tv_sec) + kEpochDifference;
    if (seconds < 0)
        return 0;
    return static_cast<std::uint64_t>(seconds) * kTicksPerSecond +
           static_cast<std::uint64_t>(time.tv_nsec) / 100;
}

// What a Windows listing tells of an entry, as far as a Linux file system
// keeps it: a directory, or a file that nobody may write.
TFileEntry EntryOf(std::string name, const struct stat& status)
{
    TFileEntry entry;
    entry.Name = std::move(name);
    if (S_ISDIR(status.st_mode))
        entry.Attributes |= kFileAttributeDirectory;
    else
        entry.Size = static_cast<std::uint64_t>(status.st_size);
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        entry.Attributes |= kFileAttributeReadOnly;
    entry.LastWriteTime = FileTimeOf(status.st_mtim);
    return entry;
}

// A failed call's error as a look-up: only these say that nothing is there.
TLookup LookupOfErrno(int error)
{
    if (error == ENOENT || error == ENOTDIR)
        return {TLookup::Absent, {}};
    if (error == ENAMETOOLONG)
        return TLookup::Failure(kPathTooLong);
    return TLookup::Failure(std::strerror(error));
}

}  // namespace

TPosixFileSource::TPosixFileSource(std::string windowsDir) : FWindowsDir(std::move(windowsDir))
{
    while (FWindowsDir.size() > 1 && FWindowsDir.back() == '/')
        FWindowsDir.pop_back();
}

const TPosixFileSource::TDirNames& TPosixFileSource::NamesOf(const std::string& dir) const
{
    auto [found, added] = FDirs.try_emplace(dir);
    TDirNames& names = found->second;
    if (!added)
        return names;
    DirHandle listing(opendir(dir.empty() ? "." : dir.c_str()));
    if (!listing)
        return names;
    names.Listed = true;
    while (const dirent* item = readdir(listing.Get())) {
        if (IsDotEntry(item->d_name))
            continue;
        std::string name = item->d_name;
        if (!names.Folded.try_emplace(UpperAscii(name), names.Names.size()).second)
            names.CaseTwins.insert(std::move(name));
        else
            names.Names.push_back(std::move(name));
    }
    return names;
}

std::string TPosixFileSource::PathOf(const std::string& dir, const std::string& name) const
{
    std::string path = Joined(dir, name);
    if (name.empty() || name.find('/') != std::string::npos)
        return path;
    const TDirNames& names = NamesOf(dir);
    if (!names.Listed) {
        // A directory that can be passed but not read: the name as given.
        return path;
    }
    const auto match = names.Folded.find(UpperAscii(name));
    if (match == names.Folded.end() || names.CaseTwins.count(name) != 0)
        return path;
    return Joined(dir, names.Names[match->second]);
}

TLookup TPosixFileSource::ListDirectory(const std::string& dir,
                                        std::vector<TFileEntry>& entries) const
{
    entries.clear();
    DirHandle listing(opendir(dir.c_str()));
    if (!listing)
        return LookupOfErrno(errno);
    const int dirFd = dirfd(listing.Get());
    struct stat status;
    TLookup result;
    for (;;) {
        errno = 0;
        const dirent* item = readdir(listing.Get());
        if (!item)
            break;
        if (IsDotEntry(item->d_name))
            continue;
        // A link counts as what it leads to; one that leads nowhere as itself.
        if (fstatat(dirFd, item->d_name, &status, 0) != 0 &&
            fstatat(dirFd, item->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
            // An entry that cannot be looked at leaves the listing unfinished.
            result = TLookup::Failure(item->d_name + (": " + std::string(std::strerror(errno))));
            continue;
        }
        entries.push_back(EntryOf(item->d_name, status));
    }
    if (errno != 0)
        return TLookup::Failure(std::strerror(errno));
    return result;
}

TLookup TPosixFileSource::FindFile(const std::string& path, TFileEntry& entry) const
{
    struct stat status;
    if (path.empty())
        return {TLookup::Absent, {}};
    if (stat(path.c_str(), &status) != 0)
        return LookupOfErrno(errno);
    const std::size_t slash = path.find_last_of('/');
    entry = EntryOf(slash == std::string::npos ? path : path.substr(slash + 1), status);
    return {};
}

bool TPosixFileSource::ReadFile(const std::string& path, std::string& bytes,
                                std::size_t limit) const
{
    bytes.clear();
    // Regular files only: a link is not followed, and a FIFO or device (which
    // an image can hold under any name) is neither waited for nor read.
    FdHandle file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    struct stat status;
    if (!file || fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    // Room for the whole file at once spares growing the text again and again.
    constexpr std::size_t kChunk = 65536;
    if (status.st_size > 0)
        bytes.reserve(std::min(limit, static_cast<std::size_t>(status.st_size) + kChunk));
    while (bytes.size() < limit) {
        const std::size_t start = bytes.size();
        const std::size_t wanted = std::min(kChunk, limit - start);
        bytes.resize(start + wanted);
        const ssize_t got = read(file.Get(), bytes.data() + start, wanted);
        if (got < 0 && errno == EINTR) {
            bytes.resize(start);
            continue;
        }
        if (got < 0) {
            bytes.clear();
            return false;
        }
        bytes.resize(start + static_cast<std::size_t>(got));
        if (got == 0)
            break;
    }
    return true;
}

double TPosixFileSource::LocalDateTime(std::uint64_t lastWriteTime) const
{
    return PosixLocalDateTime(lastWriteTime);
}

double PosixLocalDateTime(std::uint64_t lastWriteTime)
{
    const std::time_t seconds =
        static_cast<std::time_t>(lastWriteTime / kTicksPerSecond) - kEpochDifference;
    struct tm local {};
    if (!localtime_r(&seconds, &local))
        return 0;
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107)
        return 0;
    // A DOS time keeps even seconds only; a leap second counts as 58.
    const int second = std::min(local.tm_sec, 59) & ~1;
    return EncodeDateTime(year, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                          second);
}
