// The progress window as the details window drives it: steps, percentages,
// the file name, and Cancel by every way a user has.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "GuiTest.h"
#include "ps_dialogs_res.h"
#include "ps_progress.h"

namespace {

// (Built step by step: GCC 12 warns falsely on "literal" + std::string.)
std::string FileName(int number)
{
    std::string name = "file";
    name += std::to_string(number);
    name += ".dll";
    return name;
}

std::string Percentage(const TfrmProgress& form) { return TextOf(form.Item(IDC_LBLPERCENTAGE)); }

}  // namespace

TEST(ProgressRounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundedPercentage(3, 8), 38);   // 37.5
    EXPECT_EQ(RoundedPercentage(5, 8), 62);   // 62.5
    EXPECT_EQ(RoundedPercentage(1, 40), 2);   // 2.5
    EXPECT_EQ(RoundedPercentage(7, 200), 4);  // 3.5
    EXPECT_EQ(RoundedPercentage(1, 8), 12);   // 12.5
    EXPECT_EQ(RoundedPercentage(7, 8), 88);   // 87.5
    EXPECT_EQ(RoundedPercentage(1, 3), 33);
    EXPECT_EQ(RoundedPercentage(2, 3), 67);
    EXPECT_EQ(RoundedPercentage(0, 5), 0);
    EXPECT_EQ(RoundedPercentage(5, 5), 100);
    // Large counts do not overflow on the way.
    EXPECT_EQ(RoundedPercentage(30000000, 60000000), 50);
}

TEST(ProgressWindow, StartsEmptyAndUncancelled)
{
    TfrmProgress form(nullptr);
    EXPECT_EQ(form.Caption(), "Processing files");
    EXPECT_FALSE(form.Cancelled());
    EXPECT_EQ(Percentage(form), "nn%");
    EXPECT_EQ(form.Position(), 0);
    EXPECT_EQ(form.Maximum(), 100);
    EXPECT_FALSE(form.Visible());
    const LONG style = GetWindowLongA(form.Handle(), GWL_STYLE);
    EXPECT_FALSE(style & WS_SYSMENU) << "no title-bar buttons";
    EXPECT_FALSE(style & WS_THICKFRAME) << "a fixed border";
}

TEST(ProgressWindow, EightFilesShowTheirPercentagesStepByStep)
{
    TfrmProgress form(nullptr);
    form.SetMaximum(8);
    form.Show();
    std::vector<std::string> shown;
    for (int file = 1; file <= 8; ++file) {
        form.StepProgress();
        form.SetFileName(FileName(file));
        PumpMessages();
        shown.push_back(Percentage(form));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"12%", "25%", "38%", "50%", "62%", "75%", "88%",
                                               "100%"}));
    EXPECT_EQ(TextOf(form.Item(IDC_LBLFILENAME)), "file8.dll");
    EXPECT_EQ(form.Position(), 8);
}

TEST(ProgressWindow, ALongScanShowsItsFilesOnlyAsOftenAsTheIntervalAllows)
{
    const DWORD interval = TfrmProgress::RepaintInterval;
    TfrmProgress::RepaintInterval = 3600000;   // an hour: only the first file is shown
    TfrmProgress form(nullptr);
    form.SetMaximum(10);
    std::vector<bool> shown;
    for (int file = 1; file <= 10; ++file)
        shown.push_back(form.StepFile(FileName(file)));
    TfrmProgress::RepaintInterval = interval;
    EXPECT_EQ(shown, (std::vector<bool>{true, false, false, false, false, false, false, false,
                                        false, false}));
    EXPECT_EQ(TextOf(form.Item(IDC_LBLFILENAME)), "file1.dll");
    EXPECT_EQ(Percentage(form), "10%");
    EXPECT_EQ(form.Position(), 10);
}

TEST(ProgressWindow, TwoFilesAndNeverPastTheMaximum)
{
    TfrmProgress form(nullptr);
    form.SetMaximum(2);
    form.StepProgress();
    EXPECT_EQ(Percentage(form), "50%");
    form.StepProgress();
    EXPECT_EQ(Percentage(form), "100%");
    form.StepProgress();
    EXPECT_EQ(Percentage(form), "100%");
    EXPECT_EQ(form.Position(), 2);
}

TEST(ProgressWindow, FileNamesAreShownAsTheyAre)
{
    TfrmProgress form(nullptr);
    form.SetFileName("R&D %s%n.dll");
    EXPECT_EQ(TextOf(form.Item(IDC_LBLFILENAME)), "R&D %s%n.dll");
    EXPECT_TRUE(GetWindowLongA(form.Item(IDC_LBLFILENAME), GWL_STYLE) & SS_NOPREFIX)
        << "an ampersand in a file name is no mnemonic";
}

TEST(ProgressWindow, EachWayOfCancellingSetsCancelledAndKeepsTheWindowOpen)
{
    const std::vector<std::pair<const char*, std::function<void(TfrmProgress&)>>> ways = {
        {"click", [](TfrmProgress& form) { ClickControl(form.Item(IDC_BTNCANCEL)); }},
        {"Enter", [](TfrmProgress& form) { PressKey(VK_RETURN, form.Item(IDC_BTNCANCEL)); }},
        {"Esc", [](TfrmProgress& form) { PressKey(VK_ESCAPE, form.Item(IDC_BTNCANCEL)); }},
        {"Alt+F4", [](TfrmProgress& form) { PostMessageA(form.Handle(), WM_CLOSE, 0, 0); PumpMessages(); }},
    };
    for (const auto& [name, cancel] : ways) {
        TfrmProgress form(nullptr);
        form.SetMaximum(4);
        form.Show();
        PumpMessages();
        EXPECT_EQ(GetFocus(), form.Item(IDC_BTNCANCEL)) << name;
        cancel(form);
        EXPECT_TRUE(form.Cancelled()) << name;
        EXPECT_TRUE(form.Visible()) << name << ": Cancel neither closes nor hides the window";
        // Once cancelled, it stays so.
        form.StepProgress();
        PumpMessages();
        EXPECT_TRUE(form.Cancelled()) << name;
    }
}

TEST(ProgressWindow, AScanStopsAtTheFileAfterTheClick)
{
    // The details window's loop: step, name, let input through, check.
    TfrmProgress form(nullptr);
    form.SetMaximum(10);
    form.Show();
    PumpMessages();
    int processed = 0;
    for (int file = 1; file <= 10; ++file) {
        ++processed;
        form.StepProgress();
        form.SetFileName(FileName(file));
        if (file == 3)
            PostMessageA(form.Item(IDC_BTNCANCEL), WM_KEYDOWN, VK_ESCAPE, 1);
        Application().ProcessMessages();
        if (form.Cancelled())
            break;
    }
    EXPECT_EQ(processed, 3);
    EXPECT_EQ(Percentage(form), "30%");
}

TEST(ProgressWindow, HasItsDesignedSizeAndLook)
{
    TfrmProgress form(nullptr);
    form.SetMaximum(8);
    for (int i = 0; i < 3; ++i)
        form.StepProgress();
    form.SetFileName("hotfix_component.dll");
    form.Show();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(form.Handle()) != FALSE; }));
    const SIZE client = ClientSize(form.Handle());
    EXPECT_EQ(client.cx, 307);
    EXPECT_EQ(client.cy, 108);
    RECT bar{};
    GetWindowRect(form.Item(IDC_PBARFILES), &bar);
    EXPECT_NEAR(bar.right - bar.left, 289, 1);
    EXPECT_NEAR(bar.bottom - bar.top, 16, 1);
    // The percentage at the top right, the button centred at the bottom.
    RECT percentage{}, button{};
    GetWindowRect(form.Item(IDC_LBLPERCENTAGE), &percentage);
    GetWindowRect(form.Item(IDC_BTNCANCEL), &button);
    MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&percentage), 2);
    MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&button), 2);
    EXPECT_GT(percentage.left, client.cx / 2);
    EXPECT_NEAR(button.left + button.right, client.cx, 2);
    EXPECT_GT(button.top, client.cy / 2);
    EXPECT_FALSE(SaveWindowShot(form.Handle(), "progress").empty());
}
