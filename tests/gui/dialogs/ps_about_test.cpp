// The about box: what it shows, where its links lead, and OK as the only way out.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GuiTest.h"
#include "PsVersion.h"
#include "ps_about.h"
#include "ps_dialogs_res.h"

TEST(AboutBox, ShowsTheProgramItsVersionAndAddresses)
{
    TfrmAbout form(nullptr);
    EXPECT_EQ(form.Caption(), "About Patchscope");
    EXPECT_EQ(TextOf(form.Item(IDC_LBLAPPTITLE)), "Patchscope");
    EXPECT_EQ(TextOf(form.Item(IDC_LBLVERSION)), "Version " PS_VERSION_TEXT);
    EXPECT_EQ(TextOf(form.Item(IDC_LBLEMAIL)), "E-mail:");
    EXPECT_EQ(TextOf(form.Item(IDC_LBLWWW)), "WWW:");
    EXPECT_EQ(form.urlEmail.Caption(), "patchscope@example.com");
    EXPECT_EQ(form.urlEmail.Target(), "mailto:patchscope@example.com");
    EXPECT_EQ(form.urlWebpage.Caption(), "http://www.example.com/patchscope/");
    EXPECT_EQ(form.urlWebpage.Target(), "http://www.example.com/patchscope/");
    EXPECT_EQ(TextOf(form.Item(IDC_BTNOK)), "OK");
}

namespace {

// The icon drawn at 32 by 32 pixels on a white ground.
std::vector<COLORREF> IconPixels(HICON icon)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 32, 32};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace

TEST(AboutBox, ShowsTheProgramIcon)
{
    TfrmAbout form(nullptr);
    const auto shown = reinterpret_cast<HICON>(SendMessageA(form.Item(IDC_IMGICON), STM_GETICON, 0, 0));
    ASSERT_NE(shown, nullptr);
    // Drawn, it is the picture of the program's icon file.
    const char* source = std::getenv("PS_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::string file = "Z:" + std::string(source) + "/gui/res/pscope.ico";
    std::replace(file.begin(), file.end(), '/', '\\');
    const auto fromFile = static_cast<HICON>(
        LoadImageA(nullptr, file.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE));
    ASSERT_NE(fromFile, nullptr) << file;
    EXPECT_EQ(IconPixels(shown), IconPixels(fromFile));
    EXPECT_NE(IconPixels(shown), IconPixels(LoadIconA(nullptr, IDI_APPLICATION)));
    DestroyIcon(fromFile);
    RECT image{};
    GetClientRect(form.Item(IDC_IMGICON), &image);
    EXPECT_EQ(image.right, 32);
    EXPECT_EQ(image.bottom, 32);
}

TEST(AboutBox, OpensWithTheFocusOnOkEveryTime)
{
    TScriptedPrompts prompts;
    TfrmAbout form(nullptr);
    HWND focused[3] = {};
    for (HWND& focus : focused) {
        prompts.DialogScripts.push_back([&focus](TDialog& shown) {
            focus = GetFocus();
            // The user leaves the focus elsewhere before closing.
            SetFocus(shown.Item(IDC_URLWEBPAGE));
            PostMessageA(shown.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        form.ShowModal();
    }
    for (HWND focus : focused)
        EXPECT_EQ(focus, form.Item(IDC_BTNOK));
    EXPECT_EQ(prompts.DialogsLeftOpen, 0);
}

TEST(AboutBox, EnterEscAndOkAllCloseItWithOk)
{
    TScriptedPrompts prompts;
    TfrmAbout form(nullptr);
    prompts.DialogScripts.push_back(PressKeyScript(VK_RETURN));
    prompts.DialogScripts.push_back(PressKeyScript(VK_ESCAPE));
    prompts.DialogScripts.push_back(ClickButtonScript(IDC_BTNOK));
    for (int showing = 0; showing < 3; ++showing) {
        EXPECT_EQ(form.ShowModal(), IDOK) << "showing " << showing;
        EXPECT_FALSE(form.Visible());
    }
    EXPECT_EQ(prompts.DialogsLeftOpen, 0);
}

TEST(AboutBox, LinksOpenThroughTheShell)
{
    TScriptedPrompts prompts;
    TfrmAbout form(nullptr);
    prompts.DialogScripts.push_back([](TDialog& shown) {
        ClickControl(shown.Item(IDC_URLEMAIL));
        ClickControl(shown.Item(IDC_URLWEBPAGE));
        EXPECT_TRUE(shown.Visible()) << "a link leaves the box open";
        PressKey(VK_ESCAPE, shown.Item(IDC_URLWEBPAGE));
    });
    form.ShowModal();
    ASSERT_EQ(prompts.ShellOpens.size(), 2u);
    EXPECT_EQ(prompts.ShellOpens[0].Target, "mailto:patchscope@example.com");
    EXPECT_EQ(prompts.ShellOpens[1].Target, "http://www.example.com/patchscope/");
}

TEST(AboutBox, HasItsDesignedSizeAndLook)
{
    TfrmAbout form(nullptr);
    form.Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form.Handle()) != FALSE; }));
    const SIZE client = ClientSize(form.Handle());
    EXPECT_NEAR(client.cx, 375, 1);
    EXPECT_NEAR(client.cy, 195, 1);
    // The links end inside the panel.
    RECT panel{}, web{};
    GetWindowRect(form.Item(IDC_PANEL1), &panel);
    GetWindowRect(form.Item(IDC_URLWEBPAGE), &web);
    EXPECT_LT(web.right, panel.right);
    EXPECT_FALSE(SaveWindowShot(form.Handle(), "about").empty());
}
