#pragma once
// The main window: the hotfix list of one computer with its toolbar, computer
// box, menus and status bar; loading the list; the computer history.
#include <windows.h>

#include <array>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "HotfixReader.h"
#include "LiveTarget.h"
#include "ResString.h"
#include "TimeZoneRule.h"
#include "Window.h"

class TExtListView;
struct TListItem;
class TUserOptions;
class TfrmAbout;
class TfrmDetails;
class TfrmVerify;
class TfrmCompare;
class TfrmQuerySP4;
class TfrmOptions;

class TfrmMain : public TFrameWindow {
public:
    // Creates the window hidden (FormCreate runs); Parameters are the
    // program's command-line arguments after its name.
    explicit TfrmMain(std::vector<std::string> parameters = {});
    // Destroys the window, with the closing steps, while the object is whole.
    ~TfrmMain() override;

    // The forms the program creates after the main window and that the main
    // window reuses; they outlive it.
    void SetForms(TfrmAbout* about, TfrmQuerySP4* querySP4, TfrmOptions* options = nullptr);

    // Loads the hotfixes of Computer ("\\NAME", "NAME" in any case, the path
    // of an offline Windows directory, or empty for the local computer) into
    // the list.
    void LoadHotfixList(const std::string& computer);
    void UpdateCaption();
    void UpdateListTexts();
    void SetStatusText(const std::string& text);
    // What SetStatusText put into the status bar last.
    const std::string& StatusSummary() const { return FStatusSummary; }

    void UpdateCommands();
    // Posts WM_OPTIONSCHANGED to every open details and verification window.
    void NotifyDetailWindows();
    // The details windows open now, in the order of their slots.
    std::vector<TfrmDetails*> DetailWindows() const;
    std::vector<TfrmVerify*> VerifyWindows() const;
    static bool IsArticleID(const std::string& id);
    int LoadToolIcon(const char* name);
    void AddToHistory(const std::string& computer);
    void EnableControls(bool enabled);

    const std::string& Computer() const { return FComputer; }
    int ServicePack() const { return FServicePack; }
    bool SP4Asked() const { return FSP4Asked; }
    TUserOptions& Options() { return *FOptions; }
    TExtListView& List() { return *listMain; }
    HWND ListHandle() const;
    HWND StatusBar() const { return sbarMain; }
    HWND Toolbar() const { return tlbMain; }
    HWND ComputerBox() const { return cmbComputer; }
    HMENU PopupMenu() const;

    std::string HintAt(HWND control, POINT point) const override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool Command(int id, int code, HWND control) override;
    void FormCreate() override;
    void FormShow() override;
    void FormResize() override;
    void FormDestroy() override;

private:
    class TListFiller;
    class TComputerEdit;

    // The parts of LoadHotfixList, in their order.
    bool ConnectTo(const std::string& computer, TRegIniFileEx& registry);
    void ReadAfterPumping(const std::function<void()>& work);
    std::string ReadServicePack(TRegistrySource& registry);
    void LoadOfflineList(THotfixReadOptions options);
    bool FillList(THotfixReader& reader, const TMachineSettings& settings);
    void AskAboutSP4(TRegIniFileEx& registry, bool preSP4Found, const std::string& preSP4List);
    void ShowSummary(const std::string& servicePackText);
    void ReturnToShownTarget(int servicePack);
    bool ShowsLocalComputer() const { return FTargetShown && FComputer.empty(); }

    // The Service Pack 4 choices.
    void IgnorePreSP4Hotfixes(TRegIniFileEx& registry, const std::string& preSP4List);
    void DeletePreSP4Hotfixes(TRegIniFileEx& registry, const std::string& preSP4List);
    bool ConfirmPreSP4Deletion(const TStringList& ids);
    bool DeleteUninstallDir(const std::string& id);
    void DeleteHotfixKey(TRegIniFileEx& registry, const std::string& id);
    void WriteMachineFlag(TRegIniFileEx& registry, const char* name);

    // Frame pieces.
    void CreateToolbar();
    void CreateComputerBox();
    void CreateList();
    void CreateStatusBar();
    void ApplySettings();
    void ShowLoadErrors();
    void StoreBounds();
    void StoreDetailPlacements();
    void StoreSettingsAtSessionEnd();
    void ResortList();
    THotfix* SelectedHotfix() const;
    void SetCommandEnabled(int menuId, int popupId, int buttonId, bool enabled);

    // Event handlers.
    void AppOnHint();
    void cmbComputerKeyPress(char key);
    void cmbComputerClick();
    void mnuViewComputerClick();
    void mnuViewOfflineClick();
    void mnuLocalComputerClick();
    void mnuRefreshClick();
    void mnuViewClick(HMENU viewMenu);
    void popupHotfixPopup();
    void listMainKeyPress(char key);
    bool FocusComputerBox();
    void listMainDblClick();
    int listMainSortItems(const TListItem& item1, const TListItem& item2, int sortColumn) const;
    void listMainDeletion(const TListItem& item);
    void listMainContextMenu(POINT screenPoint);
    void mnuViewToolbarClick();
    void mnuViewStatusbarClick();
    void mnuExitClick();
    void mnuAboutClick();
    // The commands that act on the selection or the list (ps_main_commands.cpp).
    void mnuDetailsClick(bool servicePack);
    void mnuUninstallClick();
    void mnuOpenKBClick();
    void mnuSaveAsClick();
    void mnuOptionsClick();
    // The verification window (ps_main_verify.cpp).
    void mnuVerifyClick();
    void VerifyWindowDestroyed(TfrmVerify& form);
    void mnuViewCompareClick();

    // Pieces of the commands.
    TfrmDetails* FindDetailWindow(const std::string& hotfixID) const;
    void OpenDetailWindow(const std::string& hotfixID, const std::string& description,
                          const std::string& servicePackCaption);
    void DetailWindowDestroyed(TfrmDetails& form);
    std::string ListComputerName() const;
    void CopySelectedRow();

    std::vector<std::string> FParameters;
    TfrmAbout* FAbout = nullptr;
    TfrmQuerySP4* FQuerySP4 = nullptr;
    TfrmOptions* FfrmOptions = nullptr;

    std::string FComputer;       // "\\NAME", an offline path, empty for the local computer
    int FServicePack = 0;
    bool FSP4Asked = false;
    std::unique_ptr<TUserOptions> FOptions;
    // The open details windows that the commands find and notify, and every
    // details window this window opened, which it owns until it closes.
    std::array<TfrmDetails*, 1024> FDetailWindows{};
    std::vector<std::unique_ptr<TfrmDetails>> FDetailForms;
    // The open verification windows, owned until they close.
    std::vector<std::unique_ptr<TfrmVerify>> FVerifyForms;
    std::vector<std::unique_ptr<TfrmCompare>> FCompareForms;
    // The computer whose hotfixes the rows show. After a failed connection
    // the local computer is current while the rows still show another one.
    std::string FListComputer;
    // The time zone of the rows' offline system, when it gave one.
    std::optional<TTimeZoneRule> FListTimeZone;
    std::string FStatusSummary;
    // Whether the rows show a target: false until a load reaches its list.
    bool FTargetShown = false;
    bool FListReplaced = false;   // the running load has cleared the list for its rows
    // The computer box's text when the shown target's load ended.
    std::string FShownBoxText;
    // The control that had the focus when the window was last deactivated.
    HWND FFocusedControl = nullptr;
    bool FShown = false;
    bool FControlsEnabled = true;   // false between EnableControls(false) and (true)
    bool FCloseAfterScan = false;   // closed while a details window scanned
    bool FLoading = false;          // LoadHotfixList runs (and lets messages through)
    bool FCloseAfterLoad = false;   // closed while it ran

    // Child windows are destroyed with the main window; the objects that
    // wrap them, the menus and the image list are owned here.
    HWND tlbMain = nullptr;
    HWND cmbComputer = nullptr;
    HWND sbarMain = nullptr;
    std::unique_ptr<TExtListView> listMain;
    std::unique_ptr<TComputerEdit> FComputerEdit;
    ImageListHandle imgMainList;
    MenuHandle popupHotfix;
};
