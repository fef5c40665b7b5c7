#pragma once
// The files of a live computer or of an offline Windows directory, through
// the Win32 file functions.
#include <memory>

#include "OfflineSystem.h"
#include "TargetAccess.h"

class TWin32FileSource : public TFileSource {
public:
    explicit TWin32FileSource(std::string windowsDir) : FWindowsDir(std::move(windowsDir)) {}

    std::string WindowsDir() const override { return FWindowsDir; }
    std::string PathOf(const std::string& dir, const std::string& name) const override;
    // Paths as long as MAX_PATH or longer fail with kPathTooLong.
    TLookup ListDirectory(const std::string& dir, std::vector<TFileEntry>& entries) const override;
    TLookup FindFile(const std::string& path, TFileEntry& entry) const override;
    bool ReadFile(const std::string& path, std::string& bytes, std::size_t limit) const override;
    // In this computer's local time.
    double LocalDateTime(std::uint64_t lastWriteTime) const override;

private:
    std::string FWindowsDir;
};

// An offline Windows directory as the user names it, without final separators
// (a drive's root keeps its own).
std::string OfflineWindowsDir(const std::string& path);

// The files of a target as the user names it (see IsOfflineTarget): the local
// Windows directory, "\\NAME\ADMIN$", or the offline path itself.
std::unique_ptr<TFileSource> OpenTargetFiles(const std::string& target);

// The ANSI code page of this computer, the live registry's code page for texts.
TTextCodePage AnsiCodePage();

// The offline Windows directory Target (see IsOfflineTarget), its texts in
// the ANSI code page; raises as TOfflineSystem does.
std::unique_ptr<TOfflineSystem> OpenOfflineSystem(const std::string& target);
