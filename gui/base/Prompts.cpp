#include "Prompts.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "Window.h"
#include "components/BrowseDr.h"

namespace {

TPrompts* GOverride = nullptr;

// The hook of an Explorer-style save dialog: when the user picks another
// filter entry, the default extension becomes that entry's.
UINT_PTR CALLBACK SaveDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_NOTIFY)
        return 0;
    const auto* notification = reinterpret_cast<const OFNOTIFYA*>(lParam);
    if (notification->hdr.code != CDN_TYPECHANGE)
        return 0;
    const auto* request = reinterpret_cast<const TSaveFileRequest*>(notification->lpOFN->lCustData);
    const size_t index = notification->lpOFN->nFilterIndex;
    if (request && index >= 1 && index <= request->FilterExtensions.size())
        SendMessageA(GetParent(dialog), CDM_SETDEFEXT, 0,
                     reinterpret_cast<LPARAM>(request->FilterExtensions[index - 1].c_str()));
    return 0;
}

}  // namespace

TPrompts& Prompts()
{
    static TSystemPrompts systemPrompts;
    return GOverride ? *GOverride : systemPrompts;
}

TPromptsOverride::TPromptsOverride(TPrompts& prompts) : FPrevious(GOverride)
{
    GOverride = &prompts;
}

TPromptsOverride::~TPromptsOverride() { GOverride = FPrevious; }

int TSystemPrompts::MessageBox(HWND owner, const std::string& text, const std::string& caption,
                               UINT flags)
{
    // Qualified: <windows.h> makes this member MessageBoxA, which the bare
    // name would call again until the stack overflows.
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

bool TSystemPrompts::SaveFile(HWND owner, TSaveFileRequest& request)
{
    // The filter's pieces are separated by zero characters and the list ends
    // with two of them (the string's own terminator is the second).
    std::string filter = request.Filter;
    std::replace(filter.begin(), filter.end(), '|', '\0');
    filter.push_back('\0');
    // The dialog writes the chosen name into this buffer; it holds the
    // longest path the dialog accepts.
    std::vector<char> fileName(std::max<size_t>(32768, request.FileName.size() + 1), '\0');
    std::copy(request.FileName.begin(), request.FileName.end(), fileName.begin());

    OPENFILENAMEA dialog{};
    // The size that every version of the dialog accepts (NT 4.0 included).
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = request.Filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(request.FilterIndex);
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = static_cast<DWORD>(fileName.size());
    dialog.lpstrInitialDir = request.InitialDir.empty() ? nullptr : request.InitialDir.c_str();
    dialog.lpstrTitle = request.Title.empty() ? nullptr : request.Title.c_str();
    dialog.lpstrDefExt = request.DefaultExt.empty() ? nullptr : request.DefaultExt.c_str();
    dialog.Flags = request.Options;
    if (!request.FilterExtensions.empty()) {
        dialog.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
        dialog.lpfnHook = SaveDialogHook;
        dialog.lCustData = reinterpret_cast<LPARAM>(&request);
    }
    if (!GetSaveFileNameA(&dialog))
        return false;
    request.FileName = fileName.data();
    request.FilterIndex = static_cast<int>(dialog.nFilterIndex);
    return true;
}

bool TSystemPrompts::BrowseComputer(HWND owner, TBrowseComputerRequest& request)
{
    TBrowseComputerDialog dialog;
    dialog.Title = request.Title;
    if (!dialog.Execute(owner))
        return false;
    request.Computer = dialog.ComputerName();
    return true;
}

bool TSystemPrompts::BrowseFolder(HWND owner, TBrowseFolderRequest& request)
{
    return BrowseFileSystemFolder(owner, request.Title, request.Folder);
}

int TSystemPrompts::ShowModal(TDialog& dialog) { return dialog.RunModal(); }

INT_PTR TSystemPrompts::ShellOpen(HWND owner, const std::string& target,
                                  const std::string& parameters, int showCommand)
{
    const HINSTANCE result =
        ShellExecuteA(owner, "open", target.c_str(),
                      parameters.empty() ? nullptr : parameters.c_str(), nullptr, showCommand);
    return reinterpret_cast<INT_PTR>(result);
}
