// The verification window opened from the main window on private data:
// its rows, their order on opening, the summary and Save As.
#include <shlwapi.h>

#include <algorithm>
#include <regex>

#include "ps_main_fixture.h"
#include "ps_verify.h"
#include "ps_verify_res.h"
#include "components/ExtListView.h"

namespace {

using Texts = std::vector<std::string>;

Texts RowTexts(TExtListView& list, int row)
{
    Texts cells{list.ItemCaption(row)};
    for (int column = 0; column < 6; ++column)
        cells.push_back(list.SubItemText(row, column));
    return cells;
}

// The width of the longest text of a column, as the list measures it.
int LongestText(TExtListView& list, int column)
{
    int width = 0;
    for (int row = 0; row < list.ItemCount(); ++row)
        width = std::max(width, ListView_GetStringWidth(list.Handle(), RowTexts(list, row)[column].c_str()));
    return width;
}

}  // namespace

TEST_F(MainWindowTest, VerifyWindowShowsWhatNeedsAttentionFirst)
{
    const std::string tag = ProcessTag(), place = "vfy" + tag;
    const std::string q1 = "Q1" + tag, q2 = "Q2" + tag, orphan = "QZ" + tag;
    AddHotfix(q1);
    AddHotfix(q2);
    const std::string pastLimit = "Q" + std::string(250, 'L');   // a directory too long, under a short key
    WriteSz(HKEY_LOCAL_MACHINE, "Software\\Brightwater\\Patchscope", "Hotfix search path", kHotfixKey + ",H");
    AddHotfix(pastLimit, "A fix", "H", false);
    ScratchDir& dir1 = AddUninstallDir(q1);
    dir1.AddFile("uninst.inf", "[DefaultInstall]\nCopyFiles = Back\n[DestinationDirs]\nBack = 11, " +
                                   place + "\n[Back]\na.dll\nb.dll\n");
    dir1.AddFile("a.dll", VersionedLibrary(100));
    dir1.AddFile("b.dll", VersionedLibrary(100));
    AddUninstallDir(q2).AddFile("c" + tag + ".dll", VersionedLibrary(100));
    AddUninstallDir(orphan);
    ScratchDir installed(WindowsDirectory() + "system32\\" + place);
    installed.AddFile("a.dll", VersionedLibrary(200));
    installed.AddFile("b.dll", VersionedLibrary(100));
    Start();
    Command(IDM_MNUVERIFY);
    ASSERT_EQ(main->VerifyWindows().size(), 1u);
    TfrmVerify& form = *main->VerifyWindows()[0];
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    EXPECT_EQ(TextOf(form.Handle()), "Verification of \\\\" + kComputerName);

    SaveWindowShot(form.Handle(), "verify");
    TExtListView& list = form.FileList();
    const std::string installedDir = WindowsDirectory() + "system32\\" + place + "\\";
    std::vector<Texts> own;
    bool inEffectSeen = false, orderKept = true;
    int orphans = 0;
    for (int row = 0; row < list.ItemCount(); ++row) {
        const Texts cells = RowTexts(list, row);
        orderKept = orderKept && !(inEffectSeen && cells[2] != "In effect");
        inEffectSeen = inEffectSeen || cells[2] == "In effect";
        orphans += cells[2] == "No registry record";
        if (cells[0].find(tag) != std::string::npos)
            own.push_back(cells);
    }
    EXPECT_TRUE(orderKept);
    const std::string a = "4.0.1381.100", b = "4.0.1381.200";
    const std::string c = "c" + tag + ".dll", windows = WindowsDirectory();
    const std::string guessed = windows + "system32\\" + c + "; " + windows + "system32\\drivers\\" + c +
                                "; " + windows + c;
    EXPECT_EQ(own, (std::vector<Texts>{
                       {q1, "b.dll", "Undone", installedDir + "b.dll", a, a, "from the script; versions compared"},
                       {q2, "c" + tag + ".dll", "Missing", guessed, "", "", "script missing or damaged"},
                       {orphan, "", "No registry record", WindowsDirectory() + "$NtUninstall" + orphan + "$", "", "", ""},
                       {q1, "a.dll", "In effect", installedDir + "a.dll", b, a, "from the script; versions compared"}}));
    // Other tests' directories may stand beside ours as more leftovers.
    const std::string summary = TextOf(FindControl(form.Handle(), IDC_LBLVERIFYSUMMARY));
    EXPECT_EQ(summary, form.Summary());
    EXPECT_EQ(summary, "3 files: 1 in effect, 1 undone, 1 missing; " + std::to_string(orphans) +
                           (orphans == 1 ? " uninstall directory" : " uninstall directories") +
                           " without a registry record (incomplete: " + WindowsDirectory() +
                           "$NtUninstall" + pastLimit + "$ cannot be listed: path too long)");

    // Every column shows its longest text whole; one that the user sized
    // keeps its width in the next window, the others fit their texts anew.
    for (int column = 0; column < 7; ++column)
        EXPECT_GE(ListView_GetColumnWidth(list.Handle(), column), LongestText(list, column) + 12) << column;
    HDITEMA sized{};
    sized.mask = HDI_WIDTH;
    sized.cxy = 300;
    SendMessageA(ListView_GetHeader(list.Handle()), HDM_SETITEMA, 6, reinterpret_cast<LPARAM>(&sized));

    // Save As writes the list as the main window's layouts do.
    ScratchDir out(WindowsDirectory() + "vfyout" + tag);
    prompts.SaveFileAnswers.push_back(out.Path() + "verify.csv");
    prompts.SaveFileFilterIndexes.push_back(3);
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(IDM_MNUVERIFYSAVEAS, 0), 0);
    PumpMessages(20);
    const std::string csv = ReadWholeFile(out.Path() + "verify.csv");
    EXPECT_TRUE(csv.starts_with("Hotfix,File,State,Installed path,Installed version,Saved version,How found\r\n" +
                                q1 + ",b.dll,Undone,"))
        << csv;
    // The page is titled as the window; the name proposed is a plain one,
    // also when the system cannot tell this computer's name.
    prompts.SaveFileAnswers.push_back(out.Path() + "verify.htm");
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(IDM_MNUVERIFYSAVEAS, 0), 0);
    const std::string title = "<title>Verification of \\\\" + kComputerName + "</title>";
    EXPECT_NE(ReadWholeFile(out.Path() + "verify.htm").find(title), std::string::npos);
    ASSERT_EQ(SHDeleteKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\ComputerName"),
              0);
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(IDM_MNUVERIFYSAVEAS, 0), 0);
    std::string name = kComputerName;
    CharLowerA(name.data());
    EXPECT_EQ(prompts.SaveFileRequests.at(0).FileName, name + " verification");
    EXPECT_EQ(prompts.SaveFileRequests.at(2).FileName, "verification");
    SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
    PumpMessages(20);
    AddHotfix("Q3" + tag);
    ScratchDir& longer = AddUninstallDir("Q3" + tag);
    longer.AddFile("a-much-longer-name-than-any-other" + tag + ".dll", VersionedLibrary(100));
    Command(IDM_MNUREFRESH);
    Command(IDM_MNUVERIFY);
    ASSERT_EQ(main->VerifyWindows().size(), 1u);
    TExtListView& again = main->VerifyWindows()[0]->FileList();
    EXPECT_EQ(ListView_GetColumnWidth(again.Handle(), 6), 300);
    for (int column = 0; column < 6; ++column)
        EXPECT_GE(ListView_GetColumnWidth(again.Handle(), column), LongestText(again, column) + 12) << column;
}

// As the details window: new texts after a settings change, the last placement at opening.
TEST_F(MainWindowTest, VerifyWindowFollowsTheSettingsAndKeepsItsPlacement)
{
    const std::string tag = ProcessTag(), place = "vfs" + tag, id = "Q3" + tag;
    AddHotfix(id);
    ScratchDir& saved = AddUninstallDir(id);
    saved.AddFile("uninst.inf", "[DefaultInstall]\nCopyFiles = B\n[DestinationDirs]\nB = 11, " +
                                    place + "\n[B]\nn.txt\n");
    saved.AddFile("n.txt", "old");
    ScratchDir installed(WindowsDirectory() + "system32\\" + place);
    installed.AddFile("n.txt", "new");
    Start();
    Command(IDM_MNUVERIFY);
    TfrmVerify* form = main->VerifyWindows().at(0);
    TExtListView& list = form->FileList();
    int row = 0;
    while (row < list.ItemCount() && list.ItemCaption(row) != id)
        ++row;
    ASSERT_EQ(list.SubItemText(row, 3), "(unknown)");
    main->Options().DefaultText = "n/a";
    main->NotifyDetailWindows();
    PumpMessages(20);
    EXPECT_EQ(list.SubItemText(row, 3), "n/a");

    SetWindowPos(form->Handle(), nullptr, 30, 40, 600, 300, SWP_NOZORDER);
    for (bool maximized : {false, true}) {
        SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
        Command(IDM_MNUVERIFY);
        form = main->VerifyWindows().at(0);
        WINDOWPLACEMENT placement{sizeof placement, 0, 0, {}, {}, {}};
        GetWindowPlacement(form->Handle(), &placement);
        EXPECT_EQ(placement.rcNormalPosition.top, 40);
        EXPECT_EQ(placement.rcNormalPosition.right, 630);
        EXPECT_EQ(IsZoomed(form->Handle()) != FALSE, maximized);
        ShowWindow(form->Handle(), SW_MAXIMIZE);
    }
}
