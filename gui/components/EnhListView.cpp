#include "EnhListView.h"

#include <algorithm>
#include <unordered_map>

#include "NumText.h"
#include "Reflect.h"
#include "RegistryEx.h"
#include "SplitLst.h"

namespace {

constexpr const char* kColumnsSection = "Columns";
constexpr const char* kSortSection = "Sort";
// Widths beyond this come from a hand edit, not from a header anyone dragged.
constexpr int kMaxColumnWidth = 32767;

// A window's device context (the screen's for no window), released on destruction.
class WindowDC {
public:
    explicit WindowDC(HWND window) : FWindow(window), FDC(GetDC(window)) {}
    ~WindowDC()
    {
        if (FDC)
            ReleaseDC(FWindow, FDC);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    operator HDC() const { return FDC; }

private:
    HWND FWindow;
    HDC FDC;
};

class MemoryDC {
public:
    explicit MemoryDC(HDC compatible) : FDC(CreateCompatibleDC(compatible)) {}
    ~MemoryDC()
    {
        if (FDC)
            DeleteDC(FDC);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    operator HDC() const { return FDC; }

private:
    HDC FDC;
};

// An object selected into a device context until the end of the scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : FDC(dc), FPrevious(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(FDC, FPrevious); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC FDC;
    HGDIOBJ FPrevious;
};

int Sign(int value) { return (value > 0) - (value < 0); }

LPARAM GetItemParam(HWND list, int index)
{
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.lParam;
}

void SetItemParam(HWND list, int index, LPARAM param)
{
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = param;
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

std::string GetItemText(HWND list, int index, int subItem)
{
    // The platform copies at most the buffer's size and says how much it
    // copied; a text that filled the buffer may have been cut, so try again.
    // In a double-byte code page the cut falls before a character that would
    // not fit whole, one byte short of the end.
    std::vector<char> buffer(256);
    for (;;) {
        LVITEMA item{};
        item.iSubItem = subItem;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<int>(
            SendMessageA(list, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item)));
        if (length < static_cast<int>(buffer.size()) - 2)
            return std::string(buffer.data(), static_cast<size_t>(std::max(length, 0)));
        buffer.resize(buffer.size() * 2);
    }
}

// The side of the square arrow bitmaps: the height of "Wy" in the list's
// font, made even, less 6.
int SortArrowSide(HWND list)
{
    auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0));
    WindowDC dc(list);
    SelectedObject selected(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    if (!GetTextExtentPoint32A(dc, "Wy", 2, &size))
        return 0;
    return size.cy + size.cy % 2 - 6;
}

void Line(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// A triangle in the 3D button colours on the button face: lit from the top
// left, so edges facing up or left are in shadow when pointing down, and the
// edges facing down or right are highlighted.
GdiObject<HBITMAP> MakeSortArrow(HWND list, int side, bool up)
{
    if (side < 2)
        return {};
    WindowDC listDC(list);
    MemoryDC dc(listDC);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(listDC, side, side));
    GdiObject<HPEN> light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
    GdiObject<HPEN> dark(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
    if (!dc || !bitmap || !light || !dark)
        return {};
    {
        SelectedObject selectedBitmap(dc, bitmap.get());
        RECT all{0, 0, side, side};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
        const int mid = side / 2, last = side - 1;
        if (up) {
            SelectedObject pen(dc, dark.get());
            Line(dc, mid, 0, 0, last);
            SelectObject(dc, light.get());
            Line(dc, mid, 0, last, last);
            Line(dc, last, last, -1, last);
        } else {
            SelectedObject pen(dc, dark.get());
            Line(dc, 0, 0, side, 0);
            Line(dc, 0, 0, mid, last);
            SelectObject(dc, light.get());
            Line(dc, last, 1, mid, last);
            Line(dc, mid, last, mid, side);
        }
    }
    return bitmap;
}

struct SortContext {
    TCustomEnhListView* List = nullptr;
    std::vector<TListItem> Rows;       // by the row's index before the sort
    std::vector<std::string> Texts;    // the sort column's texts, without OnSortItems
    // The row's index before the sort by its data, when every row has data
    // of its own; else the rows carry their indexes during the sort.
    std::unordered_map<LPARAM, size_t> ByData;
    int Column = 0;
    bool Ascending = true;
    std::exception_ptr Failure;
};

}  // namespace

// ---------------------------------------------------------------------------
// Window

TCustomEnhListView::~TCustomEnhListView() { DestroyHandle(); }

bool TCustomEnhListView::Create(HWND parent, int id, const RECT& bounds)
{
    if (FHandle)
        return false;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    HWND window = CreateWindowExA(
        WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SINGLESEL |
            LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
        bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (!window)
        return false;
    // Subclassed through the window procedure itself, with the object in the
    // window's user data: the common controls' subclass chain asks the window
    // system for its data on every message, which makes each message to the
    // list many times dearer.
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FOriginalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    if (!FOriginalProc) {
        DestroyWindow(window);
        return false;
    }
    FHandle = window;
    FDestroying = false;
    if (auto font = SendMessageA(parent, WM_GETFONT, 0, 0))
        SendMessageA(window, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    else
        CreateSortArrows();
    if (FSmallImages)
        SendMessageA(window, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(FSmallImages));
    for (int column = 0; column < ColumnCount(); ++column)
        InsertColumn(column);
    ApplyAutoWidths();
    CreateWnd();
    LoadStoredState();
    return true;
}

void TCustomEnhListView::DestroyHandle()
{
    if (FHandle)
        DestroyWindow(FHandle);
}

LRESULT CALLBACK TCustomEnhListView::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam)
{
    auto* list = reinterpret_cast<TCustomEnhListView*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!list)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const WNDPROC original = list->FOriginalProc;
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        list->FHandle = nullptr;
        list->FUpdateCount = 0;
        return CallWindowProcA(original, window, message, wParam, lParam);
    }
    // The platform's window procedures cannot pass C++ exceptions on.
    try {
        return list->HandleMessage(message, wParam, lParam);
    } catch (...) {
        Application().ShowException(std::current_exception(), window);
    }
    return 0;
}

LRESULT TCustomEnhListView::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(FOriginalProc, FHandle, message, wParam, lParam);
}

LRESULT TCustomEnhListView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case CN_NOTIFY: {
        LRESULT result = 0;
        HandleNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
        return result;
    }
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.hwndFrom == ListView_GetHeader(FHandle) &&
            (header.code == HDN_ITEMCHANGEDA || header.code == HDN_ITEMCHANGEDW)) {
            const LRESULT result = DefaultHandler(message, wParam, lParam);
            HeaderItemChanged(reinterpret_cast<const NMHEADERA&>(header));
            return result;
        }
        break;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (const TKeyEvent& event = message == WM_KEYDOWN ? OnKeyDown : OnKeyUp) {
            auto key = static_cast<WORD>(wParam);
            event(*this, key);
            if (!key)
                return 0;
            wParam = key;
        }
        break;
    case WM_CHAR:
        if (OnKeyPress) {
            auto key = static_cast<char>(wParam);
            OnKeyPress(*this, key);
            if (!key)
                return 0;
            wParam = static_cast<unsigned char>(key);
        }
        break;
    case WM_CONTEXTMENU:
        if (OnContextPopup && reinterpret_cast<HWND>(wParam) == FHandle) {
            ContextPopup(lParam);
            return 0;
        }
        break;
    case WM_SETFONT:
    case WM_SYSCOLORCHANGE: {
        const LRESULT result = DefaultHandler(message, wParam, lParam);
        CreateSortArrows();
        return result;
    }
    case WM_DESTROY: {
        // The rows go back to their owner here rather than through the
        // parent, which may already have stopped reflecting notifications.
        DeleteRowsAtDestruction();
        std::exception_ptr failure;
        try {
            StoreState();
        } catch (...) {
            failure = std::current_exception();
        }
        const LRESULT result = DefaultHandler(message, wParam, lParam);
        if (failure)
            std::rethrow_exception(failure);
        return result;
    }
    default:
        break;
    }
    return DefaultHandler(message, wParam, lParam);
}

bool TCustomEnhListView::HandleNotify(const NMHDR& header, LRESULT& result)
{
    result = 0;
    switch (header.code) {
    case LVN_COLUMNCLICK:
        ColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return true;
    case LVN_DELETEITEM: {
        const auto& notification = reinterpret_cast<const NMLISTVIEW&>(header);
        Deleted(notification.iItem, reinterpret_cast<void*>(notification.lParam));
        return true;
    }
    case LVN_DELETEALLITEMS:
        result = FALSE;   // one LVN_DELETEITEM per row, please
        return true;
    case NM_CLICK:
        if (OnClick)
            OnClick(*this);
        return true;
    case NM_DBLCLK:
        if (OnDblClick)
            OnDblClick(*this);
        return true;
    default:
        return false;
    }
}

void TCustomEnhListView::ContextPopup(LPARAM position)
{
    POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (position == -1) {
        // From the keyboard: below the selected row, or at the list's corner.
        RECT row{};
        const int selected = SelectedIndex();
        point = {0, 0};
        if (selected >= 0 && ListView_GetItemRect(FHandle, selected, &row, LVIR_LABEL))
            point = {row.left, row.bottom};
        ClientToScreen(FHandle, &point);
    }
    bool handled = true;
    OnContextPopup(*this, point, handled);
    if (!handled)
        DefaultHandler(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(FHandle), position);
}

// ---------------------------------------------------------------------------
// Columns

void TCustomEnhListView::AddColumn(const TListColumn& column)
{
    FColumns.push_back(column);
    if (FHandle) {
        InsertColumn(ColumnCount() - 1);
        ApplyAutoWidths();
    }
}

void TCustomEnhListView::InsertColumn(int column)
{
    const TListColumn& definition = FColumns[static_cast<size_t>(column)];
    LVCOLUMNA item{};
    item.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
    item.fmt = definition.Format;
    // An automatic width given here would become 0; it is applied afterwards.
    item.cx = std::max(definition.WidthType, 0);
    item.pszText = const_cast<char*>(definition.Caption.c_str());
    item.iSubItem = column;
    FSettingWidth = true;
    SendMessageA(FHandle, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&item));
    FSettingWidth = false;
}

int TCustomEnhListView::ColumnWidth(int column) const
{
    if (!FHandle)
        return 0;
    return static_cast<int>(SendMessageA(FHandle, LVM_GETCOLUMNWIDTH, column, 0));
}

void TCustomEnhListView::SetColumnWidth(int column, int widthType)
{
    if (column < 0 || column >= ColumnCount())
        return;
    FColumns[static_cast<size_t>(column)].WidthType = widthType;
    if (!FHandle)
        return;
    FSettingWidth = true;
    SendMessageA(FHandle, LVM_SETCOLUMNWIDTH, column, widthType);
    FSettingWidth = false;
}

void TCustomEnhListView::ApplyAutoWidths()
{
    const int last = ColumnCount() - 1;
    for (int column = 0; column < ColumnCount(); ++column) {
        const int widthType = FColumns[static_cast<size_t>(column)].WidthType;
        if (widthType >= 0)
            continue;
        SetColumnWidth(column, widthType);
        // The last column takes the rest of the width, and it comes last, so
        // that a column widened here leaves it the right rest.
        if (widthType == LVSCW_AUTOSIZE || column != last)
            FitHeaderText(column);
    }
}

int TCustomEnhListView::HeaderWidth(int column) const
{
    // The platform's fit counts neither the header's own margins nor a sort
    // arrow beside the text, so the caption would end in an ellipsis; every
    // column keeps room for the arrow, which moves with the sort.
    const std::string& caption = FColumns[static_cast<size_t>(column)].Caption;
    const auto textWidth = static_cast<int>(
        SendMessageA(FHandle, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(caption.c_str())));
    // The header keeps a margin of three edges on either side of its text,
    // and of its bitmap.
    const int margins = 2 * 3 * GetSystemMetrics(SM_CXEDGE);
    const int arrow = FShowSortArrows ? SortArrowSide(FHandle) + margins : 0;
    return textWidth + margins + arrow + 2;
}

void TCustomEnhListView::FitHeaderText(int column)
{
    const int needed = HeaderWidth(column);
    if (ColumnWidth(column) >= needed)
        return;
    FSettingWidth = true;
    SendMessageA(FHandle, LVM_SETCOLUMNWIDTH, column, needed);
    FSettingWidth = false;
}

void TCustomEnhListView::HeaderItemChanged(const NMHEADERA& notification)
{
    // A width that the user dragged or double-clicked stays from now on.
    if (FSettingWidth || !notification.pitem || !(notification.pitem->mask & HDI_WIDTH))
        return;
    if (notification.iItem >= 0 && notification.iItem < ColumnCount())
        FColumns[static_cast<size_t>(notification.iItem)].WidthType = notification.pitem->cxy;
}

// ---------------------------------------------------------------------------
// Rows

int TCustomEnhListView::AddItem(const std::string& caption, void* data, int image)
{
    if (!FHandle)
        return -1;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = ItemCount();
    item.pszText = const_cast<char*>(caption.c_str());
    item.lParam = reinterpret_cast<LPARAM>(data);
    item.iImage = image;
    return static_cast<int>(SendMessageA(FHandle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int TCustomEnhListView::ItemCount() const
{
    return FHandle ? static_cast<int>(SendMessageA(FHandle, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string TCustomEnhListView::ItemCaption(int index) const
{
    return FHandle ? GetItemText(FHandle, index, 0) : std::string();
}

void TCustomEnhListView::SetItemCaption(int index, const std::string& caption)
{
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = const_cast<char*>(caption.c_str());
    SendMessageA(FHandle, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
}

std::string TCustomEnhListView::SubItemText(int index, int subItem) const
{
    return FHandle ? GetItemText(FHandle, index, subItem + 1) : std::string();
}

void TCustomEnhListView::SetSubItem(int index, int subItem, const std::string& text)
{
    LVITEMA item{};
    item.iSubItem = subItem + 1;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(FHandle, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
}

void* TCustomEnhListView::ItemData(int index) const
{
    return FHandle ? reinterpret_cast<void*>(GetItemParam(FHandle, index)) : nullptr;
}

void TCustomEnhListView::SetItemData(int index, void* data)
{
    SetItemParam(FHandle, index, reinterpret_cast<LPARAM>(data));
}

void TCustomEnhListView::SetItemImage(int index, int image)
{
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    item.iImage = image;
    SendMessageA(FHandle, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TCustomEnhListView::SetSmallImages(HIMAGELIST images)
{
    FSmallImages = images;
    if (FHandle)
        SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

int TCustomEnhListView::SelectedIndex() const
{
    if (!FHandle)
        return -1;
    return static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                         MAKELPARAM(LVNI_SELECTED, 0)));
}

void TCustomEnhListView::SetSelectedIndex(int index)
{
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (index < 0) {
        item.stateMask = LVIS_SELECTED;
        SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
        return;
    }
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(FHandle, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    SendMessageA(FHandle, LVM_ENSUREVISIBLE, index, FALSE);
}

bool TCustomEnhListView::DeleteItem(int index)
{
    return FHandle && SendMessageA(FHandle, LVM_DELETEITEM, index, 0);
}

void TCustomEnhListView::Clear()
{
    if (FHandle)
        SendMessageA(FHandle, LVM_DELETEALLITEMS, 0, 0);
}

void TCustomEnhListView::Deleted(int index, void* data)
{
    if (FDestroying || !OnDeletion)
        return;
    OnDeletion(*this, TListItem{index, ItemCaption(index), data});
}

void TCustomEnhListView::DeleteRowsAtDestruction()
{
    if (OnDeletion) {
        for (int index = 0, count = ItemCount(); index < count; ++index)
            OnDeletion(*this, TListItem{index, ItemCaption(index), ItemData(index)});
    }
    // Whatever the platform reports about these rows from now on is old news.
    FDestroying = true;
    Clear();
}

void TCustomEnhListView::BeginUpdate()
{
    if (FUpdateCount++ == 0 && FHandle)
        SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
}

void TCustomEnhListView::EndUpdate()
{
    if (FUpdateCount == 0 || --FUpdateCount > 0 || !FHandle)
        return;
    SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
    ApplyAutoWidths();
    InvalidateRect(FHandle, nullptr, TRUE);
}

// ---------------------------------------------------------------------------
// Sorting

void TCustomEnhListView::SetAutoColumnSort(TAutoColumnSort value)
{
    if (value == FAutoColumnSort)
        return;
    FAutoColumnSort = value;
    if (value != acsNoSort)
        Sort();
}

void TCustomEnhListView::SetShowSortArrows(bool value)
{
    FShowSortArrows = value;
    UpdateSortArrows();
}

void TCustomEnhListView::SetReverseSortArrows(bool value)
{
    FReverseSortArrows = value;
    UpdateSortArrows();
}

void TCustomEnhListView::ColumnClick(int column)
{
    switch (FAutoColumnSort) {
    case acsNoSort:
        return;
    case acsSort:
        SortBy(column, FSortAscending);
        return;
    case acsSortToggle:
        SortBy(column, column == FSortColumn ? !FSortAscending : FAutoSortAscending);
        return;
    }
}

void TCustomEnhListView::Sort() { SortBy(FSortColumn, FSortAscending); }

void TCustomEnhListView::SortBy(int column, bool ascending)
{
    if (!FHandle || column < 0 || column >= ColumnCount())
        return;
    FSortColumn = column;
    FSortAscending = ascending;

    // The platform's sort hands the comparison only the rows' parameters:
    // for the sort they are the rows' former indexes into a snapshot of
    // caption and data, and get their data back afterwards.
    SortContext context;
    context.List = this;
    context.Column = column;
    context.Ascending = ascending;
    const int count = ItemCount();
    context.Rows.reserve(static_cast<size_t>(count));
    for (int index = 0; index < count; ++index) {
        context.Rows.push_back(TListItem{index, ItemCaption(index), ItemData(index)});
        if (!OnSortItems)
            context.Texts.push_back(column == 0 ? context.Rows.back().Caption
                                                : SubItemText(index, column - 1));
    }
    // Rewriting every row's parameter twice costs the list two notifications
    // a row: rows with data of their own are found by it instead.
    for (const TListItem& row : context.Rows)
        if (!row.Data || !context.ByData.emplace(reinterpret_cast<LPARAM>(row.Data),
                                                 static_cast<size_t>(row.Index)).second) {
            context.ByData.clear();
            break;
        }
    const bool byIndex = context.ByData.empty();
    if (byIndex)
        for (int index = 0; index < count; ++index)
            SetItemParam(FHandle, index, index);
    SendMessageA(FHandle, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context),
                 reinterpret_cast<LPARAM>(&CompareRows));
    for (int index = 0; byIndex && index < count; ++index) {
        const auto former = static_cast<size_t>(GetItemParam(FHandle, index));
        if (former < context.Rows.size())
            SetItemParam(FHandle, index, reinterpret_cast<LPARAM>(context.Rows[former].Data));
    }
    UpdateSortArrows();
    if (context.Failure)
        std::rethrow_exception(context.Failure);
}

int CALLBACK TCustomEnhListView::CompareRows(LPARAM row1, LPARAM row2, LPARAM contextParam)
{
    auto& context = *reinterpret_cast<SortContext*>(contextParam);
    auto index = [&](LPARAM row) {
        if (context.ByData.empty())
            return static_cast<size_t>(row);
        const auto found = context.ByData.find(row);
        return found == context.ByData.end() ? context.Rows.size() : found->second;
    };
    const size_t first = index(row1), second = index(row2);
    if (context.Failure || first >= context.Rows.size() || second >= context.Rows.size())
        return 0;
    int result = 0;
    try {
        TCustomEnhListView& list = *context.List;
        if (list.OnSortItems)
            list.OnSortItems(list, context.Rows[first], context.Rows[second], context.Column - 1,
                             result);
        else
            result = lstrcmpiA(context.Texts[first].c_str(), context.Texts[second].c_str());
    } catch (...) {
        // Ends the sort; the exception goes on once the rows have their data back.
        context.Failure = std::current_exception();
        return 0;
    }
    result = Sign(result);
    return context.Ascending ? result : -result;
}

HBITMAP TCustomEnhListView::SortArrow(bool ascending) const
{
    return ascending != FReverseSortArrows ? FArrowUp.get() : FArrowDown.get();
}

void TCustomEnhListView::CreateSortArrows()
{
    const int side = SortArrowSide(FHandle);
    auto up = MakeSortArrow(FHandle, side, true);
    auto down = MakeSortArrow(FHandle, side, false);
    // The header gets the new bitmaps before the old ones are deleted.
    FArrowUp.swap(up);
    FArrowDown.swap(down);
    UpdateSortArrows();
}

void TCustomEnhListView::UpdateSortArrows()
{
    if (!FHandle)
        return;
    HWND header = ListView_GetHeader(FHandle);
    for (int column = 0; column < ColumnCount(); ++column) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        if (!SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item)))
            continue;
        HBITMAP arrow = FShowSortArrows && column == FSortColumn ? SortArrow(FSortAscending) : nullptr;
        item.mask = HDI_FORMAT | HDI_BITMAP;
        item.fmt &= ~(HDF_BITMAP | HDF_BITMAP_ON_RIGHT);
        if (arrow)
            item.fmt |= HDF_BITMAP | HDF_BITMAP_ON_RIGHT;
        item.hbm = arrow;
        SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
    }
}

// ---------------------------------------------------------------------------
// Stored settings

void TCustomEnhListView::LoadStoredState()
{
    FSortColumn = 0;
    FSortAscending = true;
    const TExtLVSaveSettings& save = FSaveSettings;
    if (save.AutoSave && !save.RegistryKey.empty()) {
        // A key that cannot be opened would leave the sections at the root.
        TRegIniFileEx settings(save.RegistryKey);
        if (settings.CurrentKey())
            LoadSettings(settings);
    }
    Sort();
    UpdateSortArrows();
}

void TCustomEnhListView::StoreState()
{
    const TExtLVSaveSettings& save = FSaveSettings;
    if (!save.AutoSave || save.RegistryKey.empty())
        return;
    TRegIniFileEx settings(save.RegistryKey);
    if (!settings.CurrentKey())
        throw ERegistryException("Failed to create key " + save.RegistryKey);
    StoreSettings(settings);
}

std::string TCustomEnhListView::ReadStoredText(TRegIniFileEx& settings, const char* section,
                                               const char* ident, const std::string& fallback)
{
    // A value of another type than text is no setting of ours.
    try {
        return settings.ReadString(section, ident, fallback);
    } catch (const ERegistryException&) {
        return fallback;
    }
}

std::optional<std::vector<int>> TCustomEnhListView::ReadColumnList(TRegIniFileEx& settings,
                                                                   const char* ident) const
{
    if (ColumnCount() == 0)
        return std::nullopt;
    TSplitStringList pieces;
    pieces.SplitString(',', ReadStoredText(settings, kColumnsSection, ident, ""));
    if (pieces.Count() != ColumnCount())
        return std::nullopt;
    std::vector<int> numbers;
    for (const std::string& piece : pieces.Strings()) {
        const auto number = TryStrToInt(piece);
        if (!number)
            return std::nullopt;
        numbers.push_back(*number);
    }
    return numbers;
}

void TCustomEnhListView::WriteColumnList(TRegIniFileEx& settings, const char* ident,
                                         const std::vector<int>& numbers)
{
    std::string text;
    for (const int number : numbers) {
        if (!text.empty())
            text += ',';
        text += std::to_string(number);
    }
    settings.WriteString(kColumnsSection, ident, text);
}

void TCustomEnhListView::LoadSettings(TRegIniFileEx& settings)
{
    const TExtLVSaveSettings& save = FSaveSettings;
    if (save.SaveColumnSizes) {
        const auto widths = ReadColumnList(settings, "Sizes");
        if (widths && std::all_of(widths->begin(), widths->end(), [](int width) {
                return width == LVSCW_AUTOSIZE || (width >= 0 && width <= kMaxColumnWidth);
            })) {
            // A column narrower than its header would be lost from sight
            // for good (the last one's automatic width is 0 in a narrow list).
            for (int column = 0; column < ColumnCount(); ++column) {
                const int width = (*widths)[static_cast<size_t>(column)];
                if (width != LVSCW_AUTOSIZE)
                    SetColumnWidth(column, std::max(width, HeaderWidth(column)));
            }
        }
    }
    if (save.SaveCurrentSort) {
        FSortAscending = StrToIntDef(ReadStoredText(settings, kSortSection, "Ascending", "1"), 1) != 0;
        int column = StrToIntDef(ReadStoredText(settings, kSortSection, "SortCol", "0"), 0);
        if (column >= ColumnCount())
            column = ColumnCount() - 1;
        FSortColumn = std::max(column, 0);
    }
}

void TCustomEnhListView::StoreSettings(TRegIniFileEx& settings)
{
    const TExtLVSaveSettings& save = FSaveSettings;
    if (save.SaveColumnSizes && ColumnCount() > 0) {
        std::vector<int> widths;
        // A column that fits its contents stays so until the user sizes it.
        for (int column = 0; column < ColumnCount(); ++column)
            widths.push_back(FColumns[static_cast<size_t>(column)].WidthType == LVSCW_AUTOSIZE
                                 ? LVSCW_AUTOSIZE
                                 : std::max(ColumnWidth(column), HeaderWidth(column)));
        WriteColumnList(settings, "Sizes", widths);
    }
    if (save.SaveCurrentSort) {
        settings.WriteString(kSortSection, "Ascending", FSortAscending ? "1" : "0");
        settings.WriteString(kSortSection, "SortCol", std::to_string(std::max(FSortColumn, 0)));
    }
}
