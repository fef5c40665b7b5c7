// Input: a byte choosing the column count and the text separation, a byte
// that separates the cells, then the cells: computer, summary, time and
// charset of the page, the captions, and rows of whole lines.
// Whatever the cells hold, the CSV parses back (with the small parser below)
// to the same cells, the HTML table holds the same cells, and the text layout
// is the cells with their separators or padding.
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

std::string TextLayoutOf(const Rows& rows, int columnSep)
{
    const std::size_t columns = rows.empty() ? 0 : rows[0].size();
    std::vector<std::size_t> widths(columns, 0);
    for (const auto& row : rows)
        for (std::size_t c = 0; c < columns; ++c)
            widths[c] = std::max(widths[c], row[c].size() + 2);
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c + 1 < columns && columnSep >= 0 && columnSep <= 3; ++c) {
            text += row[c];
            if (columnSep == 1)
                text += std::string(widths[c] - row[c].size(), ' ');
            else
                text += "\t ;,"[columnSep];
        }
        text += row.back() + "\r\n";
    }
    return text;
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

    const THtmlPage page{cells[0], cells[1], cells[2], cells[3]};
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
    Check(Between(html.Bytes, "charset=", "\">") == Cut(page.Charset));

    TStringWriter text;
    WriteTextLayout(text, table, columnSep);
    Check(text.Bytes == TextLayoutOf(Rows(shown.begin() + 1, shown.end()), columnSep));
    return 0;
}
