#pragma once
// The layouts in which the main window saves its list: the plain text export,
// CSV and an HTML page. They write through a TTextWriter, so that the same
// code serves the file writer and the tests.
//
// Texts are byte strings in the ANSI code page. A cell ends at its first NUL
// character, as it would on the screen. Escaping works byte by byte: every
// byte it looks at (& < > " , CR LF) lies below the trail bytes of the
// double-byte code pages, so a double-byte character is never split.
#include <string>
#include <vector>

// Where a layout writes: WriteText writes a text's characters up to its first
// NUL (no line end); NewLine writes CR LF. Both raise on a short write (the
// file writer's error).
class TTextWriter {
public:
    virtual ~TTextWriter() = default;
    virtual void WriteText(const std::string& text) = 0;
    virtual void NewLine() = 0;
};

// A writer that collects the text in memory.
class TStringTextWriter final : public TTextWriter {
public:
    // The text's bytes up to its first NUL, as a file would take them.
    void WriteText(const std::string& text) override { FText.append(text.c_str()); }
    void NewLine() override { FText += "\r\n"; }
    const std::string& Text() const { return FText; }

private:
    std::string FText;
};

// The list as displayed: captions and every row's cells in the columns'
// display order, rows in the list's current order.
struct TExportTable {
    std::vector<std::string> Captions;
    std::vector<std::vector<std::string>> Rows;
};

// The text export: one line per row, no header. ColumnSep 0 tab, 1 spaces
// (each cell but the last padded to its column's longest cell + 2, however
// long), 2 ";", 3 ","; any other value writes only the last cell of each row.
// Separators inside cells are written as they are (not quoted).
void WriteTextLayout(TTextWriter& writer, const TExportTable& table, int columnSep);

// CSV: comma-separated, a header line of captions, a cell quoted when it holds
// a comma, a double quote, CR or LF (quotes doubled), lines ended by CR LF.
void WriteCsvLayout(TTextWriter& writer, const TExportTable& table);

// HTML: one self-contained page (no scripts, no external files): a <title>
// naming the computer, a line with the status bar's summary and the export
// time, one table with a header row of the captions and a row per list row,
// every text escaped (& < > "), the charset declared.
struct THtmlPage {
    std::string Computer;     // the computer as shown (the caller gives the local name for the local computer)
    std::string Summary;      // the status bar's summary text
    std::string ExportTime;   // the time of the export, already formatted
    std::string Charset;      // e.g. "windows-1252" (CharsetOfCodePage)
    std::string Title;        // the page's title and heading; empty: "Hotfixes on" the computer
    // An empty cell holds a no-break space, so that a printed page draws its frame.
    bool MarkEmptyCells = false;
};
void WriteHtmlLayout(TTextWriter& writer, const TExportTable& table, const THtmlPage& page);

// The name under which HTML declares a Windows ANSI code page
// (1252 -> "windows-1252", 932 -> "shift_jis" ...).
std::string CharsetOfCodePage(unsigned codePage);
