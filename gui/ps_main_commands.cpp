// The main window's commands on the selected hotfix and on the whole list:
// details windows, uninstall, the Knowledge Base article, Save As and the
// settings.
#include "ps_main.h"

#include <algorithm>
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
#include "components/UrlLabel.h"
#include "ps_common.h"
#include "ps_details.h"
#include "ps_mainres_res.h"
#include "ps_opts.h"

namespace {

// The Save As filter's entries, in the order of the filter text: the format
// written and the default extension of each.
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

// The format of a saved file: a known extension of its name decides, else
// the filter entry that was picked.
TExportFormat ExportFormatOf(const std::string& fileName, int filterIndex)
{
    const std::string extension =
        LowerCaseAnsi(ExtractFileExt(fileName, AnsiLeadByte), AnsiLeadByte);
    if (extension == ".txt")
        return TExportFormat::Text;
    if (extension == ".csv")
        return TExportFormat::Csv;
    if (extension == ".htm" || extension == ".html")
        return TExportFormat::Html;
    return SaveAsEntry(filterIndex).Format;
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
    TSaveFileRequest request;
    request.Title = LoadResString(IDS_SAVEASTITLE);
    request.Filter = LoadResString(IDS_SAVEASFILTER);
    request.DefaultExt = SaveAsEntry(1).Extension;
    for (const TFilterEntry& entry : kSaveAsEntries)
        request.FilterExtensions.emplace_back(entry.Extension);
    request.Options =
        OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
    request.FileName =
        LowerCaseAnsi(FListComputer.size() > 2 ? FListComputer.substr(2) : "", AnsiLeadByte);
    if (!FOptions->SaveAsDirectory.empty() && DirectoryExists(FOptions->SaveAsDirectory))
        request.InitialDir = FOptions->SaveAsDirectory;
    if (!Prompts().SaveFile(FHandle, request))
        return;

    // The name as the dialog gives it: completed with the picked entry's
    // extension unless the user typed one, or typed the name in quotes to
    // have none.
    const std::string& fileName = request.FileName;
    FOptions->SaveAsDirectory = ExtractFilePath(fileName, AnsiLeadByte);
    WriteExport(fileName, ExportFormatOf(fileName, request.FilterIndex));
}

// Creates the file (a failure is the general error report's) and writes the
// list into it in the format; a failed write or close is reported here, and
// what was written stays in the file.
void TfrmMain::WriteExport(const std::string& fileName, TExportFormat format)
{
    TTextFileStream file(fileName);
    const TExportTable table = CollectExportTable();
    try {
        switch (format) {
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
        file.Close();
    } catch (const EInOutError&) {
        Prompts().MessageBox(FHandle, FormatResString(IDS_SAVEASFAILED, {fileName}),
                             LoadResString(IDS_SAVEASTITLE), MB_OK | MB_ICONERROR);
    }
}

// The list as displayed: the columns in their display order (the user may
// have dragged the headers), the rows in their current order; only the row
// OnlyRow when it is 0 or above.
TExportTable TfrmMain::CollectExportTable(int onlyRow) const
{
    TExportTable table;
    const std::vector<int> order = listMain->ColumnOrder();
    for (int column : order)
        table.Captions.push_back(listMain->Column(column).Caption);
    const int first = onlyRow >= 0 ? onlyRow : 0;
    const int end = onlyRow >= 0 ? onlyRow + 1 : listMain->ItemCount();
    for (int row = first; row < end; ++row) {
        std::vector<std::string> cells;
        cells.reserve(order.size());
        for (int column : order)
            cells.push_back(column == 0 ? listMain->ItemCaption(row)
                                        : listMain->SubItemText(row, column - 1));
        table.Rows.push_back(std::move(cells));
    }
    return table;
}

// Ctrl+C in the list: the selected row as a line of the text export,
// separated by tabs whatever the setting, for pasting into other programs.
void TfrmMain::CopySelectedRow()
{
    const int row = listMain->SelectedIndex();
    if (row < 0)
        return;
    TStringTextWriter line;
    WriteTextLayout(line, CollectExportTable(row), 0);
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
