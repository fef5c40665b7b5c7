// The settings dialog, filled, shown and read back as the main window's
// Settings command does it, against a private registry.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GuiTest.h"
#include "PrivateRegistry.h"
#include "UserOpts.h"
#include "ps_opts.h"
#include "ps_opts_res.h"

namespace {

const std::string kInvalidCommand =
    "Invalid format for command. The only allowed control sequence is \"%s\". If you want to "
    "insert a percentage sign, type \"%%\".";

class Settings : public ::testing::Test {
protected:
    PrivateRegistry FRegistry;
    TScriptedPrompts FPrompts;
    TUserOptions FOptions;   // the defaults: the registry is empty
    TfrmOptions FForm{nullptr};

    HWND Item(int id) const { return FForm.Item(id); }
    std::string Text(int id) const { return TextOf(Item(id)); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Visible(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    int Focused() const { return GetDlgCtrlID(GetFocus()); }

    // The keyboard's characters into an edit, one message each; the first
    // empties it (one change).
    void Retype(int id, const std::string& text)
    {
        SetWindowTextA(Item(id), "");
        for (char c : text)
            SendMessageA(Item(id), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    // Shows the dialog modally with Script running on it; the result.
    int Show(std::function<void(TDialog&)> script)
    {
        FPrompts.DialogScripts.push_back(std::move(script));
        return FForm.ShowModal();
    }
    // A mouse click on a tab of the page control.
    void ClickTab(int index)
    {
        RECT rect{};
        SendMessageA(Item(IDC_PAGECOPTIONS), TCM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&rect));
        MouseDown(Item(IDC_PAGECOPTIONS), (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        MouseUp(Item(IDC_PAGECOPTIONS), (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
    // Alt and a letter, as the keyboard sends them.
    void PressAlt(char letter)
    {
        HWND focus = GetFocus();
        const LPARAM flags = 1 | (1 << 29);
        PostMessageA(focus, WM_SYSKEYDOWN, static_cast<WPARAM>(letter), flags);
        PostMessageA(focus, WM_SYSKEYUP, static_cast<WPARAM>(letter), flags | (3LL << 30));
        PumpMessages();
    }
    std::vector<int> TabSequence(int steps)
    {
        std::vector<int> ids;
        for (int i = 0; i < steps; ++i) {
            PressKey(VK_TAB);
            ids.push_back(Focused());
        }
        return ids;
    }
};

std::string TwoDigits(int value) { return (value < 10 ? "0" : "") + std::to_string(value); }

}  // namespace

TEST_F(Settings, ControlsCaptionsAndTabOrderOnBothPages)
{
    EXPECT_EQ(FForm.Caption(), "Settings");
    for (auto [id, text] : std::vector<std::pair<int, const char*>>{
             {IDC_BTNOK, "OK"}, {IDC_BTNCANCEL, "Cancel"},
             {IDC_CHKBYTES, "Display &kilobytes instead of bytes"},
             {IDC_LBLBYTETHRESHOLD, "&Threshold:"}, {IDC_LBLBYTES, "bytes"},
             {IDC_CHKKILOBYTES, "Display &megabytes instead of (kilo-)bytes"},
             {IDC_LBLKILOBYTETHRESHOLD, "T&hreshold:"}, {IDC_LBLKILOBYTES, "kilobytes"},
             {IDC_GRPTIMEFORMAT, "Time formatting"}, {IDC_LBLLISTTIMEFORMAT, "&List windows:"},
             {IDC_LBLLISTTIMEEXAMPLE, "Example:"}, {IDC_LBLDETAILTIMEFORMAT, "&Detail header:"},
             {IDC_LBLDETAILTIMEEXAMPLE, "Example:"},
             {IDC_CHKVIEWICONS, "Show file &icons in details window"},
             {IDC_LBLDEFAULTTEXT, "Default text for missing &values:"},
             {IDC_LBLOPENKBCOMMAND, "Command to open &KB article:"},
             {IDC_LBLOPENKBCOMMANDEXAMPLE, "Example:"},
             {IDC_RGRPCOLUMNSEP, "Column separation when saving to file"},
             {IDC_RGRPCOLUMNSEP_ITEM0, "&Tab"}, {IDC_RGRPCOLUMNSEP_ITEM1, "&Spaces"},
             {IDC_RGRPCOLUMNSEP_ITEM2, "Semi&colon"}, {IDC_RGRPCOLUMNSEP_ITEM3, "C&omma"},
             {IDC_CHKUSECACHE, "&Use caching for directory listings"},
             {IDC_BTNCLEARCACHE, "C&lear cache..."},
             {IDC_CHKUSEIDLE, "Use &idle priority when scanning directories"}})
        EXPECT_EQ(Text(id), text) << id;
    char tab[32] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = tab;
    item.cchTextMax = sizeof tab;
    ASSERT_EQ(TabCtrl_GetItemCount(Item(IDC_PAGECOPTIONS)), 2);
    SendMessageA(Item(IDC_PAGECOPTIONS), TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(tab, "View");
    SendMessageA(Item(IDC_PAGECOPTIONS), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(tab, "Miscellaneous");

    FOptions.DisplayKilobytes = true;
    FOptions.DisplayMegabytes = true;
    FOptions.ColumnSep = 2;
    FForm.ReadOptions(FOptions);
    std::vector<int> view, misc;
    int defaultButton = 0, afterAltV = 0, afterAltK = 0;
    SIZE client{};
    EXPECT_EQ(Show([&](TDialog& shown) {
                  client = ClientSize(shown.Handle());
                  defaultButton = LOWORD(SendMessageA(shown.Handle(), DM_GETDEFID, 0, 0));
                  SetFocus(Item(IDC_BTNOK));
                  view = TabSequence(12);
                  PressAlt('V');
                  afterAltV = Focused();
                  ClickTab(1);
                  SetFocus(Item(IDC_BTNOK));
                  misc = TabSequence(8);
                  PressAlt('K');
                  afterAltK = Focused();
                  SaveWindowShot(shown.Handle(), "settings-miscellaneous");
                  PressKey(VK_ESCAPE);
              }),
              IDCANCEL);
    EXPECT_NEAR(client.cx, 485, 1);
    EXPECT_NEAR(client.cy, 389, 1);
    EXPECT_EQ(defaultButton, IDC_BTNOK);
    EXPECT_EQ(view, (std::vector<int>{IDC_BTNCANCEL, IDC_PAGECOPTIONS, IDC_CHKBYTES,
                                      IDC_EDTBYTETHRESHOLD, IDC_CHKKILOBYTES,
                                      IDC_EDTKILOBYTETHRESHOLD, IDC_EDTLISTTIMEFORMAT,
                                      IDC_EDTDETAILTIMEFORMAT, IDC_CHKVIEWICONS,
                                      IDC_EDTDEFAULTTEXT, IDC_BTNOK, IDC_BTNCANCEL}));
    EXPECT_EQ(afterAltV, IDC_EDTDEFAULTTEXT);
    EXPECT_EQ(misc, (std::vector<int>{IDC_BTNCANCEL, IDC_PAGECOPTIONS, IDC_EDTOPENKBCOMMAND,
                                      IDC_RGRPCOLUMNSEP_ITEM2, IDC_CHKUSECACHE,
                                      IDC_BTNCLEARCACHE, IDC_CHKUSEIDLE, IDC_BTNOK}));
    EXPECT_EQ(afterAltK, IDC_EDTOPENKBCOMMAND);

    // The next showing opens on "View", whatever page was left.
    FForm.ReadOptions(FOptions);
    int page = -1;
    bool viewShown = false, miscShown = true;
    EXPECT_EQ(Show([&](TDialog&) {
                  page = TabCtrl_GetCurSel(Item(IDC_PAGECOPTIONS));
                  viewShown = Visible(IDC_EDTLISTTIMEFORMAT) && Visible(IDC_CHKVIEWICONS);
                  miscShown = Visible(IDC_EDTOPENKBCOMMAND) || Visible(IDC_CHKUSEIDLE);
                  SaveWindowShot(FForm.Handle(), "settings-view");
                  ClickControl(Item(IDC_BTNCANCEL));
              }),
              IDCANCEL);
    EXPECT_EQ(page, 0);
    EXPECT_TRUE(viewShown);
    EXPECT_FALSE(miscShown);
}

TEST_F(Settings, ThresholdRowsFollowTheirCheckBoxesAtEveryShowing)
{
    const auto rowEnabled = [&](int label, int edit, int unit) {
        return Enabled(label) && Enabled(edit) && Enabled(unit);
    };
    const auto rowDisabled = [&](int label, int edit, int unit) {
        return !Enabled(label) && !Enabled(edit) && !Enabled(unit);
    };
    FOptions.DisplayKilobytes = true;
    FOptions.DisplayMegabytes = false;
    FForm.ReadOptions(FOptions);
    bool atShowing = false, afterClicks = false;
    Show([&](TDialog&) {
        atShowing = rowEnabled(IDC_LBLBYTETHRESHOLD, IDC_EDTBYTETHRESHOLD, IDC_LBLBYTES) &&
                    rowDisabled(IDC_LBLKILOBYTETHRESHOLD, IDC_EDTKILOBYTETHRESHOLD, IDC_LBLKILOBYTES);
        ClickControl(Item(IDC_CHKBYTES));
        ClickControl(Item(IDC_CHKKILOBYTES));
        afterClicks = rowDisabled(IDC_LBLBYTETHRESHOLD, IDC_EDTBYTETHRESHOLD, IDC_LBLBYTES) &&
                      rowEnabled(IDC_LBLKILOBYTETHRESHOLD, IDC_EDTKILOBYTETHRESHOLD, IDC_LBLKILOBYTES);
        PressKey(VK_ESCAPE);
    });
    EXPECT_TRUE(atShowing);
    EXPECT_TRUE(afterClicks);

    // Cancelled: the next filling brings the stored state back, rows included.
    FForm.ReadOptions(FOptions);
    Show([&](TDialog&) {
        atShowing = rowEnabled(IDC_LBLBYTETHRESHOLD, IDC_EDTBYTETHRESHOLD, IDC_LBLBYTES) &&
                    rowDisabled(IDC_LBLKILOBYTETHRESHOLD, IDC_EDTKILOBYTETHRESHOLD, IDC_LBLKILOBYTES);
        PostMessageA(FForm.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        PumpMessages();
    });
    EXPECT_TRUE(atShowing);
    EXPECT_EQ(FPrompts.DialogsLeftOpen, 0);
}

TEST_F(Settings, TimePatternExamplesOfTypedPatterns)
{
    FForm.ReadOptions(FOptions);
    SYSTEMTIME before{}, after{};
    std::string year, quotedH, minutes, detailDay, listAfterDetail;
    Show([&](TDialog&) {
        GetLocalTime(&before);
        Retype(IDC_EDTLISTTIMEFORMAT, "yyyy");
        year = Text(IDC_LBLLISTTIMEEXAMPLETEXT);
        Retype(IDC_EDTLISTTIMEFORMAT, "'h' mm");
        quotedH = Text(IDC_LBLLISTTIMEEXAMPLETEXT);
        Retype(IDC_EDTLISTTIMEFORMAT, "h:m");
        minutes = Text(IDC_LBLLISTTIMEEXAMPLETEXT);
        Retype(IDC_EDTDETAILTIMEFORMAT, "dddd");
        detailDay = Text(IDC_LBLDETAILTIMEEXAMPLETEXT);
        listAfterDetail = Text(IDC_LBLLISTTIMEEXAMPLETEXT);
        GetLocalTime(&after);
        ClickControl(Item(IDC_BTNCANCEL));
    });
    const char* const days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday",
                                "Friday", "Saturday"};
    const auto at = [](const SYSTEMTIME& t) {
        return std::to_string(t.wHour) + ":" + std::to_string(t.wMinute);
    };
    EXPECT_EQ(year, std::to_string(after.wYear));
    EXPECT_EQ(quotedH, "h " + TwoDigits(after.wMonth));
    EXPECT_TRUE(minutes == at(before) || minutes == at(after)) << minutes;
    EXPECT_EQ(detailDay, days[after.wDayOfWeek]);
    EXPECT_EQ(listAfterDetail, minutes);

    // Filling the dialog with a different pattern updates the example too.
    FOptions.DetailTimeFormat = "'filled' yyyy";
    FForm.ReadOptions(FOptions);
    EXPECT_EQ(Text(IDC_LBLDETAILTIMEEXAMPLETEXT), "filled " + std::to_string(after.wYear));
}

TEST_F(Settings, CommandExampleAndTheMessageForInvalidTemplates)
{
    FForm.ReadOptions(FOptions);
    EXPECT_EQ(Text(IDC_LBLOPENKBCOMMANDEXAMPLETEXT),
              "http://support.example.com/support/kb/articles/q123/4/56.asp");
    struct TStep {
        const char* Typed;
        const char* Example;   // after the last character
        size_t Messages;       // in all, after the last character
    };
    const std::vector<TStep> steps{
        {"q%s/%s/%s", "q123/4/56", 0},
        {"100%%", "100%", 0},
        {"a%d", "a", 1},                // the message comes with the "d"
        {"%s%s%s%s", "123456", 2},      // and with the fourth "s"
        {"x%", "x", 2},                 // cut off: no message
        {"x%s", "x123", 2},
        {"%1:s", "4", 2},
        {"[%-5.2s]", "[12   ]", 2},
        {"%1025s", "", 3},
        {"%d%d", "", 6},                // at each keystroke while invalid
    };
    std::vector<std::string> examples;
    Show([&](TDialog&) {
        ClickTab(1);
        for (const auto& step : steps) {
            Retype(IDC_EDTOPENKBCOMMAND, step.Typed);
            examples.push_back(Text(IDC_LBLOPENKBCOMMANDEXAMPLETEXT) + " / " +
                               std::to_string(FPrompts.Messages.size()));
        }
        // The edit keeps the invalid text as typed.
        EXPECT_EQ(Text(IDC_EDTOPENKBCOMMAND), "%d%d");
        PressKey(VK_ESCAPE);
    });
    ASSERT_EQ(examples.size(), steps.size());
    for (size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ(examples[i], std::string(steps[i].Example) + " / " +
                                   std::to_string(steps[i].Messages)) << steps[i].Typed;
    ASSERT_FALSE(FPrompts.Messages.empty());
    const TAskedMessage& message = FPrompts.Messages.front();
    EXPECT_EQ(message.Text, kInvalidCommand);
    EXPECT_EQ(message.Caption, "Command to open &KB article:");
    EXPECT_EQ(message.Icon(), static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(message.Buttons(), static_cast<UINT>(MB_OK));
    EXPECT_EQ(message.Owner, FForm.Handle());
}

TEST_F(Settings, StoredCommandsInvalidOrLongerThanTheTypingLimit)
{
    // An invalid stored command is reported while the dialog is filled,
    // before it is on the screen, and saved unchanged on OK.
    FOptions.OpenKBCommand = "kb %d";
    FForm.ReadOptions(FOptions);
    ASSERT_EQ(FPrompts.Messages.size(), 1u);
    EXPECT_EQ(FPrompts.Messages[0].Text, kInvalidCommand);
    EXPECT_FALSE(FForm.Visible());
    EXPECT_EQ(Show([](TDialog&) { PressKey(VK_RETURN); }), IDOK);
    TUserOptions back;
    FForm.WriteOptions(back);
    EXPECT_EQ(back.OpenKBCommand, "kb %d");

    // Typing stops at 128 characters; a longer stored command is shown and
    // saved whole.
    const std::string longCommand = "http://" + std::string(180, 'k') + "/q%s/%s/%s";
    FOptions.OpenKBCommand = longCommand;
    FForm.ReadOptions(FOptions);
    EXPECT_EQ(Text(IDC_EDTOPENKBCOMMAND), longCommand);
    EXPECT_EQ(Text(IDC_LBLOPENKBCOMMANDEXAMPLETEXT),
              "http://" + std::string(180, 'k') + "/q123/4/56");
    FForm.WriteOptions(back);
    EXPECT_EQ(back.OpenKBCommand, longCommand);
    Retype(IDC_EDTOPENKBCOMMAND, std::string(200, 'y'));
    EXPECT_EQ(Text(IDC_EDTOPENKBCOMMAND), std::string(128, 'y'));
}

TEST_F(Settings, OkChecksBothThresholdsInOrder)
{
    EXPECT_EQ(Text(IDC_EDTBYTETHRESHOLD), "1");
    EXPECT_EQ(Text(IDC_EDTKILOBYTETHRESHOLD), "1");
    FForm.ReadOptions(FOptions);   // both check boxes off
    struct TSeen {
        size_t Messages;
        int Page;
        DWORD Selection;
        int Focused;
        bool Open;
    };
    std::vector<TSeen> seen;
    const auto tryOk = [&](const char* bytes, const char* kilobytes) {
        SetWindowTextA(Item(IDC_EDTBYTETHRESHOLD), bytes);
        SetWindowTextA(Item(IDC_EDTKILOBYTETHRESHOLD), kilobytes);
        ClickTab(1);
        if (seen.empty()) {
            // Enter in an edit of the other page.
            SetFocus(Item(IDC_EDTOPENKBCOMMAND));
            PressKey(VK_RETURN);
        } else {
            ClickControl(Item(IDC_BTNOK));
        }
        seen.push_back({FPrompts.Messages.size(), TabCtrl_GetCurSel(Item(IDC_PAGECOPTIONS)),
                        static_cast<DWORD>(SendMessageA(GetFocus() == Item(IDC_EDTKILOBYTETHRESHOLD)
                                                            ? Item(IDC_EDTKILOBYTETHRESHOLD)
                                                            : Item(IDC_EDTBYTETHRESHOLD),
                                                        EM_GETSEL, 0, 0)),
                        Focused(), FForm.ModalResult() == 0});
    };
    const int result = Show([&](TDialog&) {
        tryOk("10 240", "8192");    // refused although the check box is off; edit disabled
        ClickControl(Item(IDC_CHKBYTES));
        tryOk("", "8192");          // refused; the enabled edit gets the focus
        ClickControl(Item(IDC_CHKKILOBYTES));
        tryOk("$2800", "2147483648");   // the bytes pass, the kilobytes do not
        tryOk("$2800", " -12");
    });
    ASSERT_EQ(result, IDOK);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].Messages, 1u);
    EXPECT_EQ(seen[0].Page, 0);
    EXPECT_EQ(seen[0].Selection, static_cast<DWORD>(MAKELONG(0, 6)));
    EXPECT_EQ(seen[0].Focused, IDC_PAGECOPTIONS);   // the edit is disabled, the old one hidden
    EXPECT_TRUE(seen[0].Open);
    EXPECT_EQ(seen[1].Messages, 2u);
    EXPECT_EQ(seen[1].Page, 0);
    EXPECT_EQ(seen[1].Focused, IDC_EDTBYTETHRESHOLD);
    EXPECT_TRUE(seen[1].Open);
    EXPECT_EQ(seen[2].Messages, 3u);
    EXPECT_EQ(seen[2].Focused, IDC_EDTKILOBYTETHRESHOLD);
    EXPECT_EQ(seen[2].Selection, static_cast<DWORD>(MAKELONG(0, 10)));
    EXPECT_TRUE(seen[2].Open);
    EXPECT_EQ(seen[3].Messages, 3u);
    EXPECT_FALSE(seen[3].Open);

    ASSERT_EQ(FPrompts.Messages.size(), 3u);
    EXPECT_EQ(FPrompts.Messages[0].Text, "The specified byte threshold is not a valid number.");
    EXPECT_EQ(FPrompts.Messages[1].Text, "The specified byte threshold is not a valid number.");
    EXPECT_EQ(FPrompts.Messages[2].Text,
              "The specified kilobyte threshold is not a valid number.");
    for (const auto& message : FPrompts.Messages) {
        EXPECT_EQ(message.Caption, "Options");
        EXPECT_EQ(message.Icon(), static_cast<UINT>(MB_ICONINFORMATION));
    }
    FForm.WriteOptions(FOptions);
    EXPECT_EQ(FOptions.ByteThreshold, 10240);
    EXPECT_EQ(FOptions.KiloByteThreshold, -12);
}

TEST_F(Settings, EveryControlGoesBackIntoItsSetting)
{
    // Away from the defaults in every edited setting.
    FOptions.DisplayKilobytes = true;
    FOptions.ByteThreshold = 512;
    FOptions.KiloByteThreshold = 64;
    FOptions.ListTimeFormat = "hh:nn";
    FOptions.DetailTimeFormat = "yyyy";
    FOptions.DefaultText = "?";
    FOptions.OpenKBCommand = "kb:%s-%s-%s";
    FOptions.ColumnSep = 3;
    FOptions.ViewIcons = false;
    FOptions.UseCache = false;
    FOptions.UseIdle = true;
    FForm.ReadOptions(FOptions);
    {
        TUserOptions copy;
        FForm.WriteOptions(copy);
        EXPECT_EQ(copy.DisplayKilobytes, true);
        EXPECT_EQ(copy.DisplayMegabytes, false);
        EXPECT_EQ(copy.ByteThreshold, 512);
        EXPECT_EQ(copy.KiloByteThreshold, 64);
        EXPECT_EQ(copy.ListTimeFormat, "hh:nn");
        EXPECT_EQ(copy.DetailTimeFormat, "yyyy");
        EXPECT_EQ(copy.DefaultText, "?");
        EXPECT_EQ(copy.OpenKBCommand, "kb:%s-%s-%s");
        EXPECT_EQ(copy.ColumnSep, 3);
        EXPECT_EQ(copy.ViewIcons, false);
        EXPECT_EQ(copy.UseCache, false);
        EXPECT_EQ(copy.UseIdle, true);
    }
    // Every control changed by the user, then OK.
    EXPECT_EQ(Show([&](TDialog&) {
                  ClickControl(Item(IDC_CHKBYTES));
                  ClickControl(Item(IDC_CHKKILOBYTES));
                  Retype(IDC_EDTKILOBYTETHRESHOLD, "$10");
                  Retype(IDC_EDTLISTTIMEFORMAT, "d");
                  Retype(IDC_EDTDETAILTIMEFORMAT, "");
                  Retype(IDC_EDTDEFAULTTEXT, "n/a");
                  ClickControl(Item(IDC_CHKVIEWICONS));
                  ClickTab(1);
                  Retype(IDC_EDTOPENKBCOMMAND, "%s");
                  ClickControl(Item(IDC_RGRPCOLUMNSEP_ITEM1));
                  ClickControl(Item(IDC_CHKUSECACHE));
                  ClickControl(Item(IDC_CHKUSEIDLE));
                  ClickControl(Item(IDC_BTNOK));
              }),
              IDOK);
    FForm.WriteOptions(FOptions);
    EXPECT_EQ(FOptions.DisplayKilobytes, false);
    EXPECT_EQ(FOptions.DisplayMegabytes, true);
    EXPECT_EQ(FOptions.ByteThreshold, 512);
    EXPECT_EQ(FOptions.KiloByteThreshold, 16);
    EXPECT_EQ(FOptions.ListTimeFormat, "d");
    EXPECT_EQ(FOptions.DetailTimeFormat, "");
    EXPECT_EQ(FOptions.DefaultText, "n/a");
    EXPECT_EQ(FOptions.OpenKBCommand, "%s");
    EXPECT_EQ(FOptions.ColumnSep, 1);
    EXPECT_EQ(FOptions.ViewIcons, true);
    EXPECT_EQ(FOptions.UseCache, true);
    EXPECT_EQ(FOptions.UseIdle, false);
}

TEST_F(Settings, ClearCacheAsksThenEmptiesTheKeyForGood)
{
    const std::string cache = "Software\\Brightwater\\Patchscope\\Cache";
    WriteSz(HKEY_LOCAL_MACHINE, cache, "Q147222", "listing");
    WriteSz(HKEY_LOCAL_MACHINE, cache, "Q999999", "other hotfix");
    WriteSz(HKEY_LOCAL_MACHINE, cache, "Service Pack", "sp");
    WriteSz(HKEY_LOCAL_MACHINE, cache + "\\Kept", "Inside", "stays");
    FForm.ReadOptions(FOptions);

    FPrompts.MessageAnswers = {IDNO, IDYES};
    bool keptAfterNo = false;
    EXPECT_EQ(Show([&](TDialog&) {
                  ClickTab(1);
                  ClickControl(Item(IDC_BTNCLEARCACHE));
                  keptAfterNo = ReadRawValue(HKEY_LOCAL_MACHINE, cache, "Q147222").Exists &&
                                ReadRawValue(HKEY_LOCAL_MACHINE, cache, "Service Pack").Exists;
                  ClickControl(Item(IDC_BTNCLEARCACHE));
                  ClickControl(Item(IDC_BTNCANCEL));
              }),
              IDCANCEL);
    EXPECT_TRUE(keptAfterNo);
    ASSERT_EQ(FPrompts.Messages.size(), 2u);   // the two questions, nothing after
    EXPECT_EQ(FPrompts.Messages[0].Text, "Are you sure you want to clear the directory listing cache?");
    EXPECT_EQ(FPrompts.Messages[0].Caption, "Clear cache");
    EXPECT_EQ(FPrompts.Messages[0].Icon(), static_cast<UINT>(MB_ICONQUESTION));
    EXPECT_EQ(FPrompts.Messages[0].Buttons(), static_cast<UINT>(MB_YESNO));
    for (const char* name : {"Q147222", "Q999999", "Service Pack"})
        EXPECT_FALSE(ReadRawValue(HKEY_LOCAL_MACHINE, cache, name).Exists) << name;
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, cache));
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, cache + "\\Kept", "Inside").Data,
              std::string("stays") + '\0');
}
