#pragma once
// The details window: every file that one hotfix, or the installed service
// pack, replaced, with time stamp, size, file version and description, read
// from the uninstall directory (versions through the directory listing
// cache), and a summary of count and total size.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ScanWindow.h"

// Posted by the main window to every open details window after the settings
// changed; both parameters 0.
constexpr UINT WM_OPTIONSCHANGED = WM_USER + 1;

class TExtListView;
class THotfixCache;
class TStringList;
class TSystemImageList;
class TUserOptions;
class TfrmProgress;
struct TListItem;
struct THotfixFile;

class TfrmDetails : public TScanWindow<TfrmDetails> {
public:
    // Created hidden; FormCreate restores the placement from "Details".
    // EnableControls is the main window's EnableControls (disable during the scan).
    TfrmDetails(HWND owner, TUserOptions& options, std::function<void(bool)> enableControls);
    ~TfrmDetails() override;

    std::string HotfixID, ComputerName, Description;   // set before Show
    // The target's local time of a file time, when it is not this computer's
    // (an offline system in its own zone); set before Show.
    std::function<double(const FILETIME&)> TargetTime;
    // The service-pack view: this caption, no hotfix header, the summary on top.
    void SetServicePackLayout(const std::string& caption);
    // Runs the scan (FormShow), then the window becomes visible, maximized
    // when it was stored so (see TScanWindow::Show).
    void Show();
    // Whether any details window of this program is scanning.
    static bool AnyScanning();

    // What the scan found.
    const std::string& UninstallDir() const { return FUninstallDir; }
    double DateApplied() const { return FDateApplied; }
    double HotfixDate() const { return FHotfixDate; }
    int FileCount() const { return FFileCount; }
    std::int64_t TotalSize() const { return FTotalSize; }
    // Version resources read by the scan (files not answered from the cache).
    int VersionResourcesRead() const { return FVersionResourcesRead; }
    TExtListView& FileList() { return *listFiles; }

    // Writes every displayed text from the data: rows, caption, header, summary.
    void UpdateDisplay();
    // Stores the window's normal bounds and whether it is maximized in
    // "Details", as closing does; raises ERegistryException when they cannot
    // be written.
    void StorePlacement();
    // Size in bytes, kB or MB as the settings ask, with the locale's separator.
    std::string FormatSize(std::int64_t size, bool withBytes) const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG& message) override;
    void FormCreate() override;
    void FormShow() override;
    void FormResize() override;

private:
    class TListing;
    struct TScan;

    // Form events.
    void FormClose();
    void FormKeyPress(char key);
    void WMOptionsChanged();
    int listFilesSortItems(const TListItem& item1, const TListItem& item2, int sortColumn) const;
    void listFilesDeletion(const TListItem& item);

    // Building the form.
    void CreateControls();
    HWND CreateLabel(int id, int left, int top, int width);
    HWND CreateReadOnlyEdit(int id, int left, int top, int width);
    void CreateFileList();
    void RestorePlacement();
    void CascadeFromOpenWindows(RECT& bounds) const;

    // The scan, in its order.
    void CountFiles();
    double TimeOf(const FILETIME& lastWrite) const;
    void ListFiles();
    void ScanFiles(TListing& listing, TScan& scan);
    void ListFile(const WIN32_FIND_DATAA& found, const std::string& name, TScan& scan);
    int FileIcon(const std::string& path, const std::string& extension, DWORD attributes,
                 TScan& scan) const;
    // The row owns the entry from here on.
    void AddFileRow(std::unique_ptr<THotfixFile> file, int image);
    void FinishScan(TListing& listing, TScan& scan, std::exception_ptr& failure);
    bool ScanStopped(const TScan& scan) const;

    TUserOptions& FOptions;
    std::function<void(bool)> FEnableControls;

    std::string FServicePackCaption;
    std::string FUninstallDir;
    double FDateApplied = 0;
    double FHotfixDate = 0;
    int FFileCount = 0;
    std::int64_t FTotalSize = 0;
    int FVersionResourcesRead = 0;

    int FPanelHeight = 118;        // the header above the file list
    bool FShowMaximized = false;   // from the stored placement
    bool FScanned = false;         // FormShow runs the scan once

    HWND lblDescription = nullptr, lblDate = nullptr, lblHotfixDate = nullptr;
    HWND lblSummary = nullptr, lblFiles = nullptr, lblSummary2 = nullptr;
    HWND edtDescription = nullptr, edtDate = nullptr, edtHotfixDate = nullptr;
    std::unique_ptr<TExtListView> listFiles;
    std::unique_ptr<TSystemImageList> imgSystemIcons;
};
