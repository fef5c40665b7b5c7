#include "SystemImageList.h"

#include <shellapi.h>

namespace {

// The shell's answer for Path: its image list, and the icon index in Info.
HIMAGELIST SmallIconOf(const char* path, DWORD attributes, UINT extraFlags, SHFILEINFOA& info)
{
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(path, attributes, &info, sizeof info,
                                                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON |
                                                           extraFlags));
}

}  // namespace

TSystemImageList::TSystemImageList()
{
    // Any name gives the list; the Windows directory exists on every system.
    char windows[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    SHFILEINFOA info{};
    if (length > 0 && length < sizeof windows)
        FHandle = SmallIconOf(windows, 0, 0, info);
    if (!FHandle)
        FHandle = SmallIconOf("file.txt", FILE_ATTRIBUTE_NORMAL, SHGFI_USEFILEATTRIBUTES, info);
}

int TSystemImageList::IconIndex(const std::string& path, DWORD attributes) const
{
    SHFILEINFOA info{};
    if (SmallIconOf(path.c_str(), 0, 0, info))
        return info.iIcon;
    // A shell that does not know the flag looks for the file again and fails.
    info = {};
    if (SmallIconOf(path.c_str(), attributes, SHGFI_USEFILEATTRIBUTES, info))
        return info.iIcon;
    return -1;
}

int TSystemImageList::TypeIconIndex(const std::string& path, DWORD attributes) const
{
    SHFILEINFOA info{};
    if (SmallIconOf(path.c_str(), attributes, SHGFI_USEFILEATTRIBUTES, info))
        return info.iIcon;
    return IconIndex(path, attributes);
}
