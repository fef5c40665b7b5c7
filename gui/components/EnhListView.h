#pragma once
// The report list view under both list windows: a SysListView32 in report
// mode that sorts by a clicked column through its owner's comparison, shows
// the direction as an arrow in the sort column's header, and keeps column
// widths and the sort state in the current user's registry.
//
// The control handles its own notifications: its parent reflects WM_NOTIFY
// back to it as CN_NOTIFY (Reflect.h), and the control subclasses its window.
#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Window.h"

class TRegIniFileEx;

enum TAutoColumnSort { acsNoSort, acsSort, acsSortToggle };

// Persistence of the column settings under RegistryKey (below
// HKEY_CURRENT_USER): loaded once after creation, saved when the window is
// destroyed.
struct TExtLVSaveSettings {
    bool AutoSave = false;
    std::string RegistryKey;
    bool SaveColumnSizes = true;
    bool SaveCurrentSort = true;
    bool SaveColumnOrder = true;
};

// A row as the events see it; Data is the owner's pointer attached to it.
struct TListItem {
    int Index = -1;
    std::string Caption;
    void* Data = nullptr;
};

// A column: WidthType is a width in pixels, or LVSCW_AUTOSIZE (-1, fit the
// contents) or LVSCW_AUTOSIZE_USEHEADER (-2, fit the header; the last column
// takes the rest of the list's width). Automatic widths are applied again at
// the end of every batch update, until the column gets a width of its own
// (stored, set in code, or dragged by the user); neither ever cuts the
// caption. A column that fits its contents is stored as such (-1) until it
// gets a width of its own.
struct TListColumn {
    std::string Caption;
    int WidthType = LVSCW_AUTOSIZE_USEHEADER;
    int Format = LVCFMT_LEFT;
};

class TCustomEnhListView {
public:
    // SortColumn is -1 for the first column (the caption), else the sub-item
    // index. CompResult comes in as 0; the handler sets it negative, zero or
    // positive for ascending order, and the control reverses it for descending.
    // The items carry the rows' captions and data; while it sorts, the list
    // itself has no data to give.
    using TLVSortItemsEvent =
        std::function<void(TCustomEnhListView& sender, const TListItem& item1,
                           const TListItem& item2, int sortColumn, int& compResult)>;
    using TLVDeletedEvent = std::function<void(TCustomEnhListView& sender, const TListItem& item)>;
    using TNotifyEvent = std::function<void(TCustomEnhListView& sender)>;
    // Setting Key to 0 keeps the key from the list view itself.
    using TKeyEvent = std::function<void(TCustomEnhListView& sender, WORD& key)>;
    using TKeyPressEvent = std::function<void(TCustomEnhListView& sender, char& key)>;
    // Where the pop-up menu belongs, in screen coordinates (for the keyboard:
    // below the selected row). Handled = false passes the request on to the parent.
    using TContextPopupEvent =
        std::function<void(TCustomEnhListView& sender, POINT screenPos, bool& handled)>;

    TCustomEnhListView() = default;
    virtual ~TCustomEnhListView();
    TCustomEnhListView(const TCustomEnhListView&) = delete;
    TCustomEnhListView& operator=(const TCustomEnhListView&) = delete;

    // Creates the window with the columns and properties set so far, loads
    // the stored column settings (before any row exists) and sorts. False
    // when the window could not be created.
    bool Create(HWND parent, int id, const RECT& bounds);
    HWND Handle() const { return FHandle; }
    // Destroys the window (saving its settings); the object can create it again.
    void DestroyHandle();

    // Columns: declared before Create, or appended to the live list.
    void AddColumn(const TListColumn& column);
    void AddColumn(const std::string& caption, int widthType = LVSCW_AUTOSIZE_USEHEADER,
                   int format = LVCFMT_LEFT)
    {
        AddColumn(TListColumn{caption, widthType, format});
    }
    int ColumnCount() const { return static_cast<int>(FColumns.size()); }
    const TListColumn& Column(int column) const { return FColumns.at(static_cast<size_t>(column)); }
    int ColumnWidth(int column) const;
    // A width of its own for the column (an automatic one for -1 or -2).
    void SetColumnWidth(int column, int widthType);

    // Rows. Sub-item i is the text of column i + 1.
    int AddItem(const std::string& caption, void* data = nullptr, int image = -1);
    int ItemCount() const;
    std::string ItemCaption(int index) const;
    void SetItemCaption(int index, const std::string& caption);
    std::string SubItemText(int index, int subItem) const;
    void SetSubItem(int index, int subItem, const std::string& text);
    void* ItemData(int index) const;
    void SetItemData(int index, void* data);
    void SetItemImage(int index, int image);
    // The list shares the image list; its owner keeps it alive.
    void SetSmallImages(HIMAGELIST images);
    int SelectedIndex() const;              // -1 when no row is selected
    void SetSelectedIndex(int index);       // -1 clears the selection
    bool DeleteItem(int index);             // OnDeletion runs for the row
    void Clear();                           // OnDeletion runs for every row

    // A batch update: no repaint until the last EndUpdate, which also applies
    // the automatic column widths again.
    void BeginUpdate();
    void EndUpdate();

    // Sorting.
    TAutoColumnSort AutoColumnSort() const { return FAutoColumnSort; }
    // A different value re-sorts by the current column and direction unless
    // it is acsNoSort.
    void SetAutoColumnSort(TAutoColumnSort value);
    bool AutoSortAscending() const { return FAutoSortAscending; }
    void SetAutoSortAscending(bool value) { FAutoSortAscending = value; }
    bool ShowSortArrows() const { return FShowSortArrows; }
    void SetShowSortArrows(bool value);
    bool ReverseSortArrows() const { return FReverseSortArrows; }
    void SetReverseSortArrows(bool value);
    int SortColumn() const { return FSortColumn; }        // column index, -1 before any sort
    bool SortAscending() const { return FSortAscending; }
    // Sorts by the current column and direction.
    void Sort();
    // Sorts by Column in the given direction; Column becomes the sort column.
    void SortBy(int column, bool ascending);
    // The arrow bitmaps shown in the header (for ascending and descending,
    // after ReverseSortArrows); null while the font gives no room for them.
    HBITMAP SortArrow(bool ascending) const;

    TExtLVSaveSettings& SaveSettings() { return FSaveSettings; }
    const TExtLVSaveSettings& SaveSettings() const { return FSaveSettings; }

    TLVSortItemsEvent OnSortItems;
    TLVDeletedEvent OnDeletion;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TContextPopupEvent OnContextPopup;

protected:
    // The window exists with its columns; the stored settings come next.
    virtual void CreateWnd() {}
    // One step per setting group, in the order they are stored.
    virtual void LoadSettings(TRegIniFileEx& settings);
    virtual void StoreSettings(TRegIniFileEx& settings);
    // Messages of the list view's window; the default passes them on.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);
    // A notification of the list view, reflected by its parent.
    virtual bool HandleNotify(const NMHDR& header, LRESULT& result);
    virtual void ColumnClick(int column);

    // A stored text, or Fallback when it is missing or no text.
    static std::string ReadStoredText(TRegIniFileEx& settings, const char* section,
                                      const char* ident, const std::string& fallback);
    // A stored list of one number per column, comma-separated in "Columns";
    // nothing when it is missing or has another length or anything but numbers.
    std::optional<std::vector<int>> ReadColumnList(TRegIniFileEx& settings, const char* ident) const;
    static void WriteColumnList(TRegIniFileEx& settings, const char* ident,
                                const std::vector<int>& numbers);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static int CALLBACK CompareRows(LPARAM row1, LPARAM row2, LPARAM context);
    void InsertColumn(int column);
    void ApplyAutoWidths();
    // The width that shows the column's caption whole, with room for the arrow.
    int HeaderWidth(int column) const;
    void FitHeaderText(int column);
    void HeaderItemChanged(const NMHEADERA& notification);
    void CreateSortArrows();
    void UpdateSortArrows();
    void LoadStoredState();
    void StoreState();
    void DeleteRowsAtDestruction();
    void Deleted(int index, void* data);
    void ContextPopup(LPARAM position);

    HWND FHandle = nullptr;
    WNDPROC FOriginalProc = nullptr;
    std::vector<TListColumn> FColumns;
    TAutoColumnSort FAutoColumnSort = acsNoSort;
    bool FAutoSortAscending = true;
    bool FShowSortArrows = false;
    bool FReverseSortArrows = false;
    int FSortColumn = -1;
    bool FSortAscending = true;
    int FUpdateCount = 0;
    bool FSettingWidth = false;     // our own width changes are no user resize
    bool FDestroying = false;       // rows are already handed back to the owner
    TExtLVSaveSettings FSaveSettings;
    HIMAGELIST FSmallImages = nullptr;
    GdiObject<HBITMAP> FArrowUp;
    GdiObject<HBITMAP> FArrowDown;
};
