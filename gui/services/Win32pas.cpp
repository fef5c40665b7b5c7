#include "Win32pas.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "DateTimePatterns.h"
#include "TargetAccess.h"
#include "ZStrFuncs.h"
#include "ps_common.h"

namespace {

constexpr int kVersionStringCount = 2;

struct TranslationEntry {
    WORD Language;
    WORD CodePage;
};

// The errors of a file that was read and holds no version resource: not a
// program or library, or one without the resource. Any other error is a read
// that failed.
bool IsNoVersionResource(DWORD error)
{
    switch (error) {
    case ERROR_SUCCESS:
    case ERROR_RESOURCE_DATA_NOT_FOUND:
    case ERROR_RESOURCE_TYPE_NOT_FOUND:
    case ERROR_RESOURCE_NAME_NOT_FOUND:
    case ERROR_RESOURCE_LANG_NOT_FOUND:
    case ERROR_BAD_FORMAT:
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_INVALID_DATA:
        return true;
    default:
        return false;
    }
}

}  // namespace

std::string VersionStringPath(WORD language, WORD codePage, const std::string& name)
{
    char block[32];
    std::snprintf(block, sizeof block, "\\StringFileInfo\\%.4x%.4x\\", language, codePage);
    return block + name;
}

bool GetFileVersionStrings(const std::string& fileName, const TStringList& names,
                           TStringList& output, bool* unreadable)
{
    // The two entries exist whatever follows; they are the last two of Output.
    const int first = output.Count();
    for (int entry = 0; entry < kVersionStringCount; ++entry)
        output.Add("");

    // A device's name is not read as a file's: opened, it is the device.
    if (IsDeviceName(fileName.substr(ExtractFilePath(fileName, AnsiLeadByte).size()))) {
        if (unreadable)
            *unreadable = true;
        return false;
    }
    if (unreadable)
        *unreadable = false;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &handle);
    if (size == 0) {
        if (unreadable)
            *unreadable = !IsNoVersionResource(GetLastError());
        return false;
    }
    std::vector<char> info(size);
    if (!GetFileVersionInfoA(fileName.c_str(), 0, size, info.data())) {
        if (unreadable)
            *unreadable = true;
        return false;
    }

    void* table = nullptr;
    UINT tableSize = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &table, &tableSize) ||
        !table || tableSize < sizeof(TranslationEntry))
        return false;
    TranslationEntry translation;
    std::memcpy(&translation, table, sizeof translation);

    const char* const end = info.data() + info.size();
    for (int index = 0; index < kVersionStringCount && index < names.Count(); ++index) {
        const std::string path =
            VersionStringPath(translation.Language, translation.CodePage, names[index]);
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(info.data(), path.c_str(), &value, &length) || !value)
            continue;
        // Up to the value's NUL, and never beyond the buffer.
        const char* text = static_cast<const char*>(value);
        if (text < info.data() || text >= end)
            continue;
        output[first + index].assign(text, strnlen(text, static_cast<size_t>(end - text)));
    }
    return true;
}

bool IsWindowsNT()
{
    static_assert(sizeof(OSVERSIONINFOA) == 148);
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version))
        return false;
#pragma GCC diagnostic pop
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string GetLocalComputerName()
{
    // A name longer than the buffer fails with the size it needs; try once more.
    std::vector<char> name(MAX_PATH + 1, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD size = static_cast<DWORD>(name.size());
        if (GetComputerNameA(name.data(), &size))
            return std::string(name.data(), strnlen(name.data(), name.size()));
        if (GetLastError() != ERROR_BUFFER_OVERFLOW || size <= name.size())
            return {};
        name.assign(size + 1, '\0');
    }
    return {};
}

std::string GetSystemDir()
{
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const UINT length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0)
            return {};
        // A result longer than the buffer is the size that it needs.
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

double Now()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return EncodeDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                          now.wMilliseconds);
}

int CompareDateTime(double a, double b)
{
    if (a < b)
        return -1;
    if (a > b)
        return 1;
    return 0;
}
