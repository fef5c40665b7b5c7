#include "Window.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "Prompts.h"
#include "components/Reflect.h"

void ImageListDeleter::operator()(HIMAGELIST list) const { ImageList_Destroy(list); }

// ---------------------------------------------------------------------------

std::string GetWindowTextString(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::clamp(copied, 0, length)));
    return text;
}

void SetWindowTextString(HWND window, const std::string& text)
{
    SetWindowTextA(window, text.c_str());
}

SIZE ClientSize(HWND window)
{
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

RECT NormalBounds(HWND window)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    return placement.rcNormalPosition;
}

void SetNormalBounds(HWND window, const RECT& bounds)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    placement.flags = 0;
    placement.showCmd = SW_HIDE;
    placement.rcNormalPosition = bounds;
    SetWindowPlacement(window, &placement);
}

void CenterOnScreen(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(window, nullptr, std::max(left, 0), std::max(top, 0), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string GetShortHint(const std::string& hint)
{
    return hint.substr(0, hint.find('|'));
}

std::string GetLongHint(const std::string& hint)
{
    const size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

// ---------------------------------------------------------------------------
// TWindow

TWindow::~TWindow()
{
    // Derived destructors have destroyed the window already; this only
    // covers a window whose creation failed half-way.
    if (FHandle)
        Application().RemoveWindow(this);
}

TWindow* TWindow::FromHandle(HWND window) { return Application().WindowOf(window); }

void TWindow::Attach(HWND window)
{
    FHandle = window;
    Application().AddWindow(this);
}

void TWindow::Detached()
{
    Application().RemoveWindow(this);
    FHandle = nullptr;
}

std::string TWindow::HintAt(HWND control, POINT) const
{
    for (HWND window = control; window && window != FHandle; window = GetParent(window)) {
        const auto hint = FHints.find(window);
        if (hint != FHints.end())
            return hint->second;
    }
    return {};
}

bool TWindow::PreTranslateMessage(MSG&) { return false; }

bool TWindow::Command(int, int, HWND) { return false; }

LRESULT TWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The one place where errors of message handlers end: the platform's
    // window procedures cannot pass C++ exceptions on.
    try {
        return HandleMessage(message, wParam, lParam);
    } catch (...) {
        Application().ShowException(std::current_exception(), FHandle);
    }
    return 0;
}

LRESULT TWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
            return 0;
        break;
    case WM_SETCURSOR:
        if (HCURSOR cursor = Application().CursorOverride()) {
            SetCursor(cursor);
            return TRUE;
        }
        break;
    default:
        break;
    }
    LRESULT result = 0;
    if ((message == WM_COMMAND || message == WM_NOTIFY) &&
        ReflectNotification(message, wParam, lParam, result))
        return result;
    return DefaultHandler(message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// TFrameWindow

TFrameWindow::~TFrameWindow()
{
    if (HWND window = FHandle) {
        // No handler of a half-destroyed object may run any more.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        Detached();
        DestroyWindow(window);
    }
}

void TFrameWindow::CreateFrame(const TFrameParams& params)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExA(instance, params.ClassName, &windowClass)) {
        windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.hIcon = params.Icon;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = params.ClassName;
        if (!RegisterClassExA(&windowClass))
            throw std::runtime_error(std::string("Cannot register the window class ") +
                                     params.ClassName);
    }
    HWND window = CreateWindowExA(params.ExStyle, params.ClassName, params.Caption.c_str(),
                                  params.Style, params.Left, params.Top, params.Width,
                                  params.Height, params.Owner, params.Menu, instance, this);
    if (!window) {
        if (params.Menu)
            DestroyMenu(params.Menu);
        throw std::runtime_error("Cannot create the window \"" + params.Caption + "\"");
    }
}

LRESULT CALLBACK TFrameWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam)
{
    TFrameWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<TFrameWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->Attach(window);
    } else {
        self = reinterpret_cast<TFrameWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Last message: the object forgets the handle and may be freed.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->Detached();
        const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        self->WindowDestroyed();
        return result;
    }
    return self->Dispatch(message, wParam, lParam);
}

namespace {
// Sent by Show() to run a pending FormShow through the guarded dispatch.
constexpr UINT WM_PENDINGFORMSHOW = WM_APP + 0x3F0;
}  // namespace

void TFrameWindow::Show(int command)
{
    // FormShow runs once the window is on the screen and painted, so that
    // what it does (a first load, a question) happens in front of the window
    // rather than before it appears; or, for a window that asks for it,
    // before the window appears at all.
    FShowing = true;
    FShowPending = false;
    const bool formShowFirst = FFormShowBeforeVisible && !IsWindowVisible(FHandle);
    if (formShowFirst) {
        SendMessageA(FHandle, WM_PENDINGFORMSHOW, 0, 0);
        if (!FHandle) {
            // FormShow ended with the window's destruction.
            FShowing = false;
            return;
        }
    }
    ShowWindow(FHandle, command);
    UpdateWindow(FHandle);
    FShowing = false;
    if (std::exchange(FShowPending, false) && !formShowFirst)
        SendMessageA(FHandle, WM_PENDINGFORMSHOW, 0, 0);
}

bool TFrameWindow::PreTranslateMessage(MSG& message)
{
    return FAccelerators && TranslateAcceleratorA(FHandle, FAccelerators.get(), &message);
}

void TFrameWindow::SetMenuHint(int id, const std::string& hint) { FMenuHints[id] = hint; }

LRESULT TFrameWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        FormCreate();
        return 0;
    case WM_SHOWWINDOW:
        if (wParam && !lParam) {
            if (FShowing)
                FShowPending = true;
            else
                FormShow();
        }
        break;
    case WM_PENDINGFORMSHOW:
        FormShow();
        return 0;
    case WM_SIZE:
        FormResize();
        break;
    case WM_MENUSELECT: {
        const UINT flags = HIWORD(wParam);
        const auto hint = FMenuHints.find(LOWORD(wParam));
        const bool closed = flags == 0xFFFF && !lParam;
        Application().SetHint(closed || (flags & MF_POPUP) || hint == FMenuHints.end()
                                  ? std::string()
                                  : GetLongHint(hint->second));
        return 0;
    }
    case WM_DESTROY: {
        // The main form's end is the program's end, even when its last steps
        // fail: their error is reported first (a message box would close at
        // once with the quit message waiting), then the loop ends.
        const bool mainForm = Application().MainForm() == this;
        try {
            FormDestroy();
        } catch (...) {
            Application().ShowException(std::current_exception(), FHandle);
        }
        if (mainForm)
            PostQuitMessage(0);
        return 0;
    }
    default:
        break;
    }
    return TWindow::HandleMessage(message, wParam, lParam);
}

LRESULT TFrameWindow::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(FHandle, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// TDialog

TDialog::~TDialog()
{
    if (HWND window = FHandle) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        Detached();
        DestroyWindow(window);
    }
}

void TDialog::CreateDialogFromTemplate(int id, HWND owner, HINSTANCE instance)
{
    HWND window = CreateDialogParamA(instance ? instance : GetModuleHandleA(nullptr),
                                     MAKEINTRESOURCEA(id), owner, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    if (!window)
        throw std::runtime_error("Cannot create the dialog " + std::to_string(id));
}

void TDialog::SetClientSizeInPixels(int width, int height)
{
    const SIZE designed = ClientSize(FHandle);
    if (designed.cx <= 0 || designed.cy <= 0)
        return;
    const auto scaled = [](LONG value, int to, LONG from) {
        return static_cast<int>((static_cast<long long>(value) * to + from / 2) / from);
    };
    for (HWND child = GetWindow(FHandle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT bounds{};
        GetWindowRect(child, &bounds);
        MapWindowPoints(nullptr, FHandle, reinterpret_cast<POINT*>(&bounds), 2);
        const int left = scaled(bounds.left, width, designed.cx);
        const int top = scaled(bounds.top, height, designed.cy);
        MoveWindow(child, left, top, scaled(bounds.right, width, designed.cx) - left,
                   scaled(bounds.bottom, height, designed.cy) - top, FALSE);
    }
    // The frame keeps its size; should the client area still be off (a frame
    // that changes with the size), the difference is made up once more.
    RECT frame{};
    GetWindowRect(FHandle, &frame);
    SIZE outer{frame.right - frame.left + width - designed.cx,
               frame.bottom - frame.top + height - designed.cy};
    for (int attempt = 0; attempt < 2; ++attempt) {
        SetWindowPos(FHandle, nullptr, 0, 0, outer.cx, outer.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const SIZE client = ClientSize(FHandle);
        if (client.cx == width && client.cy == height)
            break;
        outer.cx += width - client.cx;
        outer.cy += height - client.cy;
    }
}

INT_PTR CALLBACK TDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<TDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->Attach(window);
    } else {
        self = reinterpret_cast<TDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    if (!self)
        return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->Detached();
        self->WindowDestroyed();
        return FALSE;
    }
    // DefaultHandler clears the flag of the innermost call: a handler may
    // send messages to its own dialog.
    bool handled = true;
    bool* outer = self->FHandled;
    self->FHandled = &handled;
    const LRESULT result = self->Dispatch(message, wParam, lParam);
    self->FHandled = outer;
    if (!handled)
        return FALSE;
    switch (message) {
    // The messages whose answer is the dialog procedure's return value.
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return static_cast<INT_PTR>(result);
    default:
        SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

LRESULT TDialog::DefaultHandler(UINT, WPARAM, LPARAM)
{
    if (FHandled)
        *FHandled = false;
    return 0;
}

LRESULT TDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        FormCreate();
        return TRUE;
    case WM_SHOWWINDOW:
        if (wParam && !lParam)
            FormShow();
        return DefaultHandler(message, wParam, lParam);
    case WM_SIZE:
        FormResize();
        return DefaultHandler(message, wParam, lParam);
    case WM_DESTROY:
        FormDestroy();
        return DefaultHandler(message, wParam, lParam);
    case WM_CLOSE:
        CancelRequested();
        return 0;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        // Esc, and Enter while no button is the default, come from the
        // dialog manager as IDCANCEL / IDOK; no control of ours has those IDs.
        if (id == IDCANCEL && !Item(IDCANCEL)) {
            CancelRequested();
            return 0;
        }
        if (id == IDOK && !Item(IDOK)) {
            if (FDefaultButton)
                ClickButton(FDefaultButton);
            return 0;
        }
        const LRESULT result = TWindow::HandleMessage(message, wParam, lParam);
        if (HIWORD(wParam) == BN_CLICKED) {
            const auto buttonResult = FButtonResults.find(id);
            if (buttonResult != FButtonResults.end())
                SetModalResult(buttonResult->second);
        }
        return result;
    }
    default:
        return TWindow::HandleMessage(message, wParam, lParam);
    }
}

void TDialog::SetDefaultButton(int id)
{
    FDefaultButton = id;
    SendMessageA(FHandle, DM_SETDEFID, static_cast<WPARAM>(id), 0);
}

void TDialog::CancelRequested()
{
    if (FCancelButton)
        ClickButton(FCancelButton);
    else
        SetModalResult(IDCANCEL);
}

void TDialog::ClickButton(int id)
{
    HWND button = Item(id);
    if (button && !IsWindowEnabled(button))
        return;
    SendMessageA(FHandle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void TDialog::SetModalResult(int result)
{
    FModalResult = result;
    if (result && !FModal)
        Hide();
}

int TDialog::ShowModal() { return Prompts().ShowModal(*this); }

namespace {

// The other windows of the thread are disabled while a dialog is modal, and
// enabled again (before the dialog hides, so that activation goes back to
// them) however the modal loop ends.
class TDisabledTaskWindows {
public:
    explicit TDisabledTaskWindows(HWND dialog) : FDialog(dialog)
    {
        EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(this));
    }
    ~TDisabledTaskWindows() { Restore(); }
    TDisabledTaskWindows(const TDisabledTaskWindows&) = delete;
    TDisabledTaskWindows& operator=(const TDisabledTaskWindows&) = delete;

    void Restore()
    {
        for (HWND window : FWindows)
            if (IsWindow(window))
                EnableWindow(window, TRUE);
        FWindows.clear();
    }

private:
    static BOOL CALLBACK DisableOne(HWND window, LPARAM self)
    {
        auto& windows = *reinterpret_cast<TDisabledTaskWindows*>(self);
        if (window != windows.FDialog && IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            windows.FWindows.push_back(window);
        }
        return TRUE;
    }

    HWND FDialog;
    std::vector<HWND> FWindows;
};

bool IsGroupBox(HWND control)
{
    char className[16] = {};
    GetClassNameA(control, className, sizeof className);
    return lstrcmpiA(className, "Button") == 0 &&
           (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

}  // namespace

int TDialog::RunModal(const std::function<void(TDialog&)>& whileShown)
{
    if (FModal)
        throw std::logic_error("The dialog \"" + Caption() + "\" is already shown modally");
    FModalResult = 0;
    FModal = true;
    TDisabledTaskWindows disabled(FHandle);
    CenterOnScreen(FHandle);
    ShowWindow(FHandle, SW_SHOW);
    SetActiveWindow(FHandle);
    FocusActiveControl();
    struct TModalEnd {
        TDialog& Dialog;
        TDisabledTaskWindows& Disabled;
        ~TModalEnd()
        {
            HWND focus = GetFocus();
            if (focus && IsChild(Dialog.FHandle, focus))
                Dialog.FActiveControl = focus;
            Disabled.Restore();
            ShowWindow(Dialog.FHandle, SW_HIDE);
            Dialog.FModal = false;
        }
    } end{*this, disabled};
    if (whileShown)
        whileShown(*this);
    while (FModalResult == 0) {
        MSG message{};
        if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
            // The program is ending: pass the quit on to the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            FModalResult = IDCANCEL;
            break;
        }
        Application().ProcessMessage(message);
    }
    return FModalResult;
}

void TDialog::Show()
{
    FModal = false;
    FModalResult = 0;
    if (!IsWindowVisible(FHandle))
        CenterOnScreen(FHandle);
    ShowWindow(FHandle, SW_SHOW);
    FocusActiveControl();
}

void TDialog::Hide()
{
    HWND focus = GetFocus();
    if (focus && IsChild(FHandle, focus))
        FActiveControl = focus;
    ShowWindow(FHandle, SW_HIDE);
}

void TDialog::FocusActiveControl()
{
    HWND target = FActiveControl;
    if (!target || !IsChild(FHandle, target))
        return;
    if (IsGroupBox(target)) {
        // The radio buttons that follow a group box, up to the next group.
        HWND first = GetWindow(target, GW_HWNDNEXT);
        target = first;
        for (HWND item = first; item; item = GetWindow(item, GW_HWNDNEXT)) {
            if (item != first && (GetWindowLongA(item, GWL_STYLE) & WS_GROUP))
                break;
            if (SendMessageA(item, BM_GETCHECK, 0, 0) == BST_CHECKED) {
                target = item;
                break;
            }
        }
        if (!target)
            return;
    }
    SendMessageA(FHandle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

bool TDialog::PreTranslateMessage(MSG& message)
{
    return IsDialogMessageA(FHandle, &message);
}

// ---------------------------------------------------------------------------
// TSubclassedControl

namespace {
// The wrapper object of a subclassed control; a property leaves the
// control's own user data to the control.
const char* const kControlProperty = "Patchscope.Control";
}  // namespace

TSubclassedControl::~TSubclassedControl() { Unsubclass(); }

TSubclassedControl* TSubclassedControl::FromHandle(HWND control)
{
    return static_cast<TSubclassedControl*>(GetPropA(control, kControlProperty));
}

void TSubclassedControl::Subclass(HWND control)
{
    if (!control)
        throw std::runtime_error("No control to attach to");
    Unsubclass();
    FHandle = control;
    SetPropA(control, kControlProperty, this);
    FOriginal = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc)));
}

void TSubclassedControl::Unsubclass()
{
    if (!FHandle)
        return;
    SetWindowLongPtrA(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOriginal));
    RemovePropA(FHandle, kControlProperty);
    FHandle = nullptr;
}

LRESULT TSubclassedControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallOriginal(message, wParam, lParam);
}

LRESULT TSubclassedControl::CallOriginal(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(FOriginal, FHandle, message, wParam, lParam);
}

LRESULT CALLBACK TSubclassedControl::ControlProc(HWND control, UINT message, WPARAM wParam,
                                                 LPARAM lParam)
{
    TSubclassedControl* self = FromHandle(control);
    if (!self)
        return DefWindowProcA(control, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const WNDPROC original = self->FOriginal;
        self->Unsubclass();
        return CallWindowProcA(original, control, message, wParam, lParam);
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        Application().ShowException(std::current_exception(), control);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// TApplication

TApplication& Application()
{
    static TApplication application;
    return application;
}

int TApplication::Run()
{
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        ProcessMessage(message);
    return static_cast<int>(message.wParam);
}

void TApplication::ProcessMessages()
{
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        ProcessMessage(message);
    }
}

void TApplication::RunAfterPumping(const std::function<void()>& work)
{
    ProcessMessages();
    work();
}

void TApplication::ProcessMessage(MSG& message)
{
    TWindow* window = TopLevelWindowOf(message.hwnd);
    if (window && message.message == WM_MOUSEMOVE) {
        try {
            const POINT point{static_cast<short>(LOWORD(message.lParam)),
                              static_cast<short>(HIWORD(message.lParam))};
            SetHint(GetLongHint(window->HintAt(message.hwnd, point)));
        } catch (const std::exception& error) {
            ShowException(error, window->Handle());
        }
    }
    if (window && window->PreTranslateMessage(message))
        return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

namespace {

// The top-level window that holds Window: its parent chain walked up to the
// first window that is not a child.
HWND RootWindow(HWND window)
{
    while (window && (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) {
        HWND parent = GetParent(window);
        if (!parent)
            break;
        window = parent;
    }
    return window;
}

}  // namespace

void TApplication::ShowException(const std::exception& error, HWND owner)
{
    HWND root = owner ? RootWindow(owner) : nullptr;
    if (!root || !IsWindowVisible(root))
        root = GetActiveWindow();
    Prompts().MessageBox(root, error.what(), Title, MB_OK | MB_ICONERROR);
}

void TApplication::ShowUnknownException(HWND owner)
{
    ShowException(std::runtime_error("An unexpected error occurred."), owner);
}

void TApplication::ShowException(std::exception_ptr error, HWND owner)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& standard) {
        ShowException(standard, owner);
    } catch (...) {
        ShowUnknownException(owner);
    }
}

void TApplication::SetHint(const std::string& hint)
{
    if (hint == FHint)
        return;
    FHint = hint;
    if (OnHint)
        OnHint();
}

void TApplication::SetCursorOverride(HCURSOR cursor)
{
    FCursor = cursor;
    SetCursor(cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW));
}

void TApplication::AddWindow(TWindow* window)
{
    if (std::find(FWindows.begin(), FWindows.end(), window) == FWindows.end())
        FWindows.push_back(window);
}

void TApplication::RemoveWindow(TWindow* window)
{
    FWindows.erase(std::remove(FWindows.begin(), FWindows.end(), window), FWindows.end());
    if (FMainForm == window)
        FMainForm = nullptr;
}

TWindow* TApplication::TopLevelWindowOf(HWND window) const
{
    if (!window)
        return nullptr;
    return WindowOf(RootWindow(window));
}

TWindow* TApplication::WindowOf(HWND window) const
{
    if (!window)
        return nullptr;
    for (TWindow* candidate : FWindows)
        if (candidate->Handle() == window)
            return candidate;
    return nullptr;
}

// ---------------------------------------------------------------------------

TScreenCursor::TScreenCursor(LPCSTR cursor) : FPrevious(Application().CursorOverride())
{
    Application().SetCursorOverride(LoadCursorA(nullptr, cursor));
}

TScreenCursor::~TScreenCursor() { Application().SetCursorOverride(FPrevious); }
