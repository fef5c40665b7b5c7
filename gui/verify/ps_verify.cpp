#include "ps_verify.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <utility>

#include "FormHelpers.h"
#include "HotfixReader.h"
#include "HotfixRecords.h"
#include "ListSaveAs.h"
#include "LiveTarget.h"
#include "OfflineSystem.h"
#include "RegistryEx.h"
#include "ResString.h"
#include "TargetAccessWin.h"
#include "UserOpts.h"
#include "Win32pas.h"
#include "WindowPlacement.h"
#include "components/ExtListView.h"
#include "details/ps_details.h"
#include "ps_dialogs_res.h"
#include "ps_progress.h"
#include "ps_verify_res.h"

namespace {

const char* const kListRegistryKey = "Software\\Brightwater\\Patchscope\\Verify";
const char* const kPlacementSection = "Verify";
constexpr RECT kDefaultBounds{80, 80, 80 + 900, 80 + 400};
constexpr int kSummaryHeight = 24;

// Verification windows scanning at this moment.
int gScanningWindows = 0;

enum TVerifyColumn { colHotfix, colFile, colState, colPath, colInstalled, colSaved, colFound };

// What needs attention first: files put back, files gone, leftovers.
int StateRank(TVerifyState state)
{
    switch (state) {
    case TVerifyState::Undone: return 0;
    case TVerifyState::Missing: return 1;
    case TVerifyState::NoRegistryRecord: return 2;
    case TVerifyState::InEffect: return 3;
    }
    return 3;
}

// Where the file is or belongs; for a file guessed in vain, every place tried.
std::string PathText(const TVerifiedFile& file)
{
    std::string text = file.InstalledPath;
    for (const std::string& place : file.LookedIn)
        text += (text.empty() ? "" : "; ") + place;
    return text;
}

int CompareVersions(const std::optional<TFileVersion>& a, const std::optional<TFileVersion>& b)
{
    if (a == b)
        return 0;
    return a < b ? -1 : 1;   // no version before every version
}

}  // namespace

// The scan's link to the window: progress, Cancel and messages between files.
class TfrmVerify::TScan : public TVerifySink {
public:
    explicit TScan(TfrmVerify& form) : FForm(form), FProgress(std::make_unique<TfrmProgress>(form.FHandle)) {}

    // Runs Work, which reads the target, with the progress window shown and
    // its waiting messages handled first; false when the scan was stopped
    // meanwhile (a Cancel pressed during the reading counts once it returns).
    bool Read(const std::function<void()>& work)
    {
        FProgress->Show();
        FShown = true;
        Application().RunAfterPumping(work);
        Stopped = FProgress->Cancelled() || FForm.CloseRequested() || !FForm.FHandle;
        return !Stopped;
    }
    bool Continue(int done, int total, const std::string& fileName) override
    {
        if (!FMaximumSet && total > 1) {
            FProgress->SetMaximum(total);
            FMaximumSet = true;
            if (!FShown)
                FProgress->Show();
            FShown = true;
        }
        // A file counts from its start on, as in the details window.
        if (!fileName.empty())
            FFileName = fileName;
        bool shown = false;
        for (const int target = fileName.empty() ? done : done + 1; FStepped < target; ++FStepped)
            shown = FProgress->StepFile(FFileName) || shown;
        // Where Cancel, and anything else the user does meanwhile, runs: as
        // often as the progress shows, and as often while the directories
        // are listed.
        const DWORD now = GetTickCount();
        if (!shown && FPumped && now - FPumpedAt < TfrmProgress::RepaintInterval)
            return true;
        FPumped = true;
        FPumpedAt = now;
        Application().ProcessMessages();
        Stopped = FProgress->Cancelled() || FForm.CloseRequested() || !FForm.FHandle;
        return !Stopped;
    }
    void FileVerified(const TVerifiedFile& file) override { FForm.AddRow(file); }
    void VerificationIncomplete(const std::string& why) override { FForm.AddFailure(why); }

    bool Stopped = false;

private:
    TfrmVerify& FForm;
    std::unique_ptr<TfrmProgress> FProgress;
    bool FShown = false, FMaximumSet = false;
    int FStepped = 0;
    std::string FFileName;
    bool FPumped = false;
    DWORD FPumpedAt = 0;
};

TfrmVerify::TfrmVerify(HWND owner, TUserOptions& options, std::function<void(bool)> enableControls)
    : FOptions(options), FEnableControls(std::move(enableControls)),
      listVerify(std::make_unique<TExtListView>())
{
    SetFormShowBeforeVisible(true);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    TFrameParams params;
    params.ClassName = "PatchscopeVerify";
    params.Caption = FormatResString(IDS_VERIFYCAPTION, {""});
    params.Owner = owner;
    params.Left = kDefaultBounds.left;
    params.Top = kDefaultBounds.top;
    params.Width = kDefaultBounds.right - kDefaultBounds.left;
    params.Height = kDefaultBounds.bottom - kDefaultBounds.top;
    params.Menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_VERIFYMENU));
    params.Icon = LoadIconA(instance, PS_MAINICON);
    CreateFrame(params);
    SetAccelerators(LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_VERIFYACCEL)));
    for (int id : {IDM_MNUVERIFYSAVEAS, IDM_MNUVERIFYCLOSE})
        SetMenuHint(id, LoadResString(static_cast<unsigned>(id)));
}

TfrmVerify::~TfrmVerify()
{
    OnDestroyed = nullptr;
    if (FHandle)
        DestroyWindow(FHandle);
}

bool TfrmVerify::AnyScanning() { return gScanningWindows > 0; }

void TfrmVerify::FormCreate()
{
    lblSummary = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 8,
                                 6, 600, 14, FHandle,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LBLVERIFYSUMMARY)),
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(lblSummary, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
    CreateFileList();
    FormResize();
    FShowMaximized = RestoreWindowPlacement(FHandle, kPlacementSection, kDefaultBounds);
}

void TfrmVerify::Show() { TScanWindow::Show(FShowMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL); }

void TfrmVerify::StorePlacement() { StoreWindowPlacement(FHandle, kPlacementSection); }

void TfrmVerify::CreateFileList()
{
    for (unsigned id : {IDS_COLVERIFYHOTFIX, IDS_COLVERIFYFILE, IDS_COLVERIFYSTATE, IDS_COLVERIFYPATH,
                        IDS_COLVERIFYINSTALLED, IDS_COLVERIFYSAVED, IDS_COLVERIFYFOUND})
        listVerify->AddColumn(LoadResString(id), LVSCW_AUTOSIZE);
    listVerify->SetAutoColumnSort(acsSortToggle);
    listVerify->SetShowSortArrows(true);
    listVerify->SetExtendedStyles({lvxHeaderDragDrop, lvxFullRowSelect});
    listVerify->SaveSettings().AutoSave = true;
    listVerify->SaveSettings().RegistryKey = kListRegistryKey;
    listVerify->OnSortItems = [this](TCustomEnhListView&, const TListItem& item1,
                                     const TListItem& item2, int sortColumn, int& result) {
        result = listVerifySortItems(item1, item2, sortColumn);
    };
    listVerify->OnDeletion = [](TCustomEnhListView&, const TListItem& item) {
        std::unique_ptr<TVerifiedFile> owned(static_cast<TVerifiedFile*>(item.Data));
    };
    const RECT bounds{0, kSummaryHeight, 100, kSummaryHeight + 100};
    if (!listVerify->Create(FHandle, IDC_LISTVERIFY, bounds))
        throw std::runtime_error("Cannot create the verification list");
}

void TfrmVerify::FormResize()
{
    if (!listVerify || !listVerify->Handle())
        return;
    const SIZE client = ClientSize(FHandle);
    MoveWindow(lblSummary, 8, 6, std::max<int>(client.cx - 16, 0), 14, TRUE);
    MoveWindow(listVerify->Handle(), 0, kSummaryHeight, client.cx,
               std::max<int>(client.cy - kSummaryHeight, 0), TRUE);
}

// ---------------------------------------------------------------------------
// Closing

LRESULT TfrmVerify::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(FormFont());
    case WM_SETFOCUS:
        if (listVerify->Handle())
            SetFocus(listVerify->Handle());
        return 0;
    case WM_OPTIONSCHANGED:
        WMOptionsChanged();
        return 0;
    case WM_CLOSE:
        CloseWindow([this] { StorePlacement(); });
        return 0;
    default:
        break;
    }
    return TFrameWindow::HandleMessage(message, wParam, lParam);
}

bool TfrmVerify::PreTranslateMessage(MSG& message)
{
    if (message.message == WM_CHAR && message.wParam == VK_ESCAPE &&
        (message.hwnd == FHandle || IsChild(FHandle, message.hwnd))) {
        PostMessageA(FHandle, WM_CLOSE, 0, 0);
        return true;
    }
    return TFrameWindow::PreTranslateMessage(message);
}

bool TfrmVerify::Command(int id, int code, HWND control)
{
    switch (id) {
    case IDM_MNUVERIFYSAVEAS:
        mnuSaveAsClick();
        return true;
    case IDM_MNUVERIFYCLOSE:
        PostMessageA(FHandle, WM_CLOSE, 0, 0);
        return true;
    default:
        return TFrameWindow::Command(id, code, control);
    }
}

// ---------------------------------------------------------------------------
// The scan

void TfrmVerify::FormShow()
{
    if (std::exchange(FScanned, true))
        return;
    FScanning = true;
    ++gScanningWindows;
    struct TScanEnd {
        TfrmVerify& Form;
        ~TScanEnd()
        {
            Form.FScanning = false;
            --gScanningWindows;
        }
    } scanEnd{*this};
    SetCaption(FormatResString(IDS_VERIFYCAPTION, {ComputerTitle()}));
    SetWindowTextString(lblSummary, LoadResString(IDS_VERIFYSCANNING));
    SetFocus(listVerify->Handle());
    Scan();
}

void TfrmVerify::Scan()
{
    std::exception_ptr failure;
    bool controlsDisabled = false, priorityChanged = false;
    DWORD priorityClass = NORMAL_PRIORITY_CLASS;
    listVerify->BeginUpdate();
    try {
        if (FEnableControls)
            FEnableControls(false);
        controlsDisabled = true;
        if (FOptions.UseIdle) {
            priorityClass = GetPriorityClass(GetCurrentProcess());
            priorityChanged = priorityClass != 0 &&
                              SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
        }
        // The target's registry records and its files: an offline system
        // is read from its hives, a computer through its registry.
        THotfixRecords records;
        std::unique_ptr<TOfflineSystem> offline;
        std::unique_ptr<TFileSource> liveFiles;
        TScan scan(*this);
        const std::string computer = ComputerName;
        const bool read = scan.Read([&] {
            if (IsOfflineTarget(computer)) {
                offline = OpenOfflineSystem(computer);
                THotfixReader reader(offline->Registry(), offline->Files(),
                                     WithProgramLists(HotfixRecordOptions()));
                records = ReadHotfixRecords(reader);
            } else {
                TRegIniFileEx registry("");
                registry.SetRootKey(HKEY_LOCAL_MACHINE);
                if (!computer.empty() && !registry.RegistryConnect(computer))
                    throw std::runtime_error(FormatResString(IDS_VERIFYCONNECTFAILED, {computer}));
                TLiveHotfixReader reader(registry, computer, HotfixRecordOptions(), false);
                records = ReadHotfixRecords(reader);
                liveFiles = OpenTargetFiles(computer);
            }
        });
        if (read) {
            const TFileSource* files = offline ? &offline->Files() : liveFiles.get();
            VerifyHotfixes(*files, records.Listed, records.Recorded, scan);
        }
        // A look-up that failed during the scan has made it incomplete already.
        FIncomplete = FIncomplete || scan.Stopped;
    } catch (const std::exception& error) {
        failure = std::current_exception();
        AddFailure(error.what());
    } catch (...) {
        failure = std::current_exception();
        FIncomplete = true;
    }
    // Every closing step runs, also after a cancel or an error.
    try {
        listVerify->EndUpdate();
        // Rows that need attention first.
        if (FHandle)
            listVerify->SortBy(colState, true);
        if (FHandle)
            UpdateDisplay();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (controlsDisabled && FEnableControls)
        FEnableControls(true);
    if (priorityChanged)
        SetPriorityClass(GetCurrentProcess(), priorityClass);
    if (failure)
        std::rethrow_exception(failure);
}

void TfrmVerify::AddRow(const TVerifiedFile& file)
{
    FCounts.Add(file);
    auto owned = std::make_unique<TVerifiedFile>(file);
    const int row = listVerify->AddItem(file.HotfixID, owned.get());
    if (row < 0)
        return;
    owned.release();
    SetRowTexts(row, file);
}

void TfrmVerify::AddFailure(const std::string& why)
{
    FIncomplete = true;
    if (FFailureCount++ == 0)
        FFirstFailure = why;
}

void TfrmVerify::SetRowTexts(int row, const TVerifiedFile& file)
{
    auto version = [&](const std::optional<TFileVersion>& value) {
        return value ? FileVersionText(*value) : FOptions.DefaultText;
    };
    const bool orphan = file.State == TVerifyState::NoRegistryRecord;
    listVerify->SetSubItem(row, colFile - 1, file.FileName);
    listVerify->SetSubItem(row, colState - 1, StateText(file.State));
    listVerify->SetSubItem(row, colPath - 1, PathText(file));
    listVerify->SetSubItem(row, colInstalled - 1,
                           orphan || file.State == TVerifyState::Missing ? "" : version(file.InstalledVersion));
    listVerify->SetSubItem(row, colSaved - 1,
                           orphan || file.State == TVerifyState::Missing ? "" : version(file.SavedVersion));
    listVerify->SetSubItem(row, colFound - 1, FindingText(file));
}

std::string TfrmVerify::Summary() const
{
    std::string text = VerifySummary(FCounts, !FIncomplete);
    if (FFailureCount > 0) {
        const std::string why =
            FFailureCount == 1 ? FFirstFailure
                               : FormatResString(IDS_VERIFYMOREFAILURES,
                                                 {FFirstFailure, std::to_string(FFailureCount - 1)});
        return text + FormatResString(IDS_VERIFYINCOMPLETEWHY, {why});
    }
    return text + (FIncomplete ? LoadResString(IDS_VERIFYINCOMPLETE) : "");
}

void TfrmVerify::UpdateDisplay() { SetWindowTextString(lblSummary, Summary()); }

// The settings changed: every text that shows a setting is written anew.
void TfrmVerify::WMOptionsChanged()
{
    // A scanning window writes its texts as its rows come.
    if (FScanning)
        return;
    listVerify->BeginUpdate();
    for (int row = 0; row < listVerify->ItemCount(); ++row)
        if (const auto* file = static_cast<const TVerifiedFile*>(listVerify->ItemData(row)))
            SetRowTexts(row, *file);
    listVerify->EndUpdate();
    UpdateDisplay();
}

std::string TfrmVerify::ComputerTitle() const
{
    return ComputerName.empty() ? "\\\\" + GetLocalComputerName() : ComputerName;
}

void TfrmVerify::mnuSaveAsClick()
{
    if (FScanning)
        return;
    TListSaveRequest request;
    request.Computer = ComputerTitle();
    request.Title = Caption();
    request.Summary = Summary();
    request.Target = ComputerName;
    request.FileNameSuffix = LoadResString(IDS_VERIFYFILENAMESUFFIX);
    SaveListAs(FHandle, FOptions, *listVerify, request);
}

int TfrmVerify::listVerifySortItems(const TListItem& item1, const TListItem& item2,
                                    int sortColumn) const
{
    const auto* a = static_cast<const TVerifiedFile*>(item1.Data);
    const auto* b = static_cast<const TVerifiedFile*>(item2.Data);
    if (!a || !b)
        return 0;
    int result = 0;
    switch (sortColumn + 1) {
    case colHotfix: result = CompareText(a->HotfixID, b->HotfixID); break;
    case colFile: result = CompareText(a->FileName, b->FileName); break;
    case colState: result = StateRank(a->State) - StateRank(b->State); break;
    case colPath: result = CompareText(PathText(*a), PathText(*b)); break;
    case colInstalled: result = CompareVersions(a->InstalledVersion, b->InstalledVersion); break;
    case colSaved: result = CompareVersions(a->SavedVersion, b->SavedVersion); break;
    case colFound: result = CompareText(FindingText(*a), FindingText(*b)); break;
    default: break;
    }
    // Equal rows in hotfix and file order, whatever the platform's sort does with them.
    if (result == 0)
        result = CompareText(a->HotfixID, b->HotfixID);
    if (result == 0)
        result = CompareText(a->FileName, b->FileName);
    return result;
}
