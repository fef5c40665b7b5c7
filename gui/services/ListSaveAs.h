#pragma once
// Save As of a list window: the save dialog with the text, CSV and HTML
// layouts, and the list written in its displayed columns and rows.
#include <windows.h>

#include <string>

#include "ExportLayout.h"

class TCustomExtListView;
class TUserOptions;

// What the HTML layout says of the list and what the dialog proposes.
struct TListSaveRequest {
    std::string Computer;   // as a title names it ("\\NAME")
    std::string Title;      // the page's title; empty: "Hotfixes on" the computer
    std::string Summary;    // the window's summary line
    // The rows' target: empty for the local computer, "\\NAME", or an
    // offline Windows directory. The dialog proposes its plain name, with
    // FileNameSuffix after it, and never a folder of an offline system.
    std::string Target;
    std::string FileNameSuffix;
    // Proposed as it is, instead of the target's name, when given.
    std::string DefaultFileName;
    bool MarkEmptyCells = false;   // in the HTML layout (see THtmlPage)
};

// The name Save As proposes for the list of Target (see TListSaveRequest):
// the computer's name, or the offline directory's last part, then Suffix.
std::string ProposedFileName(const std::string& target, const std::string& suffix);

// The list as displayed: the columns in their display order (the user may
// have dragged the headers), the rows in their current order; only the row
// OnlyRow when it is 0 or above.
TExportTable CollectExportTable(const TCustomExtListView& list, int onlyRow = -1);

// Asks for the file through Prompts() (starting in the settings' Save As
// directory, which keeps the chosen one) and writes the list in the chosen
// layout. A file that cannot be created is the general error report's; a
// failed write gets its own message box, and the file cut short is removed.
void SaveListAs(HWND owner, TUserOptions& options, const TCustomExtListView& list,
                const TListSaveRequest& request);
