#pragma once
// The verification window: for the computer the main list came from, one row
// per saved file of every listed hotfix and of the service pack, with its
// state (in effect, undone, missing), and the uninstall directories that no
// registry record holds; a summary line, Save As in the list's layouts.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "HotfixVerify.h"
#include "ScanWindow.h"

class TExtListView;
class TUserOptions;
struct TListItem;

class TfrmVerify : public TScanWindow<TfrmVerify> {
public:
    // Created hidden. EnableControls is the main window's (disabled during the scan).
    TfrmVerify(HWND owner, TUserOptions& options, std::function<void(bool)> enableControls);
    ~TfrmVerify() override;

    std::string ComputerName;   // "" for the local computer, else "\\NAME"; set before Show
    // Runs the scan (FormShow), then the window becomes visible, maximized
    // when it was closed so (see TScanWindow::Show).
    void Show();
    static bool AnyScanning();
    // Stores the window's placement in "Verify", as closing does.
    void StorePlacement();

    const TVerifyCounts& Counts() const { return FCounts; }
    // The summary line as shown.
    std::string Summary() const;
    TExtListView& FileList() { return *listVerify; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG& message) override;
    bool Command(int id, int code, HWND control) override;
    void FormCreate() override;
    void FormShow() override;
    void FormResize() override;

private:
    class TScan;

    void CreateFileList();
    void Scan();
    void AddRow(const TVerifiedFile& file);
    void AddFailure(const std::string& why);
    void UpdateDisplay();
    void SetRowTexts(int row, const TVerifiedFile& file);
    void WMOptionsChanged();
    std::string ComputerTitle() const;
    void mnuSaveAsClick();
    int listVerifySortItems(const TListItem& item1, const TListItem& item2, int sortColumn) const;

    TUserOptions& FOptions;
    std::function<void(bool)> FEnableControls;
    TVerifyCounts FCounts;
    bool FScanned = false;
    bool FIncomplete = false;
    bool FShowMaximized = false;   // from the stored placement
    std::string FFirstFailure;   // what could not be looked at, first of FFailureCount
    int FFailureCount = 0;

    HWND lblSummary = nullptr;
    std::unique_ptr<TExtListView> listVerify;
};
