#include "ExportLayout.h"

#include "ZStrFuncs.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace {

// A cell as the list shows it: up to its first NUL. Cutting here, before any
// measuring or quoting, keeps the separators and the columns after such a
// cell where they belong.
std::string_view Shown(const std::string& cell)
{
    return std::string_view(cell).substr(0, cell.find('\0'));
}

// One line per call of WriteText, so that a file writer makes one write per
// line and not one per cell.
void WriteLine(TTextWriter& writer, const std::string& line)
{
    writer.WriteText(line);
    writer.NewLine();
}

// The widths to which the spaces layout pads each column but the last: the
// longest cell of the column plus two.
std::vector<std::size_t> PaddedWidths(const TExportTable& table)
{
    std::vector<std::size_t> widths;
    for (const auto& row : table.Rows) {
        if (row.size() > widths.size())
            widths.resize(row.size(), 0);
        for (std::size_t column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], Shown(row[column]).size() + 2);
    }
    return widths;
}

std::string TextLine(const std::vector<std::string>& row, int columnSep,
                     const std::vector<std::size_t>& widths)
{
    static constexpr std::string_view separators[] = {"\t", "", ";", ","};
    std::string line;
    if (row.empty())
        return line;
    if (columnSep < 0 || columnSep > 3)
        return std::string(Shown(row.back()));
    for (std::size_t column = 0; column + 1 < row.size(); ++column) {
        if (columnSep == 1)
            line += PadRight(std::string(Shown(row[column])), widths[column]);
        else {
            line += Shown(row[column]);
            line += separators[columnSep];
        }
    }
    line += Shown(row.back());
    return line;
}

std::string CsvLine(const std::vector<std::string>& cells)
{
    std::string line;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        const std::string_view cell = Shown(cells[column]);
        if (column > 0)
            line += ',';
        // A lone empty cell is quoted, or its line would read as no cells at all.
        if (cell.find_first_of(",\"\r\n") == std::string_view::npos
            && !(cell.empty() && cells.size() == 1)) {
            line += cell;
            continue;
        }
        line += '"';
        for (char c : cell) {
            if (c == '"')
                line += '"';
            line += c;
        }
        line += '"';
    }
    return line;
}

// Text and attribute values alike. A carriage return becomes a character
// reference because parsers turn a bare one into a line feed.
std::string EscapeHtml(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\r': escaped += "&#13;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string HtmlRow(const std::vector<std::string>& cells, std::string_view tag,
                    bool markEmptyCells = false)
{
    std::string line = "<tr>";
    for (const auto& cell : cells) {
        line += '<';
        line += tag;
        line += '>';
        line += markEmptyCells && cell.empty() ? std::string("&nbsp;") : EscapeHtml(Shown(cell));
        line += "</";
        line += tag;
        line += '>';
    }
    line += "</tr>";
    return line;
}

}  // namespace

void WriteTextLayout(TTextWriter& writer, const TExportTable& table, int columnSep)
{
    const auto widths = columnSep == 1 ? PaddedWidths(table) : std::vector<std::size_t>();
    for (const auto& row : table.Rows)
        WriteLine(writer, TextLine(row, columnSep, widths));
}

void WriteCsvLayout(TTextWriter& writer, const TExportTable& table)
{
    WriteLine(writer, CsvLine(table.Captions));
    for (const auto& row : table.Rows)
        WriteLine(writer, CsvLine(row));
}

void WriteHtmlLayout(TTextWriter& writer, const TExportTable& table, const THtmlPage& page)
{
    const std::string_view computer = Shown(page.Computer);
    const std::string heading = !Shown(page.Title).empty() ? EscapeHtml(Shown(page.Title))
                                : computer.empty()  ? std::string("Hotfixes")
                                                    : "Hotfixes on " + EscapeHtml(computer);
    WriteLine(writer, "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
                      "\"http://www.w3.org/TR/html4/strict.dtd\">");
    WriteLine(writer, "<html>");
    WriteLine(writer, "<head>");
    WriteLine(writer, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset="
                          + EscapeHtml(Shown(page.Charset)) + "\">");
    WriteLine(writer, "<title>" + heading + "</title>");
    WriteLine(writer, "</head>");
    WriteLine(writer, "<body>");
    WriteLine(writer, "<h1>" + heading + "</h1>");
    WriteLine(writer, "<p>" + EscapeHtml(Shown(page.Summary)) + "; list saved "
                          + EscapeHtml(Shown(page.ExportTime)) + "</p>");
    WriteLine(writer, "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">");
    WriteLine(writer, HtmlRow(table.Captions, "th"));
    for (const auto& row : table.Rows)
        WriteLine(writer, HtmlRow(row, "td", page.MarkEmptyCells));
    WriteLine(writer, "</table>");
    WriteLine(writer, "</body>");
    WriteLine(writer, "</html>");
}

std::string CharsetOfCodePage(unsigned codePage)
{
    switch (codePage) {
    case 874: return "windows-874";
    case 932: return "shift_jis";
    case 936: return "gb2312";
    case 949: return "ks_c_5601-1987";
    case 950: return "big5";
    case 65001: return "utf-8";
    default:
        // The Windows code pages 1250 to 1258, and the name browsers use for
        // any other Windows code page they know.
        return "windows-" + std::to_string(codePage);
    }
}
