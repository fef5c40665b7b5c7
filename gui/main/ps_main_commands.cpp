// The main window's commands on the selected hotfix and on the whole list:
// details windows, uninstall, the Knowledge Base article, Save As and the
// settings.
#include "ps_main.h"

#include <algorithm>
#include <exception>

#include "CommandFormat.h"
#include "DateTimePatterns.h"
#include "FormHelpers.h"
#include "ListSaveAs.h"
#include "Prompts.h"
#include "UserOpts.h"
#include "Win32pas.h"
#include "ZStrFuncs.h"
#include "components/ExtListView.h"
#include "components/UrlLabel.h"
#include "ps_common.h"
#include "ps_details.h"
#include "ps_mainres_res.h"
#include "ps_verify.h"
#include "ps_opts.h"

// The computer the rows came from, as a title names it.
std::string TfrmMain::ListComputerName() const
{
    return FListComputer.empty() ? "\\\\" + GetLocalComputerName() : FListComputer;
}

// ---------------------------------------------------------------------------
// View details

void TfrmMain::mnuDetailsClick(bool servicePack)
{
    if (!FControlsEnabled)
        return;
    if (servicePack) {
        const std::string caption =
            FServicePack != 0
                ? FormatResString(IDS_SERVICEPACKNUMBER, {std::to_string(FServicePack)})
                : LoadResString(IDS_SERVICEPACK);
        OpenDetailWindow("", "", caption);
        return;
    }
    const int row = listMain->SelectedIndex();
    const THotfix* hotfix = SelectedHotfix();
    if (!hotfix || !hotfix->HasUninstallDir)
        return;
    // The description as read: the window shows a missing one in the
    // unknown-value text of the moment.
    OpenDetailWindow(listMain->ItemCaption(row), hotfix->Description, "");
}

// The window that shows the hotfix (an empty identifier: the service pack)
// of the rows' computer, if one is open.
TfrmDetails* TfrmMain::FindDetailWindow(const std::string& hotfixID) const
{
    for (TfrmDetails* form : FDetailWindows)
        if (form && form->HotfixID == hotfixID && form->ComputerName == FListComputer)
            return form;
    return nullptr;
}

// Brings the window that already shows the hotfix or the service pack to the
// front, else opens one. An empty identifier means the service pack, with
// ServicePackCaption as its window's caption.
void TfrmMain::OpenDetailWindow(const std::string& hotfixID, const std::string& description,
                                const std::string& servicePackCaption)
{
    if (TfrmDetails* open = FindDetailWindow(hotfixID)) {
        if (IsIconic(open->Handle()))
            ShowWindow(open->Handle(), SW_RESTORE);
        SetForegroundWindow(open->Handle());
        return;
    }
    FDetailForms.push_back(std::make_unique<TfrmDetails>(
        FHandle, *FOptions, [this](bool enabled) { EnableControls(enabled); }));
    TfrmDetails& form = *FDetailForms.back();
    form.OnDestroyed = [this](TfrmDetails& destroyed) { DetailWindowDestroyed(destroyed); };
    // With every slot taken the window opens all the same, unrecorded.
    const auto slot = std::find(FDetailWindows.begin(), FDetailWindows.end(), nullptr);
    if (slot != FDetailWindows.end())
        *slot = &form;
    if (hotfixID.empty()) {
        form.SetServicePackLayout(servicePackCaption);
    } else {
        form.HotfixID = hotfixID;
        form.Description = description;
    }
    form.ComputerName = FListComputer;
    if (FListTimeZone) {
        const TTimeZoneRule zone = *FListTimeZone;
        form.TargetTime = [zone](const FILETIME& time) {
            return UtcFileTimeToZoneDateTime(
                (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime, zone);
        };
    }
    // The scan runs now; the window may be closed, and the object freed,
    // before Show returns.
    form.Show();
}

// A details window's last act: its slot is emptied and the object freed.
void TfrmMain::DetailWindowDestroyed(TfrmDetails& form)
{
    std::replace(FDetailWindows.begin(), FDetailWindows.end(), &form,
                 static_cast<TfrmDetails*>(nullptr));
    const auto owned =
        std::find_if(FDetailForms.begin(), FDetailForms.end(),
                     [&](const auto& candidate) { return candidate.get() == &form; });
    if (owned != FDetailForms.end())
        FDetailForms.erase(owned);
}

void TfrmMain::NotifyDetailWindows()
{
    for (TfrmDetails* form : FDetailWindows)
        if (form && form->Handle())
            PostMessageA(form->Handle(), WM_OPTIONSCHANGED, 0, 0);
    for (TfrmVerify* form : VerifyWindows())
        if (form->Handle())
            PostMessageA(form->Handle(), WM_OPTIONSCHANGED, 0, 0);
}

std::vector<TfrmDetails*> TfrmMain::DetailWindows() const
{
    std::vector<TfrmDetails*> open;
    for (TfrmDetails* form : FDetailWindows)
        if (form)
            open.push_back(form);
    return open;
}

// ---------------------------------------------------------------------------
// Uninstall

void TfrmMain::mnuUninstallClick()
{
    const int row = listMain->SelectedIndex();
    const THotfix* hotfix = SelectedHotfix();
    // The uninstall program runs here: never for rows of another computer.
    if (!FControlsEnabled || !hotfix || !hotfix->HasUninstallDir || !FComputer.empty() ||
        !FListComputer.empty())
        return;
    const std::string id = listMain->ItemCaption(row);
    if (Prompts().MessageBox(FHandle,
                             FormatResString(IDS_UNINSTALLQUESTION,
                                             {id, listMain->SubItemText(row, 0)}),
                             LoadResString(IDS_UNINSTALLCAPTION),
                             MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const std::string program =
        AddBackslash(GetSystemDir(), AnsiLeadByte) + LoadResString(IDS_UNINSTALLPROGRAM);
    const std::string parameters =
        FormatResString(IDS_UNINSTALLPARAMETERS, {GetUninstallDir("", id)});
    // The uninstall runs on its own; the user refreshes the list afterwards.
    // A shell that could not start it says so with a result of 32 or below.
    if (Prompts().ShellOpen(FHandle, program, parameters, SW_SHOWNORMAL) <= 32)
        Prompts().MessageBox(FHandle, FormatResString(IDS_UNINSTALLFAILED, {program}),
                             LoadResString(IDS_UNINSTALLCAPTION), MB_OK | MB_ICONWARNING);
}

// ---------------------------------------------------------------------------
// Knowledge Base article

void TfrmMain::mnuOpenKBClick()
{
    const int row = listMain->SelectedIndex();
    if (!FControlsEnabled || row < 0)
        return;
    const std::string id = listMain->ItemCaption(row);
    if (!IsArticleID(id))
        return;
    // Q147222 gives 147, 2 and 22. A template that does not fit raises the
    // formatting error, and nothing is started.
    const std::string command =
        FormatCommand(FOptions->OpenKBCommand, {id.substr(1, 3), id.substr(4, 1), id.substr(5, 2)});
    // The shell took the command only with a result above 32 (32 itself
    // means that a DLL was missing).
    if (Prompts().ShellOpen(FHandle, command, {}, SW_SHOW) <= 32)
        Prompts().MessageBox(FHandle, LoadResString(IDS_OPENKBFAILED),
                             LoadResString(IDS_OPENKBCAPTION), MB_OK | MB_ICONWARNING);
}

// ---------------------------------------------------------------------------
// Save As

void TfrmMain::mnuSaveAsClick()
{
    if (!FControlsEnabled || listMain->ItemCount() == 0)
        return;
    TListSaveRequest request;
    request.Computer = ListComputerName();
    request.Summary = StatusSummary();
    request.Target = FListComputer;
    SaveListAs(FHandle, *FOptions, *listMain, request);
}

// Ctrl+C in the list: the selected row as a line of the text export,
// separated by tabs whatever the setting, for pasting into other programs.
void TfrmMain::CopySelectedRow()
{
    const int row = listMain->SelectedIndex();
    if (row < 0)
        return;
    TStringTextWriter line;
    WriteTextLayout(line, CollectExportTable(*listMain, row), 0);
    CopyTextToClipboard(FHandle, line.Text());
}

// ---------------------------------------------------------------------------
// Settings

void TfrmMain::mnuOptionsClick()
{
    if (!FControlsEnabled || !FfrmOptions)
        return;
    FfrmOptions->ReadOptions(*FOptions);
    if (FfrmOptions->ShowModal() == IDCANCEL)
        return;
    FfrmOptions->WriteOptions(*FOptions);
    // The texts follow the new settings also when they cannot be saved; the
    // save's error comes afterwards.
    std::exception_ptr saveError;
    try {
        FOptions->Save();
    } catch (...) {
        saveError = std::current_exception();
    }
    UpdateListTexts();
    NotifyDetailWindows();
    if (saveError)
        std::rethrow_exception(saveError);
}
