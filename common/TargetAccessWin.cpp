#include "TargetAccessWin.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "ZStrFuncs.h"
#include "ps_common.h"

namespace {

TFileEntry EntryOf(const WIN32_FIND_DATAA& found)
{
    TFileEntry entry;
    entry.Name = FoundFileName(found);
    entry.Attributes = found.dwFileAttributes;
    entry.Size = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    entry.LastWriteTime = (std::uint64_t{found.ftLastWriteTime.dwHighDateTime} << 32) |
                          found.ftLastWriteTime.dwLowDateTime;
    return entry;
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : FHandle(handle) {}
    ~FileHandle()
    {
        if (FHandle != INVALID_HANDLE_VALUE)
            CloseHandle(FHandle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != INVALID_HANDLE_VALUE; }

private:
    HANDLE FHandle;
};

// The last part of a path, which names a device if IsDeviceName says so.
std::string LastPart(const std::string& path)
{
    return path.substr(ExtractFilePath(path, AnsiLeadByte).size());
}

// The platform's words for Error, without the line end and full stop that
// its messages carry.
std::string SystemErrorText(DWORD error)
{
    char text[512];
    const DWORD size = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, 0, text, sizeof text, nullptr);
    std::string reason(text, std::min<std::size_t>(size, sizeof text));
    while (!reason.empty() && std::string_view(" \t\r\n.").find(reason.back()) != std::string_view::npos)
        reason.pop_back();
    return reason.empty() ? "error " + std::to_string(error) : reason;
}

// A failed look-up: only these errors say that there is nothing at the path;
// any other (access denied, a network error) is no answer.
TLookup LookupOfError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
        return {TLookup::Absent, {}};
    case ERROR_FILENAME_EXCED_RANGE:
        return TLookup::Failure(kPathTooLong);
    default:
        return TLookup::Failure(SystemErrorText(error));
    }
}

// The ANSI functions take paths shorter than MAX_PATH, the NUL included.
bool TooLong(const std::string& path) { return path.size() >= MAX_PATH; }

}  // namespace

std::string TWin32FileSource::PathOf(const std::string& dir, const std::string& name) const
{
    return AddBackslash(dir, AnsiLeadByte) + name;
}

TLookup TWin32FileSource::ListDirectory(const std::string& dir,
                                        std::vector<TFileEntry>& entries) const
{
    entries.clear();
    WIN32_FIND_DATAA found;
    const std::string pattern = AddBackslash(dir, AnsiLeadByte) + "*.*";
    if (TooLong(pattern))
        return TLookup::Failure(kPathTooLong);
    FindHandle listing(FindFirstFileA(pattern.c_str(), &found));
    if (!listing)
        return LookupOfError(GetLastError());
    do {
        TFileEntry entry = EntryOf(found);
        if (entry.Name != "." && entry.Name != "..")
            entries.push_back(std::move(entry));
    } while (FindNextFileA(listing.Get(), &found));
    // Anything but the listing's end leaves it unfinished (the network gone).
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES)
        return TLookup::Failure(SystemErrorText(error));
    return {};
}

TLookup TWin32FileSource::FindFile(const std::string& path, TFileEntry& entry) const
{
    // Wildcards would match other files: such a name names none.
    if (path.find_first_of("*?") != std::string::npos)
        return {TLookup::Absent, {}};
    if (TooLong(path))
        return TLookup::Failure(kPathTooLong);
    const std::string name = LastPart(path);
    if (IsDeviceName(name)) {
        // Looked up by its name the device would answer: the directory's
        // own entry of that name is found in its listing instead.
        std::vector<TFileEntry> entries;
        const TLookup listed = ListDirectory(path.substr(0, path.size() - name.size()), entries);
        for (TFileEntry& candidate : entries)
            if (lstrcmpiA(candidate.Name.c_str(), name.c_str()) == 0) {
                entry = std::move(candidate);
                return {};
            }
        return listed.Result == TLookup::Failed ? listed : TLookup{TLookup::Absent, {}};
    }
    WIN32_FIND_DATAA found;
    FindHandle listing(FindFirstFileA(path.c_str(), &found));
    if (!listing)
        return LookupOfError(GetLastError());
    entry = EntryOf(found);
    return {};
}

bool TWin32FileSource::ReadFile(const std::string& path, std::string& bytes,
                                std::size_t limit) const
{
    bytes.clear();
    // A device's name is not readable as a file's; disk files only.
    if (IsDeviceName(LastPart(path)))
        return false;
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file || GetFileType(file.Get()) != FILE_TYPE_DISK)
        return false;
    constexpr std::size_t kChunk = 65536;
    while (bytes.size() < limit) {
        const std::size_t start = bytes.size();
        const DWORD wanted = static_cast<DWORD>(std::min(kChunk, limit - start));
        bytes.resize(start + wanted);
        DWORD read = 0;
        if (!::ReadFile(file.Get(), bytes.data() + start, wanted, &read, nullptr)) {
            bytes.clear();
            return false;
        }
        bytes.resize(start + read);
        if (read == 0)
            break;
    }
    return true;
}

double TWin32FileSource::LocalDateTime(std::uint64_t lastWriteTime) const
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(lastWriteTime);
    time.dwHighDateTime = static_cast<DWORD>(lastWriteTime >> 32);
    return FileTimeToDateTime(time);
}

namespace {

std::wstring WideOf(const std::string& text, UINT codePage)
{
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string AnsiOf(const std::wstring& wide)
{
    if (wide.empty())
        return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
    return text;
}

// UTF-16LE bytes as the platform's wide characters, and back.
std::wstring WideOfUtf16Le(const std::string& bytes)
{
    std::wstring wide(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < wide.size(); ++i)
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return wide;
}

std::string Utf16LeOfWide(const std::wstring& wide)
{
    std::string bytes;
    bytes.reserve(wide.size() * 2);
    for (wchar_t unit : wide) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>((unit >> 8) & 0xFF);
    }
    return bytes;
}

bool IsAscii(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

}  // namespace

TTextCodePage AnsiCodePage()
{
    // Through UTF-16, which every version of the platform converts from and
    // to. ASCII is the same in every ANSI code page and in UTF-8, and it is
    // nearly all a registry holds: it passes unconverted.
    return {[](const std::string& utf8) {
                return IsAscii(utf8) ? utf8 : AnsiOf(WideOfUtf16Le(Utf8ToUtf16Le(utf8)));
            },
            [](const std::string& text) {
                return IsAscii(text) ? text
                                     : Utf16LeToUtf8(Utf16LeOfWide(WideOf(text, CP_ACP)));
            }};
}

std::unique_ptr<TOfflineSystem> OpenOfflineSystem(const std::string& target)
{
    return std::make_unique<TOfflineSystem>(OpenTargetFiles(target), AnsiCodePage());
}

std::string OfflineWindowsDir(const std::string& path)
{
    std::string dir = path;
    while (dir.size() > 3 && (dir.back() == '\\' || dir.back() == '/'))
        dir.pop_back();
    return dir;
}

std::unique_ptr<TFileSource> OpenTargetFiles(const std::string& target)
{
    if (target.empty())
        return std::make_unique<TWin32FileSource>(LocalWindowsDirectory());
    if (IsOfflineTarget(target))
        return std::make_unique<TWin32FileSource>(OfflineWindowsDir(target));
    return std::make_unique<TWin32FileSource>(target + "\\ADMIN$");
}
