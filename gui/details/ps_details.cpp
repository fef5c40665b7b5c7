#include "ps_details.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <map>
#include <utility>
#include <vector>

#include "DateTimePatterns.h"
#include "FormHelpers.h"
#include "HotfixCache.h"
#include "HotfixReader.h"
#include "ResString.h"
#include "LocaleInfo.h"
#include "RegistryEx.h"
#include "SizeText.h"
#include "UserOpts.h"
#include "Win32pas.h"
#include "WindowPlacement.h"
#include "components/ExtListView.h"
#include "components/SystemImageList.h"
#include "ps_common.h"
#include "ps_details_res.h"
#include "ps_dialogs_res.h"
#include "ps_progress.h"

namespace {

const char* const kDetailsSection = "Details";
const char* const kListRegistryKey = "Software\\Brightwater\\Patchscope\\Details";
constexpr int kDefaultLeft = 100, kDefaultTop = 100, kDefaultWidth = 500, kDefaultHeight = 300;

// Details windows scanning at this moment (a scan lets messages through, so
// another window's handlers run in the middle of it).
int gScanningWindows = 0;
// Every details window that exists, in the order of creation.
std::vector<TfrmDetails*> gDetailWindows;

// The installer's own files of an uninstall directory; exact names.
bool IsInstallerFile(const std::string& name)
{
    return name == "hotfix.exe" || name == "hotfix.inf" || name == "uninst.inf";
}

// The extension without its dot, letters A to Z in lower case; empty
// without one.
std::string LowerExtension(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return {};
    std::string extension = name.substr(dot + 1);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

// Files whose icon is their own, not their type's: looked up one by one.
bool HasOwnIcon(const std::string& extension)
{
    return extension == "exe" || extension == "ico" || extension == "cpl" || extension == "scr";
}

std::int64_t FoundFileSize(const WIN32_FIND_DATAA& found)
{
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) |
                                     found.nFileSizeLow);
}

const TStringList& VersionStringNames()
{
    static const TStringList names(std::vector<std::string>{"FileVersion", "FileDescription"});
    return names;
}

}  // namespace

// The entries of a directory that the scan lists: files only, "." and ".."
// and subdirectories left out. Closed by Close or on destruction.
class TfrmDetails::TListing {
public:
    explicit TListing(const std::string& directory)
        : FPattern(directory + "*.*"), FDone(directory.empty())
    {
    }

    bool Next(WIN32_FIND_DATAA& found)
    {
        for (;;) {
            if (FDone)
                return false;
            if (!FHandle) {
                FHandle = std::make_unique<FindHandle>(FindFirstFileA(FPattern.c_str(), &found));
                FDone = !*FHandle;
            } else {
                FDone = !FindNextFileA(FHandle->Get(), &found);
            }
            if (FDone) {
                Close();
                return false;
            }
            // Read-only, hidden and system files are listed too.
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                return true;
        }
    }
    void Close()
    {
        FDone = true;
        FHandle.reset();
    }

private:
    std::string FPattern;
    std::unique_ptr<FindHandle> FHandle;
    bool FDone = false;
};

// What one scan holds from its start to its closing steps.
struct TfrmDetails::TScan {
    std::unique_ptr<TfrmProgress> Progress;
    std::unique_ptr<THotfixCache> Cache;
    std::unique_ptr<TStringList> Versions;
    // The icon of each file type met so far, by extension in lower case.
    std::map<std::string, int> TypeIcons;
    bool ControlsDisabled = false;
    bool PriorityChanged = false;
    DWORD PriorityClass = NORMAL_PRIORITY_CLASS;
};

// ---------------------------------------------------------------------------

TfrmDetails::TfrmDetails(HWND owner, TUserOptions& options,
                         std::function<void(bool)> enableControls)
    : FOptions(options), FEnableControls(std::move(enableControls)),
      listFiles(std::make_unique<TExtListView>()),
      imgSystemIcons(std::make_unique<TSystemImageList>())
{
    gDetailWindows.push_back(this);
    SetFormShowBeforeVisible(true);
    TFrameParams params;
    params.ClassName = "PatchscopeDetails";
    params.Caption = LoadResString(IDS_DETAILSCAPTION);
    params.Owner = owner;
    params.Left = kDefaultLeft;
    params.Top = kDefaultTop;
    params.Width = kDefaultWidth;
    params.Height = kDefaultHeight;
    params.Icon = LoadIconA(GetModuleHandleA(nullptr), PS_MAINICON);
    CreateFrame(params);
}

TfrmDetails::~TfrmDetails()
{
    // While this object is whole, so that the rows' deletion handler runs.
    OnDestroyed = nullptr;
    if (FHandle)
        DestroyWindow(FHandle);
    gDetailWindows.erase(std::remove(gDetailWindows.begin(), gDetailWindows.end(), this),
                         gDetailWindows.end());
}

bool TfrmDetails::AnyScanning() { return gScanningWindows > 0; }

void TfrmDetails::FormCreate()
{
    CreateControls();
    CreateFileList();
    FormResize();
    RestorePlacement();
}

HWND TfrmDetails::CreateLabel(int id, int left, int top, int width)
{
    HWND label = CreateWindowExA(0, "STATIC", LoadResString(static_cast<unsigned>(id)).c_str(),
                                 WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, left, top, width,
                                 13, FHandle, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
    return label;
}

HWND TfrmDetails::CreateReadOnlyEdit(int id, int left, int top, int width)
{
    // Borderless and read-only: the platform paints it in the button face colour.
    HWND edit = CreateWindowExA(0, "EDIT", LoadResString(static_cast<unsigned>(id)).c_str(),
                                WS_CHILD | WS_VISIBLE | ES_LEFT | ES_READONLY | ES_AUTOHSCROLL,
                                left, top, width, 16, FHandle,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
    // No inner margin: the text lines up with the summary below it.
    SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    return edit;
}

void TfrmDetails::CreateControls()
{
    lblDescription = CreateLabel(IDC_LBLDESCRIPTION, 9, 8, 80);
    lblDate = CreateLabel(IDC_LBLDATE, 9, 29, 80);
    lblHotfixDate = CreateLabel(IDC_LBLHOTFIXDATE, 9, 50, 80);
    lblSummary = CreateLabel(IDC_LBLSUMMARY, 9, 71, 80);
    // Wide enough for " (incomplete)" after its caption.
    lblFiles = CreateLabel(IDC_LBLFILES, 9, 92, 250);
    edtDescription = CreateReadOnlyEdit(IDC_EDTDESCRIPTION, 91, 8, 402);
    edtDate = CreateReadOnlyEdit(IDC_EDTDATE, 91, 29, 342);
    edtHotfixDate = CreateReadOnlyEdit(IDC_EDTHOTFIXDATE, 91, 50, 342);
    lblSummary2 = CreateLabel(IDC_LBLSUMMARY2, 91, 71, 402);
}

void TfrmDetails::CreateFileList()
{
    listFiles->AddColumn(LoadResString(IDS_COLFILENAME));
    listFiles->AddColumn(LoadResString(IDS_COLTIMESTAMP));
    listFiles->AddColumn(LoadResString(IDS_COLFILESIZE), LVSCW_AUTOSIZE_USEHEADER, LVCFMT_RIGHT);
    listFiles->AddColumn(LoadResString(IDS_COLFILEVERSION));
    listFiles->AddColumn(LoadResString(IDS_COLFILEDESCRIPTION));
    listFiles->SetAutoColumnSort(acsSortToggle);
    listFiles->SetShowSortArrows(true);
    listFiles->SetExtendedStyles({lvxHeaderDragDrop, lvxFullRowSelect});
    listFiles->SaveSettings().AutoSave = true;
    listFiles->SaveSettings().RegistryKey = kListRegistryKey;
    listFiles->OnSortItems = [this](TCustomEnhListView&, const TListItem& item1,
                                    const TListItem& item2, int sortColumn, int& result) {
        result = listFilesSortItems(item1, item2, sortColumn);
    };
    listFiles->OnDeletion = [this](TCustomEnhListView&, const TListItem& item) {
        listFilesDeletion(item);
    };
    const RECT bounds{0, FPanelHeight, 100, FPanelHeight + 100};
    if (!listFiles->Create(FHandle, IDC_LISTFILES, bounds))
        throw std::runtime_error("Cannot create the file list");
}

void TfrmDetails::RestorePlacement()
{
    // A value that cannot be read is reported once the window has its place.
    std::exception_ptr failure;
    try {
        FShowMaximized = RestoreWindowPlacement(
            FHandle, kDetailsSection,
            RECT{kDefaultLeft, kDefaultTop, kDefaultLeft + kDefaultWidth, kDefaultTop + kDefaultHeight});
    } catch (...) {
        failure = std::current_exception();
    }
    RECT bounds = NormalBounds(FHandle);
    CascadeFromOpenWindows(bounds);
    SetNormalBounds(FHandle, bounds);
    if (failure)
        std::rethrow_exception(failure);
}

// A window that would open exactly on top of another details window moves
// down and to the right by a caption's height, as often as that takes.
void TfrmDetails::CascadeFromOpenWindows(RECT& bounds) const
{
    const int step = GetSystemMetrics(SM_CYCAPTION);
    for (bool moved = true; moved && step > 0;) {
        moved = false;
        for (const TfrmDetails* other : gDetailWindows) {
            if (other == this || !other->FHandle)
                continue;
            const RECT place = NormalBounds(other->FHandle);
            if (place.left == bounds.left && place.top == bounds.top) {
                bounds = RECT{bounds.left + step, bounds.top + step, bounds.right + step,
                              bounds.bottom + step};
                moved = true;
            }
        }
    }
}

void TfrmDetails::FormClose() { StorePlacement(); }

void TfrmDetails::StorePlacement() { StoreWindowPlacement(FHandle, kDetailsSection); }

void TfrmDetails::SetServicePackLayout(const std::string& caption)
{
    HotfixID.clear();
    FServicePackCaption = caption;
    SetCaption(caption);
    for (HWND control : {lblDescription, edtDescription, lblDate, edtDate, lblHotfixDate,
                         edtHotfixDate})
        ShowWindow(control, SW_HIDE);
    RECT place{};
    GetWindowRect(lblFiles, &place);
    MapWindowPoints(nullptr, FHandle, reinterpret_cast<POINT*>(&place), 2);
    const int filesTop = place.top;
    SetWindowPos(lblSummary, nullptr, 9, 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(lblSummary2, nullptr, 91, 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(lblFiles, nullptr, 9, 29, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    FPanelHeight -= filesTop - 29;
    FormResize();
}

void TfrmDetails::FormResize()
{
    if (!listFiles || !listFiles->Handle())
        return;
    const SIZE client = ClientSize(FHandle);
    MoveWindow(listFiles->Handle(), 0, FPanelHeight, client.cx,
               std::max<int>(client.cy - FPanelHeight, 0), TRUE);
}

// ---------------------------------------------------------------------------
// Showing and closing

void TfrmDetails::Show() { TScanWindow::Show(FShowMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL); }

LRESULT TfrmDetails::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(FormFont());
    case WM_SETFOCUS:
        if (listFiles->Handle())
            SetFocus(listFiles->Handle());
        return 0;
    case WM_OPTIONSCHANGED:
        WMOptionsChanged();
        return 0;
    case WM_CLOSE:
        CloseWindow([this] { FormClose(); });
        return 0;
    default:
        break;
    }
    return TFrameWindow::HandleMessage(message, wParam, lParam);
}

bool TfrmDetails::PreTranslateMessage(MSG& message)
{
    if (message.message == WM_CHAR && message.wParam == VK_ESCAPE &&
        (message.hwnd == FHandle || IsChild(FHandle, message.hwnd))) {
        FormKeyPress(static_cast<char>(message.wParam));
        return true;
    }
    return TFrameWindow::PreTranslateMessage(message);
}

void TfrmDetails::FormKeyPress(char key)
{
    // Posted: the window goes once this message has been dealt with.
    if (key == VK_ESCAPE)
        PostMessageA(FHandle, WM_CLOSE, 0, 0);
}

void TfrmDetails::WMOptionsChanged()
{
    // A scanning window writes its texts when the scan ends.
    if (!FScanning)
        UpdateDisplay();
}

// ---------------------------------------------------------------------------
// The scan

void TfrmDetails::FormShow()
{
    if (std::exchange(FScanned, true))
        return;
    FScanning = true;
    ++gScanningWindows;
    struct TScanEnd {
        TfrmDetails& Form;
        ~TScanEnd()
        {
            Form.FScanning = false;
            --gScanningWindows;
        }
    } scanEnd{*this};
    {
        TScreenCursor hourglass;
        if (FOptions.ViewIcons && imgSystemIcons->Handle())
            listFiles->SetSmallImages(imgSystemIcons->Handle());
        SetFocus(listFiles->Handle());
        // An identifier that would lead out of the Windows directory lists nothing.
        if (HotfixID.empty())
            FUninstallDir = GetServicePackUninstallDir(ComputerName);
        else if (IsUsableHotfixID(HotfixID))
            FUninstallDir = GetUninstallDir(ComputerName, HotfixID);
        CountFiles();
    }
    ListFiles();
}

double TfrmDetails::TimeOf(const FILETIME& lastWrite) const
{
    return TargetTime ? TargetTime(lastWrite) : FileTimeToDateTime(lastWrite);
}

void TfrmDetails::CountFiles()
{
    FFileCount = 0;
    TListing listing(FUninstallDir);
    WIN32_FIND_DATAA found{};
    while (listing.Next(found))
        if (!IsInstallerFile(FoundFileName(found)))
            ++FFileCount;
}

void TfrmDetails::ListFiles()
{
    TListing listing(FUninstallDir);
    listFiles->BeginUpdate();
    FTotalSize = 0;
    FVersionResourcesRead = 0;
    TScan scan;
    std::exception_ptr failure;
    try {
        scan.Progress = std::make_unique<TfrmProgress>(FHandle);
        if (FFileCount > 1) {
            scan.Progress->SetMaximum(FFileCount);
            scan.Progress->Show();
        }
        if (FEnableControls)
            FEnableControls(false);
        scan.ControlsDisabled = true;
        scan.Cache = std::make_unique<THotfixCache>(HotfixID);
        scan.Versions = std::make_unique<TStringList>();
        if (FOptions.UseIdle) {
            scan.PriorityClass = GetPriorityClass(GetCurrentProcess());
            scan.PriorityChanged = scan.PriorityClass != 0 &&
                                   SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
        }
        if (FOptions.UseCache)
            scan.Cache->Load();
        ScanFiles(listing, scan);
    } catch (...) {
        failure = std::current_exception();
    }
    FinishScan(listing, scan, failure);
    if (failure)
        std::rethrow_exception(failure);
}

void TfrmDetails::ScanFiles(TListing& listing, TScan& scan)
{
    WIN32_FIND_DATAA found{};
    while (listing.Next(found)) {
        const std::string name = FoundFileName(found);
        if (!HotfixID.empty() && name == "uninst.inf") {
            FDateApplied = TimeOf(found.ftLastWriteTime);
            continue;
        }
        if (!HotfixID.empty() && name == "hotfix.inf") {
            FHotfixDate = TimeOf(found.ftLastWriteTime);
            continue;
        }
        if (name == "hotfix.exe")
            continue;
        if (FFileCount > 1) {
            // Where Cancel, and anything else the user does meanwhile, runs:
            // as often as the progress shows, a few times a second.
            if (scan.Progress->StepFile(name)) {
                Application().ProcessMessages();
                if (ScanStopped(scan))
                    break;
            }
        }
        ListFile(found, name, scan);
    }
}

bool TfrmDetails::ScanStopped(const TScan& scan) const
{
    return scan.Progress->Cancelled() || CloseRequested() || !FHandle;
}

void TfrmDetails::ListFile(const WIN32_FIND_DATAA& found, const std::string& name, TScan& scan)
{
    const std::int64_t size = FoundFileSize(found);
    const double date = TimeOf(found.ftLastWriteTime);
    const std::string path = FUninstallDir + name;
    FTotalSize += size;
    const std::string extension = LowerExtension(name);
    const int image = FOptions.ViewIcons ? FileIcon(path, extension, found.dwFileAttributes, scan) : -1;

    THotfixCache& cache = *scan.Cache;
    const bool current = cache.IsCurrent(name, size, date);
    const bool versioned = FOptions.VersionInfoExtensions.IndexOf(extension) >= 0;
    if (!versioned || (FOptions.UseCache && current)) {
        if (!current)
            cache.SetFile(name, size, date, "", "");
    } else {
        scan.Versions->Clear();
        bool unreadable = false;
        GetFileVersionStrings(path, VersionStringNames(), *scan.Versions, &unreadable);
        ++FVersionResourcesRead;
        if (unreadable) {
            // Unknown, not absent: the row shows no version and the listing
            // keeps what it had, so that the next scan reads the file again.
            AddFileRow(std::make_unique<THotfixFile>(THotfixFile{name, date, size, "", ""}), image);
            return;
        }
        cache.SetFile(name, size, date, (*scan.Versions)[0], (*scan.Versions)[1]);
    }
    AddFileRow(cache.GetFile(name), image);
}

// One shell look-up per file type: the shell's look-up of a file's own icon
// reads the file and costs much more than the rest of the scan.
int TfrmDetails::FileIcon(const std::string& path, const std::string& extension,
                          DWORD attributes, TScan& scan) const
{
    // The shell reads a file for its own icon; a device's name is not read.
    if (HasOwnIcon(extension) && !IsDeviceName(path.substr(FUninstallDir.size())))
        return imgSystemIcons->IconIndex(path, attributes);
    const auto known = scan.TypeIcons.find(extension);
    if (known != scan.TypeIcons.end())
        return known->second;
    const int image = imgSystemIcons->TypeIconIndex(path, attributes);
    scan.TypeIcons.emplace(extension, image);
    return image;
}

void TfrmDetails::AddFileRow(std::unique_ptr<THotfixFile> file, int image)
{
    if (!file)
        return;
    const std::string name = file->FileName;
    if (listFiles->AddItem(name, file.get(), image) >= 0)
        file.release();
}

void TfrmDetails::FinishScan(TListing& listing, TScan& scan, std::exception_ptr& failure)
{
    // Every step runs, also after a cancel or an error; without the window
    // (destroyed meanwhile) only those that need none.
    RunStep(failure, [&] { listing.Close(); });
    RunStep(failure, [&] {
        if (FHandle)
            UpdateDisplay();
    });
    RunStep(failure, [&] {
        if (FOptions.UseCache && scan.Cache)
            scan.Cache->Save();
    });
    scan.Cache.reset();
    RunStep(failure, [&] {
        if (FHandle && FFileCount > 1 && scan.Progress && scan.Progress->Cancelled())
            SetWindowTextString(lblFiles,
                                GetWindowTextString(lblFiles) + LoadResString(IDS_INCOMPLETE));
    });
    scan.Progress.reset();
    scan.Versions.reset();
    RunStep(failure, [&] { listFiles->EndUpdate(); });
    RunStep(failure, [&] {
        // Sorts the rows again by the current column and direction.
        listFiles->SetAutoColumnSort(acsNoSort);
        listFiles->SetAutoColumnSort(acsSortToggle);
    });
    RunStep(failure, [&] {
        if (scan.ControlsDisabled && FEnableControls)
            FEnableControls(true);
    });
    if (scan.PriorityChanged)
        SetPriorityClass(GetCurrentProcess(), scan.PriorityClass);
}

// ---------------------------------------------------------------------------
// Texts

std::string TfrmDetails::FormatSize(std::int64_t size, bool withBytes) const
{
    TSizeDisplay display;
    display.DisplayKilobytes = FOptions.DisplayKilobytes;
    display.DisplayMegabytes = FOptions.DisplayMegabytes;
    display.ByteThreshold = FOptions.ByteThreshold;
    display.KiloByteThreshold = FOptions.KiloByteThreshold;
    return ::FormatSize(size, withBytes, display, LocaleFormatSettings().ThousandSeparator);
}

void TfrmDetails::UpdateDisplay()
{
    const TFormatSettings& locale = LocaleFormatSettings();
    const std::string& unknown = FOptions.DefaultText;
    auto orUnknown = [&](const std::string& text) { return text.empty() ? unknown : text; };
    auto dateText = [&](const std::string& pattern, double date) {
        return date != 0 ? FormatDateTime(pattern, date, locale) : unknown;
    };

    for (int row = 0, rows = listFiles->ItemCount(); row < rows; ++row) {
        const auto* file = static_cast<const THotfixFile*>(listFiles->ItemData(row));
        if (!file)
            continue;
        listFiles->SetSubItem(row, 0, dateText(FOptions.ListTimeFormat, file->FileDate));
        listFiles->SetSubItem(row, 1, file->FileSize != 0 ? FormatSize(file->FileSize, false) : unknown);
        listFiles->SetSubItem(row, 2, orUnknown(file->FileVersion));
        listFiles->SetSubItem(row, 3, orUnknown(file->FileDescription));
    }
    // Another computer's window names it.
    const std::string caption =
        HotfixID.empty() ? FServicePackCaption : FormatResString(IDS_DETAILSFOR, {HotfixID});
    SetCaption(ComputerName.empty() ? caption
                                    : FormatResString(IDS_ONCOMPUTER, {caption, ComputerName}));
    if (!HotfixID.empty())
        SetWindowTextString(edtDescription, orUnknown(Description));
    SetWindowTextString(edtDate, dateText(FOptions.DetailTimeFormat, FDateApplied));
    SetWindowTextString(edtHotfixDate, dateText(FOptions.DetailTimeFormat, FHotfixDate));
    SetWindowTextString(lblSummary2,
                        FormatResString(FFileCount == 1 ? IDS_ONEFILE : IDS_SEVERALFILES,
                                        {std::to_string(FFileCount), FormatSize(FTotalSize, true)}));
}

// ---------------------------------------------------------------------------
// The file list

int TfrmDetails::listFilesSortItems(const TListItem& item1, const TListItem& item2,
                                    int sortColumn) const
{
    const auto* file1 = static_cast<const THotfixFile*>(item1.Data);
    const auto* file2 = static_cast<const THotfixFile*>(item2.Data);
    if (item1.Caption.empty() || item2.Caption.empty() || !file1 || !file2)
        return 0;
    switch (sortColumn) {
    case -1:
        return CompareText(item1.Caption, item2.Caption);
    case 0:
        return CompareDateTime(file1->FileDate, file2->FileDate);
    case 1:
        return file1->FileSize < file2->FileSize ? -1 : (file1->FileSize > file2->FileSize ? 1 : 0);
    case 2:
        return CompareText(file1->FileVersion, file2->FileVersion);
    case 3:
        return CompareText(file1->FileDescription, file2->FileDescription);
    default:
        return 0;
    }
}

void TfrmDetails::listFilesDeletion(const TListItem& item)
{
    std::unique_ptr<THotfixFile> owned(static_cast<THotfixFile*>(item.Data));
}
