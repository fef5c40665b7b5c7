// The comparison window opened from the main window: the local computer, an
// offline image and a name that does not answer, read on worker threads;
// its rows, their order, the status line, the list form and Save As.
#include <fstream>

#include "OfflineImage.h"
#include "ps_compare.h"
#include "ps_compare_res.h"
#include "ps_comparelist.h"
#include "ps_details.h"
#include "ps_main_fixture.h"
#include "components/ExtListView.h"

namespace {

using namespace std::string_literals;
using Texts = std::vector<std::string>;

Texts RowTexts(TExtListView& list, int row)
{
    Texts cells{list.ItemCaption(row)};
    for (int column = 1; column < list.ColumnCount(); ++column)
        cells.push_back(list.SubItemText(row, column - 1));
    return cells;
}

}  // namespace

TEST_F(MainWindowTest, CompareWindowReadsTheListAndSavesTheTable)
{
    const std::string tag = ProcessTag(), unreachable = "\\\\NOSUCH" + tag;
    AddHotfix("QL" + tag, "Local only");
    AddHotfix("QB" + tag, "Both");
    TOfflineImage image("cmpwin", true);
    const std::string cv = "Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\";
    image.SetValue("Microsoft\\Windows NT\\CurrentVersion", "CSDVersion", REG_SZ, "Service Pack 6");
    image.SetValue(cv + "QB" + tag, "Fix Description", REG_SZ, "Both, offline");
    image.SetValue(cv + "QO" + tag, "Fix Description", REG_SZ, "Offline only");
    image.WriteHive();
    WriteRawValue(HKEY_CURRENT_USER, kSettingsPath + "\\Compare", "Targets", REG_MULTI_SZ,
                  ".\0"s + image.WindowsDir() + '\0' + unreachable + '\0' + '\0');
    Start();
    Command(IDM_MNUVIEWCOMPARE);
    const HWND handle = FindWindowA("PatchscopeCompare", nullptr);
    ASSERT_TRUE(handle);
    auto& form = dynamic_cast<TfrmCompare&>(*TWindow::FromHandle(handle));
    ASSERT_TRUE(PumpUntil([&] { return !form.Reading() && form.Table().has_value(); }));
    SaveWindowShot(handle, "compare");

    TExtListView& list = form.List();
    ASSERT_EQ(list.ItemCount(), 4);
    EXPECT_EQ(RowTexts(list, 0), (Texts{"Service pack", "", "", "Service Pack 3", "Service Pack 6",
                                        "Not read: Error connecting to the computer " + unreachable + "."}));
    // Rows missing somewhere first, then in identifier order; the unread target does not count.
    EXPECT_EQ(RowTexts(list, 1), (Texts{"QL" + tag, "Local only", "1", "Installed", "", ""}));
    EXPECT_EQ(RowTexts(list, 2), (Texts{"QO" + tag, "Offline only", "1", "", "Installed", ""}));
    EXPECT_EQ(RowTexts(list, 3), (Texts{"QB" + tag, "Both", "0", "Installed", "Installed", ""}));
    EXPECT_EQ(form.Summary(), "3 computers, 1 not read; 3 hotfixes, 2 missing somewhere");
    EXPECT_EQ(TextOf(FindControl(handle, IDC_LBLCOMPARESUMMARY)), form.Summary());
    EXPECT_EQ(TextOf(handle), "Comparison of 3 computers");

    // A double-click on the local computer's cell of QL opens its details there.
    RECT cell{};
    ListView_GetSubItemRect(list.Handle(), 1, 3, LVIR_BOUNDS, &cell);
    POINT centre{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    ClientToScreen(list.Handle(), &centre);
    SetCursorPos(centre.x, centre.y);
    NMITEMACTIVATE activate{};
    activate.hdr = {list.Handle(), IDC_LISTCOMPARE, static_cast<UINT>(NM_DBLCLK)};
    activate.iItem = 1;
    SendMessageA(handle, WM_NOTIFY, IDC_LISTCOMPARE, reinterpret_cast<LPARAM>(&activate));
    PumpMessages(20);
    ASSERT_EQ(form.DetailWindows().size(), 1u);
    EXPECT_EQ(form.DetailWindows()[0]->HotfixID, "QL" + tag);
    EXPECT_EQ(form.DetailWindows()[0]->ComputerName, "");
    SendMessageA(form.DetailWindows()[0]->Handle(), WM_CLOSE, 0, 0);
    PumpMessages(20);
    EXPECT_TRUE(form.DetailWindows().empty());

    // The list form: one more target typed, the same one again is not added.
    prompts.DialogScripts.push_back([&](TDialog& dialog) {
        for (const char* text : {"\\\\second", "SECOND"}) {
            SetWindowTextA(GetDlgItem(dialog.Handle(), IDC_EDTTARGET), text);
            SendMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(IDC_BTNADDTARGET, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog.Handle(), IDC_BTNADDTARGET)));
        }
        dialog.SetModalResult(IDOK);
    });
    SendMessageA(handle, WM_COMMAND, MAKEWPARAM(IDM_MNUCOMPARETARGETS, 0), 0);
    ASSERT_TRUE(PumpUntil([&] { return !form.Reading(); }));
    EXPECT_EQ(ReadRawValue(HKEY_CURRENT_USER, kSettingsPath + "\\Compare", "Targets").Data,
              ".\0"s + image.WindowsDir() + '\0' + unreachable + "\0\\\\SECOND\0\0"s);
    EXPECT_EQ(form.Summary(), "4 computers, 2 not read; 3 hotfixes, 2 missing somewhere");

    // Save As CSV: the rows as displayed.
    const std::string csv = WindowsDirectory() + "Temp\\compare" + tag + ".csv";
    prompts.SaveFileAnswers.push_back(csv);
    SendMessageA(handle, WM_COMMAND, MAKEWPARAM(IDM_MNUCOMPARESAVEAS, 0), 0);
    PumpMessages(20);
    std::ifstream saved(csv, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("QL" + tag + ",Local only,1,Installed,,,"), std::string::npos) << text;
    EXPECT_NE(text.find("Hotfix,Description,Missing on,"), std::string::npos) << text;
    saved.close();
    DeleteFileA(csv.c_str());
    // The HTML page marks the empty cells.
    const std::string html = WindowsDirectory() + "Temp\\compare" + tag + ".htm";
    prompts.SaveFileAnswers.push_back(html);
    SendMessageA(handle, WM_COMMAND, MAKEWPARAM(IDM_MNUCOMPARESAVEAS, 0), 0);
    PumpMessages(20);
    std::ifstream page(html, std::ios::binary);
    const std::string markup((std::istreambuf_iterator<char>(page)), std::istreambuf_iterator<char>());
    EXPECT_NE(markup.find("<tr><td>QL" + tag + "</td><td>Local only</td><td>1</td><td>Installed</td>"
                          "<td>&nbsp;</td><td>&nbsp;</td>"), std::string::npos) << markup;
    page.close();
    DeleteFileA(html.c_str());
    // Closed while its targets are being read again: the workers end first.
    SendMessageA(handle, WM_COMMAND, MAKEWPARAM(IDM_MNUCOMPAREREFRESH, 0), 0);
    EXPECT_TRUE(form.Reading());
    SendMessageA(handle, WM_CLOSE, 0, 0);
    PumpMessages(20);
    EXPECT_FALSE(IsWindow(handle));
}
