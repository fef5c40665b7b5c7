// The main window on an offline Windows directory: the rows are those of the
// same data read live; the image is never written; bad hives get a message.
#include "OfflineImage.h"
#include "ps_details.h"
#include "ps_main_fixture.h"

#include "components/ExtListView.h"

namespace {

using namespace std::string_literals;

const std::string kHotfix = "Microsoft\\Windows NT\\CurrentVersion\\Hotfix";

SYSTEMTIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time{};
    time.wYear = year, time.wMonth = month, time.wDay = day;
    time.wHour = hour, time.wMinute = minute, time.wSecond = second;
    return time;
}

class OfflineWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        image = std::make_unique<TOfflineImage>();
        A = "QA" + ProcessTag();
        image->SetValue("Microsoft\\Windows NT\\CurrentVersion", "CSDVersion", REG_SZ,
                        "Service Pack 4");
        image->SetValue(kHotfix + "\\" + A, "Fix Description", REG_SZ, "Alpha caf\xE9");
        image->SetValue(kHotfix + "\\QB", "Fix Description", REG_EXPAND_SZ, "Beta");
        image->SetValue(kHotfix + "\\QC", "Fix Description", REG_MULTI_SZ, "First\0Second\0"s);
        image->SetValue(kHotfix + "\\Q154087", "Fix Description", REG_SZ, "pre-SP4");
        image->SetValue(kHotfix + "\\QIGNORED", "Fix Description", REG_SZ, "hidden");
        image->SetValue("Brightwater\\Patchscope", "Hotfixes to ignore", REG_SZ, "QIGNORED");
        image->SetValue("Brightwater\\Patchscope", "Ignore pre-SP4 hotfixes", REG_DWORD,
                        "\1\0\0\0"s);
        for (const char* file : {"uninst.inf", "hotfix.inf", "hotfix.exe", "a.dll"})
            image->AddFile(A, file, Utc(2001, 3, 4, 12, 2, 9));
        image->WriteHive();
        path = image->WindowsDir();
    }

    std::vector<std::vector<std::string>> Rows() const
    {
        std::vector<std::vector<std::string>> rows;
        for (int column = 0; column < 5; ++column)
            rows.push_back(Column(column));
        return rows;
    }

    std::unique_ptr<TOfflineImage> image;
    std::string A, path;
};

TEST_F(OfflineWindowTest, ListsAsLiveReadsOnlyAndOpensDetailsAndSaves)
{
    const auto before = image->Snapshot();
    Start({"/offline:" + path});
    const auto offlineRows = Rows();
    EXPECT_EQ(main->Caption(), "Patchscope - " + path + " (offline)");
    EXPECT_EQ(Status(0), "Service Pack 4 and 3 hotfixes applied; times in this computer's "
                         "local time");
    EXPECT_EQ(Column(0), (std::vector<std::string>{A, "QB", "QC"}));
    EXPECT_EQ(Cell(0, 1), "Alpha caf\xE9");
    EXPECT_EQ(Cell(2, 1), "First");

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
    EXPECT_EQ(details.UninstallDir(), path + "\\$NtUninstall" + A + "$\\");
    EXPECT_EQ(details.FileList().ItemCount(), 1);
    EXPECT_EQ(details.FileList().ItemCaption(0), "a.dll");

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
    const std::string zone = "ControlSet001\\Control\\TimeZoneInformation";
    THiveBuilder& system = image->SystemHive();
    system.SetValue("Select", "Current", kRegDword, RegDwordData(1));
    system.SetValue(zone, "Bias", kRegDword, RegDwordData(static_cast<DWORD>(-60)));
    system.SetValue(zone, "StandardBias", kRegDword, RegDwordData(0));
    system.SetValue(zone, "DaylightBias", kRegDword, RegDwordData(0));
    system.SetValue(zone, "StandardStart", kRegBinary, std::string(16, '\0'));
    system.SetValue(zone, "DaylightStart", kRegBinary, std::string(16, '\0'));
    image->WriteSystemHive();
    THiveBuildOptions pending;
    pending.PrimarySequence = 3;
    image->WriteHive(pending);
    Start();
    TypeComputer(path);
    EXPECT_EQ(Status(0), "Service Pack 4 and 3 hotfixes applied; times in the offline system's "
                         "local time; its registry was saved with changes pending, the last "
                         "changes may be missing");
    EXPECT_EQ(Cell(0, 3), "2001-03-04 13:02:08");
}

TEST_F(OfflineWindowTest, MissingAndDamagedHivesGiveAMessage)
{
    Start();
    image->WriteHiveBytes("REGF" + image->HiveBytes().substr(4));
    TypeComputer(path);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    const std::string hive = path + "\\system32\\config\\software";
    EXPECT_EQ(prompts.Messages[0].Text, hive + " is not a registry file.");
    EXPECT_EQ(prompts.Messages[0].Caption, "Offline system");
    EXPECT_EQ(main->Caption(), "Patchscope - \\\\" + LocalName() + " (local)");

    DeleteFileA(hive.c_str());
    TypeComputer(path);
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[1].Text, "The registry file " + hive + " does not exist.");
}

}  // namespace
