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

    std::unique_ptr<TOfflineImage> image;
    std::string path;
};

TEST_F(OfflineWindowTest, ListsAsLiveReadsOnlyAndOpensDetailsAndSaves)
{
    const auto before = image->Snapshot();
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

TEST_F(OfflineWindowTest, DamagedHiveGivesAMessage)
{
    Start();
    image->WriteHiveBytes("REGF" + image->HiveBytes().substr(4));
    TypeComputer(path);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    const std::string hive = path + "\\system32\\config\\software";
    EXPECT_EQ(prompts.Messages[0].Text, hive + " is not a registry file.");
    EXPECT_EQ(prompts.Messages[0].Caption, "Offline system");
    EXPECT_EQ(main->Caption(), "Patchscope - \\\\" + LocalName() + " (local)");

}

}  // namespace
