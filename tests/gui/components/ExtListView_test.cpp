// The report list view in a real window on the virtual display: what the
// header shows, the order of the rows, and the column settings that reach
// the registry.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ExtListView.h"
#include "GuiTest.h"
#include "PrivateRegistry.h"
#include "Reflect.h"

namespace {

const std::string kKey = "Software\\Brightwater\\Patchscope";
const std::string kColumns = kKey + "\\Columns";
const std::string kSort = kKey + "\\Sort";
const char* const kCaptions[] = {"Hotfix", "Description", "Hotfix date", "Date applied",
                                 "Affected files"};

// The data a row carries; the displayed texts differ from it on purpose, so
// that an order by text instead of by the owner's comparison shows.
struct Row {
    std::string Id;
    std::string Description;
    int Number;
};
const std::vector<Row> kRows = {
    {"Q300", "delta", 3}, {"Q100", "Bravo", 5}, {"Q500", "alpha", 1},
    {"Q200", "Echo", 4},  {"Q400", "charlie", 2},
};

// Extreme results, so that reversing them for a descending sort must not overflow.
int Order(int a, int b) { return a < b ? INT_MIN : a > b ? INT_MAX : 0; }
int Order(const std::string& a, const std::string& b)
{
    return Order(lstrcmpiA(a.c_str(), b.c_str()), 0);
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if ((message == WM_NOTIFY || message == WM_COMMAND) &&
        ReflectNotification(message, wParam, lParam, result))
        return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateParent()
{
    static const ATOM windowClass = [] {
        WNDCLASSA definition{};
        definition.lpfnWndProc = ParentProc;
        definition.hInstance = GetModuleHandleA(nullptr);
        definition.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        definition.lpszClassName = "ListViewTestParent";
        return RegisterClassA(&definition);
    }();
    // Not activated: destroying an active window costs Wine seconds.
    HWND window = CreateWindowExA(WS_EX_NOACTIVATE, MAKEINTATOM(windowClass), "List view",
                                  WS_POPUP, 20, 20, 640, 240, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

void ProcessMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string RegText(const std::string& key, const std::string& name)
{
    const RegValue value = ReadRawValue(HKEY_CURRENT_USER, key, name);
    EXPECT_TRUE(value.Exists) << name;
    EXPECT_EQ(value.Type, static_cast<DWORD>(REG_SZ)) << name;
    return value.Data.substr(0, value.Data.find('\0'));
}

class ExtListViewTest : public testing::Test {
protected:
    void TearDown() override
    {
        List.reset();
        Parent.reset();
    }

    void Make()
    {
        List = std::make_unique<TExtListView>();
        for (const char* caption : kCaptions)
            List->AddColumn(caption);
        List->SetAutoColumnSort(acsSortToggle);
        List->SetShowSortArrows(true);
        List->SetExtendedStyles({lvxHeaderDragDrop, lvxFullRowSelect});
        List->SaveSettings().AutoSave = true;
        List->SaveSettings().RegistryKey = kKey;
        List->OnSortItems = [this](TCustomEnhListView&, const TListItem& item1,
                                   const TListItem& item2, int sortColumn, int& result) {
            SortColumnsSeen.push_back(sortColumn);
            if (ComparisonFails)
                throw std::runtime_error("Invalid data type for 'Fix Description'");
            const Row& a = *static_cast<const Row*>(item1.Data);
            const Row& b = *static_cast<const Row*>(item2.Data);
            if (sortColumn == -1)
                result = Order(a.Id, b.Id);
            else if (sortColumn == 0)
                result = Order(a.Description, b.Description);
            else
                result = Order(a.Number, b.Number);
        };
        List->OnDeletion = [this](TCustomEnhListView&, const TListItem& item) {
            Deleted.push_back(item.Caption);
        };
        ASSERT_TRUE(List->Create(Parent.get(), 100, RECT{0, 0, 620, 220}));
        ProcessMessages();
    }

    void Fill()
    {
        List->BeginUpdate();
        for (const Row& row : kRows) {
            const int index = List->AddItem(row.Id, const_cast<Row*>(&row));
            List->SetSubItem(index, 0, row.Description);
            List->SetSubItem(index, 1, "day " + std::to_string(10 - row.Number));
            List->SetSubItem(index, 2, "-");
            List->SetSubItem(index, 3, "file" + std::to_string(row.Number) + ".dll");
        }
        List->EndUpdate();
        ProcessMessages();
    }

    // Switching the automatic sort off and on sorts the rows as they stand.
    void Resort()
    {
        List->SetAutoColumnSort(acsNoSort);
        List->SetAutoColumnSort(acsSortToggle);
    }

    std::vector<std::string> Captions() const
    {
        std::vector<std::string> captions;
        for (int index = 0; index < List->ItemCount(); ++index)
            captions.push_back(List->ItemCaption(index));
        return captions;
    }

    HWND Header() const { return ListView_GetHeader(List->Handle()); }

    // A click as the mouse makes it: down and up on the header item.
    void ClickHeader(int column)
    {
        RECT item{};
        ASSERT_TRUE(Header_GetItemRect(Header(), column, &item));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        SendMessageA(Header(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(Header(), WM_LBUTTONUP, 0, at);
        ProcessMessages();
    }

    // The header item's bitmap, or null when it shows none.
    HBITMAP HeaderBitmap(int column) const
    {
        HDITEMA item{};
        item.mask = HDI_FORMAT | HDI_BITMAP;
        EXPECT_TRUE(SendMessageA(Header(), HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item)));
        const bool shown = (item.fmt & HDF_BITMAP) && (item.fmt & HDF_BITMAP_ON_RIGHT);
        return shown ? item.hbm : nullptr;
    }

    void ExpectArrowOnlyOn(int column, bool ascending) const
    {
        for (int index = 0; index < List->ColumnCount(); ++index) {
            if (index == column) {
                EXPECT_NE(HeaderBitmap(index), nullptr) << "column " << index;
                EXPECT_EQ(HeaderBitmap(index), List->SortArrow(ascending)) << "column " << index;
            } else {
                EXPECT_EQ(HeaderBitmap(index), nullptr) << "column " << index;
            }
        }
    }

    std::vector<int> Widths() const
    {
        std::vector<int> widths;
        for (int column = 0; column < List->ColumnCount(); ++column)
            widths.push_back(List->ColumnWidth(column));
        return widths;
    }

    int ClientWidth() const
    {
        RECT client{};
        GetClientRect(List->Handle(), &client);
        return client.right;
    }

    PrivateRegistry Registry;
    WindowHandle Parent{CreateParent()};
    std::unique_ptr<TExtListView> List;
    std::vector<int> SortColumnsSeen;
    std::vector<std::string> Deleted;
    bool ComparisonFails = false;
};

// Every row carries its own data: the row of its caption.
void ExpectEveryRowHasItsData(const TExtListView& list)
{
    for (int index = 0; index < list.ItemCount(); ++index) {
        const auto* row = static_cast<const Row*>(list.ItemData(index));
        ASSERT_NE(row, nullptr) << index;
        EXPECT_EQ(row->Id, list.ItemCaption(index));
    }
}

const std::vector<std::string> kById = {"Q100", "Q200", "Q300", "Q400", "Q500"};
const std::vector<std::string> kByNumber = {"Q500", "Q400", "Q300", "Q200", "Q100"};
const std::vector<std::string> kByDescription = {"Q500", "Q100", "Q400", "Q300", "Q200"};
const std::vector<int> kNaturalOrder = {0, 1, 2, 3, 4};

int Sum(const std::vector<int>& numbers)
{
    int sum = 0;
    for (const int number : numbers)
        sum += number;
    return sum;
}

std::vector<std::string> Reversed(std::vector<std::string> captions)
{
    return {captions.rbegin(), captions.rend()};
}

}  // namespace

TEST_F(ExtListViewTest, FirstStartFitsHeadersSortsByFirstColumnAndStoresOnDestruction)
{
    Make();
    EXPECT_EQ(List->ColumnOrder(), kNaturalOrder);
    EXPECT_EQ(List->SortColumn(), 0);
    EXPECT_TRUE(List->SortAscending());
    ExpectArrowOnlyOn(0, true);
    const auto widths = Widths();
    for (int column = 0; column < 5; ++column) {
        const auto textWidth = static_cast<int>(SendMessageA(
            List->Handle(), LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(kCaptions[column])));
        EXPECT_GE(widths[static_cast<size_t>(column)], textWidth) << kCaptions[column];
        if (column < 4) {
            // Room for the header's margins and the sort arrow: the caption
            // shows whole, without an ellipsis.
            EXPECT_GE(widths[static_cast<size_t>(column)],
                      textWidth + 4 * 3 * GetSystemMetrics(SM_CXEDGE))
                << kCaptions[column];
            EXPECT_LT(widths[static_cast<size_t>(column)], textWidth + 40) << kCaptions[column];
        }
    }
    EXPECT_EQ(Sum(widths), ClientWidth()) << "the last column takes the rest";

    Fill();
    Resort();
    EXPECT_EQ(Captions(), kById);

    const auto shown = Widths();
    List.reset();
    EXPECT_EQ(RegText(kColumns, "Order"), "0,1,2,3,4");
    EXPECT_EQ(RegText(kColumns, "Sizes"),
              std::to_string(shown[0]) + "," + std::to_string(shown[1]) + "," +
                  std::to_string(shown[2]) + "," + std::to_string(shown[3]) + "," +
                  std::to_string(shown[4]));
    EXPECT_EQ(RegText(kSort, "Ascending"), "1");
    EXPECT_EQ(RegText(kSort, "SortCol"), "0");
}

TEST_F(ExtListViewTest, HeaderClicksToggleAndSwitchTheSortWithTheOwnersComparison)
{
    Make();
    Fill();
    ClickHeader(0);   // the current sort column: now descending
    EXPECT_EQ(Captions(), Reversed(kById));
    ExpectArrowOnlyOn(0, false);

    SortColumnsSeen.clear();
    ClickHeader(2);   // another column: ascending, compared by the rows' data
    EXPECT_EQ(Captions(), kByNumber);
    EXPECT_FALSE(SortColumnsSeen.empty());
    EXPECT_EQ(std::count(SortColumnsSeen.begin(), SortColumnsSeen.end(), 1),
              static_cast<long>(SortColumnsSeen.size()));
    ExpectArrowOnlyOn(2, true);

    ClickHeader(2);
    EXPECT_EQ(Captions(), Reversed(kByNumber));
    EXPECT_FALSE(List->SortAscending());
    ExpectArrowOnlyOn(2, false);

    ClickHeader(1);
    EXPECT_EQ(Captions(), kByDescription);
    EXPECT_EQ(List->SortColumn(), 1);
    ExpectArrowOnlyOn(1, true);

    // Sorting without toggling keeps the direction; no sorting keeps the rows.
    List->SetAutoSortAscending(false);
    ClickHeader(3);
    EXPECT_EQ(Captions(), Reversed(kByNumber));
    List->SetAutoColumnSort(acsSort);
    ClickHeader(3);
    EXPECT_EQ(Captions(), Reversed(kByNumber));
    ClickHeader(0);
    EXPECT_EQ(Captions(), Reversed(kById));
    List->SetAutoColumnSort(acsNoSort);
    SortColumnsSeen.clear();
    ClickHeader(1);
    EXPECT_EQ(Captions(), Reversed(kById));
    EXPECT_TRUE(SortColumnsSeen.empty());
    ExpectArrowOnlyOn(0, false);
}

TEST_F(ExtListViewTest, ChangingAutoColumnSortResortsOnlyForANewSortingValue)
{
    Make();
    Fill();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Q300", "Q100", "Q500", "Q200", "Q400"}));
    List->SetAutoColumnSort(acsSortToggle);
    List->SetAutoColumnSort(acsNoSort);
    EXPECT_TRUE(SortColumnsSeen.empty());
    List->SetAutoColumnSort(acsSort);
    EXPECT_EQ(Captions(), kById);
    // The rows keep their data through the sort.
    for (int index = 0; index < List->ItemCount(); ++index)
        EXPECT_EQ(static_cast<Row*>(List->ItemData(index))->Id, List->ItemCaption(index));
}

TEST_F(ExtListViewTest, FailingComparisonAndUnstorableSettingsAreReportedAndLoseNoRow)
{
    TScriptedPrompts prompts;
    Make();
    Fill();
    ComparisonFails = true;
    ClickHeader(2);
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, "Invalid data type for 'Fix Description'");
    EXPECT_EQ(prompts.Messages[0].Caption, "Patchscope");
    EXPECT_EQ(List->ItemCount(), 5);
    ExpectEveryRowHasItsData(*List);
    ComparisonFails = false;
    ClickHeader(1);
    EXPECT_EQ(Captions(), kByDescription) << "the next sort works";

    // Column settings that cannot be stored when the list goes: reported,
    // and the rows still go back to their owner.
    {
        ReadOnlyKey locked(kKey);
        List.reset();
    }
    ASSERT_EQ(prompts.Messages.size(), 2u);
    EXPECT_EQ(prompts.Messages[1].Text, "Failed to create key " + kKey);
    EXPECT_EQ(Deleted.size(), 5u);
    EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, kSort, "SortCol").Exists);
}

TEST_F(ExtListViewTest, TextsOf255CharactersAndMoreAreReadAndSortedWhole)
{
    Make();
    List->OnSortItems = nullptr;   // the rows' texts decide
    const std::string caption(300, 'c'), text(1000, 't');
    const int first = List->AddItem(caption + "2", const_cast<Row*>(&kRows[0]));
    List->SetSubItem(first, 0, text + "1");
    const int second = List->AddItem(caption + "1", const_cast<Row*>(&kRows[1]));
    List->SetSubItem(second, 0, text + "2");
    Resort();
    EXPECT_EQ(Captions(), (std::vector<std::string>{caption + "1", caption + "2"}));
    EXPECT_EQ(List->SubItemText(0, 0), text + "2");
    ClickHeader(1);
    EXPECT_EQ(Captions(), (std::vector<std::string>{caption + "2", caption + "1"}));
    EXPECT_EQ(List->SubItemText(0, 0), text + "1");
}

TEST_F(ExtListViewTest, SortArrowsAreTrianglesInButtonColours)
{
    Make();
    HBITMAP up = List->SortArrow(true);
    HBITMAP down = List->SortArrow(false);
    ASSERT_NE(up, nullptr);
    ASSERT_NE(down, nullptr);
    ASSERT_NE(up, down);

    // The side: the height of a line of the list's font (whatever fonts the
    // machine has), made even, less 6.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(List->Handle(), WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    SelectObject(dc, oldFont);
    const int side = metrics.tmHeight + metrics.tmHeight % 2 - 6;
    ASSERT_GE(side, 4);
    BITMAP info{};
    GetObjectA(up, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, side);
    EXPECT_EQ(info.bmHeight, side);

    // Pointing up: a lit bottom edge; pointing down: a shadowed top edge.
    HGDIOBJ oldBitmap = SelectObject(dc, up);
    EXPECT_EQ(GetPixel(dc, side / 2, side - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, side / 2, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNFACE));
    SelectObject(dc, down);
    EXPECT_EQ(GetPixel(dc, side / 2, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(dc, 0, side - 1), GetSysColor(COLOR_BTNFACE));
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    List->SetReverseSortArrows(true);
    EXPECT_EQ(List->SortArrow(true), down);
    ExpectArrowOnlyOn(0, true);
    EXPECT_EQ(HeaderBitmap(0), down);
    List->SetShowSortArrows(false);
    EXPECT_EQ(HeaderBitmap(0), nullptr);
}

TEST_F(ExtListViewTest, MovedColumnWidthAndSortAreRestoredAfterRecreation)
{
    Make();
    Fill();
    // The user drags "Description" in front of "Hotfix".
    RECT from{}, to{};
    Header_GetItemRect(Header(), 1, &from);
    Header_GetItemRect(Header(), 0, &to);
    const int y = (from.top + from.bottom) / 2;
    SendMessageA(Header(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((from.left + from.right) / 2, y));
    SendMessageA(Header(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.left - 5, y));
    SendMessageA(Header(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.left + 2, y));
    SendMessageA(Header(), WM_LBUTTONUP, 0, MAKELPARAM(to.left + 2, y));
    ProcessMessages();
    ASSERT_EQ(List->ColumnOrder(), (std::vector<int>{1, 0, 2, 3, 4}));
    // ... widens "Hotfix date" by hand, and sorts by "Date applied", descending.
    HDITEMA width{};
    width.mask = HDI_WIDTH;
    width.cxy = 150;
    SendMessageA(Header(), HDM_SETITEMA, 2, reinterpret_cast<LPARAM>(&width));
    ClickHeader(3);
    ClickHeader(3);
    List.reset();
    EXPECT_EQ(RegText(kColumns, "Order"), "1,0,2,3,4");
    EXPECT_EQ(RegText(kSort, "Ascending"), "0");
    EXPECT_EQ(RegText(kSort, "SortCol"), "3");

    Make();
    EXPECT_EQ(List->ColumnOrder(), (std::vector<int>{1, 0, 2, 3, 4}));
    EXPECT_EQ(List->SortColumn(), 3);
    EXPECT_FALSE(List->SortAscending());
    EXPECT_EQ(List->ColumnWidth(2), 150);
    ExpectArrowOnlyOn(3, false);
    SortColumnsSeen.clear();
    Fill();
    Resort();
    EXPECT_EQ(Captions(), Reversed(kByNumber));
    EXPECT_EQ(std::count(SortColumnsSeen.begin(), SortColumnsSeen.end(), 2),
              static_cast<long>(SortColumnsSeen.size()));
    // A stored width is the column's own: the end of a batch keeps it.
    EXPECT_EQ(List->ColumnWidth(2), 150);
    List.reset();   // stored or restored, no column is narrower than its caption
    WriteSz(HKEY_CURRENT_USER, kColumns, "Sizes", "0,80,150,80,0");
    Make();
    EXPECT_GT(List->ColumnWidth(0), 20);
}

TEST_F(ExtListViewTest, StoredSortColumnBeyondTheColumnsSortsByTheLast)
{
    WriteSz(HKEY_CURRENT_USER, kSort, "SortCol", "9");
    Make();
    EXPECT_EQ(List->SortColumn(), 4);
    ExpectArrowOnlyOn(4, true);
    Fill();
    SortColumnsSeen.clear();
    Resort();
    EXPECT_EQ(Captions(), kByNumber);
    EXPECT_EQ(std::count(SortColumnsSeen.begin(), SortColumnsSeen.end(), 3),
              static_cast<long>(SortColumnsSeen.size()));
    List.reset();
    EXPECT_EQ(RegText(kSort, "SortCol"), "4");

    WriteSz(HKEY_CURRENT_USER, kSort, "SortCol", "-3");
    Make();
    EXPECT_EQ(List->SortColumn(), 0);
}

TEST_F(ExtListViewTest, MalformedStoredValuesLeaveTheDefaults)
{
    Make();
    const auto headerWidths = Widths();
    List.reset();

    struct Stored {
        std::string Key, Name;
        DWORD Type;
        std::string Data;
    };
    const auto sz = [](const std::string& text) { return text + '\0'; };
    const DWORD two = 2;
    const std::string dwordTwo(reinterpret_cast<const char*>(&two), sizeof two);
    const std::vector<Stored> cases = {
        {kColumns, "Order", REG_SZ, sz("1,0")},
        {kColumns, "Order", REG_SZ, sz("1,0,2,3,x")},
        {kColumns, "Order", REG_SZ, sz("0,0,1,2,3")},
        {kColumns, "Order", REG_SZ, sz("0,1,2,3,5")},
        {kColumns, "Order", REG_SZ, sz("4,3,2,1,0,5")},
        {kColumns, "Order", REG_SZ, sz("1,,0,2,3")},
        {kColumns, "Order", REG_DWORD, dwordTwo},
        {kColumns, "Sizes", REG_SZ, sz("10,20")},
        {kColumns, "Sizes", REG_SZ, sz("10,20,30,40,abc")},
        {kColumns, "Sizes", REG_SZ, sz("10,-5,30,40,50")},
        {kColumns, "Sizes", REG_SZ, sz("10,20,30,40,99999999")},
        {kColumns, "Sizes", REG_BINARY, "10,20,30,40,50"},
        {kSort, "SortCol", REG_SZ, sz("second")},
        {kSort, "SortCol", REG_DWORD, dwordTwo},
        {kSort, "Ascending", REG_SZ, sz("maybe")},
        {kSort, "Ascending", REG_DWORD, std::string(4, '\0')},
    };
    for (const Stored& stored : cases) {
        SCOPED_TRACE(stored.Name + " = " + stored.Data.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, kColumns.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, kSort.c_str());
        WriteRawValue(HKEY_CURRENT_USER, stored.Key, stored.Name, stored.Type, stored.Data);
        Make();
        EXPECT_EQ(List->ColumnOrder(), kNaturalOrder);
        EXPECT_EQ(Widths(), headerWidths);
        EXPECT_EQ(List->SortColumn(), 0);
        EXPECT_TRUE(List->SortAscending());
        Fill();
        Resort();
        EXPECT_EQ(Captions(), kById);
        List.reset();
    }
}

TEST_F(ExtListViewTest, EndOfBatchRefitsAutomaticWidthsButKeepsOnesTheUserSet)
{
    Make();
    HDITEMA width{};
    width.mask = HDI_WIDTH;
    width.cxy = 123;
    SendMessageA(Header(), HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&width));
    const auto before = Widths();
    MoveWindow(List->Handle(), 0, 0, 900, 220, TRUE);
    Fill();
    static const Row wide{"Q999, a caption wider than its header", "x", 9};
    List->BeginUpdate();
    List->AddItem(wide.Id, const_cast<Row*>(&wide));
    List->EndUpdate();
    const auto after = Widths();
    // The first column now fits its rows as well as its header.
    EXPECT_GT(after[0], before[0]);
    EXPECT_EQ(after[1], 123);
    EXPECT_EQ(Sum(after), ClientWidth());
}

TEST_F(ExtListViewTest, EveryRowIsHandedBackOnceWhenDeleted)
{
    Make();
    Fill();
    ASSERT_TRUE(List->DeleteItem(1));
    EXPECT_EQ(Deleted, (std::vector<std::string>{"Q100"}));
    List->Clear();
    EXPECT_EQ(Deleted.size(), 5u);
    EXPECT_EQ(List->ItemCount(), 0);

    // Rows still in the list when its window goes, also with its parent.
    Deleted.clear();
    Fill();
    List.reset();
    EXPECT_EQ(Deleted.size(), 5u);
    Deleted.clear();
    Make();
    Fill();
    Parent.reset();
    EXPECT_EQ(Deleted.size(), 5u);
    EXPECT_EQ(List->Handle(), nullptr);
    List.reset();
    EXPECT_EQ(Deleted.size(), 5u);
}

TEST_F(ExtListViewTest, ClicksKeysAndContextRequestsReachTheOwner)
{
    Make();
    Fill();
    std::vector<std::string> events;
    List->OnClick = [&](TCustomEnhListView&) { events.push_back("click"); };
    List->OnDblClick = [&](TCustomEnhListView&) { events.push_back("double click"); };
    List->OnKeyUp = [&](TCustomEnhListView&, WORD& key) {
        events.push_back("key up " + std::to_string(key));
    };
    List->OnKeyPress = [&](TCustomEnhListView&, char& key) {
        events.push_back("key press " + std::to_string(key));
        key = 0;
    };
    POINT popupAt{};
    List->OnContextPopup = [&](TCustomEnhListView&, POINT at, bool&) {
        events.push_back("popup");
        popupAt = at;
    };

    const auto notifyParent = [&](UINT code) {
        NMITEMACTIVATE activate{};
        activate.hdr = {List->Handle(), 100, code};
        activate.iItem = 0;
        SendMessageA(Parent.get(), WM_NOTIFY, 100, reinterpret_cast<LPARAM>(&activate));
    };
    notifyParent(NM_CLICK);
    notifyParent(NM_DBLCLK);
    SendMessageA(List->Handle(), WM_KEYUP, VK_DOWN, 0);
    SendMessageA(List->Handle(), WM_CHAR, VK_RETURN, 0);
    SendMessageA(List->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List->Handle()),
                 MAKELPARAM(30, 40));
    EXPECT_EQ(events, (std::vector<std::string>{"click", "double click", "key up 40",
                                                "key press 13", "popup"}));
    EXPECT_EQ(popupAt.x, 30);
    EXPECT_EQ(popupAt.y, 40);

    // From the keyboard: just below the selected row.
    List->SetSelectedIndex(2);
    EXPECT_EQ(List->SelectedIndex(), 2);
    SendMessageA(List->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List->Handle()), -1);
    RECT row{};
    ListView_GetItemRect(List->Handle(), 2, &row, LVIR_LABEL);
    POINT below{row.left, row.bottom};
    ClientToScreen(List->Handle(), &below);
    EXPECT_EQ(popupAt.x, below.x);
    EXPECT_EQ(popupAt.y, below.y);
}

TEST_F(ExtListViewTest, ScreenshotOfTheSortedListShowsTheArrowInTheSortedHeader)
{
    Make();
    Fill();
    ClickHeader(2);
    List->SetSelectedIndex(1);
    RedrawWindow(Parent.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ProcessMessages();

    RECT frame{};
    GetWindowRect(Parent.get(), &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HDC arrowDc = CreateCompatibleDC(screen);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP shot = CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(shot, nullptr);
    HGDIOBJ old = SelectObject(dc, shot);
    BitBlt(dc, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);

    // Where the header shows the ascending arrow's picture, pixel for pixel.
    HBITMAP arrow = List->SortArrow(true);
    BITMAP arrowInfo{};
    ASSERT_TRUE(GetObjectA(arrow, sizeof arrowInfo, &arrowInfo));
    HGDIOBJ oldArrow = SelectObject(arrowDc, arrow);
    POINT headerOrigin{0, 0};
    MapWindowPoints(Header(), Parent.get(), &headerOrigin, 1);
    auto arrowShownIn = [&](int column) {
        RECT item{};
        Header_GetItemRect(Header(), column, &item);
        OffsetRect(&item, headerOrigin.x, headerOrigin.y);
        for (int top = item.top; top + arrowInfo.bmHeight <= item.bottom; ++top)
            for (int left = item.left; left + arrowInfo.bmWidth <= item.right; ++left) {
                bool same = true;
                for (int y = 0; same && y < arrowInfo.bmHeight; ++y)
                    for (int x = 0; same && x < arrowInfo.bmWidth; ++x)
                        same = GetPixel(dc, left + x, top + y) == GetPixel(arrowDc, x, y);
                if (same)
                    return true;
            }
        return false;
    };
    EXPECT_TRUE(arrowShownIn(2));
    EXPECT_FALSE(arrowShownIn(0));
    EXPECT_FALSE(arrowShownIn(3));
    SelectObject(arrowDc, oldArrow);
    SelectObject(dc, old);

    const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageBytes), 0, 0,
                          sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::string path(MAX_PATH, '\0');
    path.resize(GetModuleFileNameA(nullptr, path.data(), MAX_PATH));
    path = path.substr(0, path.find_last_of('\\') + 1) + "ExtListView_sorted.bmp";
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&format.bmiHeader), sizeof format.bmiHeader);
    out.write(static_cast<const char*>(bits), imageBytes);
    EXPECT_TRUE(out.good());
    DeleteObject(shot);
    DeleteDC(arrowDc);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}
