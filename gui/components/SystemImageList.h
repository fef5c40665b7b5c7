#pragma once
// The shell's system image list of small icons: one list shared by every
// program of the session, which the shell owns. It is handed to list views
// (with LVS_SHAREIMAGELISTS) and never destroyed here.
#include <windows.h>
#include <commctrl.h>

#include <string>

class TSystemImageList {
public:
    TSystemImageList();
    TSystemImageList(const TSystemImageList&) = delete;
    TSystemImageList& operator=(const TSystemImageList&) = delete;

    // Null when the shell gave no list.
    HIMAGELIST Handle() const { return FHandle; }

    // The index of the small icon for the file at Path; for a path that does
    // not exist, the icon by its name and attributes alone. -1 when the shell
    // knows neither (shells before the desktop update ignore the request by
    // name and attributes).
    int IconIndex(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;
    // The index of the small icon of the file's type (its extension), not of
    // the file itself: a look-up that reads nothing of the file. A shell that
    // ignores the request by name and attributes answers for the file at
    // Path. -1 when the shell knows none.
    int TypeIconIndex(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;

private:
    HIMAGELIST FHandle = nullptr;
};
