#include "ListSaveAs.h"

#include <iterator>

#include "DateTimePatterns.h"
#include "FormHelpers.h"
#include "HotfixReader.h"
#include "LocaleInfo.h"
#include "Prompts.h"
#include "ResString.h"
#include "TextStream.h"
#include "UserOpts.h"
#include "ZStrFuncs.h"
#include "ps_common.h"
#include "Win32pas.h"
#include "components/ExtListView.h"
#include "ps_mainres_res.h"

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

void WriteLayout(HWND owner, const TUserOptions& options, const std::string& fileName,
                 TExportFormat format, const TExportTable& table,
                 const TListSaveRequest& request)
{
    TTextFileStream file(fileName);
    try {
        switch (format) {
        case TExportFormat::Text:
            WriteTextLayout(file, table, options.ColumnSep);
            break;
        case TExportFormat::Csv:
            WriteCsvLayout(file, table);
            break;
        case TExportFormat::Html: {
            THtmlPage page;
            page.Computer = request.Computer;
            page.Summary = request.Summary;
            page.ExportTime = FormatDateTime(options.ListTimeFormat, Now(), LocaleFormatSettings());
            page.Charset = CharsetOfCodePage(GetACP());
            WriteHtmlLayout(file, table, page);
            break;
        }
        }
        file.Close();
    } catch (const EInOutError&) {
        Prompts().MessageBox(owner, FormatResString(IDS_SAVEASFAILED, {fileName}),
                             LoadResString(IDS_SAVEASTITLE), MB_OK | MB_ICONERROR);
    }
}

}  // namespace

TExportTable CollectExportTable(const TCustomExtListView& list, int onlyRow)
{
    TExportTable table;
    const std::vector<int> order = list.ColumnOrder();
    for (int column : order)
        table.Captions.push_back(list.Column(column).Caption);
    const int first = onlyRow >= 0 ? onlyRow : 0;
    const int end = onlyRow >= 0 ? onlyRow + 1 : list.ItemCount();
    for (int row = first; row < end; ++row) {
        std::vector<std::string> cells;
        cells.reserve(order.size());
        for (int column : order)
            cells.push_back(column == 0 ? list.ItemCaption(row) : list.SubItemText(row, column - 1));
        table.Rows.push_back(std::move(cells));
    }
    return table;
}

void SaveListAs(HWND owner, TUserOptions& options, const TCustomExtListView& list,
                const TListSaveRequest& request)
{
    TSaveFileRequest dialog;
    dialog.Title = LoadResString(IDS_SAVEASTITLE);
    dialog.Filter = LoadResString(IDS_SAVEASFILTER);
    dialog.DefaultExt = SaveAsEntry(1).Extension;
    for (const TFilterEntry& entry : kSaveAsEntries)
        dialog.FilterExtensions.emplace_back(entry.Extension);
    dialog.Options =
        OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
    dialog.FileName = LowerCaseAnsi(request.DefaultFileName, AnsiLeadByte);
    if (!options.SaveAsDirectory.empty() && DirectoryExists(options.SaveAsDirectory))
        dialog.InitialDir = options.SaveAsDirectory;
    if (!Prompts().SaveFile(owner, dialog))
        return;

    // The name as the dialog gives it: completed with the picked entry's
    // extension unless the user typed one, or typed the name in quotes to
    // have none.
    const std::string& fileName = dialog.FileName;
    options.SaveAsDirectory = ExtractFilePath(fileName, AnsiLeadByte);
    WriteLayout(owner, options, fileName, ExportFormatOf(fileName, dialog.FilterIndex),
                CollectExportTable(list), request);
}
