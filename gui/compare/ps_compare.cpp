#include "ps_compare.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "CompareReading.h"
#include "FormHelpers.h"
#include "ListSaveAs.h"
#include "LocaleInfo.h"
#include "Prompts.h"
#include "ResString.h"
#include "UserOpts.h"
#include "Win32pas.h"
#include "OfflineSystem.h"
#include "TargetAccessWin.h"
#include "TimeZoneRule.h"
#include "WorkerPool.h"
#include "components/ExtListView.h"
#include "ps_comparelist.h"
#include "ps_compare_res.h"
#include "ps_details.h"
#include "ps_dialogs_res.h"
#include "ps_progress.h"

namespace {

const char* const kListRegistryKey = "Software\\Brightwater\\Patchscope\\Compare";
constexpr int kSummaryHeight = 24;
constexpr UINT_PTR kCancelTimer = 1;
enum TCompareColumn { colHotfix, colDescription, colMissingOn };

std::vector<TCompareTarget> TargetsOfLines(const std::vector<std::string>& lines)
{
    std::vector<TCompareTarget> targets;
    for (const std::string& line : lines)
        AddTarget(targets, TargetOfText(line), false);
    return targets;
}

}  // namespace

// A worker's result on its way to the window.
struct TfrmCompare::TPosted {
    unsigned Generation;
    std::size_t Index;
    TTargetResult Result;
};

TfrmCompare::TfrmCompare(HWND owner, TUserOptions& options, const std::string& currentTarget)
    : FOptions(options), FLines(LoadCompareTargets())
{
    if (FLines.empty())
        FLines.push_back(TextOfTarget(TargetOfText(currentTarget)));
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    TFrameParams params;
    params.ClassName = "PatchscopeCompare";
    params.Caption = FormatResString(IDS_COMPARECAPTION, {"0"});
    params.Owner = owner;
    params.Left = 60;
    params.Top = 60;
    params.Width = 900;
    params.Height = 450;
    params.Menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_COMPAREMENU));
    params.Icon = LoadIconA(instance, PS_MAINICON);
    CreateFrame(params);
    SetAccelerators(LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_COMPAREACCEL)));
    for (int id : {IDM_MNUCOMPARETARGETS, IDM_MNUCOMPAREBASELINE, IDM_MNUCOMPARESAVEAS,
                   IDM_MNUCOMPARECLOSE, IDM_MNUCOMPAREVERIFY, IDM_MNUCOMPAREREFRESH})
        SetMenuHint(id, LoadResString(static_cast<unsigned>(id)));
    FListForm = std::make_unique<TfrmCompareList>(FHandle);
}

TfrmCompare::~TfrmCompare()
{
    OnDestroyed = nullptr;
    if (FHandle)
        DestroyWindow(FHandle);
    StopPools();
}

void TfrmCompare::FormCreate()
{
    lblSummary = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 8,
                                 6, 600, 14, FHandle,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LBLCOMPARESUMMARY)),
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(lblSummary, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
    CreateList();
}

// A list of its own for each table: its columns are the targets of the reading.
void TfrmCompare::CreateList()
{
    listCompare = std::make_unique<TExtListView>();
    for (unsigned id : {IDS_COLCOMPAREHOTFIX, IDS_COLCOMPAREDESCRIPTION, IDS_COLCOMPAREMISSING})
        listCompare->AddColumn(LoadResString(id));
    if (FTable) {
        if (FTable->HasBaseline)
            listCompare->AddColumn(LoadResString(IDS_COLCOMPAREREQUIRED));
        for (const std::string& name : FTable->TargetNames)
            listCompare->AddColumn(name);
    }
    listCompare->OnDblClick = [this](TCustomEnhListView&) { listCompareDblClick(); };
    listCompare->SetAutoColumnSort(acsSortToggle);
    listCompare->SetShowSortArrows(true);
    listCompare->SetExtendedStyles({lvxHeaderDragDrop, lvxFullRowSelect});
    listCompare->SaveSettings().AutoSave = true;
    listCompare->SaveSettings().RegistryKey = kListRegistryKey;
    listCompare->OnSortItems = [this](TCustomEnhListView&, const TListItem& item1,
                                      const TListItem& item2, int sortColumn, int& result) {
        result = listCompareSortItems(item1, item2, sortColumn);
    };
    const RECT bounds{0, kSummaryHeight, 100, kSummaryHeight + 100};
    if (!listCompare->Create(FHandle, IDC_LISTCOMPARE, bounds))
        throw std::runtime_error("Cannot create the comparison list");
    FormResize();
}

void TfrmCompare::FormResize()
{
    if (!listCompare || !listCompare->Handle())
        return;
    const SIZE client = ClientSize(FHandle);
    MoveWindow(lblSummary, 8, 6, std::max<int>(client.cx - 16, 0), 14, TRUE);
    MoveWindow(listCompare->Handle(), 0, kSummaryHeight, client.cx,
               std::max<int>(client.cy - kSummaryHeight, 0), TRUE);
}

void TfrmCompare::FormShow()
{
    if (std::exchange(FShownOnce, true))
        return;
    StartReading();
}

LRESULT TfrmCompare::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMPARERESULT:
        ResultArrived(std::unique_ptr<TPosted>(reinterpret_cast<TPosted*>(lParam)));
        return 0;
    case WM_TIMER:
        if (wParam == kCancelTimer) {
            CheckCancel();
            return 0;
        }
        break;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(FormFont());
    case WM_SETFOCUS:
        if (listCompare && listCompare->Handle())
            SetFocus(listCompare->Handle());
        return 0;
    default:
        break;
    }
    return TFrameWindow::HandleMessage(message, wParam, lParam);
}

bool TfrmCompare::PreTranslateMessage(MSG& message)
{
    if (message.message == WM_CHAR && message.wParam == VK_ESCAPE &&
        (message.hwnd == FHandle || IsChild(FHandle, message.hwnd))) {
        PostMessageA(FHandle, WM_CLOSE, 0, 0);
        return true;
    }
    return TFrameWindow::PreTranslateMessage(message);
}

bool TfrmCompare::Command(int id, int code, HWND control)
{
    switch (id) {
    case IDM_MNUCOMPARETARGETS: mnuTargetsClick(); return true;
    case IDM_MNUCOMPAREBASELINE: mnuBaselineClick(); return true;
    case IDM_MNUCOMPARESAVEAS: mnuSaveAsClick(); return true;
    case IDM_MNUCOMPARECLOSE: PostMessageA(FHandle, WM_CLOSE, 0, 0); return true;
    case IDM_MNUCOMPAREVERIFY: SetVerify(!FVerify); return true;
    case IDM_MNUCOMPAREREFRESH: StartReading(); return true;
    default: return TFrameWindow::Command(id, code, control);
    }
}

// ---------------------------------------------------------------------------
// The reading

void TfrmCompare::Compare(const std::vector<std::string>& lines)
{
    FLines = lines;
    SaveCompareTargets(FLines);
    StartReading();
}

void TfrmCompare::SetBaseline(const std::vector<std::string>& ids)
{
    FBaseline = ids;
    StartReading();
}

void TfrmCompare::SetVerify(bool verify)
{
    FVerify = verify;
    CheckMenuItem(GetMenu(FHandle), IDM_MNUCOMPAREVERIFY, verify ? MF_CHECKED : MF_UNCHECKED);
    StartReading();
}

void TfrmCompare::StartReading()
{
    if (FPool) {
        FPool->Cancel();
        FFinishing.push_back(std::move(FPool));
    }
    ++FGeneration;
    FTargets = TargetsOfLines(FLines);
    FResults.assign(FTargets.size(), TTargetResult());
    FArrived = 0;
    FIncomplete = false;
    SetCaption(FormatResString(IDS_COMPARECAPTION, {std::to_string(FTargets.size())}));
    SetWindowTextString(lblSummary, LoadResString(IDS_COMPAREREADING));
    if (FTargets.empty()) {
        EndReading(false);
        return;
    }
    // The locale is read once, here, before any worker could ask for it.
    LocaleFormatSettings();
    FProgress = std::make_unique<TfrmProgress>(FHandle);
    FProgress->SetMaximum(static_cast<int>(FTargets.size()));
    FProgress->SetFileName(FormatResString(
        IDS_COMPAREPROGRESS, {"0", std::to_string(FTargets.size()), TextOfTarget(FTargets[0])}));
    FProgress->Show();
    SetTimer(FHandle, kCancelTimer, 100, nullptr);
    const HWND window = FHandle;
    const unsigned generation = FGeneration;
    const bool verify = FVerify;
    const std::vector<TCompareTarget> targets = FTargets;
    FPool = std::make_unique<TWorkerPool>(
        targets.size(), static_cast<unsigned>(FOptions.CompareThreads),
        [window, generation, verify, targets](std::size_t index) {
            auto posted = std::make_unique<TPosted>(
                TPosted{generation, index, ReadCompareTargetWin(targets[index], verify)});
            const bool read = posted->Result.Read;
            // A window gone takes no message: the result stays here and is freed.
            if (PostMessageA(window, WM_COMPARERESULT, 0, reinterpret_cast<LPARAM>(posted.get())))
                posted.release();
            return read;
        });
}

void TfrmCompare::ResultArrived(std::unique_ptr<TPosted> posted)
{
    if (!posted || posted->Generation != FGeneration || !FPool || posted->Index >= FResults.size())
        return;   // of a reading cancelled or replaced
    FResults[posted->Index] = std::move(posted->Result);
    ++FArrived;
    if (FProgress) {
        FProgress->StepProgress();
        const std::size_t next = std::min(FArrived, FTargets.size() - 1);
        FProgress->SetFileName(FormatResString(
            IDS_COMPAREPROGRESS, {std::to_string(FArrived), std::to_string(FTargets.size()),
                                  TextOfTarget(FTargets[next])}));
    }
    if (FArrived == FTargets.size())
        EndReading(false);
}

void TfrmCompare::CheckCancel()
{
    if (FProgress && FProgress->Cancelled())
        EndReading(true);
}

// The table of what arrived; a cancelled reading's pool finishes its last
// targets in the background and their results are dropped.
void TfrmCompare::EndReading(bool cancelled)
{
    KillTimer(FHandle, kCancelTimer);
    FProgress.reset();
    if (FPool) {
        FPool->Cancel();
        FFinishing.push_back(std::move(FPool));
    }
    std::erase_if(FFinishing, [](const std::unique_ptr<TWorkerPool>& pool) { return pool->Finished(); });
    FIncomplete = cancelled;
    std::vector<std::string> names;
    for (const TCompareTarget& target : FTargets)
        names.push_back(target.Kind == TTargetKind::Local ? GetLocalComputerName() : target.Name);
    TComparisonOptions options;
    options.Verify = FVerify;
    options.HasBaseline = !FBaseline.empty();
    options.Baseline = FBaseline;
    options.Settings.TimeFormat = FOptions.ListTimeFormat;
    options.Settings.DefaultText = FOptions.DefaultText;
    FTable = BuildComparison(names, FResults, options, LocaleFormatSettings());
    FillList();
}

void TfrmCompare::StopPools()
{
    if (FPool)
        FPool->Cancel();
    FPool.reset();
    FFinishing.clear();   // each waits for its workers
    // Results posted before the window went are freed here.
    MSG message;
    while (FHandle && PeekMessageA(&message, FHandle, WM_COMPARERESULT, WM_COMPARERESULT, PM_REMOVE))
        delete reinterpret_cast<TPosted*>(message.lParam);
}

void TfrmCompare::FormDestroy()
{
    KillTimer(FHandle, kCancelTimer);
    FProgress.reset();
    StopPools();
    if (listCompare)
        listCompare->DestroyHandle();
}

void TfrmCompare::WindowDestroyed()
{
    if (OnDestroyed)
        OnDestroyed(*this);
}

// ---------------------------------------------------------------------------
// The list

void TfrmCompare::FillList()
{
    if (listCompare)
        listCompare->DestroyHandle();
    CreateList();
    listCompare->BeginUpdate();
    for (const TCompareRow& row : FTable->Rows) {
        const int item = listCompare->AddItem(row.IsServicePack ? "Service pack" : row.ID,
                                              const_cast<TCompareRow*>(&row));
        if (item < 0)
            continue;
        int sub = 0;
        listCompare->SetSubItem(item, sub++, row.Description);
        listCompare->SetSubItem(item, sub++, row.IsServicePack ? "" : std::to_string(row.MissingOn));
        if (FTable->HasBaseline)
            listCompare->SetSubItem(item, sub++, row.Required ? "Yes" : "");
        for (const std::string& cell : row.Cells)
            listCompare->SetSubItem(item, sub++, cell);
    }
    listCompare->EndUpdate();
    // Rows missing somewhere first.
    listCompare->SortBy(colMissingOn, false);
    SetWindowTextString(lblSummary, Summary());
}

std::string TfrmCompare::Summary() const
{
    if (!FTable)
        return std::string();
    const std::string text = FormatResString(
        IDS_COMPARESUMMARY,
        {std::to_string(FTable->TargetNames.size()), std::to_string(FTable->NotRead()),
         std::to_string(FTable->Rows.size() - 1), std::to_string(FTable->MissingSomewhere())});
    // Cancelled, or a verification that could not look everywhere.
    return FIncomplete || FTable->Incomplete ? text + LoadResString(IDS_COMPAREINCOMPLETE) : text;
}

int TfrmCompare::listCompareSortItems(const TListItem& item1, const TListItem& item2,
                                      int sortColumn) const
{
    const auto* a = static_cast<const TCompareRow*>(item1.Data);
    const auto* b = static_cast<const TCompareRow*>(item2.Data);
    if (!a || !b)
        return 0;
    // The service pack stays on top whichever way the list is sorted.
    if (a->IsServicePack != b->IsServicePack)
        return (a->IsServicePack ? -1 : 1) * (listCompare->SortAscending() ? 1 : -1);
    // The list hands the column less one (its caption column is -1).
    const int sorted = sortColumn + 1;
    const int firstCell = colMissingOn + 1 + (FTable && FTable->HasBaseline ? 1 : 0);
    int result = 0;
    if (sorted == colHotfix)
        result = 0;   // the identifier order below
    else if (sorted == colDescription)
        result = CompareText(a->Description, b->Description);
    else if (sorted == colMissingOn)
        result = a->MissingOn - b->MissingOn;
    else if (sorted < firstCell)
        result = static_cast<int>(a->Required) - static_cast<int>(b->Required);
    else if (static_cast<std::size_t>(sorted - firstCell) < a->Cells.size())
        result = CompareText(a->Cells[static_cast<std::size_t>(sorted - firstCell)],
                             b->Cells[static_cast<std::size_t>(sorted - firstCell)]);
    // Equal rows in identifier order in either direction (the list turns the
    // result round when sorting downwards).
    if (result == 0)
        result = (IdentifierLess(a->ID, b->ID) ? -1 : IdentifierLess(b->ID, a->ID) ? 1 : 0) *
                 (listCompare->SortAscending() || sorted == colHotfix ? 1 : -1);
    return result;
}

// ---------------------------------------------------------------------------
// Commands

void TfrmCompare::mnuTargetsClick()
{
    FListForm->Lines = FLines;
    FListForm->Directory = FOptions.SaveAsDirectory;
    if (FListForm->ShowModal() == IDOK)
        Compare(FListForm->Lines);
}

void TfrmCompare::mnuBaselineClick()
{
    TSaveFileRequest request;
    request.Title = LoadResString(IDS_COMPAREBASELINETITLE);
    request.Filter = LoadResString(IDS_COMPARELISTFILTER);
    request.DefaultExt = "txt";
    request.InitialDir = FOptions.SaveAsDirectory;
    request.Options = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (!Prompts().SaveFile(FHandle, request))
        return;
    std::string text;
    if (!ReadListFile(request.FileName, text)) {
        Prompts().MessageBox(FHandle, FormatResString(IDS_COMPAREFILEERROR, {request.FileName}),
                             request.Title, MB_OK | MB_ICONERROR);
        return;
    }
    SetBaseline(ReadListLines(text));
}

void TfrmCompare::mnuSaveAsClick()
{
    if (Reading() || !FTable)
        return;
    TListSaveRequest request;
    for (const std::string& name : FTable->TargetNames)
        request.Computer += (request.Computer.empty() ? "" : ", ") + name;
    request.Summary = Summary();
    request.DefaultFileName = "Comparison";
    // A cell left empty says that a computer lacks the hotfix: on paper too.
    request.MarkEmptyCells = true;
    SaveListAs(FHandle, FOptions, *listCompare, request);
}

// A double-click on a target's cell opens the details of that hotfix on
// that target; the service pack's row those of its uninstall directory.
void TfrmCompare::listCompareDblClick()
{
    if (!FTable || !listCompare->Handle())
        return;
    LVHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(listCompare->Handle(), &hit.pt);
    if (SendMessageA(listCompare->Handle(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0)
        return;
    const int firstCell = colMissingOn + 1 + (FTable->HasBaseline ? 1 : 0);
    const auto* row = static_cast<const TCompareRow*>(listCompare->ItemData(hit.iItem));
    if (!row || hit.iSubItem < firstCell)
        return;
    const auto target = static_cast<std::size_t>(hit.iSubItem - firstCell);
    if (target < FTargets.size() && target < row->States.size() &&
        row->States[target] != TCellState::Empty && row->States[target] != TCellState::NotRead)
        OpenDetails(*row, target);
}

void TfrmCompare::OpenDetails(const TCompareRow& row, std::size_t target)
{
    FDetailForms.push_back(std::make_unique<TfrmDetails>(FHandle, FOptions, nullptr));
    TfrmDetails& form = *FDetailForms.back();
    form.OnDestroyed = [this](TfrmDetails& destroyed) {
        std::erase_if(FDetailForms, [&](const auto& owned) { return owned.get() == &destroyed; });
    };
    if (row.IsServicePack)
        form.SetServicePackLayout(row.Cells[target]);
    else {
        form.HotfixID = row.ID;
        form.Description = row.Description;
    }
    form.ComputerName = FTargets[target].Name;
    // An offline system's file times in its own zone, as its own list shows them.
    if (FTargets[target].Kind == TTargetKind::Offline) {
        try {
            if (const auto zone = OpenOfflineSystem(FTargets[target].Name)->TimeZone())
                form.TargetTime = [rule = *zone](const FILETIME& time) {
                    return UtcFileTimeToZoneDateTime(
                        (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime, rule);
                };
        } catch (const std::exception&) {
            // the details then show the viewer's time, as for a system without a zone
        }
    }
    // The scan runs now; the window may be closed, and the object freed,
    // before Show returns.
    form.Show();
}

std::vector<TfrmDetails*> TfrmCompare::DetailWindows() const
{
    std::vector<TfrmDetails*> open;
    for (const auto& form : FDetailForms)
        open.push_back(form.get());
    return open;
}
