// The main window's commands on the selected hotfix and on the whole list:
// details windows, uninstall, the Knowledge Base article, Save As and the
// settings.
#include "ps_main.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "CommandFormat.h"
#include "DateTimePatterns.h"
#include "ExportLayout.h"
#include "FormHelpers.h"
#include "LocaleInfo.h"
#include "Prompts.h"
#include "TextStream.h"
#include "UserOpts.h"
#include "Win32pas.h"
#include "ZStrFuncs.h"
#include "components/ExtListView.h"
#include "ps_common.h"
#include "ps_details.h"
#include "ps_mainres_res.h"
#include "ps_opts.h"

namespace {

// The Save As filter's entries, in the order of the filter text: the format
// written and the default extension of each.
enum class TExportFormat { Text, Csv, Html };
struct TFilterEntry {
    TExportFormat Format;
    const char* Extension;
};
const TFilterEntry kSaveAsEntries[] = {{TExportFormat::Text, "txt"},
                                       {TExportFormat::Text, "txt"},
                                       {TExportFormat::Csv, "csv"},
                                       {TExportFormat::Html, "htm"}};

const TFilterEntry& SaveAsEntry(int filterIndex)
{
    const int count = static_cast<int>(std::size(kSaveAsEntries));
    return kSaveAsEntries[filterIndex >= 1 && filterIndex <= count ? filterIndex - 1 : 0];
}

std::string LowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The directory part of a file name, with its trailing backslash (or colon).
std::string FileDirectory(const std::string& fileName)
{
    const std::size_t end = fileName.find_last_of("\\/:");
    return end == std::string::npos ? std::string() : fileName.substr(0, end + 1);
}

// The file name with Extension added when its last part has none.
std::string WithExtension(const std::string& fileName, const std::string& extension)
{
    const std::size_t dot = fileName.find_last_of('.');
    const std::size_t separator = fileName.find_last_of("\\/:");
    if (dot != std::string::npos && (separator == std::string::npos || dot > separator))
        return fileName;
    return fileName + "." + extension;
}

}  // namespace

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
    OpenDetailWindow(listMain->ItemCaption(row), listMain->SubItemText(row, 0), "");
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
    const std::string program = AddBackslash(GetSystemDir()) + LoadResString(IDS_UNINSTALLPROGRAM);
    const std::string parameters =
        FormatResString(IDS_UNINSTALLPARAMETERS, {GetUninstallDir("", id)});
    // The uninstall runs on its own; the user refreshes the list afterwards.
    Prompts().ShellOpen(FHandle, program, parameters, SW_SHOWNORMAL);
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
    TSaveFileRequest request;
    request.Title = LoadResString(IDS_SAVEASTITLE);
    request.Filter = LoadResString(IDS_SAVEASFILTER);
    request.DefaultExt = SaveAsEntry(1).Extension;
    for (const TFilterEntry& entry : kSaveAsEntries)
        request.FilterExtensions.emplace_back(entry.Extension);
    request.Options =
        OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
    request.FileName = LowerCase(FListComputer.size() > 2 ? FListComputer.substr(2) : "");
    if (!FOptions->SaveAsDirectory.empty() && DirectoryExists(FOptions->SaveAsDirectory))
        request.InitialDir = FOptions->SaveAsDirectory;
    if (!Prompts().SaveFile(FHandle, request))
        return;

    const std::string fileName =
        WithExtension(request.FileName, SaveAsEntry(request.FilterIndex).Extension);
    FOptions->SaveAsDirectory = FileDirectory(fileName);
    WriteExport(fileName, request.FilterIndex);
}

// Creates the file (a failure is the general error report's) and writes the
// list into it in the format of the filter entry; a failed write is reported
// here, and what was written stays in the file.
void TfrmMain::WriteExport(const std::string& fileName, int filterIndex)
{
    TTextFileStream file(fileName);
    const TExportTable table = CollectExportTable();
    try {
        switch (SaveAsEntry(filterIndex).Format) {
        case TExportFormat::Text:
            WriteTextLayout(file, table, FOptions->ColumnSep);
            break;
        case TExportFormat::Csv:
            WriteCsvLayout(file, table);
            break;
        case TExportFormat::Html: {
            THtmlPage page;
            page.Computer = ListComputerName();
            page.Summary = StatusSummary();
            page.ExportTime =
                FormatDateTime(FOptions->ListTimeFormat, Now(), LocaleFormatSettings());
            page.Charset = CharsetOfCodePage(GetACP());
            WriteHtmlLayout(file, table, page);
            break;
        }
        }
    } catch (const EInOutError&) {
        Prompts().MessageBox(FHandle, FormatResString(IDS_SAVEASFAILED, {fileName}),
                             LoadResString(IDS_SAVEASTITLE), MB_OK | MB_ICONERROR);
    }
}

// The list as displayed: the columns in their display order (the user may
// have dragged the headers), the rows in their current order.
TExportTable TfrmMain::CollectExportTable() const
{
    TExportTable table;
    const std::vector<int> order = listMain->ColumnOrder();
    for (int column : order)
        table.Captions.push_back(listMain->Column(column).Caption);
    const int rows = listMain->ItemCount();
    table.Rows.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        std::vector<std::string> cells;
        cells.reserve(order.size());
        for (int column : order)
            cells.push_back(column == 0 ? listMain->ItemCaption(row)
                                        : listMain->SubItemText(row, column - 1));
        table.Rows.push_back(std::move(cells));
    }
    return table;
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
