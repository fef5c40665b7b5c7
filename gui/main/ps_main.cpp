#include "ps_main.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <optional>
#include <utility>

#include "DateTimePatterns.h"
#include "FormHelpers.h"
#include "LocaleInfo.h"
#include "NumText.h"
#include "Prompts.h"
#include "UserOpts.h"
#include "Win32pas.h"
#include "ZStrFuncs.h"
#include "components/ExtListView.h"
#include "ps_about.h"
#include "TargetAccessWin.h"
#include "ps_common.h"
#include "ps_details.h"
#include "ps_verify.h"
#include "ps_compare.h"
#include "ps_dialogs_res.h"
#include "ps_mainres_res.h"
#include "ps_query.h"

namespace {

const char* const kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kMainHotfixKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix";
const char* const kListRegistryKey = "Software\\Brightwater\\Patchscope";
const char* const kIgnorePreSP4 = "Ignore pre-SP4 hotfixes";
const char* const kDontAskSP4 = "Don't ask about SP4";
const COLORREF kOlive = RGB(128, 128, 0);
const int kComputerBoxWidth = 145;
const int kFirstPanelWidth = 200;
// The character that Ctrl+C gives.
const char kCtrlC = 3;
// Posted when an entry of the computer box was picked: the box's text is
// complete only once its own notification has returned.
const UINT WM_COMPUTERPICKED = WM_APP + 10;

// Whether a control is set to be shown, whether or not its window is on the
// screen yet.
bool Shown(HWND control) { return (GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

// A window's device context with the form's font selected, for measuring.
class TMeasureContext {
public:
    explicit TMeasureContext(HWND window) : FWindow(window), FContext(GetDC(window))
    {
        if (FContext)
            FPrevious = SelectObject(FContext, FormFont());
    }
    ~TMeasureContext()
    {
        if (FContext) {
            SelectObject(FContext, FPrevious);
            ReleaseDC(FWindow, FContext);
        }
    }
    TMeasureContext(const TMeasureContext&) = delete;
    TMeasureContext& operator=(const TMeasureContext&) = delete;

    int TextWidth(const std::string& text) const
    {
        SIZE size{};
        if (FContext)
            GetTextExtentPoint32A(FContext, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

private:
    HWND FWindow;
    HDC FContext;
    HGDIOBJ FPrevious = nullptr;
};

// The hint of a command or control from the string table; none when it has
// no string.
std::string CommandHint(unsigned id)
{
    try {
        return LoadResString(id);
    } catch (const std::runtime_error&) {
        return {};
    }
}

std::string UpperCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Whether Id stands in the comma-separated List as a whole entry.
bool IsListEntry(const std::string& list, const std::string& id)
{
    TSplitStringList entries;
    entries.SplitString(',', list);
    for (const std::string& entry : entries.Strings())
        if (entry == id)
            return true;
    return false;
}

// Whether a directory holds a Windows system's registry.
bool IsWindowsDir(const std::string& dir)
{
    const DWORD attributes =
        GetFileAttributesA((AddBackslash(dir, AnsiLeadByte) + "system32\\config\\software")
                               .c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The Windows directory a folder picked for an offline system means: the
// folder itself, else the one Windows directory directly inside it (the
// folder that holds WINNT); with none or several, the folder as picked.
std::string WindowsDirIn(const std::string& folder)
{
    if (IsWindowsDir(folder))
        return folder;
    const std::string parent = AddBackslash(folder, AnsiLeadByte);
    WIN32_FIND_DATAA found{};
    FindHandle listing(FindFirstFileA((parent + "*").c_str(), &found));
    std::vector<std::string> windowsDirs;
    for (bool more = static_cast<bool>(listing); more;
         more = FindNextFileA(listing.Get(), &found) != FALSE) {
        const std::string name = FoundFileName(found);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != ".." &&
            IsWindowsDir(parent + name))
            windowsDirs.push_back(parent + name);
    }
    return windowsDirs.size() == 1 ? windowsDirs[0] : folder;
}

// The menu item and toolbar commands in one place: the main menu item, the
// pop-up item (0: none) and the toolbar button (0: none).
struct TCommandItems {
    int Menu;
    int Popup;
    int Button;
};
const TCommandItems kDetailsItems{IDM_MNUDETAILS, IDM_POPUPDETAILS, IDC_TBTNDETAILS};
const TCommandItems kUninstallItems{IDM_MNUUNINSTALL, IDM_POPUPUNINSTALL, IDC_TBTNUNINSTALL};
const TCommandItems kOpenKBItems{IDM_MNUOPENKB, IDM_POPUPOPENKB, IDC_TBTNOPENKBARTICLE};
const TCommandItems kSaveAsItems{IDM_MNUSAVEAS, 0, IDC_TBTNSAVEAS};

const int kMenuHintIds[] = {IDM_MNUDETAILS,         IDM_MNUUNINSTALL,    IDM_MNUOPENKB,
                            IDM_MNUVERIFY,
                            IDM_MNUSAVEAS,          IDM_MNUEXIT,         IDM_MNUVIEWCOMPUTER,
                            IDM_MNUVIEWOFFLINE,     IDM_MNUVIEWCOMPARE,  IDM_MNULOCALCOMPUTER,   IDM_MNUVIEWSERVICEPACK, IDM_MNUOPTIONS,
                            IDM_MNUVIEWTOOLBAR,     IDM_MNUVIEWSTATUSBAR, IDM_MNUREFRESH,
                            IDM_MNUABOUT};

}  // namespace

// Fills the list while the shared reading procedure reads: a row for every
// hotfix as it is found, its fields once they are read.
class TfrmMain::TListFiller : public THotfixSink {
public:
    TListFiller(TExtListView& list, const std::string& preSP4List)
        : FList(list), FPreSP4List(preSP4List)
    {
    }

    void HotfixFound(const std::string&, const std::string& id) override
    {
        auto hotfix = std::make_unique<THotfix>();
        hotfix->ID = id;
        FCurrent = hotfix.get();
        // From here on the row owns the record (listMainDeletion frees it).
        FList.AddItem(id, hotfix.release());
        if (FPreSP4List.find(id) != std::string::npos)
            PreSP4Found = true;
    }

    void HotfixRead(const THotfix& hotfix, bool) override
    {
        if (FCurrent)
            *FCurrent = hotfix;
    }

    bool PreSP4Found = false;

private:
    TExtListView& FList;
    const std::string& FPreSP4List;
    THotfix* FCurrent = nullptr;
};

// The edit box of the computer box: Enter and Tab load the typed computer,
// and the edit box never sees them (no beep, no tab character).
class TfrmMain::TComputerEdit : public TSubclassedControl {
public:
    TComputerEdit(HWND edit, TfrmMain& form) : FForm(form) { Subclass(edit); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if ((message == WM_CHAR || message == WM_KEYDOWN) &&
            (wParam == VK_RETURN || wParam == VK_TAB)) {
            if (message == WM_CHAR)
                FForm.cmbComputerKeyPress(static_cast<char>(wParam));
            return 0;
        }
        // F6 goes back to the list and leaves the typed name as it is.
        if (message == WM_KEYDOWN && wParam == VK_F6) {
            SetFocus(FForm.ListHandle());
            return 0;
        }
        return CallOriginal(message, wParam, lParam);
    }

private:
    TfrmMain& FForm;
};

// ---------------------------------------------------------------------------
// Creation and destruction

TfrmMain::TfrmMain(std::vector<std::string> parameters)
    : FParameters(std::move(parameters)), listMain(std::make_unique<TExtListView>())
{
    TFrameParams params;
    params.ClassName = "TfrmMain";
    params.Caption = LoadResString(IDS_APPTITLE);
    // The children cover the client area: erasing under them would wipe what
    // they drew (the status bar's text after a resize).
    params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    params.Menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINMENU));
    params.Icon = LoadIconA(GetModuleHandleA(nullptr), PS_MAINICON);
    CreateFrame(params);
    SetAccelerators(LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINACCEL)));
    Application().SetMainForm(this);
}

TfrmMain::~TfrmMain()
{
    // While this object is whole, so that the closing steps and the rows'
    // deletion handler still run.
    if (FHandle)
        DestroyWindow(FHandle);
    if (Application().OnHint)
        Application().OnHint = nullptr;
}

void TfrmMain::SetForms(TfrmAbout* about, TfrmQuerySP4* querySP4, TfrmOptions* options)
{
    FAbout = about;
    FQuerySP4 = querySP4;
    FfrmOptions = options;
}

HWND TfrmMain::ListHandle() const { return listMain->Handle(); }

HMENU TfrmMain::PopupMenu() const { return GetSubMenu(popupHotfix.get(), 0); }

void TfrmMain::FormCreate()
{
    CreateToolbar();
    CreateComputerBox();
    CreateList();
    CreateStatusBar();
    popupHotfix.reset(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_POPUPHOTFIX)));
    SetMenuDefaultItem(PopupMenu(), IDM_POPUPDETAILS, FALSE);
    for (int id : kMenuHintIds)
        SetMenuHint(id, LoadResString(id));

    Application().OnHint = [this] { AppOnHint(); };
    if (!IsWindowsNT())
        Prompts().MessageBox(FHandle, LoadResString(IDS_NOTWINDOWSNT), LoadResString(IDS_APPTITLE),
                             MB_OK | MB_ICONINFORMATION);
    FSP4Asked = false;

    const struct {
        const char* Icon;
        int Button;
    } toolIcons[] = {{"Z_DETAILS", IDC_TBTNDETAILS},         {"Z_UNINSTALL", IDC_TBTNUNINSTALL},
                     {"Z_OPENARTICLE", IDC_TBTNOPENKBARTICLE}, {"Z_VERIFY", IDC_TBTNVERIFY},
                     {"Z_COMPUTER", IDC_TBTNBROWSECOMPUTER},
                     {"Z_SAVE", IDC_TBTNSAVEAS},             {"Z_REFRESH", IDC_TBTNREFRESH}};
    for (const auto& tool : toolIcons) {
        TBBUTTONINFOA info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_IMAGE;
        info.iImage = LoadToolIcon(tool.Icon);
        SendMessageA(tlbMain, TB_SETBUTTONINFOA, tool.Button, reinterpret_cast<LPARAM>(&info));
    }

    FDetailWindows.fill(nullptr);
    FOptions = std::make_unique<TUserOptions>();
    FOptions->Load();
    ApplySettings();
    FComputer.clear();
}

void TfrmMain::ApplySettings()
{
    SetNormalBounds(FHandle, RECT{FOptions->Left, FOptions->Top, FOptions->Left + FOptions->Width,
                                  FOptions->Top + FOptions->Height});
    ShowWindow(tlbMain, FOptions->Toolbar ? SW_SHOW : SW_HIDE);
    ShowWindow(sbarMain, FOptions->Statusbar ? SW_SHOW : SW_HIDE);
    FormResize();
    SendMessageA(cmbComputer, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : FOptions->ComputerHistory.Strings())
        SendMessageA(cmbComputer, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void TfrmMain::CreateToolbar()
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    tlbMain = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | TBSTYLE_FLAT |
                                  TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER,
                              0, 0, 0, 0, FHandle, reinterpret_cast<HMENU>(IDC_TLBMAIN), instance,
                              nullptr);
    SendMessageA(tlbMain, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    imgMainList.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 6, 2));
    ImageList_SetBkColor(imgMainList.get(), kOlive);
    SendMessageA(tlbMain, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(imgMainList.get()));

    auto button = [](int id) {
        return TBBUTTON{I_IMAGENONE, id, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0};
    };
    auto separator = [](int width, int id = 0) {
        return TBBUTTON{width, id, 0, BTNS_SEP, {}, 0, 0};
    };
    const TBBUTTON buttons[] = {button(IDC_TBTNDETAILS),
                                button(IDC_TBTNUNINSTALL),
                                button(IDC_TBTNOPENKBARTICLE),
                                button(IDC_TBTNVERIFY),
                                separator(8),
                                button(IDC_TBTNSAVEAS),
                                separator(8),
                                button(IDC_TBTNREFRESH),
                                button(IDC_TBTNBROWSECOMPUTER),
                                separator(kComputerBoxWidth, IDC_CMBCOMPUTER)};
    SendMessageA(tlbMain, TB_ADDBUTTONSA, std::size(buttons),
                 reinterpret_cast<LPARAM>(buttons));
    SendMessageA(tlbMain, TB_AUTOSIZE, 0, 0);
}

void TfrmMain::CreateComputerBox()
{
    RECT place{};
    SendMessageA(tlbMain, TB_GETRECT, IDC_CMBCOMPUTER, reinterpret_cast<LPARAM>(&place));
    cmbComputer = CreateWindowExA(0, WC_COMBOBOXA, "",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN |
                                      CBS_AUTOHSCROLL,
                                  place.left, place.top, kComputerBoxWidth, 200, tlbMain,
                                  reinterpret_cast<HMENU>(IDC_CMBCOMPUTER),
                                  GetModuleHandleA(nullptr), nullptr);
    SendMessageA(cmbComputer, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()),
                 FALSE);
    // Centred on the toolbar's row of buttons.
    RECT box{};
    GetWindowRect(cmbComputer, &box);
    const int top = place.top + ((place.bottom - place.top) - (box.bottom - box.top)) / 2;
    SetWindowPos(cmbComputer, nullptr, place.left, std::max<int>(top, 0), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    const std::string hint = LoadResString(IDC_CMBCOMPUTER);
    SetHint(cmbComputer, hint);
    if (HWND edit = GetWindow(cmbComputer, GW_CHILD)) {
        FComputerEdit = std::make_unique<TComputerEdit>(edit, *this);
        if (HWND tips = reinterpret_cast<HWND>(SendMessageA(tlbMain, TB_GETTOOLTIPS, 0, 0))) {
            TOOLINFOA tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = FHandle;
            tool.uId = reinterpret_cast<UINT_PTR>(edit);
            tool.lpszText = LPSTR_TEXTCALLBACKA;
            SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
}

void TfrmMain::CreateList()
{
    // Every column fits its header (the last one takes the rest of the
    // width) until the user or the stored settings give it a width.
    for (unsigned caption : {IDS_COLHOTFIX, IDS_COLDESCRIPTION, IDS_COLHOTFIXDATE,
                             IDS_COLDATEAPPLIED, IDS_COLAFFECTEDFILES})
        listMain->AddColumn(LoadResString(caption), LVSCW_AUTOSIZE_USEHEADER);
    listMain->SetAutoColumnSort(acsSortToggle);
    listMain->SetShowSortArrows(true);
    listMain->SetExtendedStyles({lvxHeaderDragDrop, lvxFullRowSelect});
    listMain->SaveSettings().AutoSave = true;
    listMain->SaveSettings().RegistryKey = kListRegistryKey;
    listMain->OnSortItems = [this](TCustomEnhListView&, const TListItem& item1,
                                   const TListItem& item2, int sortColumn, int& result) {
        result = listMainSortItems(item1, item2, sortColumn);
    };
    listMain->OnDeletion = [this](TCustomEnhListView&, const TListItem& item) {
        listMainDeletion(item);
    };
    listMain->OnClick = [this](TCustomEnhListView&) { UpdateCommands(); };
    listMain->OnKeyDown = [this](TCustomEnhListView&, WORD& key) {
        if (key == VK_F6 && FocusComputerBox())
            key = 0;
    };
    listMain->OnKeyUp = [this](TCustomEnhListView&, WORD&) { UpdateCommands(); };
    listMain->OnKeyPress = [this](TCustomEnhListView&, char& key) {
        listMainKeyPress(key);
        if (key == '\r' || key == '\t' || key == kCtrlC)
            key = 0;
    };
    listMain->OnDblClick = [this](TCustomEnhListView&) { listMainDblClick(); };
    listMain->OnContextPopup = [this](TCustomEnhListView&, POINT position, bool& handled) {
        listMainContextMenu(position);
        handled = true;
    };
    RECT bounds{0, 0, 100, 100};
    if (!listMain->Create(FHandle, IDC_LISTMAIN, bounds))
        throw std::runtime_error("Cannot create the hotfix list");
}

void TfrmMain::CreateStatusBar()
{
    sbarMain = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                               0, 0, 0, FHandle, reinterpret_cast<HMENU>(IDC_SBARMAIN),
                               GetModuleHandleA(nullptr), nullptr);
    SendMessageA(sbarMain, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()),
                 FALSE);
    const int parts[] = {kFirstPanelWidth, -1};
    SendMessageA(sbarMain, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

int TfrmMain::LoadToolIcon(const char* name)
{
    IconHandle icon(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    if (!icon)
        return -1;
    // The image list copies the picture; the icon itself is freed here.
    return ImageList_AddIcon(imgMainList.get(), icon.get());
}

void TfrmMain::FormShow()
{
    if (FShown)
        return;
    FShown = true;
    if (FOptions->Maximized) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(FHandle, &placement);
        placement.showCmd = SW_SHOWMAXIMIZED;
        SetWindowPlacement(FHandle, &placement);
    }
    ShowLoadErrors();
    // The list has the focus from the start, also when a question comes
    // during the first load.
    SetFocus(listMain->Handle());
    if (IsWindowsNT()) {
        const std::string offlineSwitch = "/OFFLINE:";
        if (!FParameters.empty() && FParameters[0].size() >= 3 &&
            FParameters[0].compare(0, 2, "\\\\") == 0)
            LoadHotfixList(FParameters[0]);
        else if (!FParameters.empty() && FParameters[0].size() > offlineSwitch.size() &&
                 CompareText(FParameters[0].substr(0, offlineSwitch.size()), offlineSwitch) == 0)
            LoadHotfixList(FParameters[0].substr(offlineSwitch.size()));
        else
            LoadHotfixList("");
    }
    UpdateCommands();
}

// Settings that could not be read kept their defaults; the user hears of
// them once the window is up.
void TfrmMain::ShowLoadErrors()
{
    for (const std::string& error : FOptions->LoadErrors.Strings())
        Application().ShowException(std::runtime_error(error), FHandle);
    FOptions->LoadErrors.Clear();
}

void TfrmMain::FormResize()
{
    if (!tlbMain || !sbarMain || !listMain->Handle())
        return;
    SendMessageA(tlbMain, TB_AUTOSIZE, 0, 0);
    SendMessageA(sbarMain, WM_SIZE, 0, 0);
    // The bar moves with the frame's bottom: all of it is drawn anew, its
    // panels' texts included, whatever the system kept of the old place.
    InvalidateRect(sbarMain, nullptr, TRUE);
    RECT client{};
    GetClientRect(FHandle, &client);
    int top = client.top;
    int bottom = client.bottom;
    RECT bar{};
    if (Shown(tlbMain) && GetWindowRect(tlbMain, &bar))
        top += bar.bottom - bar.top;
    if (Shown(sbarMain) && GetWindowRect(sbarMain, &bar))
        bottom -= bar.bottom - bar.top;
    MoveWindow(listMain->Handle(), 0, top, client.right, std::max(bottom - top, 0), TRUE);
}

void TfrmMain::StoreBounds()
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(FHandle, &placement);
    // The normal bounds, also of a minimized window (which stands far off the
    // screen), in the coordinates that ApplySettings gives back.
    const RECT bounds = placement.rcNormalPosition;
    FOptions->Left = bounds.left;
    FOptions->Top = bounds.top;
    FOptions->Width = bounds.right - bounds.left;
    FOptions->Height = bounds.bottom - bounds.top;
    FOptions->Maximized = placement.showCmd == SW_SHOWMAXIMIZED ||
                          (IsIconic(FHandle) && (placement.flags & WPF_RESTORETOMAXIMIZED));
}

// What closing stores, when the session ends instead. The first error is
// reported once every step has run.
void TfrmMain::StoreSettingsAtSessionEnd()
{
    std::exception_ptr failure;
    try {
        StoreDetailPlacements();
    } catch (...) {
        failure = std::current_exception();
    }
    if (FOptions) {
        try {
            StoreBounds();
            FOptions->Save();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

// Each open details and verification window's placement, as its own
// closing stores it; the first error is raised once all have been stored.
void TfrmMain::StoreDetailPlacements()
{
    std::exception_ptr failure;
    auto store = [&](auto* form) {
        try {
            form->StorePlacement();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    };
    for (TfrmDetails* form : DetailWindows())
        store(form);
    for (TfrmVerify* form : VerifyWindows())
        store(form);
    if (failure)
        std::rethrow_exception(failure);
}

void TfrmMain::FormDestroy()
{
    if (Application().OnHint)
        Application().OnHint = nullptr;
    if (!FOptions)
        return;
    StoreBounds();
    FOptions->Save();
}

// ---------------------------------------------------------------------------
// Loading the hotfix list

void TfrmMain::LoadHotfixList(const std::string& computer)
{
    // Not while a details window scans: its questions and its end would
    // meet a half-loaded list.
    if (TfrmDetails::AnyScanning() || TfrmVerify::AnyScanning() || FLoading)
        return;
    // Messages pass while the target is read: a close waits for the load's end.
    struct TLoadEnd {
        TfrmMain& Form;
        ~TLoadEnd()
        {
            Form.FLoading = false;
            if (std::exchange(Form.FCloseAfterLoad, false))
                PostMessageA(Form.FHandle, WM_CLOSE, 0, 0);
        }
    } loadEnd{*this};
    FLoading = true;
    std::optional<TScreenCursor> hourglass(std::in_place);
    auto registry = std::make_unique<TRegIniFileEx>("");
    registry->SetRootKey(HKEY_LOCAL_MACHINE);
    const int servicePackBefore = FServicePack;
    FListReplaced = false;

    // Whatever happened: the history kept, the connection closed, the cursor
    // restored and the commands brought up to date. A load that failed before
    // it reached the list leaves the window on the target it showed before.
    // A history that cannot be saved stops none of these steps; its error
    // comes after them, and after a failed load it is reported on its own,
    // so that the load's error is the one that ends the load.
    auto finish = [&](bool loadFailed) {
        std::exception_ptr historyError;
        if (FListReplaced) {
            try {
                AddToHistory(FComputer);
            } catch (...) {
                historyError = std::current_exception();
            }
            FShownBoxText = GetWindowTextString(cmbComputer);
        } else {
            ReturnToShownTarget(servicePackBefore);
        }
        registry.reset();
        hourglass.reset();
        UpdateCommands();
        if (historyError && !loadFailed)
            std::rethrow_exception(historyError);
        if (historyError)
            Application().ShowException(historyError, FHandle);
    };
    try {
        THotfixReadOptions options;
        // A missing description stays empty: the rows show the unknown-value
        // text of the moment (UpdateListTexts), also after the settings change.
        options.DefaultText.clear();
        if (IsOfflineTarget(computer)) {
            FComputer = computer;
            while (FComputer.size() > 3 && FComputer.back() == '\\')
                FComputer.pop_back();
            std::string failure;
            try {
                LoadOfflineList(options);
            } catch (const EOfflineError& error) {
                failure = error.what();
            } catch (const EHiveError& error) {
                failure = error.what();
            }
            // A system damaged past its first rows keeps the rows read so far.
            if (!failure.empty()) {
                hourglass.reset();
                Prompts().MessageBox(FHandle, failure + ".", LoadResString(IDS_OFFLINEERROR),
                                     MB_OK | MB_ICONERROR);
            }
            finish(false);
            return;
        }
        if (!ConnectTo(computer, *registry)) {
            hourglass.reset();
            Prompts().MessageBox(FHandle, FormatResString(IDS_CONNECTFAILED, {FComputer}),
                                 LoadResString(IDS_NETWORKERROR), MB_OK | MB_ICONERROR);
            finish(false);
            return;
        }
        TLiveRegistrySource liveRegistry(*registry, false);
        const std::string servicePackText = ReadServicePack(liveRegistry);
        UpdateCaption();

        TLiveHotfixReader reader(*registry, FComputer, options, true);
        const TMachineSettings settings = reader.ReadMachineSettings();
        FListTimeZone.reset();
        const bool preSP4Found = FillList(reader, settings);
        AskAboutSP4(*registry, preSP4Found, settings.PreSP4List);
        ShowSummary(servicePackText);
    } catch (...) {
        finish(true);
        throw;
    }
    finish(false);
}

// After a load that did not reach the list: the target whose rows are shown
// is current again, named by the caption and the computer box; with none
// shown, the commands that need one are off.
void TfrmMain::ReturnToShownTarget(int servicePack)
{
    FComputer = FTargetShown ? FListComputer : std::string();
    FServicePack = servicePack;
    SetWindowTextString(cmbComputer, FShownBoxText);
    if (FTargetShown) {
        UpdateCaption();
        return;
    }
    SetCaption(LoadResString(IDS_APPTITLE));
    EnableMenuItem(GetMenu(FHandle), IDM_MNUVIEWSERVICEPACK, MF_BYCOMMAND | MF_GRAYED);
}

// The current computer, and the connection to a remote one.
bool TfrmMain::ConnectTo(const std::string& typed, TRegIniFileEx& registry)
{
    // Blanks around a typed name are no part of it.
    const std::size_t first = typed.find_first_not_of(" \t");
    const std::string computer =
        first == std::string::npos ? std::string()
                                   : typed.substr(first, typed.find_last_not_of(" \t") - first + 1);
    if (computer.empty()) {
        FComputer.clear();
        return true;
    }
    FComputer = UpperCase(computer.compare(0, 2, "\\\\") == 0 ? computer : "\\\\" + computer);
    bool connected = false;
    const std::string name = FComputer;
    ReadAfterPumping([&] { connected = registry.RegistryConnect(name); });
    return connected;
}

// A connection or an offline system's hives may take long to read: the
// window's waiting messages go first, and its commands stay disabled until
// the reading ends.
void TfrmMain::ReadAfterPumping(const std::function<void()>& work)
{
    EnableControls(false);
    struct TReadEnd {
        TfrmMain& Form;
        ~TReadEnd() { Form.EnableControls(true); }
    } readEnd{*this};
    Application().RunAfterPumping(work);
}

// The rows of the offline Windows directory FComputer, read without writing
// anything to it.
void TfrmMain::LoadOfflineList(THotfixReadOptions options)
{
    std::unique_ptr<TOfflineSystem> offline;
    const std::string path = FComputer;
    ReadAfterPumping([&] { offline = OpenOfflineSystem(path); });
    const std::string servicePackText = ReadServicePack(offline->Registry());
    UpdateCaption();
    THotfixReader reader(offline->Registry(), offline->Files(),
                         WithProgramLists(std::move(options)));
    const TMachineSettings settings = reader.ReadMachineSettings();
    FListTimeZone = offline->TimeZone();
    FillList(reader, settings);
    // No Service Pack 4 question: each of its answers writes to the system.
    ShowSummary(servicePackText);
    std::string status = FormatResString(
        offline->HasTimeZone() ? IDS_OFFLINEZONETIME : IDS_VIEWERZONETIME, {StatusSummary()});
    if (!offline->Warning().empty())
        status = FormatResString(IDS_OFFLINEPENDING, {status});
    SetStatusText(status);
}

// The service-pack text, and FServicePack from its last run of digits
// ("Service Pack 6a" is 6); a text without a digit gives the code of its last
// character less that of "0" ("No Service Pack" is 59, which is no service pack).
std::string TfrmMain::ReadServicePack(TRegistrySource& registry)
{
    std::string text =
        registry.ReadString(kCurrentVersionKey, "CSDVersion", LoadResString(IDS_NOSERVICEPACK));
    if (text.empty()) {
        FServicePack = 0;
        return LoadResString(IDS_PRESP3);
    }
    const std::size_t last = text.find_last_of("0123456789");
    if (last == std::string::npos) {
        FServicePack = static_cast<unsigned char>(text.back()) - '0';
        return text;
    }
    const std::size_t first = text.find_last_not_of("0123456789", last);
    const std::size_t start = first == std::string::npos ? 0 : first + 1;
    // More digits than an integer holds are no service pack either.
    FServicePack = StrToIntDef(text.substr(start, last + 1 - start), 0);
    return text;
}

void TfrmMain::UpdateCaption()
{
    if (IsOfflineTarget(FComputer))
        SetCaption(FormatResString(IDS_CAPTIONOFFLINE, {FComputer}));
    else
        SetCaption(FComputer.empty() ? FormatResString(IDS_CAPTIONLOCAL, {GetLocalComputerName()})
                                     : FormatResString(IDS_CAPTIONREMOTE, {FComputer}));
}

// The rows, inside one batch update that ends whatever happens; true when
// one of them is in the pre-SP4 list.
bool TfrmMain::FillList(THotfixReader& reader, const TMachineSettings& settings)
{
    listMain->BeginUpdate();
    TListFiller filler(*listMain, settings.PreSP4List);
    try {
        listMain->Clear();
        FListComputer = FComputer;
        FListReplaced = FTargetShown = true;
        reader.ReadHotfixes(settings, filler);
    } catch (...) {
        UpdateListTexts();
        listMain->EndUpdate();
        ResortList();
        throw;
    }
    UpdateListTexts();
    listMain->EndUpdate();
    ResortList();
    return filler.PreSP4Found;
}

void TfrmMain::ResortList()
{
    listMain->SetAutoColumnSort(acsNoSort);
    listMain->SetAutoColumnSort(acsSortToggle);
}

void TfrmMain::UpdateListTexts()
{
    const TFormatSettings& locale = LocaleFormatSettings();
    const std::string& unknown = FOptions->DefaultText;
    auto dateText = [&](double value) {
        return value == 0 ? unknown : FormatDateTime(FOptions->ListTimeFormat, value, locale);
    };
    const int rows = listMain->ItemCount();
    for (int row = 0; row < rows; ++row) {
        const auto* hotfix = static_cast<const THotfix*>(listMain->ItemData(row));
        if (!hotfix)
            continue;
        listMain->SetSubItem(row, 0, hotfix->Description.empty() ? unknown : hotfix->Description);
        listMain->SetSubItem(row, 1, dateText(hotfix->HotfixDate));
        listMain->SetSubItem(row, 2, dateText(hotfix->DateApplied));
        // A directory that could not be listed says so, rather than "no files".
        listMain->SetSubItem(row, 3, !hotfix->DirFailure.empty() ? hotfix->DirFailure
                                     : hotfix->Files.empty()     ? unknown
                                                                 : hotfix->Files);
    }
}

// The Service Pack 4 question, at most once per run.
void TfrmMain::AskAboutSP4(TRegIniFileEx& registry, bool preSP4Found,
                           const std::string& preSP4List)
{
    registry.CloseKey();
    bool dontAsk = false;
    if (registry.OpenKey(kSettingsKey, true)) {
        dontAsk = registry.ReadBoolean("", kDontAskSP4, false);
        registry.CloseKey();
    }
    if (!preSP4Found || FSP4Asked || FServicePack != 4 || dontAsk || !FQuerySP4)
        return;
    FSP4Asked = true;
    FQuerySP4->SetCaption(FComputer.empty()
                              ? FormatResString(IDS_SP4FOUNDLOCAL, {GetLocalComputerName()})
                              : FormatResString(IDS_SP4FOUNDREMOTE, {FComputer}));
    FQuerySP4->SetChoice(0);
    FQuerySP4->SetActiveControl(IDC_RGRPWHATTODO);
    if (FQuerySP4->ShowModal() != IDOK)
        return;
    switch (FQuerySP4->Choice()) {
    case 0:
        IgnorePreSP4Hotfixes(registry, preSP4List);
        break;
    case 1:
        DeletePreSP4Hotfixes(registry, preSP4List);
        break;
    case 2:
        WriteMachineFlag(registry, kDontAskSP4);
        break;
    default:
        break;
    }
}

void TfrmMain::WriteMachineFlag(TRegIniFileEx& registry, const char* name)
{
    registry.CloseKey();
    registry.WriteBoolean(kSettingsKey, name, true);
}

// Choice 0: hides the pre-SP4 hotfixes from now on; nothing is deleted.
void TfrmMain::IgnorePreSP4Hotfixes(TRegIniFileEx& registry, const std::string& preSP4List)
{
    WriteMachineFlag(registry, kIgnorePreSP4);
    WriteMachineFlag(registry, kDontAskSP4);
    listMain->BeginUpdate();
    for (int row = 0; row < listMain->ItemCount();) {
        if (preSP4List.find(listMain->ItemCaption(row)) != std::string::npos)
            listMain->DeleteItem(row);
        else
            ++row;
    }
    listMain->EndUpdate();
    ResortList();
}

// Choice 1: deletes the backups and registry entries of the pre-SP4
// hotfixes for good, once the user confirmed which. Only an identifier that
// is an entry of the list qualifies: one that is merely a part of an entry
// (Q1801) is another hotfix.
void TfrmMain::DeletePreSP4Hotfixes(TRegIniFileEx& registry, const std::string& preSP4List)
{
    TStringList ids;
    for (int row = 0; row < listMain->ItemCount(); ++row) {
        const std::string id = listMain->ItemCaption(row);
        if (IsListEntry(preSP4List, id) && ids.IndexOf(id) < 0)
            ids.Add(id);
    }
    if (ids.Count() > 0 && !ConfirmPreSP4Deletion(ids))
        return;
    for (int row = 0; row < listMain->ItemCount();) {
        const std::string id = listMain->ItemCaption(row);
        // A directory that stays (a file in use) keeps the hotfix's keys and
        // row: without them the rest of it could neither be seen nor removed.
        if (!IsListEntry(preSP4List, id) || !DeleteUninstallDir(id)) {
            ++row;
            continue;
        }
        DeleteHotfixKey(registry, id);
        listMain->DeleteItem(row);
    }
    WriteMachineFlag(registry, kDontAskSP4);
}

// The one question before anything is deleted: how many hotfixes, and which.
bool TfrmMain::ConfirmPreSP4Deletion(const TStringList& ids)
{
    std::string names;
    for (const std::string& id : ids.Strings())
        names += (names.empty() ? "" : ", ") + id;
    return Prompts().MessageBox(FHandle,
                                FormatResString(IDS_DELETEPRESP4QUESTION,
                                                {std::to_string(ids.Count()), names}),
                                LoadResString(IDS_APPTITLE),
                                MB_YESNO | MB_ICONWARNING) == IDYES;
}

// True when the directory is gone (or was never there).
bool TfrmMain::DeleteUninstallDir(const std::string& id)
{
    // The shell deletes whatever a pattern matches: never hand it one.
    if (id.empty() || id.find_first_of("*?") != std::string::npos)
        return true;
    const std::string dir = GetUninstallDir(FComputer, id);
    if (!DirectoryExists(dir))
        return true;
    std::string source = RemoveLastChar(dir);
    source.append(2, '\0');   // the shell's list of names ends with two NULs
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = FHandle;
    operation.wFunc = FO_DELETE;
    operation.pFrom = source.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    if (SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted &&
        !DirectoryExists(dir))
        return true;
    Prompts().MessageBox(FHandle, FormatResString(IDS_DELETEDIRFAILED, {dir}),
                         LoadResString(IDS_APPTITLE), MB_OK | MB_ICONERROR);
    return false;
}

void TfrmMain::DeleteHotfixKey(TRegIniFileEx& registry, const std::string& id)
{
    registry.CloseKey();
    const std::string key = std::string(kMainHotfixKey) + "\\" + id;
    const bool deleted = !id.empty() && registry.DeleteKey(key + "\\File 1") &&
                         registry.DeleteKey(key);
    if (!deleted)
        Prompts().MessageBox(FHandle, FormatResString(IDS_DELETEKEYFAILED, {kMainHotfixKey, id}),
                             LoadResString(IDS_APPTITLE), MB_OK | MB_ICONERROR);
}

// The service-pack command and the summary in the status bar.
void TfrmMain::ShowSummary(const std::string& servicePackText)
{
    EnableMenuItem(GetMenu(FHandle), IDM_MNUVIEWSERVICEPACK,
                   MF_BYCOMMAND |
                       (DirectoryExists(GetServicePackUninstallDir(FComputer)) ? MF_ENABLED
                                                                               : MF_GRAYED));
    const int count = listMain->ItemCount();
    if (count == 0)
        SetStatusText(FormatResString(IDS_NOHOTFIXES, {servicePackText}));
    else
        SetStatusText(FormatResString(count == 1 ? IDS_ONEHOTFIX : IDS_SEVERALHOTFIXES,
                                      {servicePackText, std::to_string(count)}));
}

void TfrmMain::SetStatusText(const std::string& text)
{
    const int parts[] = {TMeasureContext(FHandle).TextWidth(text) + 10, -1};
    SendMessageA(sbarMain, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    // A leading tab centres the text in its panel.
    FStatusSummary = text;
    const std::string centred = "\t" + text;
    SendMessageA(sbarMain, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(centred.c_str()));
}

// ---------------------------------------------------------------------------
// History, commands, states

void TfrmMain::AddToHistory(const std::string& computer)
{
    if (computer.empty())
        return;
    // An offline path is kept whole and as typed; a computer without its backslashes.
    const bool offline = IsOfflineTarget(computer);
    const std::string name = offline              ? computer
                             : computer.size() > 2 ? computer.substr(2)
                                                   : std::string();
    const std::string shown = offline ? name : UpperCase(name);
    if (name.empty())
        return;
    // With no room at all nothing is recorded (and nothing removed); the box
    // still names the computer on screen.
    const int maximum = FOptions->HistoryMaxSize;
    if (maximum <= 0) {
        SetWindowTextString(cmbComputer, shown);
        return;
    }
    int found = -1;
    const int count = static_cast<int>(SendMessageA(cmbComputer, CB_GETCOUNT, 0, 0));
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i) {
        const int length = static_cast<int>(SendMessageA(cmbComputer, CB_GETLBTEXTLEN, i, 0));
        std::string entry(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
        SendMessageA(cmbComputer, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data()));
        entry.resize(std::strlen(entry.c_str()));
        if (found < 0 && CompareText(entry, name) == 0)
            found = i;
        entries.push_back(std::move(entry));
    }
    if (found >= 0) {
        entries.erase(entries.begin() + found);
    } else {
        while (static_cast<int>(entries.size()) >= maximum)
            entries.pop_back();
    }
    entries.insert(entries.begin(), name);

    SendMessageA(cmbComputer, CB_RESETCONTENT, 0, 0);
    FOptions->ComputerHistory.Clear();
    for (const std::string& entry : entries) {
        SendMessageA(cmbComputer, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        FOptions->ComputerHistory.Add(entry);
    }
    // The box names the computer also when the settings cannot be saved.
    SetWindowTextString(cmbComputer, shown);
    FOptions->Save();
}

THotfix* TfrmMain::SelectedHotfix() const
{
    const int row = listMain->SelectedIndex();
    return row < 0 ? nullptr : static_cast<THotfix*>(listMain->ItemData(row));
}

void TfrmMain::SetCommandEnabled(int menuId, int popupId, int buttonId, bool enabled)
{
    const UINT state = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(GetMenu(FHandle), menuId, state);
    if (popupId)
        EnableMenuItem(PopupMenu(), popupId, state);
    if (buttonId)
        SendMessageA(tlbMain, TB_ENABLEBUTTON, buttonId, MAKELONG(enabled ? TRUE : FALSE, 0));
}

void TfrmMain::UpdateCommands()
{
    // Disabled controls stay so until EnableControls brings them back, also
    // when a shortcut makes the platform announce the "Hotfix" menu.
    if (!FControlsEnabled)
        return;
    const int row = listMain->SelectedIndex();
    const THotfix* hotfix = SelectedHotfix();
    const bool withFiles = hotfix && hotfix->HasUninstallDir;
    // Uninstalling runs on this computer: only for rows read from it.
    const bool localRows = FComputer.empty() && FListComputer.empty();
    SetCommandEnabled(kDetailsItems.Menu, kDetailsItems.Popup, kDetailsItems.Button, withFiles);
    SetCommandEnabled(kUninstallItems.Menu, kUninstallItems.Popup, kUninstallItems.Button,
                      withFiles && localRows);
    SetCommandEnabled(kOpenKBItems.Menu, kOpenKBItems.Popup, kOpenKBItems.Button,
                      row >= 0 && IsArticleID(listMain->ItemCaption(row)));
    SetCommandEnabled(kSaveAsItems.Menu, kSaveAsItems.Popup, kSaveAsItems.Button,
                      listMain->ItemCount() > 0);
    // Refreshing and verifying need a target on the screen.
    SetCommandEnabled(IDM_MNUVERIFY, 0, IDC_TBTNVERIFY, FTargetShown);
    SetCommandEnabled(IDM_MNUREFRESH, 0, IDC_TBTNREFRESH, FTargetShown);
}

bool TfrmMain::IsArticleID(const std::string& id)
{
    return id.size() == 7 && (id[0] == 'Q' || id[0] == 'q') &&
           TryStrToInt(std::string_view(id).substr(1)).has_value();
}

void TfrmMain::EnableControls(bool enabled)
{
    // A disabled control loses the focus: it gets it back afterwards.
    const HWND focus = GetFocus();
    if (!enabled && focus && IsChild(FHandle, focus))
        FFocusedControl = focus;
    FControlsEnabled = enabled;
    EnableWindow(listMain->Handle(), enabled);
    HMENU menu = GetMenu(FHandle);
    for (int item = 0; item < GetMenuItemCount(menu); ++item)
        EnableMenuItem(menu, item, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    DrawMenuBar(FHandle);
    const int buttons = static_cast<int>(SendMessageA(tlbMain, TB_BUTTONCOUNT, 0, 0));
    for (int index = 0; index < buttons; ++index) {
        TBBUTTON button{};
        SendMessageA(tlbMain, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
        if (!(button.fsStyle & BTNS_SEP))
            SendMessageA(tlbMain, TB_ENABLEBUTTON, button.idCommand, MAKELONG(enabled, 0));
    }
    EnableWindow(cmbComputer, enabled);
    if (enabled && !GetFocus() && GetActiveWindow() == FHandle)
        SetFocus(FHandle);   // on to the control that had it (WM_SETFOCUS)
    if (enabled)
        UpdateCommands();
    if (enabled && std::exchange(FCloseAfterScan, false))
        PostMessageA(FHandle, WM_CLOSE, 0, 0);
}

// ---------------------------------------------------------------------------
// Messages and events

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETFONT:
        // The form's font, which its controls take on when they are created.
        return reinterpret_cast<LRESULT>(FormFont());
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == TTN_GETDISPINFOA &&
            header->hwndFrom == reinterpret_cast<HWND>(SendMessageA(tlbMain, TB_GETTOOLTIPS, 0, 0))) {
            auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
            const unsigned id = (info->uFlags & TTF_IDISHWND)
                                    ? static_cast<unsigned>(IDC_CMBCOMPUTER)
                                    : static_cast<unsigned>(info->hdr.idFrom);
            const std::string hint = CommandHint(id);
            // The platform's buffer is fixed at 80 characters; longer tips are cut.
            const std::string tip = GetShortHint(hint);
            lstrcpynA(info->szText, tip.c_str(), static_cast<int>(std::size(info->szText)));
            return 0;
        }
        break;
    }
    case WM_INITMENUPOPUP: {
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        if (menu == GetSubMenu(GetMenu(FHandle), 0) || menu == PopupMenu())
            popupHotfixPopup();
        else if (menu == GetSubMenu(GetMenu(FHandle), 1))
            mnuViewClick(menu);
        break;
    }
    case WM_COMPUTERPICKED:
        cmbComputerClick();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            FFocusedControl = focus && IsChild(FHandle, focus) ? focus : nullptr;
        }
        break;
    case WM_SETFOCUS:
        // Back to the control that had the focus, else to the list.
        if (FFocusedControl && IsWindow(FFocusedControl) && IsWindowEnabled(FFocusedControl) &&
            IsWindowVisible(FFocusedControl))
            SetFocus(FFocusedControl);
        else if (listMain->Handle())
            SetFocus(listMain->Handle());
        return 0;
    case WM_CLOSE:
        // Details windows are owned by this one: closing now would destroy a
        // scanning window, and this object that its scan calls back, in the
        // middle of the scan. The scans are cancelled, and the close follows
        // at their end.
        if (TfrmDetails::AnyScanning() || TfrmVerify::AnyScanning()) {
            FCloseAfterScan = true;
            TfrmDetails::CloseScanning();
            TfrmVerify::CloseScanning();
            return 0;
        }
        if (FLoading) {
            FCloseAfterLoad = true;
            return 0;
        }
        // The details windows go with this one, without their own closing.
        try {
            StoreDetailPlacements();
        } catch (...) {
            Application().ShowException(std::current_exception(), FHandle);
        }
        break;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The session ends without any window's closing: its steps run now.
        if (wParam)
            StoreSettingsAtSessionEnd();
        return 0;
    default:
        break;
    }
    return TFrameWindow::HandleMessage(message, wParam, lParam);
}

bool TfrmMain::Command(int id, int code, HWND control)
{
    if (control == cmbComputer) {
        if (code == CBN_SELENDOK)
            PostMessageA(FHandle, WM_COMPUTERPICKED, 0, 0);
        return code == CBN_SELENDOK;
    }
    // The platform checks a shortcut's own item only: while EnableControls
    // has disabled the menus, their shortcuts must not run the commands.
    if (code == 1 && !control && !FControlsEnabled)
        return true;
    switch (id) {
    case IDM_MNUDETAILS:
    case IDM_POPUPDETAILS:
    case IDC_TBTNDETAILS:
        mnuDetailsClick(false);
        return true;
    case IDM_MNUVIEWSERVICEPACK:
        mnuDetailsClick(true);
        return true;
    case IDM_MNUUNINSTALL:
    case IDM_POPUPUNINSTALL:
    case IDC_TBTNUNINSTALL:
        mnuUninstallClick();
        return true;
    case IDM_MNUOPENKB:
    case IDM_POPUPOPENKB:
    case IDC_TBTNOPENKBARTICLE:
        mnuOpenKBClick();
        return true;
    case IDM_MNUVERIFY:
    case IDC_TBTNVERIFY:
        mnuVerifyClick();
        return true;
    case IDM_MNUSAVEAS:
    case IDC_TBTNSAVEAS:
        mnuSaveAsClick();
        return true;
    case IDM_MNUEXIT:
        mnuExitClick();
        return true;
    case IDM_MNUVIEWCOMPUTER:
    case IDC_TBTNBROWSECOMPUTER:
        mnuViewComputerClick();
        return true;
    case IDM_MNUVIEWOFFLINE:
        mnuViewOfflineClick();
        return true;
    case IDM_MNUVIEWCOMPARE:
        mnuViewCompareClick();
        return true;
    case IDM_MNULOCALCOMPUTER:
        mnuLocalComputerClick();
        return true;
    case IDM_MNUOPTIONS:
        mnuOptionsClick();
        return true;
    case IDM_MNUVIEWTOOLBAR:
        mnuViewToolbarClick();
        return true;
    case IDM_MNUVIEWSTATUSBAR:
        mnuViewStatusbarClick();
        return true;
    case IDM_MNUREFRESH:
    case IDC_TBTNREFRESH:
        mnuRefreshClick();
        return true;
    case IDM_MNUABOUT:
        mnuAboutClick();
        return true;
    default:
        return false;
    }
}

std::string TfrmMain::HintAt(HWND control, POINT point) const
{
    if (control == tlbMain) {
        const int index =
            static_cast<int>(SendMessageA(tlbMain, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
        TBBUTTON button{};
        if (index >= 0 &&
            SendMessageA(tlbMain, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) &&
            !(button.fsStyle & BTNS_SEP))
            return CommandHint(static_cast<unsigned>(button.idCommand));
        return {};
    }
    return TFrameWindow::HintAt(control, point);
}

void TfrmMain::AppOnHint()
{
    if (sbarMain)
        SendMessageA(sbarMain, SB_SETTEXTA, 1,
                     reinterpret_cast<LPARAM>(Application().Hint().c_str()));
}

void TfrmMain::cmbComputerKeyPress(char key)
{
    if (key != '\r' && key != '\t')
        return;
    LoadHotfixList(GetWindowTextString(cmbComputer));
    SetFocus(listMain->Handle());
}

void TfrmMain::cmbComputerClick()
{
    const int index = static_cast<int>(SendMessageA(cmbComputer, CB_GETCURSEL, 0, 0));
    if (index < 0)
        return;
    LoadHotfixList(GetWindowTextString(cmbComputer));
    SetFocus(listMain->Handle());
}

void TfrmMain::mnuViewComputerClick()
{
    TBrowseComputerRequest request;
    if (Prompts().BrowseComputer(FHandle, request) && !request.Computer.empty())
        LoadHotfixList(request.Computer);
}

void TfrmMain::mnuViewOfflineClick()
{
    TBrowseFolderRequest request;
    request.Title = LoadResString(IDS_OFFLINEBROWSETITLE);
    if (IsOfflineTarget(FComputer))
        request.Folder = FComputer;
    if (Prompts().BrowseFolder(FHandle, request) && !request.Folder.empty())
        LoadHotfixList(WindowsDirIn(request.Folder));
}

void TfrmMain::mnuLocalComputerClick()
{
    if (IsWindowsNT())
        LoadHotfixList("");
}

void TfrmMain::mnuRefreshClick()
{
    if (FTargetShown)
        LoadHotfixList(FComputer);
}

void TfrmMain::mnuViewClick(HMENU viewMenu)
{
    // The way back to the local computer from any other target, or from none.
    const bool local = !IsWindowsNT() || ShowsLocalComputer();
    EnableMenuItem(viewMenu, IDM_MNULOCALCOMPUTER, MF_BYCOMMAND | (local ? MF_GRAYED : MF_ENABLED));
    CheckMenuItem(viewMenu, IDM_MNUVIEWTOOLBAR,
                  MF_BYCOMMAND | (Shown(tlbMain) ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(viewMenu, IDM_MNUVIEWSTATUSBAR,
                  MF_BYCOMMAND | (Shown(sbarMain) ? MF_CHECKED : MF_UNCHECKED));
}

void TfrmMain::popupHotfixPopup() { UpdateCommands(); }

void TfrmMain::listMainKeyPress(char key)
{
    if (key == '\r')
        listMainDblClick();
    else if (key == '\t')   // Shift+Tab as well: the box is the only other stop
        FocusComputerBox();
    else if (key == kCtrlC)
        CopySelectedRow();
}

// The computer box takes the focus from the list while the toolbar shows it.
bool TfrmMain::FocusComputerBox()
{
    if (!Shown(tlbMain) || !IsWindowEnabled(cmbComputer))
        return false;
    SetFocus(cmbComputer);
    return true;
}

void TfrmMain::listMainDblClick()
{
    const THotfix* hotfix = SelectedHotfix();
    if (hotfix && hotfix->HasUninstallDir)
        mnuDetailsClick(false);
}

int TfrmMain::listMainSortItems(const TListItem& row1, const TListItem& row2,
                                int sortColumn) const
{
    const auto* hotfix1 = static_cast<const THotfix*>(row1.Data);
    const auto* hotfix2 = static_cast<const THotfix*>(row2.Data);
    if (row1.Caption.empty() || row2.Caption.empty() || !hotfix1 || !hotfix2)
        return 0;
    switch (sortColumn) {
    case -1:
        return CompareText(row1.Caption, row2.Caption);
    case 0:
        return CompareText(hotfix1->Description, hotfix2->Description);
    case 1:
        return CompareDateTime(hotfix1->HotfixDate, hotfix2->HotfixDate);
    case 2:
        return CompareDateTime(hotfix1->DateApplied, hotfix2->DateApplied);
    case 3:
        return CompareText(hotfix1->Files, hotfix2->Files);
    default:
        return 0;
    }
}

void TfrmMain::listMainDeletion(const TListItem& row)
{
    // The row owned its record.
    std::unique_ptr<THotfix> hotfix(static_cast<THotfix*>(row.Data));
}

void TfrmMain::listMainContextMenu(POINT screenPoint)
{
    popupHotfixPopup();
    TrackPopupMenu(PopupMenu(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0,
                   FHandle, nullptr);
}

void TfrmMain::mnuViewToolbarClick()
{
    FOptions->Toolbar = !Shown(tlbMain);
    ShowWindow(tlbMain, FOptions->Toolbar ? SW_SHOW : SW_HIDE);
    CheckMenuItem(GetMenu(FHandle), IDM_MNUVIEWTOOLBAR,
                  MF_BYCOMMAND | (FOptions->Toolbar ? MF_CHECKED : MF_UNCHECKED));
    FormResize();
}

void TfrmMain::mnuViewStatusbarClick()
{
    FOptions->Statusbar = !Shown(sbarMain);
    ShowWindow(sbarMain, FOptions->Statusbar ? SW_SHOW : SW_HIDE);
    CheckMenuItem(GetMenu(FHandle), IDM_MNUVIEWSTATUSBAR,
                  MF_BYCOMMAND | (FOptions->Statusbar ? MF_CHECKED : MF_UNCHECKED));
    FormResize();
}

void TfrmMain::mnuExitClick() { PostMessageA(FHandle, WM_CLOSE, 0, 0); }

void TfrmMain::mnuAboutClick()
{
    if (FAbout)
        FAbout->ShowModal();
}
