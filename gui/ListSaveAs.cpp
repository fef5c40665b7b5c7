#include "ListSaveAs.h"

#include <cctype>
#include <iterator>

#include "DateTimePatterns.h"
#include "FormHelpers.h"
#include "HotfixReader.h"
#include "LocaleInfo.h"
#include "Prompts.h"
#include "TextStream.h"
#include "UserOpts.h"
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

void WriteLayout(HWND owner, const TUserOptions& options, const std::string& fileName,
                 const TFilterEntry& entry, const TExportTable& table,
                 const TListSaveRequest& request)
{
    TTextFileStream file(fileName);
    try {
        switch (entry.Format) {
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
    } catch (const EInOutError&) {
        Prompts().MessageBox(owner, FormatResString(IDS_SAVEASFAILED, {fileName}),
                             LoadResString(IDS_SAVEASTITLE), MB_OK | MB_ICONERROR);
    }
}

}  // namespace

TExportTable CollectExportTable(const TCustomExtListView& list)
{
    TExportTable table;
    const std::vector<int> order = list.ColumnOrder();
    for (int column : order)
        table.Captions.push_back(list.Column(column).Caption);
    const int rows = list.ItemCount();
    table.Rows.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
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
    dialog.FileName = LowerCase(request.DefaultFileName);
    if (!options.SaveAsDirectory.empty() && DirectoryExists(options.SaveAsDirectory))
        dialog.InitialDir = options.SaveAsDirectory;
    if (!Prompts().SaveFile(owner, dialog))
        return;

    const TFilterEntry& entry = SaveAsEntry(dialog.FilterIndex);
    const std::string fileName = WithExtension(dialog.FileName, entry.Extension);
    options.SaveAsDirectory = FileDirectory(fileName);
    WriteLayout(owner, options, fileName, entry, CollectExportTable(list), request);
}
