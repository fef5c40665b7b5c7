#include "ExportLayout.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

// Keeps what a file would hold; like the file writer it writes a text up to
// its first NUL.
class TStringWriter : public TTextWriter {
public:
    std::string Bytes;
    void WriteText(const std::string& text) override { Bytes += text.substr(0, text.find('\0')); }
    void NewLine() override { Bytes += "\r\n"; }
};

const TExportTable SmallTable{
    {"Hotfix", "Description", "Files"},
    {{"Q147222", "Fix; a, b", "afd.sys"}, {"Q2", "", "tcpip.sys, x.dll"}}};

std::string Text(const TExportTable& table, int columnSep)
{
    TStringWriter writer;
    WriteTextLayout(writer, table, columnSep);
    return writer.Bytes;
}

std::string Csv(const TExportTable& table)
{
    TStringWriter writer;
    WriteCsvLayout(writer, table);
    return writer.Bytes;
}

}  // namespace

TEST(TextLayout, EachColumnSeparationByteForByte)
{
    EXPECT_EQ(Text(SmallTable, 0), "Q147222\tFix; a, b\tafd.sys\r\n"
                                   "Q2\t\ttcpip.sys, x.dll\r\n");
    EXPECT_EQ(Text(SmallTable, 1), "Q147222  Fix; a, b  afd.sys\r\n"
                                   "Q2                  tcpip.sys, x.dll\r\n");
    EXPECT_EQ(Text(SmallTable, 2), "Q147222;Fix; a, b;afd.sys\r\n"
                                   "Q2;;tcpip.sys, x.dll\r\n");
    EXPECT_EQ(Text(SmallTable, 3), "Q147222,Fix; a, b,afd.sys\r\n"
                                   "Q2,,tcpip.sys, x.dll\r\n");
    // A separation the settings dialog cannot store: the last column only.
    EXPECT_EQ(Text(SmallTable, 4), "afd.sys\r\ntcpip.sys, x.dll\r\n");
    EXPECT_EQ(Text(SmallTable, -1), "afd.sys\r\ntcpip.sys, x.dll\r\n");
    EXPECT_EQ(Text(TExportTable{{"Hotfix"}, {}}, 0), "");
}

TEST(TextLayout, LongCellsAreWrittenWholeAndPadBeyond255)
{
    const std::string files(10000, 'f');
    const TExportTable table{{"Hotfix", "Files", "Date"},
                             {{"Q1", files, "1/2/1999"}, {"Q22", "x.sys", "3/4/1999"}}};
    EXPECT_EQ(Text(table, 0), "Q1\t" + files + "\t1/2/1999\r\nQ22\tx.sys\t3/4/1999\r\n");
    // Every column starts at the same place on every line.
    EXPECT_EQ(Text(table, 1), "Q1   " + files + "  1/2/1999\r\n"
                              "Q22  x.sys" + std::string(10002 - 5, ' ') + "3/4/1999\r\n");
}

TEST(TextLayout, CellEndsAtNulButKeepsItsColumn)
{
    const TExportTable table{{"Hotfix", "Description", "Files"},
                             {{"Q1\0hidden text"s, "d", "a.sys\0b"s}, {"Q22", "", "c"}}};
    EXPECT_EQ(Text(table, 0), "Q1\td\ta.sys\r\nQ22\t\tc\r\n");
    EXPECT_EQ(Text(table, 1), "Q1   d  a.sys\r\nQ22     c\r\n");
    EXPECT_EQ(Csv(table), "Hotfix,Description,Files\r\nQ1,d,a.sys\r\nQ22,,c\r\n");
}

TEST(CsvLayout, HeaderAndQuotedCellsByteForByte)
{
    const TExportTable table{{"Hotfix", "Description, long", "Files"},
                             {{"Q1", "say \"hi\"", "a.sys, b.sys"},
                              {"Q2", "two\r\nlines", "cr\rlf\n"},
                              {"", "", "; plain 'text'"}}};
    EXPECT_EQ(Csv(table), "Hotfix,\"Description, long\",Files\r\n"
                          "Q1,\"say \"\"hi\"\"\",\"a.sys, b.sys\"\r\n"
                          "Q2,\"two\r\nlines\",\"cr\rlf\n\"\r\n"
                          ",,; plain 'text'\r\n");
    // A row of one empty cell is not an empty line, which readers skip.
    EXPECT_EQ(Csv(TExportTable{{"Hotfix"}, {{""}, {"Q1"}}}), "Hotfix\r\n\"\"\r\nQ1\r\n");
}
