#pragma once
// The files of an offline Windows directory on a Linux file system (a mounted
// disk or image), through opendir/readdir/stat. Names keep their case there,
// while a Windows system finds its files whatever their case: each name that
// PathOf adds is looked up without regard to ASCII case when the exact name
// is missing.
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "TargetAccess.h"

class TPosixFileSource : public TFileSource {
public:
    explicit TPosixFileSource(std::string windowsDir);

    std::string WindowsDir() const override { return FWindowsDir; }
    std::string PathOf(const std::string& dir, const std::string& name) const override;
    TLookup ListDirectory(const std::string& dir, std::vector<TFileEntry>& entries) const override;
    TLookup FindFile(const std::string& path, TFileEntry& entry) const override;
    bool ReadFile(const std::string& path, std::string& bytes, std::size_t limit) const override;
    // In this machine's local time (PosixLocalDateTime).
    double LocalDateTime(std::uint64_t lastWriteTime) const override;

private:
    // A directory's entry names, as listed and upper-cased, read at the first
    // name looked up in it: the image is mounted read-only, so one reading
    // serves the whole run, and a look-up in a directory of thousands of
    // uninstall directories costs no call to the file system.
    struct TDirNames {
        bool Listed = false;
        std::vector<std::string> Names;                        // as listed
        std::unordered_map<std::string, std::size_t> Folded;   // the first one listed
        std::unordered_set<std::string> CaseTwins;             // the later ones
    };
    const TDirNames& NamesOf(const std::string& dir) const;

    std::string FWindowsDir;
    mutable std::unordered_map<std::string, TDirNames> FDirs;
};

// A UTC FILETIME as a date-time value in this machine's local time, at DOS
// resolution; 0 when it has no DOS form (before 1980, after 2107).
double PosixLocalDateTime(std::uint64_t lastWriteTime);
