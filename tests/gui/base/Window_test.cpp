// The window base: dispatch to the object, the general error report, modal
// and modeless dialogs from templates, reflection, hints and accelerators.
#include <windows.h>

#include <memory>
#include <stdexcept>

#include <gtest/gtest.h>

#include "GuiTest.h"
#include "Window.h"
#include "Window_test_res.h"
#include "components/Reflect.h"

namespace {

constexpr UINT WM_FAIL = WM_APP + 1;
constexpr UINT WM_PING = WM_APP + 2;
constexpr int ID_SHORTCUT = 40001;

class TTestFrame : public TFrameWindow {
public:
    explicit TTestFrame(const char* className = "PsTestFrame")
    {
        TFrameParams params;
        params.ClassName = className;
        params.Caption = "Frame";
        params.Width = 300;
        params.Height = 200;
        CreateFrame(params);
    }
    int Created = 0, Shown = 0, Pings = 0, Commands = 0;
    int LastCommand = 0;
    bool VisibleWhenShown = false;

protected:
    void FormCreate() override { ++Created; }
    void FormShow() override
    {
        ++Shown;
        VisibleWhenShown = IsWindowVisible(Handle()) != FALSE;
    }
    bool Command(int id, int code, HWND control) override
    {
        if (id != ID_SHORTCUT)
            return TFrameWindow::Command(id, code, control);
        ++Commands;
        LastCommand = id;
        return true;
    }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_FAIL:
            if (wParam)
                throw 42;   // of no standard type
            throw std::runtime_error("Invalid data type for 'Fix Description'");
        case WM_PING: return ++Pings;
        default: return TFrameWindow::HandleMessage(message, wParam, lParam);
        }
    }
};

class TTestDialog : public TDialog {
public:
    explicit TTestDialog(HWND owner = nullptr, int id = IDD_BASETEST)
    {
        CreateDialogFromTemplate(id, owner);
        SetDefaultButton(IDC_BTNOK);
        SetCancelButton(IDC_BTNCANCEL);
        SetButtonResult(IDC_BTNOK, IDOK);
        SetButtonResult(IDC_BTNCANCEL, IDCANCEL);
    }
    int Created = 0, Shown = 0, CancelClicks = 0;
    using TDialog::SetClientSizeInPixels;

protected:
    void FormCreate() override { ++Created; }
    void FormShow() override { ++Shown; }
    bool Command(int id, int code, HWND control) override
    {
        switch (id) {
        case IDC_BTNCANCEL: ++CancelClicks; return true;
        case IDC_BTNFAIL: throw std::runtime_error("The file cannot be created.");
        default: return TDialog::Command(id, code, control);
        }
    }
};

// A child control that counts what is reflected back to it.
class TReflectedButton : public TSubclassedControl {
public:
    explicit TReflectedButton(HWND button) { Subclass(button); }
    int Reflected = 0;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == CN_COMMAND) {
            ++Reflected;
            return 0;
        }
        return CallOriginal(message, wParam, lParam);
    }
};

}  // namespace

TEST(GeneralErrorReport, ExceptionFromAFrameHandlerIsShownAndTheWindowGoesOn)
{
    TScriptedPrompts prompts;
    TTestFrame frame;
    EXPECT_EQ(SendMessageA(frame.Handle(), WM_FAIL, 0, 0), 0);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, "Invalid data type for 'Fix Description'");
    EXPECT_EQ(prompts.Messages[0].Caption, "Patchscope");
    EXPECT_EQ(prompts.Messages[0].Icon(), static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(prompts.Messages[0].Buttons(), static_cast<UINT>(MB_OK));
    EXPECT_EQ(SendMessageA(frame.Handle(), WM_PING, 0, 0), 1) << "the window must go on";

    EXPECT_EQ(SendMessageA(frame.Handle(), WM_FAIL, 1, 0), 0);
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[1].Text, "An unexpected error occurred.");
    EXPECT_EQ(prompts.Messages[1].Caption, "Patchscope");
    EXPECT_EQ(SendMessageA(frame.Handle(), WM_PING, 0, 0), 2);
}

TEST(GeneralErrorReport, ExceptionFromADialogButtonIsShownOnceAndTheDialogStaysOpen)
{
    TScriptedPrompts prompts;
    TTestDialog dialog;
    prompts.DialogScripts.push_back([&](TDialog& shown) {
        ClickControl(shown.Item(IDC_BTNFAIL));
        EXPECT_TRUE(shown.Visible());
        EXPECT_EQ(shown.ModalResult(), 0);
        ClickControl(shown.Item(IDC_BTNOK));
    });
    EXPECT_EQ(dialog.ShowModal(), IDOK);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, "The file cannot be created.");
    EXPECT_EQ(prompts.Messages[0].Caption, "Patchscope");
    EXPECT_EQ(prompts.Messages[0].Icon(), static_cast<UINT>(MB_ICONERROR));
}

TEST(FrameWindow, HandlersReachTheDerivedObject)
{
    TTestFrame frame;
    EXPECT_EQ(frame.Created, 1);
    EXPECT_EQ(TWindow::FromHandle(frame.Handle()), &frame);
    frame.Show();
    EXPECT_EQ(frame.Shown, 1);
    // What FormShow does (a first load, a question) happens in front of the
    // window, not before it appears.
    EXPECT_TRUE(frame.VisibleWhenShown);
    EXPECT_EQ(SendMessageA(frame.Handle(), WM_PING, 0, 0), 1);
}

TEST(FrameWindow, AWindowClosedByTheUserCanFreeItsObject)
{
    // As a details window does: its owner frees it once it is destroyed.
    struct TSelfFreeing : TTestFrame {
        explicit TSelfFreeing(std::unique_ptr<TSelfFreeing>& owner) : FOwner(owner) {}
        std::unique_ptr<TSelfFreeing>& FOwner;
        void WindowDestroyed() override { FOwner.reset(); }
    };
    std::unique_ptr<TSelfFreeing> window;
    window = std::make_unique<TSelfFreeing>(window);
    HWND handle = window->Handle();
    SendMessageA(handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(TWindow::FromHandle(handle), nullptr);
}

TEST(FrameWindow, AcceleratorsReachTheCommandHandler)
{
    TTestFrame frame;
    ACCEL shortcut{FVIRTKEY | FCONTROL, 'U', ID_SHORTCUT};
    frame.SetAccelerators(CreateAcceleratorTableA(&shortcut, 1));
    frame.Show();
    SetFocus(frame.Handle());
    // Ctrl+U as the keyboard delivers it: the Ctrl key is down while U comes.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PressKey('U', frame.Handle());
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(frame.Commands, 1);
}

TEST(FrameWindow, UnhandledChildNotificationsAreReflectedToTheControl)
{
    TTestFrame frame;
    WindowHandle button(CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20,
                                        frame.Handle(), reinterpret_cast<HMENU>(7), nullptr,
                                        nullptr));
    TReflectedButton control(button.get());
    SendMessageA(frame.Handle(), WM_COMMAND, MAKEWPARAM(7, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button.get()));
    EXPECT_EQ(control.Reflected, 1);
    // A command the frame handles itself is not reflected.
    SendMessageA(frame.Handle(), WM_COMMAND, MAKEWPARAM(ID_SHORTCUT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button.get()));
    EXPECT_EQ(control.Reflected, 1);
    EXPECT_EQ(frame.Commands, 1);
}

TEST(FrameWindow, MenuHintsReachTheApplicationHint)
{
    TTestFrame frame;
    frame.SetMenuHint(ID_SHORTCUT, "Uninstall|Uninstall the selected hotfix");
    int changes = 0;
    Application().OnHint = [&] { ++changes; };
    const MenuHandle menu(CreatePopupMenu());
    AppendMenuA(menu.get(), MF_STRING, ID_SHORTCUT, "&Uninstall");
    SendMessageA(frame.Handle(), WM_MENUSELECT, MAKEWPARAM(ID_SHORTCUT, MF_HILITE),
                 reinterpret_cast<LPARAM>(menu.get()));
    EXPECT_EQ(Application().Hint(), "Uninstall the selected hotfix");
    SendMessageA(frame.Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(Application().Hint(), "");
    EXPECT_EQ(changes, 2);
    Application().OnHint = nullptr;
}

TEST(Dialog, ClientSizeInPixelsWhateverTheBaseUnitsOfItsFont)
{
    std::vector<LONG> baseWidths;
    for (int id : {IDD_BASETEST, IDD_BASETEST_LARGEFONT}) {
        TTestDialog dialog(nullptr, id);
        RECT units{0, 0, 4, 8};
        MapDialogRect(dialog.Handle(), &units);
        baseWidths.push_back(units.right);
        dialog.SetClientSizeInPixels(485, 389);
        EXPECT_EQ(ClientSize(dialog.Handle()).cx, 485) << id;
        EXPECT_EQ(ClientSize(dialog.Handle()).cy, 389) << id;
        // The controls in proportion (to the pixels the template rounded to):
        // "Fail" ends 8 of 160 units from the right.
        RECT button{};
        GetWindowRect(dialog.Item(IDC_BTNFAIL), &button);
        MapWindowPoints(nullptr, dialog.Handle(), reinterpret_cast<POINT*>(&button), 2);
        EXPECT_NEAR(button.right, 485 * 152 / 160, 3) << id;
    }
    EXPECT_NE(baseWidths[0], baseWidths[1]);
}

TEST(ModalDialog, ButtonsEscAndCloseBoxGiveTheirResults)
{
    TScriptedPrompts prompts;
    TTestDialog dialog;
    EXPECT_EQ(dialog.Created, 1);
    EXPECT_FALSE(dialog.Visible()) << "created hidden";

    prompts.DialogScripts.push_back(ClickButtonScript(IDC_BTNOK));
    EXPECT_EQ(dialog.ShowModal(), IDOK);
    EXPECT_FALSE(dialog.Visible()) << "hidden again on close";

    prompts.DialogScripts.push_back(PressKeyScript(VK_ESCAPE));
    EXPECT_EQ(dialog.ShowModal(), IDCANCEL);
    EXPECT_EQ(dialog.CancelClicks, 1) << "Esc presses the cancel button";

    prompts.DialogScripts.push_back(
        [](TDialog& shown) { PostMessageA(shown.Handle(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(dialog.ShowModal(), IDCANCEL);
    EXPECT_EQ(dialog.CancelClicks, 2) << "the close box presses the cancel button";

    prompts.DialogScripts.push_back([](TDialog& shown) {
        SetFocus(shown.Item(IDC_EDTNAME));
        PressKey(VK_RETURN, shown.Item(IDC_EDTNAME));
    });
    EXPECT_EQ(dialog.ShowModal(), IDOK) << "Enter presses the default button";
    EXPECT_EQ(dialog.Shown, 4);
    EXPECT_EQ(dialog.Created, 1) << "one dialog, reused";
    EXPECT_EQ(prompts.DialogsLeftOpen, 0);
    EXPECT_EQ(prompts.DialogsShown.size(), 4u);
}

TEST(ModalDialog, OtherWindowsAreDisabledWhileItIsShown)
{
    TScriptedPrompts prompts;
    TTestFrame frame;
    frame.Show();
    TTestDialog dialog(frame.Handle());
    bool frameEnabledWhileModal = true;
    prompts.DialogScripts.push_back([&](TDialog& shown) {
        frameEnabledWhileModal = IsWindowEnabled(frame.Handle());
        EXPECT_TRUE(shown.Visible());
        EXPECT_TRUE(shown.Modal());
        shown.SetModalResult(IDOK);
    });
    EXPECT_EQ(dialog.ShowModal(), IDOK);
    EXPECT_FALSE(frameEnabledWhileModal);
    EXPECT_TRUE(IsWindowEnabled(frame.Handle()));
}

TEST(ModalDialog, AQuitMessageEndsItAndReachesTheOuterLoop)
{
    TScriptedPrompts prompts;
    TTestFrame frame;
    frame.Show();
    TTestDialog dialog(frame.Handle());
    prompts.DialogScripts.push_back([](TDialog&) { PostQuitMessage(7); });
    EXPECT_EQ(dialog.ShowModal(), IDCANCEL);
    EXPECT_FALSE(dialog.Visible());
    EXPECT_TRUE(IsWindowEnabled(frame.Handle()));
    MSG quit{};
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
    EXPECT_EQ(prompts.DialogsLeftOpen, 0);
}

TEST(ModalDialog, TheActiveControlGetsTheFocus)
{
    TScriptedPrompts prompts;
    TTestDialog dialog;
    dialog.SetActiveControl(IDC_BTNCANCEL);
    HWND focused = nullptr;
    prompts.DialogScripts.push_back([&](TDialog& shown) {
        focused = GetFocus();
        shown.SetModalResult(IDOK);
    });
    dialog.ShowModal();
    EXPECT_EQ(focused, dialog.Item(IDC_BTNCANCEL));
}

TEST(ModelessDialog, EscPressesCancelAndKeysPassThroughTheLoop)
{
    TScriptedPrompts prompts;
    TTestDialog dialog;
    dialog.Show();
    EXPECT_TRUE(dialog.Visible());
    SetFocus(dialog.Item(IDC_EDTNAME));
    PressKey(VK_ESCAPE, dialog.Item(IDC_EDTNAME));
    EXPECT_EQ(dialog.CancelClicks, 1);
    EXPECT_FALSE(dialog.Visible()) << "its cancel button's result hides a modeless dialog";
}
