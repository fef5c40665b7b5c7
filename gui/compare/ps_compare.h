#pragma once
// The comparison window: several computers and offline systems read at once
// by a pool of worker threads, shown as one sortable list with a row per
// hotfix and a column per target, a status line, the verification states,
// a baseline, Save As in the lists' layouts.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Comparison.h"
#include "TargetList.h"
#include "Window.h"

class TExtListView;
class TfrmCompareList;
class TfrmDetails;
class TfrmProgress;
class TUserOptions;
class TWorkerPool;
struct TListItem;

// One target's result, posted by a worker to the window (which owns it then).
inline constexpr UINT WM_COMPARERESULT = WM_USER + 0x229;

class TfrmCompare : public TFrameWindow {
public:
    // Created hidden; CurrentTarget (the main window's) starts a list when
    // the settings hold none.
    TfrmCompare(HWND owner, TUserOptions& options, const std::string& currentTarget);
    ~TfrmCompare() override;

    // Called as the window's last act; the owner frees the object here.
    std::function<void(TfrmCompare&)> OnDestroyed;

    // The list file's lines of the targets; Compare reads them anew.
    const std::vector<std::string>& Lines() const { return FLines; }
    void Compare(const std::vector<std::string>& lines);
    // The hotfixes every target must have (empty: no baseline), and whether
    // the cells show verification states; both read the targets anew.
    void SetBaseline(const std::vector<std::string>& ids);
    void SetVerify(bool verify);

    bool Reading() const { return FPool != nullptr; }
    // Whether the last reading was cancelled before its end.
    bool Incomplete() const { return FIncomplete; }
    const std::optional<TComparison>& Table() const { return FTable; }
    std::string Summary() const;
    TExtListView& List() { return *listCompare; }
    TfrmCompareList& ListForm() { return *FListForm; }
    TfrmProgress* Progress() { return FProgress.get(); }
    std::vector<TfrmDetails*> DetailWindows() const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG& message) override;
    bool Command(int id, int code, HWND control) override;
    void FormCreate() override;
    void FormShow() override;
    void FormResize() override;
    void FormDestroy() override;
    void WindowDestroyed() override;

private:
    struct TPosted;

    void StartReading();
    void ResultArrived(std::unique_ptr<TPosted> posted);
    void CheckCancel();
    void EndReading(bool cancelled);
    void StopPools();
    void FillList();
    void CreateList();
    int listCompareSortItems(const TListItem& item1, const TListItem& item2, int sortColumn) const;
    void mnuTargetsClick();
    void mnuBaselineClick();
    void mnuSaveAsClick();
    void listCompareDblClick();
    void OpenDetails(const TCompareRow& row, std::size_t target);

    TUserOptions& FOptions;
    std::vector<std::string> FLines;
    std::vector<std::string> FBaseline;
    bool FVerify = false;
    bool FShownOnce = false;

    // The reading: its targets, the results so far by index, its pool.
    std::vector<TCompareTarget> FTargets;
    std::vector<TTargetResult> FResults;
    std::size_t FArrived = 0;
    unsigned FGeneration = 0;
    bool FIncomplete = false;
    std::unique_ptr<TWorkerPool> FPool;
    // Cancelled pools whose last targets are still in flight.
    std::vector<std::unique_ptr<TWorkerPool>> FFinishing;
    std::unique_ptr<TfrmProgress> FProgress;
    std::optional<TComparison> FTable;

    std::unique_ptr<TfrmCompareList> FListForm;
    std::vector<std::unique_ptr<TfrmDetails>> FDetailForms;
    HWND lblSummary = nullptr;
    std::unique_ptr<TExtListView> listCompare;
};
