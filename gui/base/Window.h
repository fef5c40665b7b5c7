#pragma once
// The window base of the program: one C++ object per window, found by a
// static window procedure that calls the object's HandleMessage. Frames are
// windows of registered classes (the main window, details windows); dialogs
// come from templates of the resource script and are created once, hidden,
// and shown as often as needed.
//
// Every message handler runs inside one dispatch boundary: an exception that
// escapes it is shown as the general error report (through the prompt seam)
// and the program goes on.
#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// ---------------------------------------------------------------------------
// Owners of window-system handles.

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct CursorDeleter {
    void operator()(HCURSOR cursor) const { DestroyCursor(cursor); }
};
struct MenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct AcceleratorDeleter {
    void operator()(HACCEL table) const { DestroyAcceleratorTable(table); }
};
struct ImageListDeleter {
    void operator()(struct _IMAGELIST* list) const;
};

template <typename H>
using GdiObject = std::unique_ptr<std::remove_pointer_t<H>, GdiObjectDeleter>;
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
using CursorHandle = std::unique_ptr<std::remove_pointer_t<HCURSOR>, CursorDeleter>;
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;
using AcceleratorHandle = std::unique_ptr<std::remove_pointer_t<HACCEL>, AcceleratorDeleter>;
using ImageListHandle = std::unique_ptr<struct _IMAGELIST, ImageListDeleter>;

// A window of the platform that is destroyed with its owner (a child control
// created in code, a window of a test).
struct WindowDeleter {
    void operator()(HWND window) const
    {
        if (IsWindow(window))
            DestroyWindow(window);
    }
};
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// ---------------------------------------------------------------------------
// Small helpers on any window.

std::string GetWindowTextString(HWND window);
void SetWindowTextString(HWND window, const std::string& text);
SIZE ClientSize(HWND window);
// Moves a top-level window so that it is centred on the screen's work area.
void CenterOnScreen(HWND window);
// The bounds of a top-level window when it is neither minimized nor
// maximized, in the coordinates of its placement (the work area's, which
// differ from the screen's when a taskbar stands at the top or the left).
RECT NormalBounds(HWND window);
// Gives a hidden top-level window such bounds, read back from storage,
// without showing it.
void SetNormalBounds(HWND window, const RECT& bounds);

// ---------------------------------------------------------------------------

class TWindow {
public:
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;
    virtual ~TWindow();

    HWND Handle() const { return FHandle; }
    HWND Item(int id) const { return GetDlgItem(FHandle, id); }

    std::string Caption() const { return GetWindowTextString(FHandle); }
    void SetCaption(const std::string& text) { SetWindowTextString(FHandle, text); }
    bool Visible() const { return FHandle && IsWindowVisible(FHandle); }

    // Hints of child controls ("short|long", or one text for both), shown
    // through the application's hint while the pointer rests on them.
    void SetHint(HWND control, const std::string& hint) { FHints[control] = hint; }
    // The hint for the pointer at Point (client coordinates of Control);
    // a window with items inside one control (a toolbar) overrides it.
    virtual std::string HintAt(HWND control, POINT point) const;

    // Gives the window a look at a queued message before it is dispatched
    // (accelerators, dialog keys); true when it has been handled.
    virtual bool PreTranslateMessage(MSG& message);

    // The object of a window of this program, or null.
    static TWindow* FromHandle(HWND window);

protected:
    TWindow() = default;

    // The message handler of the derived window: handle what it knows and
    // pass the rest to the base class's HandleMessage.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_COMMAND from a menu, accelerator or control: true when handled.
    // What no window handles goes back to the control (CN_COMMAND).
    virtual bool Command(int id, int code, HWND control);
    // What the platform does with a message nobody handled.
    virtual LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Form events, named as the product names them.
    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormResize() {}
    virtual void FormDestroy() {}
    // The last call of the window's life, after the object has forgotten its
    // handle: a window that frees itself when closed has its owner free it
    // here, and nothing touches the object afterwards.
    virtual void WindowDestroyed() {}

    // The guarded call of HandleMessage shared by both window procedures.
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND window);
    void Detached();

    HWND FHandle = nullptr;

private:
    std::map<HWND, std::string> FHints;
};

// ---------------------------------------------------------------------------
// A top-level window of a registered class.

struct TFrameParams {
    const char* ClassName = "PatchscopeFrame";
    std::string Caption;
    DWORD Style = WS_OVERLAPPEDWINDOW;
    DWORD ExStyle = 0;
    int Left = CW_USEDEFAULT, Top = CW_USEDEFAULT;
    int Width = CW_USEDEFAULT, Height = CW_USEDEFAULT;
    HWND Owner = nullptr;
    HMENU Menu = nullptr;  // the window takes ownership
    HICON Icon = nullptr;  // class icon; a shared icon (LoadIcon)
};

class TFrameWindow : public TWindow {
public:
    ~TFrameWindow() override;
    void Show(int command = SW_SHOW);
    // Accelerators translated for this window while it or a child has the
    // keyboard; the window owns the table.
    void SetAccelerators(HACCEL table) { FAccelerators.reset(table); }
    bool PreTranslateMessage(MSG& message) override;
    // Hints of menu items (and of toolbar buttons with the same command),
    // shown through the application's hint while the item is selected.
    void SetMenuHint(int id, const std::string& hint);

protected:
    TFrameWindow() = default;
    // Registers the class on first use and creates the window; a derived
    // class calls it at the end of its constructor, so that FormCreate and
    // the other handlers reach the derived object.
    void CreateFrame(const TFrameParams& params);
    // Show runs FormShow while the window is still hidden and shows the window
    // once FormShow has returned (a window that fills itself before it is
    // seen). By default FormShow runs once the window is on the screen. A
    // window that FormShow may destroy must keep its object alive until Show
    // has returned.
    void SetFormShowBeforeVisible(bool value) { FFormShowBeforeVisible = value; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    AcceleratorHandle FAccelerators;
    std::map<int, std::string> FMenuHints;
    bool FShowing = false;       // inside Show()
    bool FShowPending = false;   // FormShow waits until Show() has painted the window
    bool FFormShowBeforeVisible = false;
};

// ---------------------------------------------------------------------------
// A dialog from a template of the resource script, created hidden and reused.

class TDialog : public TWindow {
public:
    ~TDialog() override;

    // Shows the dialog modally through the prompt seam and returns its modal
    // result (IDOK, IDCANCEL ...). The dialog is hidden again afterwards.
    int ShowModal();
    // The modal loop itself, for the prompt seam's implementations: While,
    // when given, runs once the dialog is on the screen.
    int RunModal(const std::function<void(TDialog&)>& whileShown = {});
    // Shows the dialog without modality.
    void Show();
    void Hide();

    bool Modal() const { return FModal; }
    int ModalResult() const { return FModalResult; }
    // Ends a modal showing with Result (0 keeps it open); hides a modeless one.
    void SetModalResult(int result);

    // The control that gets the focus when the dialog is shown next; a group
    // box hands it to its checked radio button.
    void SetActiveControl(HWND control) { FActiveControl = control; }
    void SetActiveControl(int id) { FActiveControl = Item(id); }
    HWND ActiveControl() const { return FActiveControl; }

    bool PreTranslateMessage(MSG& message) override;

protected:
    TDialog() = default;
    // Creates the dialog hidden from template Id; a derived class calls it at
    // the end of its constructor.
    void CreateDialogFromTemplate(int id, HWND owner, HINSTANCE instance = nullptr);

    // Gives the dialog a client area of Width by Height pixels, its controls
    // moved and sized in proportion. The template measures in dialog units,
    // which come to other pixels under other fonts and resolutions.
    void SetClientSizeInPixels(int width, int height);

    // Enter presses the default button, Esc and the close box the cancel
    // button; either may be 0 (none).
    void SetDefaultButton(int id);
    void SetCancelButton(int id) { FCancelButton = id; }
    // A click on the button closes a modal showing with Result.
    void SetButtonResult(int id, int result) { FButtonResults[id] = result; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Esc or the close box: a click on the cancel button, else Cancel.
    virtual void CancelRequested();

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void ClickButton(int id);
    void FocusActiveControl();

    bool* FHandled = nullptr;
    bool FModal = false;
    int FModalResult = 0;
    int FDefaultButton = 0;
    int FCancelButton = 0;
    HWND FActiveControl = nullptr;
    std::map<int, int> FButtonResults;
};

// ---------------------------------------------------------------------------
// A control of the platform whose messages an object sees first (by
// subclassing): the base of the control wrappers that draw or answer their
// own notifications (CN_COMMAND, CN_NOTIFY).

class TSubclassedControl {
public:
    TSubclassedControl(const TSubclassedControl&) = delete;
    TSubclassedControl& operator=(const TSubclassedControl&) = delete;
    virtual ~TSubclassedControl();

    HWND Handle() const { return FHandle; }
    static TSubclassedControl* FromHandle(HWND control);

protected:
    TSubclassedControl() = default;
    void Subclass(HWND control);
    // Handle what the wrapper knows, pass the rest to CallOriginal.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallOriginal(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    void Unsubclass();

    HWND FHandle = nullptr;
    WNDPROC FOriginal = nullptr;
};

// ---------------------------------------------------------------------------
// The application object: the message loop, the title used by message boxes,
// the general error report and the hint line.

class TApplication {
public:
    std::string Title = "Patchscope";

    // Runs the message loop until WM_QUIT and returns its exit code.
    int Run();
    // Dispatches every message that is waiting, then returns (long operations
    // call it between steps so that a Cancel button takes effect).
    void ProcessMessages();
    // One queued message through accelerators and dialog keys to its window.
    void ProcessMessage(MSG& message);
    // Dispatches the messages waiting (a repaint, a Cancel, a close), then
    // runs Work, a call that may block (a remote connection, an offline
    // system's hives). The window thread is the program's only one outside
    // the comparison, so Work runs on it.
    void RunAfterPumping(const std::function<void()>& work);

    // Closing the main form ends the message loop.
    void SetMainForm(TFrameWindow* form) { FMainForm = form; }
    TFrameWindow* MainForm() const { return FMainForm; }

    // The general error report: a message box with the error's text.
    void ShowException(const std::exception& error, HWND owner = nullptr);
    void ShowUnknownException(HWND owner = nullptr);
    // The same for any exception, of a standard type or not (in a handler
    // that catches everything: std::current_exception()).
    void ShowException(std::exception_ptr error, HWND owner = nullptr);

    // The hint of what is under the pointer: the long part of a control's
    // hint or a menu item's hint; OnHint runs whenever it changes.
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& hint);
    std::function<void()> OnHint;

    // The cursor shown over every window of the program while set (the
    // hourglass of a long operation); null for the windows' own cursors.
    HCURSOR CursorOverride() const { return FCursor; }
    void SetCursorOverride(HCURSOR cursor);

    // Top-level windows of the program (kept by the window base).
    void AddWindow(TWindow* window);
    void RemoveWindow(TWindow* window);
    TWindow* TopLevelWindowOf(HWND window) const;
    TWindow* WindowOf(HWND window) const;

private:
    TFrameWindow* FMainForm = nullptr;
    std::string FHint;
    HCURSOR FCursor = nullptr;
    std::vector<TWindow*> FWindows;
};

TApplication& Application();

// The part of a hint before the vertical bar (tool tip) and after it (status
// line); a hint without a bar is both.
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);

// The hourglass (or another shared cursor) over the program's windows for the
// life of the object.
class TScreenCursor {
public:
    explicit TScreenCursor(LPCSTR cursor = IDC_WAIT);
    ~TScreenCursor();
    TScreenCursor(const TScreenCursor&) = delete;
    TScreenCursor& operator=(const TScreenCursor&) = delete;

private:
    HCURSOR FPrevious;
};
