#include "InfFile.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

// Only what the script says plainly places a file: a list whose own entry
// cannot be read, or leads out of its directory, is left to the guess, not
// sent to DefaultDestDir.
TEST(InfFile, PlacesOnlyWhatTheScriptSaysPlainly)
{
    const TInfFile inf(R"([DefaultInstall]
CopyFiles = Word, Up, Drive, Slash, Doubled, Plain, Plain, Sub, @..\at.dll, @at.sys
[DestinationDirs]
word = 0x0B
Up = 11, ..\..\..\..\etc
Drive = 11, C:
Slash = 11, a/b
Doubled = 11, spool\\drivers
Sub = 11, %Sub%
DefaultDestDir = 12
[Strings]
sub = "spool\drivers"
SUB = "other"
[Word]
word.dll
[Up]
passwd
[Drive]
drive.dll
[Slash]
slash.dll
[Doubled]
doubled.dll
[Plain]
plain.sys
"..", dots.sys
"a\b.sys", inner.sys
[Sub]
sub.dll
)");
    std::map<std::string, std::string> placed;
    for (const auto& [source, place] : CopyFilePlacements(inf))
        placed[source] = place.InstalledName + "|" + std::to_string(place.Dirid) + "|" + place.Subdir;
    const std::map<std::string, std::string> expected = {
        {"at.sys", "at.sys|12|"},
        {"plain.sys", "plain.sys|12|"},
        {"sub.dll", "sub.dll|11|spool\\drivers"},
    };
    EXPECT_EQ(placed, expected);
}
