#pragma once
// Setup scripts (INF files) as plain values: sections of lines, each line an
// optional key and its comma-separated fields, with comments, quoted strings,
// line continuations and %strkey% substitution from [Strings] resolved; and
// where the [DefaultInstall] section of such a script copies its files to.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TInfLine {
    std::string Key;                  // empty for a line without "="
    std::vector<std::string> Fields;  // substituted, unquoted, blanks trimmed
};

class TInfFile {
public:
    // Reads the text of a script (ANSI, or UTF-16 with its byte order mark,
    // whose characters past 255 become "?"). Never fails: what is not a
    // script makes Damaged() true.
    explicit TInfFile(std::string_view text);

    // Holds bytes of no text file, or a section header without its "]".
    bool Damaged() const { return FDamaged; }
    // The lines of every section of that name (names compared without regard
    // to case; sections of one name join in file order); nullptr for none.
    const std::vector<TInfLine>* Section(std::string_view name) const;
    // The fields of the first line with that key in the section; nullptr for none.
    const std::vector<std::string>* Value(std::string_view section, std::string_view key) const;
    // Every section by its lower-case name.
    const std::map<std::string, std::vector<TInfLine>>& Sections() const { return FSections; }

private:
    void ReadLines(std::string_view text);
    void Substitute();

    std::map<std::string, std::vector<TInfLine>> FSections;   // by lower-case name
    bool FDamaged = false;
};

// One file that the script copies: its name in the source directory (the
// saved copy), its name and place where it is installed.
struct TInfPlacement {
    std::string InstalledName;
    int Dirid = 0;
    std::string Subdir;               // below the dirid's directory; may be empty
};

// Every file that [DefaultInstall]'s CopyFiles copies (lists and "@file"
// entries), keyed by the source name in lower case (A to Z only). Lists
// without a [DestinationDirs] entry go to DefaultDestDir. Not placed (left
// out): a file that has neither; the files of a list whose own entry cannot
// be read (a dirid that is no number, a subdirectory with a part that is no
// plain name, see IsPlainFileName); a file whose installed name is no plain
// name. A file that several lists copy keeps its first place.
std::map<std::string, TInfPlacement> CopyFilePlacements(const TInfFile& inf);

// The directory of a dirid below the target's Windows directory, as path
// parts ("" is the Windows directory itself, "system32\drivers" ...);
// nothing for a dirid outside it (source media, drive roots, profiles,
// absolute paths) or unknown.
std::optional<std::string> DiridSubdirectory(int dirid);

// Lower case A to Z; other bytes unchanged.
std::string AsciiLower(std::string_view text);
