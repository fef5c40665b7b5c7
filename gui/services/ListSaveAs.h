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
    std::string Computer;          // as a title names it ("\\NAME")
    std::string Summary;           // the window's summary line
    std::string DefaultFileName;   // without extension
};

// The list as displayed: the columns in their display order (the user may
// have dragged the headers), the rows in their current order; only the row
// OnlyRow when it is 0 or above.
TExportTable CollectExportTable(const TCustomExtListView& list, int onlyRow = -1);

// Asks for the file through Prompts() (starting in the settings' Save As
// directory, which keeps the chosen one) and writes the list in the chosen
// layout. A file that cannot be created is the general error report's; a
// failed write gets its own message box, and what was written stays.
void SaveListAs(HWND owner, TUserOptions& options, const TCustomExtListView& list,
                const TListSaveRequest& request);
