// Writes the export layouts of a table given in a file, for the readers check
// (ExportLayout_readers.py), which reads them back with other parsers.
//
//   ExportLayout_tool TABLE PREFIX   writes PREFIX.csv and PREFIX.htm
//   ExportLayout_tool --charsets CODEPAGE...   prints the charset of each
//
// TABLE holds lines of blank-separated cells, each hex-encoded ("." for an
// empty cell): first the page (computer, summary, time, code page in
// decimal), then the captions, then one line per row.
#include "ExportLayout.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace {

class TFileWriter : public TTextWriter {
public:
    explicit TFileWriter(const std::string& name) : FFile(name, std::ios::binary)
    {
        if (!FFile)
            throw std::runtime_error("Cannot create file " + name);
    }
    void WriteText(const std::string& text) override { Put(text.substr(0, text.find('\0'))); }
    void NewLine() override { Put("\r\n"); }

private:
    std::ofstream FFile;

    void Put(const std::string& bytes)
    {
        if (!FFile.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
            throw std::runtime_error("Error writing to stream.");
    }
};

std::string Unhex(const std::string& token)
{
    if (token == ".")
        return {};
    if (token.size() % 2 != 0)
        throw std::runtime_error("odd hex cell: " + token);
    std::string text;
    for (std::size_t at = 0; at < token.size(); at += 2)
        text += static_cast<char>(std::stoi(token.substr(at, 2), nullptr, 16));
    return text;
}

std::vector<std::vector<std::string>> ReadLines(const std::string& name)
{
    std::ifstream file(name, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + name);
    std::vector<std::vector<std::string>> lines;
    for (std::string line; std::getline(file, line);) {
        std::istringstream tokens(line);
        auto& cells = lines.emplace_back();
        for (std::string token; tokens >> token;)
            cells.push_back(Unhex(token));
    }
    return lines;
}

int Write(const std::string& tableName, const std::string& prefix)
{
    const auto lines = ReadLines(tableName);
    if (lines.size() < 2 || lines[0].size() != 4)
        throw std::runtime_error("a table needs a page line and a caption line");
    const THtmlPage page{lines[0][0], lines[0][1], lines[0][2],
                         CharsetOfCodePage(static_cast<unsigned>(std::stoul(lines[0][3]))), {}};
    const TExportTable table{lines[1], {lines.begin() + 2, lines.end()}};
    {
        TFileWriter csv(prefix + ".csv");
        WriteCsvLayout(csv, table);
    }
    TFileWriter html(prefix + ".htm");
    WriteHtmlLayout(html, table, page);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        if (!args.empty() && args[0] == "--charsets") {
            for (std::size_t i = 1; i < args.size(); ++i)
                std::cout << args[i] << ' ' << CharsetOfCodePage(std::stoul(args[i])) << '\n';
            return 0;
        }
        if (args.size() != 2) {
            std::cerr << "usage: ExportLayout_tool TABLE PREFIX | --charsets CODEPAGE...\n";
            return 2;
        }
        return Write(args[0], args[1]);
    } catch (const std::exception& e) {
        std::cerr << "ExportLayout_tool: " << e.what() << '\n';
        return 1;
    }
}
