#include "GuiTest.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace {

struct WindowDcReleaser {
    HWND Window;
    void operator()(HDC dc) const { ReleaseDC(Window, dc); }
};
struct MemoryDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

POINT CentreOf(HWND control)
{
    const SIZE size = ClientSize(control);
    return {size.cx / 2, size.cy / 2};
}

// The build tree as a path that Wine resolves (the Z: drive is the Linux root).
std::string BuildTreePath()
{
    const char* binary = std::getenv("PS_BINARY_DIR");
    std::string path = binary && *binary ? binary : ".";
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

struct EnumSearch {
    std::string Text;
    const char* ClassName;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchText(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<EnumSearch*>(data);
    if (TextOf(window) != search.Text)
        return TRUE;
    if (search.ClassName) {
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (lstrcmpiA(className, search.ClassName) != 0)
            return TRUE;
    }
    search.Found = window;
    return FALSE;
}

// The dialog of the scripted modal showing in progress, closed by the timer
// when its script left it open.
TDialog* GOpenDialog = nullptr;
int* GLeftOpen = nullptr;

void CALLBACK CloseLeftOpenDialog(HWND, UINT, UINT_PTR, DWORD)
{
    if (GOpenDialog && GOpenDialog->Modal() && GOpenDialog->ModalResult() == 0) {
        ++*GLeftOpen;
        GOpenDialog->SetModalResult(IDCANCEL);
    }
}

// The common controls (progress bar, list view ...) the windows under test use.
const bool GCommonControls = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
}();

}  // namespace

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        Application().ProcessMessages();
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpMessages(DWORD forMs)
{
    const DWORD start = GetTickCount();
    do {
        Application().ProcessMessages();
        if (forMs)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < forMs);
    Application().ProcessMessages();
}

HWND FindControl(HWND parent, int id)
{
    if (HWND direct = GetDlgItem(parent, id))
        return direct;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (HWND found = FindControl(child, id))
            return found;
    return nullptr;
}

HWND FindControlByText(HWND parent, const std::string& text, const char* className)
{
    EnumSearch search{text, className};
    EnumChildWindows(parent, MatchText, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::string TextOf(HWND window) { return GetWindowTextString(window); }

void PressKey(UINT virtualKey, HWND target)
{
    HWND window = target;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, 0)) << 16;
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | scan);
    PostMessageA(window, WM_KEYUP, virtualKey, 1 | scan | (1LL << 30) | (1LL << 31));
    PumpMessages();
}

void MouseDown(HWND control, int x, int y, UINT message)
{
    const WPARAM keys = message == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON;
    PostMessageA(control, message, keys, MAKELPARAM(x, y));
    PumpMessages();
}

void MouseUp(HWND control, int x, int y, UINT message)
{
    PostMessageA(control, message, 0, MAKELPARAM(x, y));
    PumpMessages();
}

void ClickControl(HWND control)
{
    const POINT centre = CentreOf(control);
    MouseDown(control, centre.x, centre.y);
    MouseUp(control, centre.x, centre.y);
}

void ClickListHeader(HWND list, int column)
{
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = column;
    SendMessageA(GetParent(list), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

std::string SaveWindowShot(HWND window, const std::string& name)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(50);
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return {};

    const std::unique_ptr<std::remove_pointer_t<HDC>, WindowDcReleaser> windowDc(
        GetWindowDC(window), WindowDcReleaser{window});
    const MemoryDc memoryDc(CreateCompatibleDC(windowDc.get()));
    const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(windowDc.get(), width, height));
    const HGDIOBJ previous = SelectObject(memoryDc.get(), bitmap.get());
    BitBlt(memoryDc.get(), 0, 0, width, height, windowDc.get(), 0, 0, SRCCOPY);
    SelectObject(memoryDc.get(), previous);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    std::vector<char> pixels(stride * static_cast<size_t>(height));
    if (!GetDIBits(memoryDc.get(), bitmap.get(), 0, static_cast<UINT>(height), pixels.data(),
                   reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
        return {};

    const std::string directory = BuildTreePath() + "\\screenshots";
    CreateDirectoryA(directory.c_str(), nullptr);
    const std::string path = directory + "\\" + name + ".bmp";
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return out ? path : std::string();
}

COLORREF ClientPixel(HWND window, int x, int y)
{
    const std::unique_ptr<std::remove_pointer_t<HDC>, WindowDcReleaser> dc(GetDC(window),
                                                                           WindowDcReleaser{window});
    return GetPixel(dc.get(), x, y);
}

// ---------------------------------------------------------------------------

TScriptedPrompts::TScriptedPrompts() : FOverride(*this) {}
TScriptedPrompts::~TScriptedPrompts() = default;

int TScriptedPrompts::MessageBox(HWND owner, const std::string& text, const std::string& caption,
                                 UINT flags)
{
    Messages.push_back({owner, text, caption, flags});
    if (!MessageAnswers.empty()) {
        const int answer = MessageAnswers.front();
        MessageAnswers.pop_front();
        return answer;
    }
    switch (flags & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
    }
}

bool TScriptedPrompts::SaveFile(HWND, TSaveFileRequest& request)
{
    SaveFileRequests.push_back(request);
    if (SaveFileAnswers.empty())
        return false;
    const auto answer = SaveFileAnswers.front();
    SaveFileAnswers.pop_front();
    if (!answer)
        return false;
    request.FileName = *answer;
    if (!SaveFileFilterIndexes.empty()) {
        request.FilterIndex = SaveFileFilterIndexes.front();
        SaveFileFilterIndexes.pop_front();
    }
    return true;
}

bool TScriptedPrompts::BrowseComputer(HWND, TBrowseComputerRequest& request)
{
    BrowseRequests.push_back(request);
    if (BrowseAnswers.empty())
        return false;
    const auto answer = BrowseAnswers.front();
    BrowseAnswers.pop_front();
    if (!answer)
        return false;
    request.Computer = *answer;
    return true;
}

bool TScriptedPrompts::BrowseFolder(HWND, TBrowseFolderRequest& request)
{
    FolderRequests.push_back(request);
    const auto answer = FolderAnswers.empty() ? std::nullopt : FolderAnswers.front();
    if (!FolderAnswers.empty())
        FolderAnswers.pop_front();
    request.Folder = answer.value_or(request.Folder);
    return answer.has_value();
}

int TScriptedPrompts::ShowModal(TDialog& dialog)
{
    DialogsShown.push_back(dialog.Caption());
    std::function<void(TDialog&)> script;
    if (!DialogScripts.empty()) {
        script = std::move(DialogScripts.front());
        DialogScripts.pop_front();
    } else {
        script = [](TDialog& shown) { shown.SetModalResult(IDCANCEL); };
    }
    TDialog* outerDialog = GOpenDialog;
    int* outerCount = GLeftOpen;
    GOpenDialog = &dialog;
    GLeftOpen = &DialogsLeftOpen;
    const UINT_PTR timer = SetTimer(nullptr, 0, kGuiTimeLimitMs, CloseLeftOpenDialog);
    int result = 0;
    try {
        result = dialog.RunModal(script);
    } catch (...) {
        KillTimer(nullptr, timer);
        GOpenDialog = outerDialog;
        GLeftOpen = outerCount;
        throw;
    }
    KillTimer(nullptr, timer);
    GOpenDialog = outerDialog;
    GLeftOpen = outerCount;
    return result;
}

INT_PTR TScriptedPrompts::ShellOpen(HWND owner, const std::string& target,
                                    const std::string& parameters, int showCommand)
{
    ShellOpens.push_back({owner, target, parameters, showCommand});
    return ShellOpenResult;
}

std::function<void(TDialog&)> ClickButtonScript(int id)
{
    return [id](TDialog& dialog) { ClickControl(dialog.Item(id)); };
}

std::function<void(TDialog&)> PressKeyScript(UINT virtualKey)
{
    return [virtualKey](TDialog& dialog) { PressKey(virtualKey, dialog.Handle()); };
}
