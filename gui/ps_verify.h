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
#include "Window.h"

class TExtListView;
class TUserOptions;
struct TListItem;

class TfrmVerify : public TFrameWindow {
public:
    // Created hidden. EnableControls is the main window's (disabled during the scan).
    TfrmVerify(HWND owner, TUserOptions& options, std::function<void(bool)> enableControls);
    ~TfrmVerify() override;

    std::string ComputerName;   // "" for the local computer, else "\\NAME"; set before Show
    // Runs the scan (FormShow), then the window becomes visible. Closing the
    // window while it scans cancels the scan and closes the window once the
    // scan has ended; the window may be gone when Show returns.
    void Show();
    bool Scanning() const { return FScanning; }
    static bool AnyScanning();
    // The window's last act once it is destroyed; the owner frees the object
    // here and nowhere else. While Show runs the call waits for the scan's end.
    std::function<void(TfrmVerify&)> OnDestroyed;

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
    void WindowDestroyed() override;

private:
    class TScan;

    void CreateFileList();
    void Scan();
    void AddRow(const TVerifiedFile& file);
    void UpdateDisplay();
    void SetRowTexts(int row, const TVerifiedFile& file);
    std::string ComputerTitle() const;
    void mnuSaveAsClick();
    int listVerifySortItems(const TListItem& item1, const TListItem& item2, int sortColumn) const;
    void Close();

    TUserOptions& FOptions;
    std::function<void(bool)> FEnableControls;
    TVerifyCounts FCounts;
    bool FScanned = false;
    bool FScanning = false;
    bool FIncomplete = false;
    bool FInShow = false;
    bool FCloseRequested = false;
    bool FDestroyed = false;

    HWND lblSummary = nullptr;
    std::unique_ptr<TExtListView> listVerify;
};
