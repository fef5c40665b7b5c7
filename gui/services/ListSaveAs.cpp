#include "ListSaveAs.h"

#include <shlobj.h>

#include <cstring>
#include <exception>
#include <iterator>
#include <memory>
#include <vector>

#include "DateTimePatterns.h"
#include "FormHelpers.h"
#include "HotfixReader.h"
#include "LocaleInfo.h"
#include "Prompts.h"
#include "ResString.h"
#include "TextStream.h"
#include "UserOpts.h"
#include "ZStrFuncs.h"
#include "TargetAccess.h"
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

void WriteFormat(TTextWriter& file, const TUserOptions& options, TExportFormat format,
                 const TExportTable& table, const TListSaveRequest& request)
{
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
        page.Title = request.Title;
        page.Summary = request.Summary;
        page.ExportTime = FormatDateTime(options.ListTimeFormat, Now(), LocaleFormatSettings());
        page.Charset = CharsetOfCodePage(GetACP());
        page.MarkEmptyCells = request.MarkEmptyCells;
        WriteHtmlLayout(file, table, page);
        break;
    }
    }
}

void WriteLayout(HWND owner, const TUserOptions& options, const std::string& fileName,
                 TExportFormat format, const TExportTable& table,
                 const TListSaveRequest& request)
{
    std::exception_ptr failure;
    {
        TTextFileStream file(fileName);
        try {
            WriteFormat(file, options, format, table, request);
            file.Close();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (!failure)
        return;
    // A list cut short (a full disk) would pass for the whole one: the file
    // goes, once it is closed.
    DeleteFileA(fileName.c_str());
    try {
        std::rethrow_exception(failure);
    } catch (const EInOutError&) {
        Prompts().MessageBox(owner, FormatResString(IDS_SAVEASFAILED, {fileName}),
                             LoadResString(IDS_SAVEASTITLE), MB_OK | MB_ICONERROR);
    }
}

// The folder that holds an offline Windows directory stands for its system's
// disk: nothing below it is proposed for writing.
bool IsOnOfflineSystem(const std::string& folder, const std::string& target)
{
    if (!IsOfflineTarget(target))
        return false;
    std::string dir = target;
    while (!dir.empty() && (dir.back() == '\\' || dir.back() == '/'))
        dir.pop_back();
    const std::string system = ExtractFilePath(dir, AnsiLeadByte);
    const std::string candidate = AddBackslash(folder, AnsiLeadByte);
    return !system.empty() && candidate.size() >= system.size() &&
           lstrcmpiA(candidate.substr(0, system.size()).c_str(), system.c_str()) == 0;
}

// The user's own documents folder; empty when the system has none.
std::string PersonalFolder()
{
    ITEMIDLIST* list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &list)) || !list)
        return {};
    const std::unique_ptr<ITEMIDLIST, decltype(&CoTaskMemFree)> owned(list, CoTaskMemFree);
    char path[MAX_PATH] = {};   // the size SHGetPathFromIDList writes at most
    if (!SHGetPathFromIDListA(list, path))
        return {};
    return std::string(path, strnlen(path, sizeof path));
}

// Where the dialog opens: the folder Save As used last; for an offline
// system, never one of its own, but the user's documents or the temporary
// folder instead.
std::string InitialFolder(const TUserOptions& options, const std::string& target)
{
    std::vector<std::string> candidates{options.SaveAsDirectory};
    if (IsOfflineTarget(target)) {
        candidates.push_back(PersonalFolder());
        char temp[MAX_PATH + 1] = {};   // the size GetTempPath is told
        const DWORD length = GetTempPathA(sizeof temp, temp);
        if (length > 0 && length < sizeof temp)
            candidates.emplace_back(temp, length);
    }
    for (const std::string& folder : candidates)
        if (!folder.empty() && DirectoryExists(folder) && !IsOnOfflineSystem(folder, target))
            return folder;
    return {};
}

std::string WithoutLeading(const std::string& text, char character)
{
    const std::size_t first = text.find_first_not_of(character);
    return first == std::string::npos ? std::string() : text.substr(first);
}

}  // namespace

std::string ProposedFileName(const std::string& target, const std::string& suffix)
{
    std::string name;
    if (target.empty()) {
        name = GetLocalComputerName();
    } else if (IsOfflineTarget(target)) {
        name = target;
        while (!name.empty() && (name.back() == '\\' || name.back() == '/'))
            name.pop_back();
        // A drive's root is named by its letter.
        if (!name.empty() && name.back() == ':')
            name.pop_back();
        name = name.substr(ExtractFilePath(name, AnsiLeadByte).size());
    } else {
        name = WithoutLeading(target, '\\');
    }
    // Without a name (the system could not tell this computer's), the suffix alone.
    return name.empty() ? WithoutLeading(suffix, ' ') : name + suffix;
}

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
    dialog.FileName = LowerCaseAnsi(!request.DefaultFileName.empty()
                                        ? request.DefaultFileName
                                        : ProposedFileName(request.Target, request.FileNameSuffix),
                                    AnsiLeadByte);
    dialog.InitialDir = InitialFolder(options, request.Target);
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
