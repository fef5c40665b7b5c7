#pragma once
// The targets of a comparison and the list file that holds them: one target
// per line; blank lines and lines beginning with ";" are skipped, blanks
// around a line are trimmed, "." names the local computer. The file's bytes
// are the platform's text (the ANSI code page on Windows, UTF-8 on Linux);
// nothing here converts them.
#include <string>
#include <vector>

enum class TTargetKind { Local, Computer, Offline, Image };

struct TCompareTarget {
    TTargetKind Kind = TTargetKind::Local;
    // Empty for the local computer, "\\NAME" in capitals for a computer, the
    // path of the Windows directory for an offline system, the text after
    // /IMAGE: for a disk image ("<file>[@<n>[:<directory>]]", Linux only).
    std::string Name;

    bool operator==(const TCompareTarget&) const = default;
};

// A target as a user writes it: "." or nothing for the local computer, a
// name with or without its two backslashes for a computer, a path (as
// IsOfflineTarget tells) for an offline Windows directory, "image:" and a
// file for a disk image.
TCompareTarget TargetOfText(const std::string& text);
// The target as a list file's line: "." for the local computer, "image:<file>"
// for a disk image.
std::string TextOfTarget(const TCompareTarget& target);

// The lines of a list file that count, trimmed, in file order. Line ends may
// be CR LF, LF or CR; a UTF-8 byte order mark before the first line is dropped.
std::vector<std::string> ReadListLines(const std::string& text);
// Lines as a list file: each ended by CR LF.
std::string WriteListLines(const std::vector<std::string>& lines);

// What makes two targets the same: the kind, the computer name, and the path
// without trailing separators, compared without regard to ASCII case unless
// CaseSensitivePaths (paths on Linux keep their case).
std::string TargetIdentity(const TCompareTarget& target, bool caseSensitivePaths);
// Appends Target unless an equal one is there already; true when appended.
bool AddTarget(std::vector<TCompareTarget>& targets, const TCompareTarget& target,
               bool caseSensitivePaths);
