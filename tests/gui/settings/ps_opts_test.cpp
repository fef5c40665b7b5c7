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
    int Focused() const { return GetDlgCtrlID(GetFocus()); }
    int Page() const { return TabCtrl_GetCurSel(Item(IDC_PAGECOPTIONS)); }
    size_t MessageCount() const { return FPrompts.Messages.size(); }

    // Empties an edit (one change), then types Text into it character by
    // character.
    void Retype(int id, const std::string& text)
    {
        SetWindowTextA(Item(id), "");
        for (char c : text)
            SendMessageA(Item(id), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    int Show(std::function<void(TDialog&)> script)
    {
        FPrompts.DialogScripts.push_back(std::move(script));
        return FForm.ShowModal();
    }
    void ClickTab(int index)
    {
        RECT r{};
        SendMessageA(Item(IDC_PAGECOPTIONS), TCM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&r));
        MouseDown(Item(IDC_PAGECOPTIONS), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        MouseUp(Item(IDC_PAGECOPTIONS), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // Alt and a letter as the keyboard sends them; the focused control after.
    int PressAlt(char letter)
    {
        const LPARAM flags = 1 | (1 << 29);
        PostMessageA(GetFocus(), WM_SYSKEYDOWN, static_cast<WPARAM>(letter), flags);
        PostMessageA(GetFocus(), WM_SYSKEYUP, static_cast<WPARAM>(letter), flags | (3LL << 30));
        PumpMessages();
        return Focused();
    }
    std::vector<int> TabSequenceFromOk(int steps)
    {
        SetFocus(Item(IDC_BTNOK));
        std::vector<int> ids;
        for (int i = 0; i < steps; ++i) {
            PressKey(VK_TAB, Item(ids.empty() ? IDC_BTNOK : ids.back()));
            ids.push_back(Focused());
        }
        return ids;
    }
    // Label, edit and unit label of a threshold row: 1 all enabled, 0 all
    // disabled, -1 mixed.
    int RowEnabled(int label, int edit, int unit) const
    {
        const int count = Enabled(label) + Enabled(edit) + Enabled(unit);
        return count == 3 ? 1 : count == 0 ? 0 : -1;
    }
    int ByteRow() const { return RowEnabled(IDC_LBLBYTETHRESHOLD, IDC_EDTBYTETHRESHOLD, IDC_LBLBYTES); }
    int KiloByteRow() const
    {
        return RowEnabled(IDC_LBLKILOBYTETHRESHOLD, IDC_EDTKILOBYTETHRESHOLD, IDC_LBLKILOBYTES);
    }
};

}  // namespace

TEST_F(Settings, ControlsCaptionsTabOrderAndTheViewPageAtEveryShowing)
{
    EXPECT_EQ(FForm.Caption(), "Settings");
    for (auto [id, text] : std::vector<std::pair<int, const char*>>{
             {IDC_BTNOK, "OK"}, {IDC_BTNCANCEL, "Cancel"},
             {IDC_CHKBYTES, "Display &kilobytes instead of bytes"},
             {IDC_LBLBYTETHRESHOLD, "&Threshold:"}, {IDC_EDTBYTETHRESHOLD, "1"},
             {IDC_LBLBYTES, "bytes"},
             {IDC_CHKKILOBYTES, "Display &megabytes instead of (kilo-)bytes"},
             {IDC_LBLKILOBYTETHRESHOLD, "T&hreshold:"}, {IDC_EDTKILOBYTETHRESHOLD, "1"},
             {IDC_LBLKILOBYTES, "kilobytes"}, {IDC_GRPTIMEFORMAT, "Time formatting"},
             {IDC_LBLLISTTIMEFORMAT, "&List windows:"}, {IDC_LBLLISTTIMEEXAMPLE, "Example:"},
             {IDC_LBLDETAILTIMEFORMAT, "&Detail header:"}, {IDC_LBLDETAILTIMEEXAMPLE, "Example:"},
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
    for (int index : {0, 1}) {
        char tab[32] = {};
        TCITEMA item{TCIF_TEXT, 0, 0, tab, sizeof tab, 0, 0};
        SendMessageA(Item(IDC_PAGECOPTIONS), TCM_GETITEMA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(tab, index == 0 ? "View" : "Miscellaneous");
    }

    FOptions.DisplayKilobytes = FOptions.DisplayMegabytes = true;
    FOptions.ColumnSep = 2;
    FForm.ReadOptions(FOptions);
    EXPECT_EQ(Show([&](TDialog& shown) {
                  const SIZE client = ClientSize(shown.Handle());
                  EXPECT_EQ(client.cx, 485);
                  EXPECT_EQ(client.cy, 389);
                  EXPECT_EQ(LOWORD(SendMessageA(shown.Handle(), DM_GETDEFID, 0, 0)), IDC_BTNOK);
                  SaveWindowShot(shown.Handle(), "settings-view");
                  EXPECT_EQ(TabSequenceFromOk(12),
                            (std::vector<int>{IDC_BTNCANCEL, IDC_PAGECOPTIONS, IDC_CHKBYTES,
                                              IDC_EDTBYTETHRESHOLD, IDC_CHKKILOBYTES,
                                              IDC_EDTKILOBYTETHRESHOLD, IDC_EDTLISTTIMEFORMAT,
                                              IDC_EDTDETAILTIMEFORMAT, IDC_CHKVIEWICONS,
                                              IDC_EDTDEFAULTTEXT, IDC_BTNOK, IDC_BTNCANCEL}));
                  EXPECT_EQ(PressAlt('V'), IDC_EDTDEFAULTTEXT);
                  ClickTab(1);
                  EXPECT_EQ(TabSequenceFromOk(8),
                            (std::vector<int>{IDC_BTNCANCEL, IDC_PAGECOPTIONS,
                                              IDC_EDTOPENKBCOMMAND, IDC_RGRPCOLUMNSEP_ITEM2,
                                              IDC_CHKUSECACHE, IDC_BTNCLEARCACHE, IDC_CHKUSEIDLE,
                                              IDC_BTNOK}));
                  EXPECT_EQ(PressAlt('K'), IDC_EDTOPENKBCOMMAND);
                  SaveWindowShot(shown.Handle(), "settings-miscellaneous");
                  PressKey(VK_ESCAPE, shown.Handle());
              }),
              IDCANCEL);

    // Left on "Miscellaneous": the next filling opens on "View" again.
    FForm.ReadOptions(FOptions);
    EXPECT_EQ(Show([&](TDialog&) {
                  EXPECT_EQ(Page(), 0);
                  EXPECT_TRUE(IsWindowVisible(Item(IDC_EDTLISTTIMEFORMAT)));
                  EXPECT_FALSE(IsWindowVisible(Item(IDC_EDTOPENKBCOMMAND)));
                  PostMessageA(FForm.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);   // the close box
                  PumpMessages();
              }),
              IDCANCEL);
    EXPECT_EQ(FPrompts.DialogsLeftOpen, 0);
}

TEST_F(Settings, TimePatternExamplesOfTypedAndFilledPatterns)
{
    FForm.ReadOptions(FOptions);
    SYSTEMTIME before{}, after{};
    std::string year, quotedH, minutes, detailDay, listAfterDetail;
    Show([&](TDialog&) {
        GetLocalTime(&before);
        Retype(IDC_EDTLISTTIMEFORMAT, "yyyy");
        year = Text(IDC_LBLLISTTIMEEXAMPLETEXT);
        Retype(IDC_EDTLISTTIMEFORMAT, "'h' mm");   // a quoted h is no hour: mm is the month
        quotedH = Text(IDC_LBLLISTTIMEEXAMPLETEXT);
        Retype(IDC_EDTLISTTIMEFORMAT, "h:m");      // an m after an h is the minute
        minutes = Text(IDC_LBLLISTTIMEEXAMPLETEXT);
        Retype(IDC_EDTDETAILTIMEFORMAT, "dddd");
        detailDay = Text(IDC_LBLDETAILTIMEEXAMPLETEXT);
        listAfterDetail = Text(IDC_LBLLISTTIMEEXAMPLETEXT);
        GetLocalTime(&after);
        ClickControl(Item(IDC_BTNCANCEL));
    });
    const char* const days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday",
                                "Friday", "Saturday"};
    // The clock may pass midnight, a month's or a year's end meanwhile:
    // either time's text will do.
    const auto either = [&](const std::string& text, auto of) {
        return text == of(before) || text == of(after);
    };
    const auto yearOf = [](const SYSTEMTIME& t) { return std::to_string(t.wYear); };
    EXPECT_TRUE(either(year, yearOf)) << year;
    EXPECT_TRUE(either(quotedH, [](const SYSTEMTIME& t) {
        return (t.wMonth < 10 ? "h 0" : "h ") + std::to_string(t.wMonth);
    })) << quotedH;
    EXPECT_TRUE(either(minutes, [](const SYSTEMTIME& t) {
        return std::to_string(t.wHour) + ":" + std::to_string(t.wMinute);
    })) << minutes;
    EXPECT_TRUE(either(detailDay, [&](const SYSTEMTIME& t) { return days[t.wDayOfWeek]; }));
    EXPECT_EQ(listAfterDetail, minutes);

    FOptions.DetailTimeFormat = "'filled' yyyy";
    GetLocalTime(&before);
    FForm.ReadOptions(FOptions);
    GetLocalTime(&after);
    EXPECT_TRUE(either(Text(IDC_LBLDETAILTIMEEXAMPLETEXT),
                       [&](const SYSTEMTIME& t) { return "filled " + yearOf(t); }));
}

TEST_F(Settings, CommandExampleAndTheMessageForInvalidTemplates)
{
    FForm.ReadOptions(FOptions);
    EXPECT_EQ(Text(IDC_LBLOPENKBCOMMANDEXAMPLETEXT),
              "http://support.microsoft.com/support/kb/articles/q123/4/56.asp");
    // Typed; the example after the last character, and the messages so far.
    const std::vector<std::tuple<const char*, const char*, size_t>> steps{
        {"q%s/%s/%s", "q123/4/56", 0}, {"100%%", "100%", 0},
        {"a%d", "a", 1},                // the message comes with the "d"
        {"%s%s%s%s", "123456", 2},      // and with the fourth "s"
        {"x%", "x", 2},                 // cut off: no message
        {"x%s", "x123", 2}, {"%1:s", "4", 2}, {"[%-5.2s]", "[12   ]", 2},
        {"%1025s", "", 3},
        {"%d%d", "", 6},                // at each keystroke while invalid
    };
    Show([&](TDialog& shown) {
        ClickTab(1);
        for (const auto& [typed, example, messages] : steps) {
            Retype(IDC_EDTOPENKBCOMMAND, typed);
            EXPECT_EQ(Text(IDC_LBLOPENKBCOMMANDEXAMPLETEXT), example) << typed;
            EXPECT_EQ(MessageCount(), messages) << typed;
        }
        EXPECT_EQ(Text(IDC_EDTOPENKBCOMMAND), "%d%d");   // kept as typed
        PressKey(VK_ESCAPE, shown.Handle());
    });
    ASSERT_EQ(MessageCount(), 6u);
    const TAskedMessage& message = FPrompts.Messages.front();
    EXPECT_EQ(message.Text, kInvalidCommand);
    EXPECT_EQ(message.Caption, "Command to open KB article:");
    EXPECT_EQ(message.Flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(message.Owner, FForm.Handle());
}

TEST_F(Settings, StoredCommandsInvalidOrLongerThanTheTypingLimit)
{
    // Reported while the dialog is filled, before it is shown; saved unchanged.
    FOptions.OpenKBCommand = "kb %d";
    FForm.ReadOptions(FOptions);
    ASSERT_EQ(MessageCount(), 1u);
    EXPECT_EQ(FPrompts.Messages[0].Text, kInvalidCommand);
    EXPECT_FALSE(FForm.Visible());
    EXPECT_EQ(Show([](TDialog& shown) { PressKey(VK_RETURN, shown.Handle()); }), IDOK);
    TUserOptions back;
    FForm.WriteOptions(back);
    EXPECT_EQ(back.OpenKBCommand, "kb %d");

    // Typing stops at 128 characters; a longer stored command is shown,
    // formatted and saved whole.
    const std::string site = "http://" + std::string(180, 'k');
    FOptions.OpenKBCommand = site + "/q%s/%s/%s";
    FForm.ReadOptions(FOptions);
    EXPECT_EQ(Text(IDC_EDTOPENKBCOMMAND), FOptions.OpenKBCommand);
    EXPECT_EQ(Text(IDC_LBLOPENKBCOMMANDEXAMPLETEXT), site + "/q123/4/56");
    FForm.WriteOptions(back);
    EXPECT_EQ(back.OpenKBCommand, FOptions.OpenKBCommand);
    Retype(IDC_EDTOPENKBCOMMAND, std::string(200, 'y'));
    EXPECT_EQ(Text(IDC_EDTOPENKBCOMMAND), std::string(128, 'y'));
}

TEST_F(Settings, OkChecksBothThresholdsInOrderAndShowsTheOneThatFailed)
{
    FForm.ReadOptions(FOptions);   // both check boxes off
    const auto selection = [&](int id) {
        return static_cast<DWORD>(SendMessageA(Item(id), EM_GETSEL, 0, 0));
    };
    const auto enter = [&](const char* bytes, const char* kilobytes) {
        SetWindowTextA(Item(IDC_EDTBYTETHRESHOLD), bytes);
        SetWindowTextA(Item(IDC_EDTKILOBYTETHRESHOLD), kilobytes);
        ClickTab(1);
    };
    EXPECT_EQ(Show([&](TDialog&) {
                  // Refused with its check box off; Enter came from the other page,
                  // and the disabled edit cannot take the focus.
                  enter("10 240", "8192");
                  SetFocus(Item(IDC_EDTOPENKBCOMMAND));
                  PressKey(VK_RETURN, Item(IDC_EDTOPENKBCOMMAND));
                  EXPECT_EQ(MessageCount(), 1u);
                  EXPECT_EQ(Page(), 0);
                  EXPECT_EQ(selection(IDC_EDTBYTETHRESHOLD), static_cast<DWORD>(MAKELONG(0, 6)));
                  EXPECT_EQ(Focused(), IDC_PAGECOPTIONS);

                  ClickControl(Item(IDC_CHKBYTES));
                  enter("", "8192");
                  ClickControl(Item(IDC_BTNOK));
                  EXPECT_EQ(MessageCount(), 2u);
                  EXPECT_EQ(Focused(), IDC_EDTBYTETHRESHOLD);

                  ClickControl(Item(IDC_CHKKILOBYTES));
                  enter("$2800", "2147483648");
                  ClickControl(Item(IDC_BTNOK));
                  EXPECT_EQ(MessageCount(), 3u);
                  EXPECT_EQ(Page(), 0);
                  EXPECT_EQ(Focused(), IDC_EDTKILOBYTETHRESHOLD);
                  EXPECT_EQ(selection(IDC_EDTKILOBYTETHRESHOLD), static_cast<DWORD>(MAKELONG(0, 10)));
                  EXPECT_EQ(FForm.ModalResult(), 0);

                  // Negative, or beyond the signed range in hexadecimal.
                  for (const char* bad : {"$FFFFFFFF", "-$FFFFFFFF", "$80000000", "-1"}) {
                      enter("$2800", bad);
                      ClickControl(Item(IDC_BTNOK));
                  }
                  enter("$2800", " 12");
                  ClickControl(Item(IDC_BTNOK));
              }),
              IDOK);
    ASSERT_EQ(MessageCount(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(FPrompts.Messages[i].Text, i < 2 ? "The specified byte threshold is not a valid number."
                                                   : "The specified kilobyte threshold is not a valid number.");
        EXPECT_EQ(FPrompts.Messages[i].Caption, "Options");
        EXPECT_EQ(FPrompts.Messages[i].Icon(), static_cast<UINT>(MB_ICONINFORMATION));
    }
    FForm.WriteOptions(FOptions);
    EXPECT_EQ(FOptions.ByteThreshold, 10240);
    EXPECT_EQ(FOptions.KiloByteThreshold, 12);
}

TEST_F(Settings, EveryControlGoesBackIntoItsSettingAndRowsFollowTheirCheckBoxes)
{
    FOptions.DisplayKilobytes = true;
    FOptions.ByteThreshold = 512;
    FOptions.KiloByteThreshold = 64;
    FOptions.ViewIcons = false;
    FOptions.UseCache = false;
    FOptions.UseIdle = true;
    FForm.ReadOptions(FOptions);
    const auto changeEverything = [&](TDialog&) {
        EXPECT_EQ(ByteRow(), 1);
        EXPECT_EQ(KiloByteRow(), 0);
        ClickControl(Item(IDC_CHKBYTES));
        ClickControl(Item(IDC_CHKKILOBYTES));
        EXPECT_EQ(ByteRow(), 0);
        EXPECT_EQ(KiloByteRow(), 1);
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
    };
    // Cancelled: the next filling brings the stored state back, rows included.
    EXPECT_EQ(Show([&](TDialog& shown) { changeEverything(shown); PressKey(VK_ESCAPE, shown.Handle()); }), IDCANCEL);
    FForm.ReadOptions(FOptions);
    EXPECT_EQ(Show([&](TDialog& shown) {
                  changeEverything(shown);
                  ClickControl(Item(IDC_BTNOK));
              }),
              IDOK);
    FForm.WriteOptions(FOptions);
    EXPECT_FALSE(FOptions.DisplayKilobytes);
    EXPECT_TRUE(FOptions.DisplayMegabytes);
    EXPECT_EQ(FOptions.ByteThreshold, 512);
    EXPECT_EQ(FOptions.KiloByteThreshold, 16);
    EXPECT_EQ(FOptions.ListTimeFormat, "d");
    EXPECT_EQ(FOptions.DetailTimeFormat, "");
    EXPECT_EQ(FOptions.DefaultText, "n/a");
    EXPECT_EQ(FOptions.OpenKBCommand, "%s");
    EXPECT_EQ(FOptions.ColumnSep, 1);
    EXPECT_TRUE(FOptions.ViewIcons);
    EXPECT_TRUE(FOptions.UseCache);
    EXPECT_FALSE(FOptions.UseIdle);
}

TEST_F(Settings, ClearCacheAsksThenEmptiesTheKeyForGood)
{
    const std::string cache = "Software\\Brightwater\\Patchscope\\Cache";
    for (const char* name : {"Q147222", "Q999999", "Service Pack"})
        WriteSz(HKEY_LOCAL_MACHINE, cache, name, "listing");
    WriteSz(HKEY_LOCAL_MACHINE, cache + "\\Kept", "Inside", "stays");
    FForm.ReadOptions(FOptions);

    FPrompts.MessageAnswers = {IDNO, IDYES, IDYES};
    EXPECT_EQ(Show([&](TDialog&) {
                  ClickTab(1);
                  ClickControl(Item(IDC_BTNCLEARCACHE));
                  EXPECT_TRUE(ReadRawValue(HKEY_LOCAL_MACHINE, cache, "Q147222").Exists);
                  ClickControl(Item(IDC_BTNCLEARCACHE));
                  ReadOnlyKey locked(cache, HKEY_LOCAL_MACHINE);   // then: no rights
                  ClickControl(Item(IDC_BTNCLEARCACHE));
                  ClickControl(Item(IDC_BTNCANCEL));
              }),
              IDCANCEL);
    ASSERT_EQ(MessageCount(), 4u);   // three questions, one failure
    EXPECT_EQ(FPrompts.Messages[3].Text.substr(0, 60),
              "The directory listing cache could not be cleared completely.");
    EXPECT_EQ(FPrompts.Messages[0].Text, "Are you sure you want to clear the directory listing cache?");
    EXPECT_EQ(FPrompts.Messages[0].Caption, "Clear cache");
    EXPECT_EQ(FPrompts.Messages[0].Flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    for (const char* name : {"Q147222", "Q999999", "Service Pack"})
        EXPECT_FALSE(ReadRawValue(HKEY_LOCAL_MACHINE, cache, name).Exists) << name;
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, cache));
    EXPECT_EQ(ReadRawValue(HKEY_LOCAL_MACHINE, cache + "\\Kept", "Inside").Data,
              std::string("stays") + '\0');
}
