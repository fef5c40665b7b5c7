// The Service Pack 4 question, shown modally as the main window shows it.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "GuiTest.h"
#include "ps_dialogs_res.h"
#include "ps_query.h"

namespace {

// What the main window does before every showing.
void PrepareAsTheMainWindowDoes(TfrmQuerySP4& form, const std::string& computer)
{
    form.SetCaption("Service Pack 4 found on " + computer);
    form.rgrpWhatToDo.SetItemIndex(0);
    form.SetActiveControl(form.rgrpWhatToDo.Handle());
}

}  // namespace

TEST(QuerySP4, OffersTheThreeChoicesWithTheFirstChosen)
{
    TfrmQuerySP4 form(nullptr);
    EXPECT_EQ(form.Caption(), "Service Pack 4 found on \\\\COMPUTER");
    EXPECT_EQ(TextOf(form.Item(IDC_LABEL1)),
              "Service Pack 4 has been detected on the system. The hotfixes found by Patchscope "
              "might be related to Service Pack 3 and therefore obsolete.");
    EXPECT_EQ(TextOf(form.rgrpWhatToDo.Handle()), "What do you want to do?");
    ASSERT_EQ(form.rgrpWhatToDo.Count(), 3);
    EXPECT_EQ(TextOf(form.rgrpWhatToDo.Item(0)),
              "&Ignore all pre-SP4 hotfixes but leave backup files and registry entries intact.");
    EXPECT_EQ(TextOf(form.rgrpWhatToDo.Item(1)),
              "&Delete the backup files and corresponding registry entries for the current "
              "pre-SP4 hotfixes.");
    EXPECT_EQ(TextOf(form.rgrpWhatToDo.Item(2)),
              "Ignore this &alltogether. Don't ask me about this again.");
    EXPECT_EQ(form.rgrpWhatToDo.ItemIndex(), 0);
    EXPECT_EQ(TextOf(form.Item(IDC_BTNOK)), "OK");
    EXPECT_EQ(TextOf(form.Item(IDC_BTNCANCEL)), "Cancel");
}

TEST(QuerySP4, OpensWithTheChosenItemFocusedAndOkAsDefault)
{
    TScriptedPrompts prompts;
    TfrmQuerySP4 form(nullptr);
    PrepareAsTheMainWindowDoes(form, "\\\\SERVER1");
    HWND focused = nullptr;
    LRESULT okStyle = 0;
    prompts.DialogScripts.push_back([&](TDialog& shown) {
        focused = GetFocus();
        okStyle = SendMessageA(shown.Item(IDC_BTNOK), WM_GETDLGCODE, 0, 0);
        PressKey(VK_RETURN, focused);
    });
    EXPECT_EQ(form.ShowModal(), IDOK);
    EXPECT_EQ(focused, form.rgrpWhatToDo.Item(0));
    EXPECT_TRUE(okStyle & DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(form.Choice(), 0);
    ASSERT_EQ(prompts.DialogsShown.size(), 1u);
    EXPECT_EQ(prompts.DialogsShown[0], "Service Pack 4 found on \\\\SERVER1");
}

TEST(QuerySP4, TheChoiceMadeWithMouseOrKeyboardComesBackWithOk)
{
    TScriptedPrompts prompts;
    TfrmQuerySP4 form(nullptr);

    PrepareAsTheMainWindowDoes(form, "\\\\SERVER1");
    prompts.DialogScripts.push_back([](TDialog& shown) {
        ClickControl(shown.Item(IDC_RGRPWHATTODO_ITEM1));
        ClickControl(shown.Item(IDC_BTNOK));
    });
    EXPECT_EQ(form.ShowModal(), IDOK);
    EXPECT_EQ(form.Choice(), 1);

    // Arrow keys move through the group; Enter presses OK.
    PrepareAsTheMainWindowDoes(form, "\\\\SERVER1");
    HWND focusedAtTheEnd = nullptr;
    prompts.DialogScripts.push_back([&](TDialog& shown) {
        PressKey(VK_DOWN, form.rgrpWhatToDo.Item(0));
        PressKey(VK_DOWN, form.rgrpWhatToDo.Item(1));
        focusedAtTheEnd = GetFocus();
        PressKey(VK_RETURN, shown.Item(IDC_RGRPWHATTODO_ITEM2));
    });
    EXPECT_EQ(form.ShowModal(), IDOK);
    EXPECT_EQ(focusedAtTheEnd, form.rgrpWhatToDo.Item(2));
    EXPECT_EQ(form.Choice(), 2);
    EXPECT_EQ(prompts.DialogsLeftOpen, 0);
}

TEST(QuerySP4, EscTheCloseBoxAndCancelGiveCancel)
{
    TScriptedPrompts prompts;
    TfrmQuerySP4 form(nullptr);
    prompts.DialogScripts.push_back(PressKeyScript(VK_ESCAPE));
    prompts.DialogScripts.push_back([](TDialog& shown) {
        // What a click on the close box sends.
        PostMessageA(shown.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    prompts.DialogScripts.push_back(ClickButtonScript(IDC_BTNCANCEL));
    for (int showing = 0; showing < 3; ++showing) {
        PrepareAsTheMainWindowDoes(form, "\\\\SERVER1");
        EXPECT_EQ(form.ShowModal(), IDCANCEL) << "showing " << showing;
        EXPECT_FALSE(form.Visible());
    }
    EXPECT_EQ(prompts.DialogsLeftOpen, 0);
}

TEST(QuerySP4, EveryShowingStartsFromWhatTheCallerSets)
{
    TScriptedPrompts prompts;
    TfrmQuerySP4 form(nullptr);
    PrepareAsTheMainWindowDoes(form, "\\\\SERVER1");
    prompts.DialogScripts.push_back([](TDialog& shown) {
        ClickControl(shown.Item(IDC_RGRPWHATTODO_ITEM2));
        SetFocus(shown.Item(IDC_BTNCANCEL));
        PressKey(VK_ESCAPE, shown.Item(IDC_BTNCANCEL));
    });
    EXPECT_EQ(form.ShowModal(), IDCANCEL);

    PrepareAsTheMainWindowDoes(form, "\\\\VM");
    HWND focused = nullptr;
    prompts.DialogScripts.push_back([&](TDialog& shown) {
        focused = GetFocus();
        ClickControl(shown.Item(IDC_BTNOK));
    });
    EXPECT_EQ(form.ShowModal(), IDOK);
    EXPECT_EQ(form.Choice(), 0);
    EXPECT_EQ(focused, form.rgrpWhatToDo.Item(0));
    EXPECT_EQ(prompts.DialogsShown.back(), "Service Pack 4 found on \\\\VM");
}

TEST(QuerySP4, HasItsDesignedSizeAndLook)
{
    TfrmQuerySP4 form(nullptr);
    form.Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form.Handle()) != FALSE; }));
    const SIZE client = ClientSize(form.Handle());
    EXPECT_NEAR(client.cx, 513, 1);
    EXPECT_NEAR(client.cy, 209, 1);
    // Every radio item's text fits its button (two lines at most).
    for (int index = 0; index < form.rgrpWhatToDo.Count(); ++index) {
        HWND item = form.rgrpWhatToDo.Item(index);
        HDC dc = GetDC(item);
        const HGDIOBJ previous =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(item, WM_GETFONT, 0, 0)));
        const std::string text = TextOf(item);
        RECT needed{0, 0, ClientSize(item).cx - GetSystemMetrics(SM_CXMENUCHECK) - 4, 0};
        DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK);
        SelectObject(dc, previous);
        ReleaseDC(item, dc);
        EXPECT_LE(needed.bottom, ClientSize(item).cy) << text;
    }
    EXPECT_FALSE(SaveWindowShot(form.Handle(), "querysp4").empty());
}
