// Input: a byte choosing the column count and the text separation, a byte
// that separates the cells, then the cells: computer, summary, time and
// charset of the page, the captions, and rows of whole lines.
// Whatever the cells hold, the CSV parses back (with the small parser below)
// to the same cells, the HTML table holds the same cells, the page's texts
// (heading, summary, time) read back unescaped, and the text layout keeps
// its lines, separators and column starts.
#include "ExportLayout.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// A writer that takes the layouts at their word: they hand it no NUL.
class TStringWriter : public TTextWriter {
public:
    std::string Bytes;
    void WriteText(const std::string& text) override
    {
        Check(text.find('\0') == std::string::npos);
        Bytes += text;
    }
    void NewLine() override { Bytes += "\r\n"; }
};

std::string Cut(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

// Records of CR LF-ended lines; a field is bare (no quote, CR or LF in it) or
// quoted with its quotes doubled. Anything else is a fault of the writer. An
// empty line is a record of no fields, as spreadsheets and most readers take it.
Rows ParseCsv(const std::string& text)
{
    Rows rows;
    std::size_t at = 0;
    while (at < text.size()) {
        auto& record = rows.emplace_back();
        if (text.compare(at, 2, "\r\n") == 0) {
            at += 2;
            continue;
        }
        for (;;) {
            std::string field;
            if (at < text.size() && text[at] == '"') {
                for (++at;; ++at) {
                    Check(at < text.size());
                    if (text[at] == '"') {
                        if (at + 1 < text.size() && text[at + 1] == '"')
                            ++at;
                        else
                            break;
                    }
                    field += text[at];
                }
                ++at;
            } else {
                while (at < text.size() && text[at] != ',' && text[at] != '\r') {
                    Check(text[at] != '"' && text[at] != '\n');
                    field += text[at++];
                }
            }
            record.push_back(field);
            Check(at < text.size());
            if (text[at] == ',') {
                ++at;
                continue;
            }
            Check(text.compare(at, 2, "\r\n") == 0);
            at += 2;
            break;
        }
    }
    return rows;
}

// A text up to the next tag (or the quote that ends an attribute value),
// with the five references the page uses turned back; a bare & < > " or CR
// in it is a fault.
std::string Unescape(const std::string& page, std::size_t& at, char end = '<')
{
    static const std::pair<std::string, char> references[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#13;", '\r'}};
    std::string text;
    while (at < page.size() && page[at] != end) {
        Check(page[at] != '<' && page[at] != '>' && page[at] != '"' && page[at] != '\r');
        if (page[at] != '&') {
            text += page[at++];
            continue;
        }
        const auto known = std::find_if(std::begin(references), std::end(references),
                                        [&](const auto& r) { return page.compare(at, r.first.size(), r.first) == 0; });
        Check(known != std::end(references));
        text += known->second;
        at += known->first.size();
    }
    return text;
}

void Expect(const std::string& page, std::size_t& at, const std::string& markup)
{
    Check(page.compare(at, markup.size(), markup) == 0);
    at += markup.size();
}

Rows ParseHtmlTable(const std::string& page)
{
    Check(page.find("<table") == page.rfind("<table") && page.find("<script") == std::string::npos);
    std::size_t at = page.find("<table");
    Check(at != std::string::npos);
    at = page.find(">\r\n", at) + 3;
    Rows rows;
    for (std::string tag = "th"; page.compare(at, 4, "<tr>") == 0; tag = "td") {
        at += 4;
        auto& row = rows.emplace_back();
        while (page.compare(at, 4, "</tr") != 0) {
            Expect(page, at, "<" + tag + ">");
            row.push_back(Unescape(page, at));
            Expect(page, at, "</" + tag + ">");
        }
        Expect(page, at, "</tr>\r\n");
    }
    Expect(page, at, "</table>\r\n");
    return rows;
}

std::string Between(const std::string& page, const std::string& open, const std::string& close)
{
    std::size_t at = page.find(open);
    Check(at != std::string::npos);
    at += open.size();
    const std::string text = Unescape(page, at, close[0]);
    Expect(page, at, close);
    return text;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator)
{
    std::vector<std::string> parts;
    for (std::size_t at = 0;;) {
        const std::size_t next = text.find(separator, at);
        parts.push_back(text.substr(at, next - at));
        if (next == std::string::npos)
            return parts;
        at = next + separator.size();
    }
}

// The text layout read back by its properties. Each row is a line. Tab,
// semicolon and comma: where no cell holds the separator, a line splits back
// into its row. Spaces: where no cell holds a blank and only last cells may
// be empty, every column starts at the same place on every line and its
// widest cell is followed by exactly two blanks. Any other separator value:
// the last cells alone.
void CheckTextLayout(const std::string& text, const Rows& rows, int columnSep)
{
    const auto anyCellHolds = [&](const char* bytes) {
        return std::any_of(rows.begin(), rows.end(), [&](const auto& row) {
            return std::any_of(row.begin(), row.end(), [&](const std::string& cell) {
                return cell.find_first_of(bytes) != std::string::npos;
            });
        });
    };
    if (anyCellHolds("\r\n"))
        return;   // lines cannot be told apart
    const std::vector<std::string> lines = Split(text, "\r\n");
    Check(lines.size() == rows.size() + 1 && lines.back().empty());
    const char separator[] = {"\t ;,"[columnSep & 3], '\0'};
    const bool padded = columnSep == 1 && !anyCellHolds(" ");
    const bool splits = columnSep != 1 && !anyCellHolds(separator);
    std::vector<std::size_t> starts, gaps(rows.empty() ? 0 : rows[0].size(), std::string::npos);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (columnSep < 0 || columnSep > 3)
            Check(lines[r] == rows[r].back());
        else if (splits)
            Check(Split(lines[r], separator) == rows[r]);
        for (std::size_t c = 0, at = 0; padded && c < rows[r].size(); ++c) {
            if (r == 0)
                starts.push_back(at);
            if (rows[r][c].empty() && c + 1 < rows[r].size())
                return;   // an empty cell's blanks join the gap
            Check(at == starts[c] && lines[r].compare(at, rows[r][c].size(), rows[r][c]) == 0);
            at += rows[r][c].size();
            Check(c + 1 < rows[r].size() || at == lines[r].size());
            const std::size_t gap =
                std::min(lines[r].find_first_not_of(' ', at), lines[r].size()) - at;
            gaps[c] = std::min(gaps[c], gap);
            at += gap;
        }
    }
    for (std::size_t c = 0; padded && !rows.empty() && c + 1 < gaps.size(); ++c)
        Check(gaps[c] == 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t columns = 1 + data[0] % 6;
    const int columnSep = static_cast<int>(data[0] / 6 % 6) - 1;   // -1 to 4
    const char delimiter = static_cast<char>(data[1]);
    std::vector<std::string> cells(1);
    for (std::size_t i = 2; i < size; ++i) {
        if (static_cast<char>(data[i]) == delimiter)
            cells.emplace_back();
        else
            cells.back() += static_cast<char>(data[i]);
    }
    cells.resize(std::max<std::size_t>(cells.size(), 4 + columns));

    const THtmlPage page{cells[0], cells[1], cells[2], cells[3], {}};
    TExportTable table;
    table.Captions.assign(cells.begin() + 4, cells.begin() + 4 + static_cast<long>(columns));
    for (std::size_t first = 4 + columns; first + columns <= cells.size(); first += columns)
        table.Rows.emplace_back(cells.begin() + static_cast<long>(first),
                                cells.begin() + static_cast<long>(first + columns));

    Rows shown{table.Captions};
    shown.insert(shown.end(), table.Rows.begin(), table.Rows.end());
    for (auto& row : shown)
        for (auto& cell : row)
            cell = Cut(cell);

    TStringWriter csv;
    WriteCsvLayout(csv, table);
    Check(ParseCsv(csv.Bytes) == shown);

    TStringWriter html;
    WriteHtmlLayout(html, table, page);
    Check(ParseHtmlTable(html.Bytes) == shown);
    Check(Between(html.Bytes, "<title>", "</title>")
          == (Cut(page.Computer).empty() ? "Hotfixes" : "Hotfixes on " + Cut(page.Computer)));
    Check(Between(html.Bytes, "<h1>", "</h1>")
          == (Cut(page.Computer).empty() ? "Hotfixes" : "Hotfixes on " + Cut(page.Computer)));
    Check(Between(html.Bytes, "<p>", "</p>")
          == Cut(page.Summary) + "; list saved " + Cut(page.ExportTime));
    Check(Between(html.Bytes, "charset=", "\">") == Cut(page.Charset));

    TStringWriter text;
    WriteTextLayout(text, table, columnSep);
    CheckTextLayout(text.Bytes, Rows(shown.begin() + 1, shown.end()), columnSep);
    return 0;
}
