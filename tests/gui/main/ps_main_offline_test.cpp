// The main window on an offline Windows directory: the rows are those of the
// same data read live; the image is never written; bad hives get a message.
#include "OfflineImage.h"
#include "ps_details.h"
#include "ps_main_fixture.h"

#include "components/ExtListView.h"

namespace {

class OfflineWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        image = std::make_unique<TOfflineImage>();
        image->WriteScenario();
        path = image->WindowsDir();
    }

    std::vector<std::vector<std::string>> Rows() const
    {
        return {Column(0), Column(1), Column(2), Column(3), Column(4)};
    }

    bool LocalComputerOffered() const   // as the opened menu shows it
    {
        const HMENU view = GetSubMenu(GetMenu(main->Handle()), 1);
        SendMessageA(main->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
        return MenuEnabled(IDM_MNULOCALCOMPUTER);
    }

    std::unique_ptr<TOfflineImage> image;
    std::string path;
};

TEST_F(OfflineWindowTest, ListsAsLiveReadsOnlyAndOpensDetailsAndSaves)
{
    const auto before = image->Snapshot();
    // The folder that holds the offline WINNT, where Save As was used last.
    const std::string system = path.substr(0, path.size() - 5);
    WriteSz(HKEY_CURRENT_USER, kSettingsPath, "Save As directory", system);
    Start({"/offline:" + path});
    const auto offlineRows = Rows();
    EXPECT_EQ(main->Caption(), "Patchscope - " + path + " (offline)");
    EXPECT_EQ(Status(0), "Service Pack 4 and 5 hotfixes applied; times in this computer's "
                         "local time");
    EXPECT_EQ(Column(0), (std::vector<std::string>{image->A, "QB", image->C, "QD", image->E}));
    EXPECT_EQ(Column(1)[0], "Alpha caf\xE9");
    EXPECT_EQ(Column(1)[2], "First");

    Command(IDM_MNULOCALCOMPUTER);
    EXPECT_EQ(Rows(), offlineRows) << "the same data read live";

    prompts.FolderAnswers.push_back(path + "\\");
    Command(IDM_MNUVIEWOFFLINE);
    EXPECT_EQ(Rows(), offlineRows);
    // Opened on the system shown; the folder holding its one WINNT means that WINNT.
    prompts.FolderAnswers.push_back(system);
    Command(IDM_MNUVIEWOFFLINE);
    EXPECT_EQ(main->Computer(), path);
    ASSERT_EQ(prompts.FolderRequests.size(), 2u);
    EXPECT_EQ(prompts.FolderRequests[1].Folder, path);
    EXPECT_NE(SendMessageA(main->ComputerBox(), CB_FINDSTRINGEXACT, -1,
                           reinterpret_cast<LPARAM>(path.c_str())),
              CB_ERR)
        << "the history offers the path again";

    Select(0);
    EXPECT_FALSE(MenuEnabled(IDM_MNUUNINSTALL));
    Command(IDM_MNUDETAILS);
    ASSERT_EQ(main->DetailWindows().size(), 1u);
    TfrmDetails& details = *main->DetailWindows()[0];
    EXPECT_EQ(details.UninstallDir(), path + "\\$NtUninstall" + image->A + "$\\");
    EXPECT_EQ(details.FileList().ItemCount(), 2);

    const std::string saved = WindowsDirectory() + "Temp\\offline" + ProcessTag() + ".txt";
    prompts.SaveFileAnswers.push_back(saved);
    Command(IDM_MNUSAVEAS);
    EXPECT_NE(ReadWholeFile(saved).find("Alpha caf\xE9"), std::string::npos);
    DeleteFileA(saved.c_str());
    EXPECT_EQ(prompts.SaveFileRequests.at(0).FileName, "winnt");
    const std::string folder = prompts.SaveFileRequests[0].InitialDir;
    EXPECT_TRUE(!folder.empty() &&
                lstrcmpiA(folder.substr(0, system.size()).c_str(), system.c_str()) != 0);
    Close();
    EXPECT_EQ(image->Snapshot(), before) << "bytes and times of every file of the image";
}

TEST_F(OfflineWindowTest, TimeZoneAndPendingChangesInTheStatusBar)
{
    image->WriteSystemHive();
    THiveBuildOptions pending;
    pending.PrimarySequence = 3;
    image->WriteHive(pending);
    Start();
    TypeComputer(path);
    EXPECT_EQ(Status(0), "Service Pack 4 and 5 hotfixes applied; times in the offline system's "
                         "local time; its registry was saved with changes pending, the last "
                         "changes may be missing");
    EXPECT_EQ(Cell(0, 3), "2001-03-04 13:02:08");
}

// A damaged system at start-up leaves no target; a failed load later leaves the
// window on the system shown; Local Computer leads back from either.
TEST_F(OfflineWindowTest, FailedLoadsLeaveTheWindowOnTheTargetItShowed)
{
    const std::string good = image->HiveBytes();
    image->WriteHiveBytes("REGF" + good.substr(4));
    Start({"/offline:" + path});
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, image->SoftwareHivePath() + " is not a registry file.");
    EXPECT_EQ(prompts.Messages[0].Caption, "Offline system");
    EXPECT_EQ(main->Caption(), "Patchscope");
    EXPECT_EQ(GetFocus(), List());
    EXPECT_FALSE(MenuEnabled(IDM_MNUVERIFY) || ButtonEnabled(IDC_TBTNVERIFY) ||
                 MenuEnabled(IDM_MNUREFRESH) || MenuEnabled(IDM_MNUVIEWSERVICEPACK));
    Command(IDM_MNUVERIFY);
    EXPECT_TRUE(main->VerifyWindows().empty());
    EXPECT_TRUE(LocalComputerOffered());

    image->WriteHiveBytes(good);
    TypeComputer(path);
    const auto rows = Rows();
    const std::string caption = main->Caption();
    EXPECT_TRUE(LocalComputerOffered());
    TypeComputer(path + "x");
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(main->Computer(), path);
    EXPECT_EQ(main->Caption(), caption);
    EXPECT_EQ(TextOf(main->ComputerBox()), path);
    EXPECT_EQ(Rows(), rows);
    EXPECT_TRUE(MenuEnabled(IDM_MNUVERIFY));
    Command(IDM_MNULOCALCOMPUTER);
    EXPECT_EQ(main->Caption(), "Patchscope - \\\\" + LocalName() + " (local)");
    EXPECT_FALSE(LocalComputerOffered());
}

}  // namespace
