// The file writer of Save As: exact bytes, texts of any length, the NUL rule
// (its failures are those of Save As, in the commands test).
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "TextStream.h"

namespace {

TEST(TextFileStream, WritesTheTextsBytesUpToANulAndLineEnds)
{
    ScratchDir dir(WindowsDirectory() + "textstream" + ProcessTag());
    const std::string file = dir.Path() + "out.txt";
    dir.AddFile("out.txt", "an older and longer content that goes away");
    const std::string longText(100000, 'y');
    {
        TTextFileStream stream(file);
        stream.WriteText("");
        stream.WriteText("a\tb");
        stream.NewLine();
        stream.WriteText(std::string("before\0after", 12));
        stream.WriteText(longText);
        stream.NewLine();
    }
    EXPECT_EQ(ReadWholeFile(file), "a\tb\r\nbefore" + longText + "\r\n");
}

}  // namespace
