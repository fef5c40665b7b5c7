// The main window's commands, driven through its menus on private data:
// details windows, uninstall, the Knowledge Base article, Save As in every
// format and its failures, the settings.
#include <windows.h>
#include <dlgs.h>

#include <cstdlib>
#include <regex>

#include "ps_details.h"
#include "ps_details_res.h"
#include "ps_main_fixture.h"
#include "ps_opts.h"
#include "ps_opts_res.h"

namespace {

using Texts = std::vector<std::string>;

const std::string kSaveAsFilter =
    "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|CSV Files (*.csv)|*.csv|"
    "HTML Files (*.htm;*.html)|*.htm;*.html";

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class CommandsTest : public MainWindowTest {
protected:
    const TAskedMessage& LastMessage() const { return prompts.Messages.back(); }

    // Saves the list through Save As into File with the filter entry Index.
    void SaveAs(const std::string& file, int filterIndex = 1)
    {
        prompts.SaveFileAnswers.push_back(file);
        prompts.SaveFileFilterIndexes.push_back(filterIndex);
        Command(IDM_MNUSAVEAS);
    }
};

TEST_F(CommandsTest, DetailsWindowsAreFoundByTheHotfixAndComputerTheyShow)
{
    // Two identifiers of which one contains the other.
    AddHotfix("Q12345", "Short");
    AddHotfix("Q123456", "Long");
    AddUninstallDir("Q12345").AddFile("a.dll");
    AddUninstallDir("Q123456").AddFile("b.dll");
    Start();
    ASSERT_EQ(Column(0), (Texts{"Q12345", "Q123456"}));

    Select(1);
    Command(IDM_MNUDETAILS);
    ASSERT_EQ(main->DetailWindows().size(), 1u);
    TfrmDetails* longer = main->DetailWindows()[0];
    EXPECT_EQ(longer->HotfixID, "Q123456");
    EXPECT_EQ(longer->ComputerName, "");
    EXPECT_EQ(longer->Description, "Long");
    EXPECT_TRUE(IsWindowVisible(longer->Handle()));

    Select(0);
    SendMessageA(List(), WM_LBUTTONDBLCLK, 0, 0);   // whatever the point: the selected row
    PumpMessages(20);
    ASSERT_EQ(main->DetailWindows().size(), 2u);
    TfrmDetails* shorter = main->DetailWindows()[1];
    EXPECT_EQ(shorter->HotfixID, "Q12345");
    // Not on top of the open one: a caption's height down and right.
    RECT first{}, second{};
    GetWindowRect(longer->Handle(), &first);
    GetWindowRect(shorter->Handle(), &second);
    EXPECT_EQ(second.left - first.left, GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(second.top - first.top, GetSystemMetrics(SM_CYCAPTION));

    // The same hotfix again: its window comes to the front, no second one.
    Select(1);
    SendMessageA(main->Handle(), WM_COMMAND, MAKEWPARAM(IDM_POPUPDETAILS, 0), 0);
    PumpMessages(20);
    EXPECT_EQ(main->DetailWindows().size(), 2u);
    EXPECT_EQ(FrontWindowOfThisProcess(), longer->Handle());

    // A closed window leaves the table; the command opens a new one.
    SendMessageA(longer->Handle(), WM_CLOSE, 0, 0);
    PumpMessages(20);
    ASSERT_EQ(main->DetailWindows().size(), 1u);
    EXPECT_EQ(main->DetailWindows()[0], shorter);
    Command(IDM_MNUDETAILS);
    ASSERT_EQ(main->DetailWindows().size(), 2u);
    EXPECT_EQ(main->DetailWindows()[0]->HotfixID, "Q123456");

    // The same hotfix read from another computer is another window.
    TypeComputer(LocalName());
    Select(1);
    Command(IDM_MNUDETAILS);
    ASSERT_EQ(main->DetailWindows().size(), 3u);
    EXPECT_EQ(main->DetailWindows()[2]->HotfixID, "Q123456");
    EXPECT_EQ(main->DetailWindows()[2]->ComputerName, "\\\\" + LocalName());
    EXPECT_EQ(main->DetailWindows()[2]->Caption(), "Details for Q123456 on \\\\" + LocalName());
    // ... also after a failed connection, which leaves those rows in place.
    TypeComputer("nosuchhost");
    Select(1);
    Command(IDM_MNUDETAILS);
    EXPECT_EQ(main->DetailWindows().size(), 3u);
    EXPECT_EQ(FrontWindowOfThisProcess(), main->DetailWindows()[2]->Handle());
}

TEST_F(CommandsTest, ServicePackWindowOpensWithoutASelectedRowOncePerComputer)
{
    ScratchDir servicePack(WindowsDirectory() + "$NtServicePackUninstall$");
    servicePack.AddFile("kernel32.dll");
    AddHotfix("Q300001");
    Start();
    ASSERT_EQ(ListView_GetSelectedCount(List()), 0u);

    Command(IDM_MNUVIEWSERVICEPACK);
    ASSERT_EQ(main->DetailWindows().size(), 1u);
    TfrmDetails* window = main->DetailWindows()[0];
    EXPECT_EQ(window->Caption(), "Service Pack 3");
    EXPECT_EQ(window->HotfixID, "");
    EXPECT_EQ(window->FileCount(), 1);
    EXPECT_FALSE(IsWindowVisible(window->Item(IDC_EDTDESCRIPTION)));
    Command(IDM_MNUVIEWSERVICEPACK);
    EXPECT_EQ(main->DetailWindows().size(), 1u);

    // Service pack 0 (an empty CSDVersion): "Service Pack" alone, and the
    // window of another computer.
    WriteSz(HKEY_LOCAL_MACHINE, kCurrentVersion, "CSDVersion", "");
    TypeComputer(LocalName());
    ASSERT_EQ(main->ServicePack(), 0);
    Command(IDM_MNUVIEWSERVICEPACK);
    ASSERT_EQ(main->DetailWindows().size(), 2u);
    EXPECT_EQ(main->DetailWindows()[1]->Caption(), "Service Pack on \\\\" + LocalName());
    // The last run of digits; without one, the last character's code less "0".
    const std::pair<const char*, int> numbers[] = {{"SP 6a", 6}, {"12, RC 5b", 5}, {"None", 53}};
    for (const auto& [text, number] : numbers) {
        WriteSz(HKEY_LOCAL_MACHINE, kCurrentVersion, "CSDVersion", text);
        Command(IDM_MNUREFRESH);
        EXPECT_EQ(main->ServicePack(), number) << text;
    }
}

TEST_F(CommandsTest, SettingsCancelledChangeNothingAndConfirmedRewriteListAndDetails)
{
    WriteSz(HKEY_LOCAL_MACHINE, kHotfixKey + "\\Q300001\\File 1", "Name", "x.dll");   // no text
    ScratchDir& dir = AddUninstallDir("Q300001");
    dir.AddFile("uninst.inf", LocalTime(1999, 1, 2, 3, 4, 6));
    dir.AddFile("a.dll");
    Start();
    TfrmOptions options(main->Handle());
    main->SetForms(nullptr, query.get(), &options);
    Select(0);
    Command(IDM_MNUDETAILS);
    ASSERT_EQ(main->DetailWindows().size(), 1u);
    const HWND details = main->DetailWindows()[0]->Handle();
    const std::string detailDate = TextOf(GetDlgItem(details, IDC_EDTDATE));
    ASSERT_NE(detailDate, "(unknown)");

    auto typeSettings = [](int button) {
        return [button](TDialog& dialog) {
            SetWindowTextA(dialog.Item(IDC_EDTDEFAULTTEXT), "n/a");
            SetWindowTextA(dialog.Item(IDC_EDTLISTTIMEFORMAT), "dd.mm.yyyy");
            SetWindowTextA(dialog.Item(IDC_EDTDETAILTIMEFORMAT), "yyyy/mm/dd");
            ClickControl(dialog.Item(button));
        };
    };
    prompts.DialogScripts.push_back(typeSettings(IDC_BTNCANCEL));
    Command(IDM_MNUOPTIONS);
    ASSERT_EQ(prompts.DialogsShown.size(), 1u);
    EXPECT_EQ(Cell(0, 1), "(unknown)");
    EXPECT_EQ(Cell(0, 3), "1999-01-02 03:04:06");
    EXPECT_EQ(main->Options().DefaultText, "(unknown)");
    EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, kSettingsPath, "Text if unknown value").Exists);
    EXPECT_EQ(TextOf(GetDlgItem(details, IDC_EDTDATE)), detailDate);

    prompts.DialogScripts.push_back(typeSettings(IDC_BTNOK));
    Command(IDM_MNUOPTIONS);
    // The open details window hears of the new settings by a posted message.
    PumpUntil([&] { return TextOf(GetDlgItem(details, IDC_EDTDATE)) == "1999/01/02"; });
    ASSERT_EQ(prompts.DialogsShown.size(), 2u);
    EXPECT_EQ(Cell(0, 1), "n/a");
    EXPECT_EQ(Cell(0, 2), "n/a");
    EXPECT_EQ(Cell(0, 3), "02.01.1999");
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kSettingsPath, "Text if unknown value").Data,
              std::string("n/a", 4));
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kSettingsPath + "\\Details", "Time format").Data,
              std::string("yyyy/mm/dd", 11));
    EXPECT_EQ(TextOf(GetDlgItem(details, IDC_EDTDATE)), "1999/01/02");
    EXPECT_EQ(TextOf(GetDlgItem(details, IDC_EDTHOTFIXDATE)), "n/a");
    EXPECT_EQ(TextOf(GetDlgItem(details, IDC_EDTDESCRIPTION)), "n/a");
}

TEST_F(CommandsTest, UninstallAsksFirstAndStartsTheSetupLibraryOnlyOnYes)
{
    AddHotfix("Q300001", "Fix \"one\"");
    AddUninstallDir("Q300001").AddFile("uninst.inf");
    Start();
    Select(0);

    prompts.MessageAnswers.push_back(IDNO);
    Command(IDM_MNUUNINSTALL);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(LastMessage().Text,
              "Are you sure you want to uninstall the Q300001 (\"Fix \"one\"\") hotfix?");
    EXPECT_EQ(LastMessage().Caption, "Uninstall hotfix");
    EXPECT_EQ(LastMessage().Flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_TRUE(prompts.ShellOpens.empty());

    prompts.MessageAnswers.push_back(IDYES);
    SendMessageA(main->Handle(), WM_COMMAND, MAKEWPARAM(IDC_TBTNUNINSTALL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(main->Toolbar()));
    ASSERT_EQ(prompts.ShellOpens.size(), 1u);
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const auto& started = prompts.ShellOpens[0];
    EXPECT_EQ(started.Target, std::string(system) + "\\rundll32.exe");
    EXPECT_EQ(started.Parameters, "setupapi,InstallHinfSection DefaultInstall 132 " +
                                      WindowsDirectory() + "$NtUninstallQ300001$\\uninst.inf");
    EXPECT_EQ(started.ShowCommand, SW_SHOWNORMAL);
    EXPECT_EQ(started.Owner, main->Handle());
    // Nothing waits for the uninstall, nothing is reloaded.
    EXPECT_EQ(RowCount(), 1);
    prompts.ShellOpenResult = 2;   // the shell cannot start it
    Command(IDM_MNUUNINSTALL);
    EXPECT_EQ(LastMessage().Text, "Could not start " + std::string(system) +
                                      "\\rundll32.exe. The hotfix has not been uninstalled.");

    // Rows read from another computer are never uninstalled here, also not
    // after a failed connection.
    TypeComputer(LocalName());
    TypeComputer("nosuchhost");
    ASSERT_EQ(main->Computer(), "\\\\" + LocalName());
    Select(0);
    const size_t asked = prompts.Messages.size();
    Command(IDM_MNUUNINSTALL);
    EXPECT_EQ(prompts.Messages.size(), asked);
    EXPECT_EQ(prompts.ShellOpens.size(), 2u);
}

TEST_F(CommandsTest, ArticleGoesToTheShellThroughTheStoredTemplateOrReportsWhyNot)
{
    AddHotfix("Q123456");
    Start();
    Select(0);

    Command(IDM_MNUOPENKB);
    ASSERT_EQ(prompts.ShellOpens.size(), 1u);
    EXPECT_EQ(prompts.ShellOpens[0].Target,
              "http://support.microsoft.com/support/kb/articles/q123/4/56.asp");
    EXPECT_EQ(prompts.ShellOpens[0].Parameters, "");
    EXPECT_EQ(prompts.ShellOpens[0].ShowCommand, SW_SHOW);
    EXPECT_TRUE(prompts.Messages.empty());

    main->Options().OpenKBCommand = "C:\\kb\\viewer.exe Q%s%s%s.txt";
    SendMessageA(main->Handle(), WM_COMMAND, MAKEWPARAM(IDM_POPUPOPENKB, 0), 0);
    ASSERT_EQ(prompts.ShellOpens.size(), 2u);
    EXPECT_EQ(prompts.ShellOpens[1].Target, "C:\\kb\\viewer.exe Q123456.txt");

    // A shell result of 32 or below is a failure (32 itself: a DLL missing).
    for (INT_PTR failure : {2, 32}) {
        prompts.ShellOpenResult = failure;
        Command(IDM_MNUOPENKB);
        ASSERT_FALSE(prompts.Messages.empty()) << failure;
        EXPECT_EQ(LastMessage().Text, "Error opening Knowledge Base article.");
        EXPECT_EQ(LastMessage().Caption, "Open KB Article");
        EXPECT_EQ(LastMessage().Flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
        prompts.Messages.clear();
    }
    prompts.ShellOpenResult = 33;
    Command(IDM_MNUOPENKB);
    EXPECT_TRUE(prompts.Messages.empty());

    // A stored template that does not fit: the formatting error, nothing started.
    Close();
    WriteSz(HKEY_CURRENT_USER, kSettingsPath, "Open KB article command", "kb %s %s %d");
    Start();
    Select(0);
    const size_t started = prompts.ShellOpens.size();
    Command(IDM_MNUOPENKB);
    EXPECT_EQ(prompts.ShellOpens.size(), started);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(LastMessage().Text, "Format 'kb %s %s %d' invalid or incompatible with argument");
    EXPECT_EQ(LastMessage().Caption, "Patchscope");
}

// A list of three rows, sorted by description descending and with the
// "Affected files" column dragged to the front, saved in every separation.
TEST_F(CommandsTest, SaveAsWritesTheListAsDisplayedInEachSeparation)
{
    const std::string longText(10000, 'x');
    AddHotfix("Q300001", "Alpha, the first");
    AddHotfix("Q300002", longText);
    AddHotfix("Q300003", "Charlie;fix");
    ScratchDir& second = AddUninstallDir("Q300002");
    second.AddFile("hotfix.inf", LocalTime(1999, 1, 2, 3, 4, 6));
    second.AddFile("b.sys");
    ScratchDir& third = AddUninstallDir("Q300003");
    third.AddFile("uninst.inf", LocalTime(2001, 12, 24, 18, 30, 0));
    third.AddFile("c.dll");
    ScratchDir out(WindowsDirectory() + "exports" + ProcessTag());
    WriteSz(HKEY_CURRENT_USER, kSettingsPath, "Save As directory", out.Path());
    Start();

    ClickHeader(1);
    ClickHeader(1);
    int order[] = {4, 0, 1, 2, 3};
    ASSERT_TRUE(ListView_SetColumnOrderArray(List(), 5, order));
    ASSERT_EQ(Column(0), (Texts{"Q300002", "Q300003", "Q300001"}));

    const std::string u = "(unknown)";
    const std::vector<Texts> rows = {
        {"b.sys", "Q300002", longText, "1999-01-02 03:04:06", u},
        {"c.dll", "Q300003", "Charlie;fix", u, "2001-12-24 18:30:00"},
        {u, "Q300001", "Alpha, the first", u, u}};
    auto joined = [&](const std::string& separator) {
        std::string text;
        for (const Texts& row : rows) {
            for (size_t i = 0; i < row.size(); ++i)
                text += row[i] + (i + 1 < row.size() ? separator : "\r\n");
        }
        return text;
    };
    // Each column but the last padded to its longest cell plus two.
    auto pad = [](const std::string& cell, size_t width) {
        return cell + std::string(width - cell.size(), ' ');
    };
    std::string spaces;
    for (const Texts& row : rows)
        spaces += pad(row[0], 11) + pad(row[1], 9) + pad(row[2], 10002) + pad(row[3], 21) +
                  row[4] + "\r\n";

    const std::vector<std::pair<int, std::string>> separations = {
        {0, joined("\t")}, {1, spaces}, {2, joined(";")}, {3, joined(",")}, {7, joined("")}};
    for (const auto& [separation, expected] : separations) {
        main->Options().ColumnSep = separation;
        const std::string file = out.Path() + "list" + std::to_string(separation) + ".txt";
        SaveAs(file, separation == 3 ? 2 : 1);   // "All Files" writes the text export too
        ASSERT_TRUE(prompts.Messages.empty()) << prompts.Messages[0].Text;
        if (separation == 7) {
            // Outside 0 to 3: only the last cell of each row.
            EXPECT_EQ(ReadWholeFile(file), u + "\r\n2001-12-24 18:30:00\r\n" + u + "\r\n");
            continue;
        }
        EXPECT_EQ(ReadWholeFile(file), expected) << separation;
    }

    ASSERT_EQ(prompts.SaveFileRequests.size(), separations.size());
    const TSaveFileRequest& request = prompts.SaveFileRequests[0];
    EXPECT_EQ(request.Title, "Save As");
    EXPECT_EQ(request.Filter, kSaveAsFilter);
    EXPECT_EQ(request.FilterIndex, 1);
    EXPECT_EQ(request.DefaultExt, "txt");
    EXPECT_EQ(request.FilterExtensions, (Texts{"txt", "txt", "csv", "htm"}));
    EXPECT_EQ(request.Options, static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY |
                                                  OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN));
    EXPECT_EQ(request.FileName, Lower(LocalName()));
    EXPECT_EQ(request.InitialDir, out.Path());
}

TEST_F(CommandsTest, SaveAsWritesCsvAndHtmlByTheTypedOrPickedTypeUnderTheDialogsName)
{
    AddHotfix("Q300001", "Alpha, \"the\" <first> & best");
    AddHotfix("Q300002", "Second");
    ScratchDir out(WindowsDirectory() + "exports" + ProcessTag());
    Start();
    int order[] = {1, 0, 2, 3, 4};
    ASSERT_TRUE(ListView_SetColumnOrderArray(List(), 5, order));

    SaveAs(out.Path() + "list", 3);   // as the dialog gives a name typed in quotes
    EXPECT_EQ(ReadWholeFile(out.Path() + "list"),
              "Description,Hotfix,Hotfix date,Date applied,Affected files\r\n"
              "\"Alpha, \"\"the\"\" <first> & best\",Q300001,(unknown),(unknown),(unknown)\r\n"
              "Second,Q300002,(unknown),(unknown),(unknown)\r\n");

    SaveAs(out.Path() + "list.htm", 4);
    const std::string html = ReadWholeFile(out.Path() + "list.htm");
    EXPECT_NE(html.find("\\\\" + LocalName()), std::string::npos) << html;
    EXPECT_NE(html.find("Service Pack 3 and 2 hotfixes applied"), std::string::npos) << html;
    EXPECT_NE(html.find("charset=windows-" + std::to_string(GetACP())), std::string::npos)
        << html;
    EXPECT_NE(html.find("Alpha, &quot;the&quot; &lt;first&gt; &amp; best"), std::string::npos)
        << html;
    EXPECT_LT(html.find(">Description<"), html.find(">Hotfix<")) << html;
    // Saved now, in the list's time format.
    EXPECT_TRUE(std::regex_search(
        html, std::regex("list saved [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}<")))
        << html;

    // A name with an extension of its own keeps it; a known one decides the format.
    SaveAs(out.Path() + "list.dat", 3);
    EXPECT_EQ(ReadWholeFile(out.Path() + "list.dat"), ReadWholeFile(out.Path() + "list"));
    EXPECT_FALSE(FileExists(out.Path() + "list.dat.csv"));
    SaveAs(out.Path() + "typed.HTML", 1);
    EXPECT_EQ(ReadWholeFile(out.Path() + "typed.HTML").substr(0, 40), html.substr(0, 40));
    EXPECT_TRUE(prompts.Messages.empty());
}

// What a user does in the system's save dialog: picks the filter entry
// Index, types a name without extension and confirms. Runs from a timer
// inside the dialog's own loop, and records the default extensions that the
// dialog is told (CDM_SETDEFEXT) on the way.
struct TSaveDialogScript {
    static inline int Index = 0;
    static inline std::string Name;
    static inline bool Done = false;
    static inline std::vector<std::string> DefaultExtensions;
    static inline WNDPROC Original = nullptr;

    static LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == CDM_SETDEFEXT && lParam)
            DefaultExtensions.emplace_back(reinterpret_cast<const char*>(lParam));
        return CallWindowProcA(Original, window, message, wParam, lParam);
    }
    static inline DWORD Started = 0;
    static void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD)
    {
        const HWND dialog = FindWindowA(nullptr, "Save As");
        if (!dialog || !IsWindowVisible(dialog))
            return;
        // A dialog that the script could not finish is cancelled in the end.
        if (GetTickCount() - Started > kGuiTimeLimitMs)
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        if (Done)
            return;
        const HWND types = GetDlgItem(dialog, cmb1);
        HWND name = GetDlgItem(dialog, edt1);
        if (!name)
            name = GetDlgItem(dialog, cmb13);
        if (!types || !name)
            return;
        Done = true;
        Original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Recorder)));
        SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(Index - 1), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(types));
        SetWindowTextA(name, Name.c_str());
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }
};

// The real dialog: the entry picked decides the format and the extension,
// and the dialog's default extension follows it. (Wine appends the picked
// pattern's own extension and ignores CDM_SETDEFEXT, so here the message
// itself is checked.)
TEST_F(CommandsTest, SystemSaveDialogGivesThePickedEntrysExtensionAndFormat)
{
    AddHotfix("Q300001", "Alpha, the first");
    ScratchDir out(WindowsDirectory() + "exports" + ProcessTag());
    WriteSz(HKEY_CURRENT_USER, kSettingsPath, "Save As directory", out.Path());
    Start();

    // A quit message that an earlier window's end left behind would end the
    // dialog's own loop at once.
    MSG quit{};
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    TSystemPrompts system;
    TPromptsOverride real(system);
    TSaveDialogScript::Index = 3;
    TSaveDialogScript::Name = "picked";
    TSaveDialogScript::Done = false;
    TSaveDialogScript::DefaultExtensions.clear();
    TSaveDialogScript::Started = GetTickCount();
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, TSaveDialogScript::Step);
    Command(IDM_MNUSAVEAS);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(TSaveDialogScript::Done);
    EXPECT_EQ(TSaveDialogScript::DefaultExtensions, (Texts{"csv"}));
    ASSERT_TRUE(FileExists(out.Path() + "picked.csv"));
    EXPECT_FALSE(FileExists(out.Path() + "picked.txt"));
    EXPECT_EQ(ReadWholeFile(out.Path() + "picked.csv"),
              "Hotfix,Description,Hotfix date,Date applied,Affected files\r\n"
              "Q300001,\"Alpha, the first\",(unknown),(unknown),(unknown)\r\n");
}

TEST_F(CommandsTest, SaveAsProposesTheRowsComputerAndRemembersTheDirectory)
{
    AddHotfix("Q300001");
    WriteSz(HKEY_CURRENT_USER, kSettingsPath, "Save As directory", "C:\\no\\such\\directory");
    ScratchDir out(WindowsDirectory() + "exports" + ProcessTag());
    Start({"\\\\" + LocalName()});

    SaveAs(out.Path() + "first.txt");
    // After a failed connection the rows and the current computer are the other one.
    TypeComputer("nosuchhost");
    ASSERT_EQ(main->Computer(), "\\\\" + LocalName());
    prompts.SaveFileAnswers.push_back(std::nullopt);
    Command(IDM_MNUSAVEAS);

    ASSERT_EQ(prompts.SaveFileRequests.size(), 2u);
    EXPECT_EQ(prompts.SaveFileRequests[0].FileName, Lower(LocalName()));
    EXPECT_EQ(prompts.SaveFileRequests[0].InitialDir, "");   // not an existing directory
    EXPECT_EQ(prompts.SaveFileRequests[1].FileName, Lower(LocalName()));
    EXPECT_EQ(prompts.SaveFileRequests[1].InitialDir, out.Path());
    EXPECT_EQ(main->Options().SaveAsDirectory, out.Path());
}

// As a Japanese user (tests/gui/main/CMakeLists.txt): "\x95\x5C" ends in a byte that reads as "\\".
TEST_F(CommandsTest, SaveAsInADoubleByteCodePageKeepsTheDirectoryWhole)
{
    if (!std::getenv("PS_OTHER_LOCALE"))
        GTEST_SKIP() << "for the Japanese run";
    ASSERT_EQ(GetACP(), 932u);
    AddHotfix("Q300001");
    ScratchDir out(WindowsDirectory() + "exports" + ProcessTag());
    const std::string dir = out.Path() + "\x95\x5C", file = dir + "\\\x95\x5Clist.txt";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    WriteSz(HKEY_CURRENT_USER, kSettingsPath, "Save As directory", dir);   // gets its "\\"
    Start();
    SaveAs(file);
    EXPECT_EQ(prompts.SaveFileRequests[0].InitialDir, dir + "\\");
    EXPECT_EQ(main->Options().SaveAsDirectory, dir + "\\");
}
TEST_F(CommandsTest, SaveAsToAFileThatCannotBeCreatedReportsItAndWritesNothing)
{
    AddHotfix("Q300001");
    Start();
    const std::string file = WindowsDirectory() + "no-such-dir" + ProcessTag() + "\\list.txt";
    SaveAs(file);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(LastMessage().Text, "Cannot create file " + file);
    EXPECT_EQ(LastMessage().Caption, "Patchscope");
    EXPECT_EQ(LastMessage().Icon(), static_cast<UINT>(MB_ICONERROR));
    EXPECT_FALSE(FileExists(file));
}

// PS_SMALL_DISK names a file system of 16 KiB that the test fixture mounted
// (cmake/small-disk.sh); without one (no root rights) the test skips.
TEST_F(CommandsTest, SaveAsToADiskThatFillsUpReportsItAndRemovesTheFileCutShort)
{
    const char* smallDisk = std::getenv("PS_SMALL_DISK");
    std::string disk = smallDisk ? std::string("Z:") + smallDisk : std::string();
    for (char& c : disk)
        if (c == '/')
            c = '\\';
    if (disk.empty() || !FileExists(disk + "\\marker"))
        GTEST_SKIP() << "no small disk mounted";

    for (const char* id : {"Q300001", "Q300002", "Q300003"})
        AddHotfix(id, std::string(10000, id[6]));
    ScratchDir out(WindowsDirectory() + "exports" + ProcessTag());
    Start();
    SaveAs(out.Path() + "whole.txt");
    const std::string whole = ReadWholeFile(out.Path() + "whole.txt");
    ASSERT_GT(whole.size(), 30000u);

    const std::string file = disk + "\\list" + ProcessTag() + ".txt";
    SaveAs(file);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(LastMessage().Text, "Error writing to file " + file + ". The disk may be full.");
    EXPECT_EQ(LastMessage().Caption, "Save As");
    EXPECT_EQ(LastMessage().Flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_FALSE(FileExists(file));
    DeleteFileA(file.c_str());
}

}  // namespace
