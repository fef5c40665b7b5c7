// The hyperlink label: its look, its click, its context menu and the clipboard.
#include <windows.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "GuiTest.h"
#include "components/UrlLabel.h"
#include "ps_about.h"
#include "ps_dialogs_res.h"

namespace {

std::string ClipboardText()
{
    if (!OpenClipboard(nullptr))
        return "<clipboard not available>";
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// How many pixels of the label are drawn in Colour.
int PixelsOf(HWND label, COLORREF colour)
{
    const SIZE size = ClientSize(label);
    HDC dc = GetDC(label);
    int count = 0;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            if (GetPixel(dc, x, y) == colour)
                ++count;
    ReleaseDC(label, dc);
    return count;
}

// The most pixels of one row of the label drawn in Colour.
int LongestRowOf(HWND label, COLORREF colour)
{
    const SIZE size = ClientSize(label);
    HDC dc = GetDC(label);
    int longest = 0;
    for (int y = 0; y < size.cy; ++y) {
        int count = 0;
        for (int x = 0; x < size.cx; ++x)
            if (GetPixel(dc, x, y) == colour)
                ++count;
        longest = std::max(longest, count);
    }
    ReleaseDC(label, dc);
    return longest;
}

// The about box shown without modality, so that its labels live on screen.
struct ShownAboutBox : ::testing::Test {
    TScriptedPrompts prompts;
    TfrmAbout form{nullptr};
    void SetUp() override
    {
        form.Show();
        PumpMessages(50);
    }
    TUrlLabel& web() { return form.urlWebpage; }
};

// A menu that its keys did not close is ended after this long: ample for a
// machine many times slower than usual, since the keys normally close it at once.
constexpr UINT kMenuLimitMs = 45000;

void CALLBACK EndStuckMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    EndMenu();
}

}  // namespace

TEST_F(ShownAboutBox, LinkIsBlueAndUnderlinedAndPurpleWhilePressed)
{
    HWND label = web().Handle();
    EXPECT_GT(PixelsOf(label, TUrlLabel::kLinkColor), 0);
    EXPECT_EQ(PixelsOf(label, TUrlLabel::kPressedColor), 0);
    // The underline: one row blue from end to end of the text.
    EXPECT_GE(LongestRowOf(label, TUrlLabel::kLinkColor), ClientSize(label).cx - 3);

    MouseDown(label, 3, 3);
    EXPECT_TRUE(PumpUntil([&] { return web().Pressed(); }));
    EXPECT_GT(PixelsOf(label, TUrlLabel::kPressedColor), 0);
    EXPECT_EQ(PixelsOf(label, TUrlLabel::kLinkColor), 0);

    // Released outside the text: back to blue, and nothing is opened.
    MouseUp(label, -20, -20);
    EXPECT_TRUE(PumpUntil([&] { return !web().Pressed(); }));
    EXPECT_GT(PixelsOf(label, TUrlLabel::kLinkColor), 0);
    EXPECT_TRUE(prompts.ShellOpens.empty());
}

TEST_F(ShownAboutBox, LinkShowsTheHandCursorUnlessTheProgramIsBusy)
{
    HWND label = web().Handle();
    SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
    {
        TScreenCursor busy;
        SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
    }
}

TEST_F(ShownAboutBox, ClickOpensTheTargetWithTheShellsOpenVerb)
{
    ClickControl(web().Handle());
    ASSERT_EQ(prompts.ShellOpens.size(), 1u);
    EXPECT_EQ(prompts.ShellOpens[0].Target, "http://www.example.com/patchscope/");
    EXPECT_EQ(prompts.ShellOpens[0].Parameters, "");
}

TEST_F(ShownAboutBox, TargetIsTheLinkAddressOrElseTheCaption)
{
    web().SetCaption("Patchscope home");
    EXPECT_EQ(web().Target(), "Patchscope home");
    web().SetLinkAddress("http://www.example.org/");
    EXPECT_EQ(web().Target(), "http://www.example.org/");
    ClickControl(web().Handle());
    ASSERT_EQ(prompts.ShellOpens.size(), 1u);
    EXPECT_EQ(prompts.ShellOpens[0].Target, "http://www.example.org/");
}

TEST_F(ShownAboutBox, ContextMenuOffersOpenAsDefaultAndCopy)
{
    const MenuHandle menu = web().CreateContextMenu();
    HMENU popup = GetSubMenu(menu.get(), 0);
    ASSERT_EQ(GetMenuItemCount(popup), 2);
    char text[64] = {};
    GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Open location");
    GetMenuStringA(popup, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Copy link location");
    EXPECT_EQ(GetMenuDefaultItem(popup, TRUE, 0), 0u) << "the default item, drawn bold";
}

TEST_F(ShownAboutBox, CopyLinkLocationPutsTheTargetOnTheClipboard)
{
    form.urlEmail.CopyLinkLocation();
    EXPECT_EQ(ClipboardText(), "mailto:patchscope@example.com");
    web().CopyLinkLocation();
    EXPECT_EQ(ClipboardText(), "http://www.example.com/patchscope/");
}

TEST_F(ShownAboutBox, ContextMenuChosenByKeyboardRunsItsCommand)
{
    HWND label = web().Handle();
    RECT bounds{};
    GetWindowRect(label, &bounds);
    // The menu's own loop reads these keys: second item, then Enter.
    PostMessageA(label, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(label, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(label, WM_KEYDOWN, VK_RETURN, 1);
    UINT_PTR guard = SetTimer(nullptr, 0, kMenuLimitMs, EndStuckMenu);
    SendMessageA(label, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(label),
                 MAKELPARAM(bounds.left + 2, bounds.top + 2));
    KillTimer(nullptr, guard);
    EXPECT_EQ(ClipboardText(), "http://www.example.com/patchscope/");
    EXPECT_TRUE(prompts.ShellOpens.empty());

    PostMessageA(label, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(label, WM_KEYDOWN, VK_RETURN, 1);
    guard = SetTimer(nullptr, 0, kMenuLimitMs, EndStuckMenu);
    SendMessageA(label, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(label), MAKELPARAM(-1, -1));
    KillTimer(nullptr, guard);
    ASSERT_EQ(prompts.ShellOpens.size(), 1u);
    EXPECT_EQ(prompts.ShellOpens[0].Target, "http://www.example.com/patchscope/");
}
