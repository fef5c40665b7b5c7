#include "BrowseDr.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <memory>

namespace {

// Item lists handed out by the shell are freed with the task allocator.
struct ItemListFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

// The browser is a COM client; balance whatever initialisation this thread
// already had.
class ComScope {
public:
    ComScope() : FInitialized(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope()
    {
        if (FInitialized)
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool FInitialized;
};

// Selects the folder to start at (the callback's data) once the dialog is up.
int CALLBACK SelectStartFolder(HWND dialog, UINT msg, LPARAM, LPARAM data)
{
    if (msg == BFFM_INITIALIZED && data)
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

}  // namespace

int CALLBACK TBrowseComputerDialog::BrowseCallback(HWND, UINT msg, LPARAM param, LPARAM data)
{
    // A name typed into the edit box that matches no browsed computer still
    // names a computer the user wants: take it and close the dialog.
    if (msg == BFFM_VALIDATEFAILEDA && param)
        reinterpret_cast<TBrowseComputerDialog*>(data)->FTypedName =
            reinterpret_cast<const char*>(param);
    return 0;
}

bool BrowseFileSystemFolder(HWND owner, const std::string& title, std::string& folder)
{
    ComScope com;
    char displayName[MAX_PATH] = {};   // the size the shell writes at most
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.empty() ? nullptr : title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    const std::string start = folder;
    if (!start.empty()) {
        info.lpfn = SelectStartFolder;
        info.lParam = reinterpret_cast<LPARAM>(start.c_str());
    }
    ItemList chosen(SHBrowseForFolderA(&info));
    char path[MAX_PATH] = {};   // the size SHGetPathFromIDList writes at most
    if (!chosen || !SHGetPathFromIDListA(chosen.get(), path))
        return false;
    folder.assign(path, strnlen(path, sizeof path));
    return !folder.empty();
}

bool TBrowseComputerDialog::Execute(HWND owner)
{
    ComScope com;
    FComputerName.clear();
    FTypedName.clear();

    ITEMIDLIST* rootList = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_NETWORK, &rootList)))
        rootList = nullptr;
    ItemList root(rootList);

    char displayName[MAX_PATH] = {};   // the size the shell writes at most
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pidlRoot = root.get();
    info.pszDisplayName = displayName;
    info.lpszTitle = Title.empty() ? nullptr : Title.c_str();
    info.ulFlags = BIF_BROWSEFORCOMPUTER | BIF_EDITBOX | BIF_VALIDATE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);

    ItemList chosen(SHBrowseForFolderA(&info));
    if (chosen)
        FComputerName.assign(displayName, strnlen(displayName, sizeof displayName));
    else
        FComputerName = FTypedName;
    return !FComputerName.empty();
}
