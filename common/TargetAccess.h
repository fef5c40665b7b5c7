#pragma once
// The files of a target system as plain values: what the hotfix reading and
// the verification need of the Windows directory of a live computer (local,
// or remote through its ADMIN$ share), of an offline Windows directory, or of
// a disk mounted on Linux. Each platform layer implements TFileSource.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// File attribute bits, numbered as the platform numbers them.
inline constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeSystem = 0x04;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;

struct TFileEntry {
    std::string Name;
    std::uint32_t Attributes = 0;
    std::uint64_t Size = 0;
    // UTC, in 100-nanosecond units since 1 January 1601 (a FILETIME).
    std::uint64_t LastWriteTime = 0;

    bool IsDirectory() const { return (Attributes & kFileAttributeDirectory) != 0; }
};

// What a look-up on the target found. Failed is no answer at all (access
// denied, the network gone, a path longer than the platform takes): nothing
// may be concluded from it about the file, least of all that it is absent.
struct TLookup {
    enum TResult { Found, Absent, Failed };
    TResult Result = Found;
    std::string Reason;   // with Failed: the platform's words, or kPathTooLong

    static TLookup Failure(std::string reason) { return {Failed, std::move(reason)}; }
};

// The reason of a path longer than the platform takes.
inline constexpr const char* kPathTooLong = "path too long";

// "<Path> cannot be listed: <reason>", "<Path> cannot be read: <reason>".
std::string CannotListText(const std::string& path, const std::string& reason);
std::string CannotReadText(const std::string& path, const std::string& reason);

class TFileSource {
public:
    virtual ~TFileSource() = default;

    // The target's Windows directory as this program reaches it ("C:\WINNT",
    // "\\NAME\ADMIN$", "E:\WINNT", "/mnt/nt4/WINNT"), without a final separator.
    virtual std::string WindowsDir() const = 0;
    // Dir and Name joined by the platform's separator. Where names keep their
    // case (Linux), an existing entry of Dir that differs from Name only in
    // case is found and its own name used.
    virtual std::string PathOf(const std::string& dir, const std::string& name) const = 0;
    // The entries of Dir in the order the file system returns them, "." and
    // ".." left out; Absent when there is no such directory. A listing that
    // fails part-way keeps the entries read before.
    virtual TLookup ListDirectory(const std::string& dir, std::vector<TFileEntry>& entries) const = 0;
    // One entry by path.
    virtual TLookup FindFile(const std::string& path, TFileEntry& entry) const = 0;
    // At most Limit bytes from the beginning of the file; false when it
    // cannot be read.
    virtual bool ReadFile(const std::string& path, std::string& bytes, std::size_t limit) const = 0;
    // A last-write time as a date-time value in the target's local time, at
    // the two-second resolution of a DOS time; 0 when it has no DOS form.
    virtual double LocalDateTime(std::uint64_t lastWriteTime) const = 0;
    // True where the file system keeps the target's local time itself (FAT):
    // LastWriteTime then holds those fields as if they were UTC, and
    // LocalDateTime shows them as stored, with no zone applied.
    virtual bool TimesAsStored() const { return false; }
};

// A target as the user names it: empty for the local computer, "\\NAME" for a
// computer, any other text is the path of an offline Windows directory. A
// name holding ":", "/" or a "\" after its leading backslashes is a path,
// since no computer name can hold one.
bool IsOfflineTarget(const std::string& target);

// One name of a directory entry that a target's own data (a script, a hive)
// gives: not empty, not "." or "..", without ":", "/" or "\". Anything else
// would lead out of the directory it is joined to.
bool IsPlainFileName(std::string_view name);
// A name that Windows takes for a device wherever it stands ("prn", "con",
// "aux", "nul", "com1" to "com9", "lpt1" to "lpt9", in any case, with any
// extension): opened by that name, it is the device, not the file.
bool IsDeviceName(std::string_view name);
