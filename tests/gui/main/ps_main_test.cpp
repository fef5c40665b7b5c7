// The main window's frame: start-up, menus, toolbar and hints, the computer
// box and its history, command states, placement.
#include <shlwapi.h>

#include "ps_about.h"
#include "ps_details.h"
#include "ps_main_fixture.h"

namespace {

const std::string kHistoryKey = kSettingsPath + "\\Computer history";

std::string MenuText(HMENU menu, int id)
{
    char text[256] = {};
    GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

class FrameTest : public MainWindowTest {
protected:
    std::vector<std::string> History() const
    {
        std::vector<std::string> entries;
        const HWND box = main->ComputerBox();
        for (int i = 0; i < SendMessageA(box, CB_GETCOUNT, 0, 0); ++i) {
            char text[256] = {};
            SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    std::string StoredEntry(int index) const
    {
        const RegValue value = ReadRawValue(HKEY_CURRENT_USER, kHistoryKey, std::to_string(index));
        return value.Exists ? value.Data.c_str() : "(none)";
    }
    HWND ComputerEdit() const { return GetWindow(main->ComputerBox(), GW_CHILD); }
};

using Texts = std::vector<std::string>;

TEST_F(FrameTest, StartLoadsTheComputerNamedWithTwoBackslashesElseTheLocalOne)
{
    const std::string local = "Patchscope - \\\\" + LocalName() + " (local)";
    for (const auto& parameters : std::vector<Texts>{{}, {"server1"}, {"\\\\"}}) {
        Start(parameters);
        EXPECT_EQ(main->Caption(), local) << (parameters.empty() ? "" : parameters[0]);
        Close();
    }
    Start({"\\\\" + Lower(LocalName()), "ignored"});
    EXPECT_EQ(main->Computer(), "\\\\" + LocalName());
    EXPECT_EQ(main->Caption(), "Patchscope - \\\\" + LocalName());
    EXPECT_EQ(TextOf(main->ComputerBox()), LocalName());
}

TEST_F(FrameTest, HistoryKeepsOneEntryPerComputerMostRecentFirstWithinTheMaximum)
{
    WriteSz(HKEY_CURRENT_USER, kHistoryKey, "Maximum size", "3");
    WriteSz(HKEY_CURRENT_USER, kHistoryKey, "0", "ALPHA");
    WriteSz(HKEY_CURRENT_USER, kHistoryKey, "1", "beta");
    WriteSz(HKEY_CURRENT_USER, kHistoryKey, "2", "GAMMA");
    Start();
    EXPECT_EQ(History(), (Texts{"ALPHA", "beta", "GAMMA"}));

    main->AddToHistory("\\\\BETA");   // known, in another case: moves to the top
    EXPECT_EQ(History(), (Texts{"BETA", "ALPHA", "GAMMA"}));
    EXPECT_EQ(TextOf(main->ComputerBox()), "BETA");
    main->AddToHistory("\\\\DELTA");  // new, with the list full: the oldest goes
    EXPECT_EQ(History(), (Texts{"DELTA", "BETA", "ALPHA"}));
    EXPECT_EQ(StoredEntry(0), "DELTA");
    EXPECT_EQ(StoredEntry(2), "ALPHA");

    // The local computer is never recorded, nor does it change the box.
    Command(IDM_MNULOCALCOMPUTER);
    main->AddToHistory("");
    EXPECT_EQ(History(), (Texts{"DELTA", "BETA", "ALPHA"}));
    EXPECT_EQ(TextOf(main->ComputerBox()), "DELTA");
}

TEST_F(FrameTest, HistoryWithoutRoomRecordsNothing)
{
    WriteSz(HKEY_CURRENT_USER, kHistoryKey, "Maximum size", "0");
    Start({"\\\\" + LocalName()});
    EXPECT_EQ(main->Computer(), "\\\\" + LocalName());
    EXPECT_TRUE(History().empty());
    EXPECT_EQ(StoredEntry(0), "(none)");
    // The box still names the computer on screen.
    EXPECT_EQ(TextOf(main->ComputerBox()), LocalName());
}

TEST_F(FrameTest, ComputerBoxLoadsOnEnterTabAndPickedEntriesAndFocusesTheList)
{
    WriteSz(HKEY_CURRENT_USER, kHistoryKey, "0", LocalName());
    AddHotfix("Q700001");
    Start();
    for (UINT key : {VK_RETURN, VK_TAB}) {
        Command(IDM_MNULOCALCOMPUTER);
        SetFocus(ComputerEdit());
        SetWindowTextA(main->ComputerBox(), Lower(LocalName()).c_str());
        PressKey(key, ComputerEdit());
        EXPECT_EQ(main->Computer(), "\\\\" + LocalName()) << key;
        EXPECT_EQ(GetFocus(), List()) << key;
        EXPECT_EQ(TextOf(main->ComputerBox()), LocalName());
    }
    Command(IDM_MNULOCALCOMPUTER);
    EXPECT_EQ(main->Computer(), "");
    SendMessageA(main->ComputerBox(), CB_SETCURSEL, 0, 0);
    SendMessageA(main->Toolbar(), WM_COMMAND, MAKEWPARAM(IDC_CMBCOMPUTER, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(main->ComputerBox()));
    PumpMessages(20);
    EXPECT_EQ(main->Computer(), "\\\\" + LocalName());
    EXPECT_EQ(RowCount(), 1);
    TypeComputer("  " + Lower(LocalName()) + " \t");   // blanks around a name are dropped
    EXPECT_EQ(main->Computer(), "\\\\" + LocalName());
    // Tab and F6 from the list to the box, F6 back; Ctrl+C copies the row, tab-separated.
    for (UINT key : {VK_TAB, VK_F6}) {
        PressKey(key, List());
        EXPECT_EQ(GetFocus(), ComputerEdit()) << key;
        PressKey(VK_F6, ComputerEdit());
        EXPECT_EQ(GetFocus(), List()) << key;
    }
    Select(0);
    SendMessageA(List(), WM_CHAR, 3, 0);
    ASSERT_TRUE(OpenClipboard(main->Handle()));
    const HANDLE data = GetClipboardData(CF_TEXT);
    EXPECT_STREQ(data ? static_cast<const char*>(GlobalLock(data)) : "",
                 "Q700001\tA fix\t(unknown)\t(unknown)\t(unknown)\r\n");
    CloseClipboard();
}

TEST_F(FrameTest, BrowsingLoadsTheChosenComputerAndCancelChangesNothing)
{
    Start();
    prompts.BrowseAnswers.push_back(std::nullopt);
    Command(IDM_MNUVIEWCOMPUTER);
    EXPECT_EQ(main->Computer(), "");
    prompts.BrowseAnswers.push_back(Lower(LocalName()));
    SendMessageA(main->Handle(), WM_COMMAND, MAKEWPARAM(IDC_TBTNBROWSECOMPUTER, BN_CLICKED),
                 reinterpret_cast<LPARAM>(main->Toolbar()));
    EXPECT_EQ(main->Computer(), "\\\\" + LocalName());
    EXPECT_EQ(prompts.BrowseRequests.size(), 2u);
}

TEST_F(FrameTest, CommandsFollowTheSelectedRow)
{
    AddHotfix("Q700001");
    AddHotfix("Q12345");
    AddHotfix("KB123456");
    AddHotfix("q700004");
    AddUninstallDir("Q700001").AddFile("a.dll");
    AddUninstallDir("q700004").AddFile("b.dll");
    Start();
    ASSERT_EQ(Column(0), (Texts{"KB123456", "Q12345", "Q700001", "q700004"}));
    struct Expected {
        int Row;
        bool Details, Uninstall, OpenKB;
    };
    for (const Expected& e : {Expected{-1, false, false, false}, Expected{0, false, false, false},
                              Expected{1, false, false, false}, Expected{2, true, true, true},
                              Expected{3, true, true, true}}) {
        if (e.Row >= 0)
            Select(e.Row);
        SendMessageA(main->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(main->PopupMenu()), 0);
        const std::string row = std::to_string(e.Row);
        EXPECT_EQ(MenuEnabled(IDM_MNUDETAILS), e.Details) << row;
        EXPECT_EQ(PopupEnabled(IDM_POPUPDETAILS), e.Details) << row;
        EXPECT_EQ(ButtonEnabled(IDC_TBTNDETAILS), e.Details) << row;
        EXPECT_EQ(MenuEnabled(IDM_MNUUNINSTALL), e.Uninstall) << row;
        EXPECT_EQ(PopupEnabled(IDM_POPUPUNINSTALL), e.Uninstall) << row;
        EXPECT_EQ(ButtonEnabled(IDC_TBTNUNINSTALL), e.Uninstall) << row;
        EXPECT_EQ(MenuEnabled(IDM_MNUOPENKB), e.OpenKB) << row;
        EXPECT_EQ(PopupEnabled(IDM_POPUPOPENKB), e.OpenKB) << row;
        EXPECT_EQ(ButtonEnabled(IDC_TBTNOPENKBARTICLE), e.OpenKB) << row;
        EXPECT_TRUE(MenuEnabled(IDM_MNUSAVEAS));
        EXPECT_TRUE(ButtonEnabled(IDC_TBTNSAVEAS));
    }
    // A refresh empties the selection, and with it the commands.
    PressKey(VK_F5, List());
    EXPECT_EQ(ListView_GetSelectedCount(List()), 0u);
    EXPECT_FALSE(ButtonEnabled(IDC_TBTNDETAILS));
    EXPECT_FALSE(MenuEnabled(IDM_MNUOPENKB));

    main->EnableControls(false);
    EXPECT_FALSE(IsWindowEnabled(List()));
    EXPECT_FALSE(IsWindowEnabled(main->ComputerBox()));
    EXPECT_FALSE(ButtonEnabled(IDC_TBTNREFRESH));
    EXPECT_TRUE(GetMenuState(GetMenu(main->Handle()), 1, MF_BYPOSITION) & MF_GRAYED);
    main->EnableControls(true);
    EXPECT_TRUE(IsWindowEnabled(List()));
    EXPECT_TRUE(ButtonEnabled(IDC_TBTNREFRESH));
    EXPECT_FALSE(ButtonEnabled(IDC_TBTNDETAILS));
    EXPECT_FALSE(GetMenuState(GetMenu(main->Handle()), 1, MF_BYPOSITION) & MF_GRAYED);
}

TEST_F(FrameTest, ShortcutsOfDisabledMenusDoNothingUntilTheControlsReturn)
{
    Start();
    AddHotfix("Q700001");
    main->EnableControls(false);
    PressKey(VK_F5, main->Handle());
    EXPECT_EQ(RowCount(), 0);
    main->EnableControls(true);
    PressKey(VK_F5, main->Handle());
    EXPECT_EQ(RowCount(), 1);

    // A shortcut of the "Hotfix" menu makes the platform announce that menu
    // first; that must not bring the disabled buttons back.
    main->EnableControls(false);
    SendMessageA(main->Handle(), WM_INITMENUPOPUP,
                 reinterpret_cast<WPARAM>(GetSubMenu(GetMenu(main->Handle()), 0)), 0);
    EXPECT_FALSE(ButtonEnabled(IDC_TBTNSAVEAS));
    main->EnableControls(true);
    EXPECT_TRUE(ButtonEnabled(IDC_TBTNSAVEAS));
}

TEST_F(FrameTest, MenusCarryTheirShortcutsHintsAndTheBoldDefaultItem)
{
    Start();
    const HMENU menu = GetMenu(main->Handle());
    EXPECT_EQ(MenuText(menu, IDM_MNUDETAILS), "&View Details...\tAlt+Enter");
    EXPECT_EQ(MenuText(menu, IDM_MNUREFRESH), "&Refresh\tF5");
    EXPECT_EQ(GetMenuDefaultItem(main->PopupMenu(), FALSE, GMDI_USEDISABLED), static_cast<UINT>(IDM_POPUPDETAILS));

    SendMessageA(main->Handle(), WM_MENUSELECT, MAKEWPARAM(IDM_MNUVIEWCOMPUTER, MF_HILITE),
                 reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(Status(1), "Browse the network for computers to view");
    SendMessageA(main->Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(Status(1), "");

    // A toolbar button: the status part in the panel, the rest as tool tip.
    RECT button{};
    SendMessageA(main->Toolbar(), TB_GETRECT, IDC_TBTNREFRESH, reinterpret_cast<LPARAM>(&button));
    PostMessageA(main->Toolbar(), WM_MOUSEMOVE, 0,
                 MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2));
    PumpMessages(20);
    EXPECT_EQ(Status(1), "Refresh the hotfix list and reread the data");
    NMTTDISPINFOA tip{};
    tip.hdr.code = TTN_GETDISPINFOA;
    tip.hdr.idFrom = IDC_TBTNREFRESH;
    tip.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageA(main->Toolbar(), TB_GETTOOLTIPS, 0, 0));
    SendMessageA(main->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ(tip.szText, "Refresh");
    EXPECT_EQ(GetLongHint(main->HintAt(ComputerEdit(), POINT{1, 1})),
              "The most recent computers viewed");
}

TEST_F(FrameTest, AboutShowsTheAboutBoxAndExitClosesTheWindow)
{
    Start();
    TfrmAbout about(main->Handle());
    main->SetForms(&about, query.get());
    Command(IDM_MNUABOUT);
    ASSERT_EQ(prompts.DialogsShown.size(), 1u);
    EXPECT_EQ(prompts.DialogsShown[0], "About Patchscope");

    const HWND window = main->Handle();
    SetWindowPos(window, nullptr, 40, 50, 450, 350, SWP_NOZORDER);
    Command(IDM_MNUEXIT);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kSettingsPath, "Top").Data.c_str(), std::string("50"));
}

TEST_F(FrameTest, ClosingEndsTheMessageLoopAlsoWhenTheSettingsCannotBeSaved)
{
    Start();
    // The settings key goes away under the open settings object.
    SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsPath.c_str());
    MSG quit{};
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        // a quit message left behind by an earlier test
    }
    query.reset();
    main.reset();
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, "Failed to set data for 'Left'");
    EXPECT_EQ(prompts.Messages[0].Icon(), static_cast<UINT>(MB_ICONERROR));
}

TEST_F(FrameTest, ViewMenuShowsTheStatesAndTogglesTheBars)
{
    Start();
    const HMENU view = GetSubMenu(GetMenu(main->Handle()), 1);
    SendMessageA(main->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
    EXPECT_TRUE(GetMenuState(view, IDM_MNULOCALCOMPUTER, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(view, IDM_MNUVIEWTOOLBAR, MF_BYCOMMAND) & MF_CHECKED);

    RECT before{};
    GetWindowRect(List(), &before);
    Command(IDM_MNUVIEWTOOLBAR);
    Command(IDM_MNUVIEWSTATUSBAR);
    EXPECT_FALSE(IsWindowVisible(main->Toolbar()));
    EXPECT_FALSE(IsWindowVisible(main->StatusBar()));
    RECT after{};
    GetWindowRect(List(), &after);
    EXPECT_LT(after.top, before.top);
    EXPECT_GT(after.bottom, before.bottom);
    SendMessageA(main->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
    EXPECT_FALSE(GetMenuState(view, IDM_MNUVIEWTOOLBAR, MF_BYCOMMAND) & MF_CHECKED);

    main->LoadHotfixList(LocalName());
    SendMessageA(main->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
    EXPECT_FALSE(GetMenuState(view, IDM_MNULOCALCOMPUTER, MF_BYCOMMAND) & MF_GRAYED);

    Close();
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kSettingsPath, "Toolbar").Type,
              static_cast<DWORD>(REG_DWORD));
    Start();
    EXPECT_FALSE(IsWindowVisible(main->Toolbar()));
    EXPECT_FALSE(IsWindowVisible(main->StatusBar()));
}

TEST_F(FrameTest, StatusTextStaysOnTheScreenWhenTheWindowIsResizedOrMaximized)
{
    MSG quit{};   // an earlier window's end would hold back every repaint
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    Start();
    RECT panel{};
    SendMessageA(main->StatusBar(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&panel));
    auto textPixels = [&] {   // the first panel's pixels in the text colour, as drawn
        int count = 0;
        for (int y = panel.top; y < panel.bottom; ++y)
            for (int x = panel.left; x < panel.right; ++x)
                count += ClientPixel(main->StatusBar(), x, y) == GetSysColor(COLOR_BTNTEXT);
        return count;
    };
    const int drawn = textPixels();
    ASSERT_GT(drawn, 20);
    SetWindowPos(main->Handle(), nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages(100);
    EXPECT_EQ(textPixels(), drawn);
    ShowWindow(main->Handle(), SW_MAXIMIZE);
    PumpMessages(100);
    EXPECT_EQ(textPixels(), drawn);
}

TEST_F(FrameTest, MaximizedCloseKeepsTheNormalBoundsForTheNextStart)
{
    Start();
    SetWindowPos(main->Handle(), nullptr, 120, 130, 600, 400, SWP_NOZORDER);
    Close();
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kSettingsPath, "Left").Data.c_str(), std::string("120"));

    Start();
    ShowWindow(main->Handle(), SW_MAXIMIZE);
    PumpMessages(20);
    Close();
    const RegValue maximized = ReadRawValue(HKEY_CURRENT_USER, kSettingsPath, "Maximized");
    EXPECT_EQ(maximized.Type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(maximized.Data[0], 1);
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kSettingsPath, "Width").Data.c_str(), std::string("600"));

    Start();
    EXPECT_TRUE(IsZoomed(main->Handle()));
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(main->Handle(), &placement);
    EXPECT_EQ(placement.rcNormalPosition.left, 120);
    EXPECT_EQ(placement.rcNormalPosition.right - placement.rcNormalPosition.left, 600);
    EXPECT_EQ(placement.rcNormalPosition.bottom - placement.rcNormalPosition.top, 400);
    SaveWindowShot(main->Handle(), "ps_main_maximized");
}

TEST_F(FrameTest, SessionEndAndClosingStoreTheMainAndTheDetailsWindowsPlacements)
{
    AddHotfix("Q300002");
    AddUninstallDir("Q300002").AddFile("a.dll");
    Start();
    Select(0);
    Command(IDM_MNUDETAILS);
    ASSERT_EQ(main->DetailWindows().size(), 1u);
    const HWND details = main->DetailWindows()[0]->Handle();
    const std::string placement = kSettingsPath + "\\Details";
    const auto stored = [](const char* name, const std::string& key = kSettingsPath) {
        return std::string(ReadRawValue(HKEY_CURRENT_USER, key, name).Data.c_str());
    };
    SetWindowPos(main->Handle(), nullptr, 120, 130, 600, 400, SWP_NOZORDER);
    SetWindowPos(details, nullptr, 70, 80, 520, 330, SWP_NOZORDER);
    Command(IDM_MNUVIEWTOOLBAR);
    ShowWindow(main->Handle(), SW_MINIMIZE);

    // Nothing is closed at the session's end: what closing stores is stored now.
    EXPECT_EQ(SendMessageA(main->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageA(main->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(stored("Left") + "," + stored("Height"), "120,400");
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kSettingsPath, "Toolbar").Data, std::string(4, '\0'));
    EXPECT_EQ(stored("Top", placement) + "," + stored("Width", placement), "80,520");

    // Closing the main window takes the details window along, placement stored.
    SetWindowPos(details, nullptr, 90, 95, 530, 340, SWP_NOZORDER);
    PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !main->Handle(); }));
    EXPECT_EQ(stored("Left", placement), "90");
    EXPECT_TRUE(prompts.Messages.empty());
}

}  // namespace
