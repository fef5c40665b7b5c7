#include "UrlLabel.h"

#include <windowsx.h>

#include <array>
#include <cstring>
#include <stdexcept>

#include "Prompts.h"
#include "ps_dialogs_res.h"

namespace {

// A pointing hand for systems without the system's own hand cursor:
// X black, . white, blank transparent; the hot spot is the fingertip.
constexpr std::array<const char*, 17> kHandPicture = {
    "     XX          ",
    "    X..X         ",
    "    X..X         ",
    "    X..X         ",
    "    X..XXX       ",
    "    X..X..XXX    ",
    "    X..X..X..XX  ",
    " XX X..X..X..X.X ",
    "X..XX..........X ",
    "X...X..........X ",
    " X.............X ",
    "  X............X ",
    "  X...........X  ",
    "   X..........X  ",
    "   X.........X   ",
    "    X........X   ",
    "    XXXXXXXXXX   ",
};

CursorHandle CreateHandCursor()
{
    const int width = GetSystemMetrics(SM_CXCURSOR);
    const int height = GetSystemMetrics(SM_CYCURSOR);
    const int stride = ((width + 15) / 16) * 2;  // rows of whole words
    std::vector<BYTE> andMask(static_cast<size_t>(stride * height), 0xFF);
    std::vector<BYTE> xorMask(static_cast<size_t>(stride * height), 0x00);
    for (int y = 0; y < height && y < static_cast<int>(kHandPicture.size()); ++y) {
        const char* row = kHandPicture[static_cast<size_t>(y)];
        for (int x = 0; x < width && row[x]; ++x) {
            const size_t byte = static_cast<size_t>(y * stride + x / 8);
            const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
            if (row[x] == ' ')
                continue;
            andMask[byte] &= static_cast<BYTE>(~bit);
            if (row[x] == '.')
                xorMask[byte] |= bit;
        }
    }
    return CursorHandle(CreateCursor(GetModuleHandleA(nullptr), 5, 0, width, height,
                                     andMask.data(), xorMask.data()));
}

struct TClipboard {
    explicit TClipboard(HWND owner)
    {
        if (!OpenClipboard(owner))
            throw std::runtime_error("Cannot open the clipboard.");
    }
    ~TClipboard() { CloseClipboard(); }
    TClipboard(const TClipboard&) = delete;
    TClipboard& operator=(const TClipboard&) = delete;
};

struct GlobalMemoryDeleter {
    void operator()(void* memory) const { GlobalFree(memory); }
};

}  // namespace

void CopyTextToClipboard(HWND owner, const std::string& text)
{
    TClipboard clipboard(owner);
    EmptyClipboard();
    std::unique_ptr<void, GlobalMemoryDeleter> memory(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    if (!memory)
        throw std::runtime_error("Not enough memory for the clipboard.");
    if (void* data = GlobalLock(memory.get())) {
        std::memcpy(data, text.c_str(), text.size() + 1);
        GlobalUnlock(memory.get());
    }
    // From here on the clipboard owns the memory.
    if (!SetClipboardData(CF_TEXT, memory.get()))
        throw std::runtime_error("Cannot put the text on the clipboard.");
    memory.release();
}

void TUrlLabel::Attach(HWND label)
{
    Subclass(label);
    // The system's hand cursor is missing before Windows 98 and 2000.
    FHandCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
    if (!FHandCursor) {
        FOwnHandCursor = CreateHandCursor();
        FHandCursor = FOwnHandCursor ? FOwnHandCursor.get() : LoadCursorA(nullptr, IDC_ARROW);
    }
    UpdateFont();
    FitToText();
    InvalidateRect(label, nullptr, TRUE);
}

void TUrlLabel::SetCaption(const std::string& caption)
{
    SetWindowTextString(Handle(), caption);
}

void TUrlLabel::OpenLocation()
{
    Prompts().ShellOpen(GetParent(Handle()), Target());
}

void TUrlLabel::CopyLinkLocation() { CopyTextToClipboard(Handle(), Target()); }

MenuHandle TUrlLabel::CreateContextMenu() const
{
    MenuHandle menu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_URLLABEL)));
    if (!menu)
        throw std::runtime_error("The context menu of the link is missing.");
    SetMenuDefaultItem(GetSubMenu(menu.get(), 0), IDM_OPENLOCATION, FALSE);
    return menu;
}

void TUrlLabel::UpdateFont()
{
    HFONT font = reinterpret_cast<HFONT>(CallOriginal(WM_GETFONT, 0, 0));
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA description{};
    GetObjectA(font, sizeof description, &description);
    description.lfUnderline = TRUE;
    FFont.reset(CreateFontIndirectA(&description));
}

void TUrlLabel::FitToText()
{
    HDC dc = GetDC(Handle());
    const HGDIOBJ previous = SelectObject(dc, FFont.get());
    const std::string caption = Caption();
    RECT text{0, 0, 0, 0};
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(Handle(), dc);
    RECT bounds{};
    GetClientRect(Handle(), &bounds);
    SetWindowPos(Handle(), nullptr, 0, 0, text.right + 1, bounds.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TUrlLabel::Paint()
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(Handle(), &paint);
    RECT bounds{};
    GetClientRect(Handle(), &bounds);
    // The parent's background, as for any static control.
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(Handle()), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(Handle())));
    FillRect(dc, &bounds, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    const HGDIOBJ previous = SelectObject(dc, FFont.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TextColor());
    const std::string caption = Caption();
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &bounds,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
    EndPaint(Handle(), &paint);
}

void TUrlLabel::EndPress()
{
    FPressed = false;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TUrlLabel::ShowContextMenu(LPARAM position)
{
    POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: below the label.
        RECT bounds{};
        GetWindowRect(Handle(), &bounds);
        point = {bounds.left, bounds.bottom};
    }
    const MenuHandle menu = CreateContextMenu();
    const int command =
        TrackPopupMenu(GetSubMenu(menu.get(), 0), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                       point.x, point.y, 0, Handle(), nullptr);
    switch (command) {
    case IDM_OPENLOCATION: OpenLocation(); break;
    case IDM_COPYLINKLOCATION: CopyLinkLocation(); break;
    default: break;
    }
}

LRESULT TUrlLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        SetCursor(Application().CursorOverride() ? Application().CursorOverride() : FHandCursor);
        return TRUE;
    case WM_LBUTTONDOWN:
        FPressed = true;
        SetCapture(Handle());
        InvalidateRect(Handle(), nullptr, TRUE);
        return 0;
    case WM_LBUTTONUP:
        if (FPressed) {
            EndPress();
            ReleaseCapture();
            RECT bounds{};
            GetClientRect(Handle(), &bounds);
            const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (PtInRect(&bounds, point))
                OpenLocation();
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (FPressed && reinterpret_cast<HWND>(lParam) != Handle())
            EndPress();
        return 0;
    case WM_CONTEXTMENU:
        ShowContextMenu(lParam);
        return 0;
    case WM_SETFONT: {
        const LRESULT result = CallOriginal(message, wParam, lParam);
        UpdateFont();
        FitToText();
        return result;
    }
    case WM_SETTEXT: {
        const LRESULT result = CallOriginal(message, wParam, lParam);
        FitToText();
        InvalidateRect(Handle(), nullptr, TRUE);
        return result;
    }
    default:
        return CallOriginal(message, wParam, lParam);
    }
}
