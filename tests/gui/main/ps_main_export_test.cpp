// The main window saves its list as CSV and HTML after the user sorted it and
// dragged a column, with cells that break naive exports. The files go to the
// directory named by PS_EXPORT_DIR together with the cells expected in them,
// which ps_main_export_check.py reads back with Python's csv and html.parser
// (ps_main_export_test.sh runs both).
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "ps_main_fixture.h"

namespace {

using Texts = std::vector<std::string>;

std::string Hex(const std::string& text)
{
    if (text.empty())
        return ".";
    std::string hex;
    char pair[3];
    for (unsigned char c : text) {
        std::snprintf(pair, sizeof pair, "%02x", c);
        hex += pair;
    }
    return hex;
}

class ExportTest : public MainWindowTest {
protected:
    // Drags header item From with the mouse and drops it on the left edge of
    // header item Onto, as a user reorders the columns.
    void DragHeader(int from, int onto)
    {
        const HWND header = ListView_GetHeader(List());
        RECT source{}, target{};
        ASSERT_TRUE(Header_GetItemRect(header, from, &source));
        ASSERT_TRUE(Header_GetItemRect(header, onto, &target));
        const int y = (source.top + source.bottom) / 2;
        int x = (source.left + source.right) / 2;
        MouseDown(header, x, y);
        const int step = (target.left + 2 - x) / 8;
        for (int i = 0; i < 8; ++i) {
            x += step;
            PostMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
            PumpMessages();
        }
        x = target.left + 2;
        PostMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        MouseUp(header, x, y);
        PumpMessages(50);
    }

    void SaveAs(const std::string& file, int filterIndex)
    {
        prompts.SaveFileAnswers.push_back(file);
        prompts.SaveFileFilterIndexes.push_back(filterIndex);
        Command(IDM_MNUSAVEAS);
    }
};

}  // namespace

TEST_F(ExportTest, SortedListWithADraggedColumnSavedAsCsvAndHtml)
{
    const std::string longText = "Long, " + std::string(9994, 'y');
    AddHotfix("Q300001", "Alpha, \"quoted\" & <b>bold</b>");
    AddHotfix("Q300002", longText);
    AddHotfix("Q300003", "Two\r\nlines; caf\xe9, a lone\nfeed");
    AddHotfix("Q300004", "Quote 'single' \"double\" >gt &amp; </td>");
    ScratchDir& second = AddUninstallDir("Q300002");
    second.AddFile("hotfix.inf", LocalTime(1999, 1, 2, 3, 4, 6));
    second.AddFile("b.sys");
    const char* exportDir = std::getenv("PS_EXPORT_DIR");
    ScratchDir scratch(WindowsDirectory() + "exports" + ProcessTag());
    const std::string out = exportDir ? std::string(exportDir) + "\\" : scratch.Path();
    Start();

    // Description descending, then "Affected files" dragged to the front
    // (the columns narrowed first, so that all of them are on the screen).
    ClickHeader(1);
    ClickHeader(1);
    for (int column = 0; column < 5; ++column)
        ListView_SetColumnWidth(List(), column, 80);
    DragHeader(4, 0);
    int order[5] = {};
    ASSERT_TRUE(ListView_GetColumnOrderArray(List(), 5, order));
    ASSERT_EQ(std::vector<int>(order, order + 5), (std::vector<int>{4, 0, 1, 2, 3}));
    ASSERT_EQ(Column(0), (Texts{"Q300003", "Q300004", "Q300002", "Q300001"}));

    SaveAs(out + "list.csv", 3);   // as the dialog completes the typed name
    SaveAs(out + "list.htm", 4);
    ASSERT_TRUE(prompts.Messages.empty()) << prompts.Messages[0].Text;
    ASSERT_FALSE(ReadWholeFile(out + "list.csv").empty());
    ASSERT_FALSE(ReadWholeFile(out + "list.htm").empty());

    // What the readers must find: the page's title and summary, the captions
    // and the rows, in the order shown.
    const std::string u = "(unknown)";
    const std::vector<Texts> expected = {
        {"Hotfixes on \\\\" + LocalName(), "Service Pack 3 and 4 hotfixes applied"},
        {"Affected files", "Hotfix", "Description", "Hotfix date", "Date applied"},
        {u, "Q300003", "Two\r\nlines; caf\xe9, a lone\nfeed", u, u},
        {u, "Q300004", "Quote 'single' \"double\" >gt &amp; </td>", u, u},
        {"b.sys", "Q300002", longText, "1999-01-02 03:04:06", u},
        {u, "Q300001", "Alpha, \"quoted\" & <b>bold</b>", u, u}};
    std::string lines;
    for (const Texts& line : expected) {
        for (const std::string& cell : line)
            lines += Hex(cell) + ' ';
        lines += '\n';
    }
    std::ofstream file(out + "expected.hex", std::ios::binary);
    ASSERT_TRUE(file.write(lines.data(), static_cast<std::streamsize>(lines.size())));
}
