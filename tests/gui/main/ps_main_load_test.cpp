// Loading the hotfix list into the main window: rows and texts, caption and
// status, the Service Pack 4 question and its choices, and the failures.
#include <shlwapi.h>

#include "ps_main_fixture.h"

namespace {

using Texts = std::vector<std::string>;

const std::string kMachineSettings = "Software\\Brightwater\\Patchscope";

void DeleteValue(HKEY root, const std::string& key, const std::string& name)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &handle) == ERROR_SUCCESS) {
        RegDeleteValueA(handle, name.c_str());
        RegCloseKey(handle);
    }
}

bool DirectoryExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

class LoadTest : public MainWindowTest {
protected:
    RegValue MachineSetting(const std::string& name) const
    {
        return ReadRawValue(HKEY_LOCAL_MACHINE, kMachineSettings, name);
    }
};

TEST_F(LoadTest, RowsShowTheHotfixesWithTheirDatesFilesAndUnknownValues)
{
    AddHotfix("Q700002", "Second fix");
    AddHotfix("Q700001", "");
    AddHotfix("Q700003", "From the SP4 key", kSP4HotfixKey);
    AddHotfix("Q147222", "Always ignored");
    ScratchDir& dir = AddUninstallDir("Q700002");
    dir.AddFile("uninst.inf", LocalTime(1998, 3, 4, 10, 20, 30));
    dir.AddFile("hotfix.inf", LocalTime(1998, 2, 1, 8, 0, 0));
    dir.AddFile("hotfix.exe");
    dir.AddFile("a.dll");
    dir.AddFile("b.sys");
    // A time without a DOS form is unknown.
    AddUninstallDir("Q700003").AddFile("uninst.inf", LocalTime(1975, 1, 1));
    Start();

    EXPECT_EQ(main->Caption(), "Patchscope - \\\\" + LocalName() + " (local)");
    EXPECT_EQ(Status(0), "Service Pack 3 and 3 hotfixes applied");
    EXPECT_EQ(Column(0), (Texts{"Q700001", "Q700002", "Q700003"}));
    EXPECT_EQ(Column(1), (Texts{"(unknown)", "Second fix", "From the SP4 key"}));
    EXPECT_EQ(Column(2), (Texts{"(unknown)", "1998-02-01 08:00:00", "(unknown)"}));
    EXPECT_EQ(Column(3), (Texts{"(unknown)", "1998-03-04 10:20:30", "(unknown)"}));
    const std::string files = Cell(1, 4);
    EXPECT_TRUE(files == "a.dll, b.sys" || files == "b.sys, a.dll") << files;
    EXPECT_EQ(Cell(2, 4), "(unknown)");
    // The summary panel is as wide as its text needs, not its first 200 pixels.
    RECT panel{};
    SendMessageA(main->StatusBar(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&panel));
    EXPECT_GT(panel.right - panel.left, 50);
    EXPECT_NE(panel.right - panel.left, 200);
    SaveWindowShot(main->Handle(), "ps_main_local_list");

    // New settings reach the texts without a reload.
    main->Options().DefaultText = "?";
    main->Options().ListTimeFormat = "yyyy";
    main->UpdateListTexts();
    EXPECT_EQ(Column(2), (Texts{"?", "1998", "?"}));
    // The settings key is created on the computer that was listed.
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kMachineSettings));

}

TEST_F(LoadTest, StatusTextNamesTheServicePackAndCountsNoneOneAndSeveral)
{
    WriteSz(HKEY_LOCAL_MACHINE, kCurrentVersion, "CSDVersion", "");
    Start();
    EXPECT_EQ(Status(0), "Pre-SP3 and no hotfixes applied");
    EXPECT_EQ(main->ServicePack(), 0);
    AddHotfix("Q700001");
    Command(IDM_MNUREFRESH);
    EXPECT_EQ(Status(0), "Pre-SP3 and 1 hotfix applied");
    DeleteValue(HKEY_LOCAL_MACHINE, kCurrentVersion, "CSDVersion");
    AddHotfix("Q700002");
    Command(IDM_MNUREFRESH);
    EXPECT_EQ(Status(0), "No Service Pack and 2 hotfixes applied");
    // The level is read from the last character of "No Service Pack", as from a
    // digit: a number that no service pack has.
    EXPECT_EQ(main->ServicePack(), 59);
}

TEST_F(LoadTest, SortingByHotfixDatePutsUnknownDatesFirstThenLast)
{
    AddHotfix("Q700001");
    AddHotfix("Q700002");
    AddHotfix("Q700003");
    AddUninstallDir("Q700001").AddFile("hotfix.inf", LocalTime(1999, 1, 1));
    AddUninstallDir("Q700003").AddFile("hotfix.inf", LocalTime(1998, 1, 1));
    Start();
    ClickHeader(2);
    EXPECT_EQ(Column(0), (Texts{"Q700002", "Q700003", "Q700001"}));
    ClickHeader(2);
    EXPECT_EQ(Column(0), (Texts{"Q700001", "Q700003", "Q700002"}));
    // A refresh keeps the order the user chose.
    Command(IDM_MNUREFRESH);
    EXPECT_EQ(Column(0), (Texts{"Q700001", "Q700003", "Q700002"}));
}

TEST_F(LoadTest, SortingByTextColumnsIgnoresCaseAndUsesTheStoredTexts)
{
    // An unknown-value text that would sort last if the shown texts counted.
    WriteSz(HKEY_CURRENT_USER, kSettingsPath, "Text if unknown value", "~");
    AddHotfix("Q700001", "Beta");
    AddHotfix("Q700002", "");
    AddHotfix("Q700003", "alpha");
    AddUninstallDir("Q700001").AddFile("b.dll");
    AddUninstallDir("Q700003").AddFile("A.dll");
    Start();
    ClickHeader(1);
    EXPECT_EQ(Column(0), (Texts{"Q700002", "Q700003", "Q700001"}));
    EXPECT_EQ(Column(1), (Texts{"~", "alpha", "Beta"}));
    ClickHeader(4);
    EXPECT_EQ(Column(0), (Texts{"Q700002", "Q700003", "Q700001"}));
    EXPECT_EQ(Column(4), (Texts{"~", "A.dll", "b.dll"}));
    ClickHeader(4);
    EXPECT_EQ(Column(0), (Texts{"Q700001", "Q700003", "Q700002"}));
}

TEST_F(LoadTest, FailedConnectionIsReportedAndLeavesTheScreenAsItWas)
{
    AddHotfix("Q700001");
    Start();
    const std::string caption = main->Caption();
    TypeComputer("nosuchhost");
    EXPECT_EQ(main->ServicePack(), 3);

    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text,
              "Could not connect to the computer \\\\NOSUCHHOST.\r\rMake sure the computer "
              "exists, is a Windows NT system and that you have the correct permissions.");
    EXPECT_EQ(prompts.Messages[0].Caption, "Network error");
    EXPECT_EQ(prompts.Messages[0].Icon(), static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(main->Computer(), "");
    EXPECT_EQ(main->Caption(), caption);
    EXPECT_EQ(Column(0), (Texts{"Q700001"}));
    EXPECT_EQ(Status(0), "Service Pack 3 and 1 hotfix applied");
    EXPECT_EQ(SendMessageA(main->ComputerBox(), CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Application().CursorOverride(), nullptr);
}

TEST_F(LoadTest, UninstallIsNeverOfferedForRowsReadFromAnotherComputer)
{
    AddHotfix("Q700001");
    AddUninstallDir("Q700001").AddFile("uninst.inf");
    Start();
    Select(0);
    EXPECT_TRUE(ButtonEnabled(IDC_TBTNUNINSTALL));

    TypeComputer(LocalName());   // the remote registry of this very computer
    EXPECT_EQ(main->Computer(), "\\\\" + LocalName());
    EXPECT_EQ(main->Caption(), "Patchscope - \\\\" + LocalName());
    ASSERT_EQ(RowCount(), 1);
    Select(0);
    EXPECT_TRUE(ButtonEnabled(IDC_TBTNDETAILS));
    EXPECT_FALSE(ButtonEnabled(IDC_TBTNUNINSTALL));

    // After a failed connection the window is back on the computer it shows.
    TypeComputer("nosuchhost");
    EXPECT_EQ(main->Computer(), "\\\\" + LocalName());
    EXPECT_EQ(TextOf(main->ComputerBox()), LocalName());
    Command(IDM_MNUREFRESH);
    Select(0);
    EXPECT_FALSE(ButtonEnabled(IDC_TBTNUNINSTALL));
    EXPECT_FALSE(MenuEnabled(IDM_MNUUNINSTALL));
    EXPECT_FALSE(PopupEnabled(IDM_POPUPUNINSTALL));

    Command(IDM_MNULOCALCOMPUTER);
    Select(0);
    EXPECT_TRUE(ButtonEnabled(IDC_TBTNUNINSTALL));
}

TEST_F(LoadTest, WronglyTypedDescriptionIsReportedAndTheRowsReadSoFarStay)
{
    AddHotfix("Q700001", "Good");
    Start();
    WriteDword(HKEY_LOCAL_MACHINE, kHotfixKey + "\\Q700002", "Fix Description", 7);
    AddHotfix("Q700003", "Never read");
    Command(IDM_MNUREFRESH);

    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, "Invalid data type for 'Fix Description'");
    EXPECT_EQ(prompts.Messages[0].Caption, "Patchscope");
    EXPECT_EQ(Column(0), (Texts{"Q700001", "Q700002"}));
    EXPECT_EQ(Column(1), (Texts{"Good", "(unknown)"}));
    EXPECT_EQ(Status(0), "Service Pack 3 and 1 hotfix applied");
    EXPECT_EQ(Application().CursorOverride(), nullptr);
    EXPECT_TRUE(MenuEnabled(IDM_MNUSAVEAS));
}

// The settings key goes away under the open settings object, so that every
// save of the settings fails, also the one that records a computer.
TEST_F(LoadTest, HistoryThatCannotBeSavedLetsTheLoadFinishAndKeepsItsOwnError)
{
    AddHotfix("Q700001", "Good");
    AddUninstallDir("Q700001").AddFile("a.dll");
    Start();
    SHDeleteKeyA(HKEY_CURRENT_USER, kSettingsPath.c_str());

    Select(0);
    ASSERT_TRUE(ButtonEnabled(IDC_TBTNDETAILS));
    TypeComputer(LocalName());
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, "Failed to set data for 'Left'");
    // The load's last steps ran: the new rows have no selection, so the
    // commands on the selection are off again; the cursor is back.
    EXPECT_FALSE(ButtonEnabled(IDC_TBTNDETAILS));
    EXPECT_EQ(Application().CursorOverride(), nullptr);
    EXPECT_EQ(TextOf(main->ComputerBox()), LocalName());
    EXPECT_EQ(Status(0), "Service Pack 3 and 1 hotfix applied");

    // A load that fails itself reports its own error as well as the save's.
    prompts.Messages.clear();
    WriteDword(HKEY_LOCAL_MACHINE, kHotfixKey + "\\Q700002", "Fix Description", 7);
    Command(IDM_MNUREFRESH);
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[0].Text, "Failed to set data for 'Left'");
    EXPECT_EQ(prompts.Messages[1].Text, "Invalid data type for 'Fix Description'");
    EXPECT_EQ(Application().CursorOverride(), nullptr);
}

TEST_F(LoadTest, ServicePackCommandFollowsTheServicePackUninstallDirectory)
{
    Start();
    EXPECT_FALSE(MenuEnabled(IDM_MNUVIEWSERVICEPACK));
    {
        ScratchDir servicePack(WindowsDirectory() + "$NtServicePackUninstall$");
        Command(IDM_MNUREFRESH);
        EXPECT_TRUE(MenuEnabled(IDM_MNUVIEWSERVICEPACK));
    }
    Command(IDM_MNUREFRESH);
    EXPECT_FALSE(MenuEnabled(IDM_MNUVIEWSERVICEPACK));
}

// ---------------------------------------------------------------------------
// Service Pack 4

class SP4Test : public LoadTest {
protected:
    void SetUp() override
    {
        LoadTest::SetUp();
        WriteSz(HKEY_LOCAL_MACHINE, kCurrentVersion, "CSDVersion", "Service Pack 4");
    }
};

TEST_F(SP4Test, QuestionComesOncePerRunAndCancelWritesNothing)
{
    AddHotfix("Q169461");
    AddHotfix("Q700001");
    int choiceShown = -1;
    HWND focusShown = nullptr;
    prompts.DialogScripts.push_back([&](TDialog& dialog) {
        choiceShown = static_cast<TfrmQuerySP4&>(dialog).Choice();
        focusShown = GetFocus();
        dialog.SetModalResult(IDCANCEL);
    });
    Start();
    EXPECT_EQ(choiceShown, 0);
    EXPECT_EQ(focusShown, GetDlgItem(query->Handle(), IDC_RGRPWHATTODO_ITEM0));
    ASSERT_EQ(prompts.DialogsShown.size(), 1u);
    EXPECT_EQ(prompts.DialogsShown[0], "Service Pack 4 found on \\\\" + LocalName());
    EXPECT_TRUE(main->SP4Asked());
    EXPECT_EQ(RowCount(), 2);
    EXPECT_EQ(Status(0), "Service Pack 4 and 2 hotfixes applied");
    EXPECT_EQ(GetFocus(), List()) << "after the question as after any start";

    Command(IDM_MNUREFRESH);
    TypeComputer(LocalName());
    EXPECT_EQ(prompts.DialogsShown.size(), 1u);
    EXPECT_FALSE(MachineSetting("Don't ask about SP4").Exists);
    EXPECT_FALSE(MachineSetting("Ignore pre-SP4 hotfixes").Exists);

    // A new run asks again, as nothing was written.
    Close();
    Start();
    EXPECT_EQ(prompts.DialogsShown.size(), 2u);
}

TEST_F(SP4Test, IgnoringHidesThePreSP4RowsNowAndInLaterRuns)
{
    AddHotfix("Q169461");
    AddHotfix("Q1801");   // a part of Q180122: hidden like the others
    AddHotfix("Q700001");
    ScratchDir& backup = AddUninstallDir("Q169461");
    backup.AddFile("a.dll");
    AnswerSP4(0);
    Start();

    EXPECT_EQ(Column(0), (Texts{"Q700001"}));
    EXPECT_EQ(MachineSetting("Ignore pre-SP4 hotfixes").Data, Dword(1));
    EXPECT_EQ(MachineSetting("Don't ask about SP4").Data, Dword(1));
    EXPECT_TRUE(DirectoryExists(backup.Path()));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kHotfixKey + "\\Q169461"));

    Close();
    Start();
    EXPECT_EQ(prompts.DialogsShown.size(), 1u);
    EXPECT_EQ(Column(0), (Texts{"Q700001"}));
    EXPECT_EQ(Status(0), "Service Pack 4 and 1 hotfix applied");
}

TEST_F(SP4Test, DeletingRemovesOnlyTheListedHotfixesBackupsAndKeys)
{
    AddHotfix("Q169461");                              // in the list: deleted
    AddHotfix("Q177668", "", kHotfixKey, false);       // in the list, no "File 1"
    AddHotfix("Q1801");                                // only a part of an entry
    AddHotfix("Q700001");
    ScratchDir& listed = AddUninstallDir("Q169461");
    listed.AddFile("uninst.inf");
    listed.AddSubdirectory("sub");
    ScratchDir& partial = AddUninstallDir("Q1801");
    partial.AddFile("a.dll");
    AnswerSP4(1);
    Start();

    EXPECT_FALSE(DirectoryExists(listed.Path()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kHotfixKey + "\\Q169461"));
    EXPECT_NE(prompts.Messages.at(0).Text.find("of 2 pre-SP4 hotfixes will be deleted for good: "
                                               "Q169461, Q177668."), std::string::npos);
    prompts.Messages.erase(prompts.Messages.begin());
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text,
              "Error deleting the Reg entry \\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"
              "\\Hotfix\\Q177668 or any of its subkeys. Make sure you have sufficient rights to "
              "them.");
    EXPECT_EQ(prompts.Messages[0].Caption, "Patchscope");
    EXPECT_EQ(prompts.Messages[0].Icon(), static_cast<UINT>(MB_ICONERROR));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kHotfixKey + "\\Q177668"));
    EXPECT_TRUE(DirectoryExists(partial.Path()));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kHotfixKey + "\\Q1801\\File 1"));
    EXPECT_EQ(Column(0), (Texts{"Q1801", "Q700001"}));
    EXPECT_EQ(MachineSetting("Don't ask about SP4").Data, Dword(1));
    EXPECT_FALSE(MachineSetting("Ignore pre-SP4 hotfixes").Exists);
}

TEST_F(SP4Test, ABackupThatCannotBeDeletedIsReportedAndKeepsItsKeysAndRow)
{
    AddHotfix("Q169461");
    ScratchDir& backup = AddUninstallDir("Q169461");
    backup.AddFile("busy.dll");
    // An open file without delete sharing cannot be removed.
    HANDLE busy = CreateFileA((backup.Path() + "busy.dll").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    AnswerSP4(1);
    Start();
    CloseHandle(busy);

    ASSERT_EQ(prompts.Messages.size(), 2u);   // the question first
    prompts.Messages.erase(prompts.Messages.begin());
    EXPECT_EQ(prompts.Messages[0].Text,
              "Error deleting " + backup.Path() +
                  ". Make sure you have sufficient rights to the directory and its files.");
    EXPECT_EQ(prompts.Messages[0].Caption, "Patchscope");
    EXPECT_EQ(Column(0), (Texts{"Q169461"}));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kHotfixKey + "\\Q169461\\File 1"));
    Close();   // No to the question deletes nothing
    WriteDword(HKEY_LOCAL_MACHINE, kMachineSettings, "Don't ask about SP4", 0);
    AnswerSP4(1);
    prompts.MessageAnswers.push_back(IDNO);
    Start();
    EXPECT_TRUE(DirectoryExists(backup.Path()) && RowCount() == 1);
}

TEST_F(SP4Test, DontAskAgainOnlyRemembersTheAnswer)
{
    AddHotfix("Q169461");
    AddHotfix("Q700001");
    AnswerSP4(2);
    Start();
    EXPECT_EQ(MachineSetting("Don't ask about SP4").Data, Dword(1));
    EXPECT_FALSE(MachineSetting("Ignore pre-SP4 hotfixes").Exists);
    EXPECT_EQ(RowCount(), 2);

    Close();
    Start();
    EXPECT_EQ(prompts.DialogsShown.size(), 1u);
    EXPECT_EQ(RowCount(), 2);
}

}  // namespace
