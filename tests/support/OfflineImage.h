#pragma once
// One set of hotfix data written twice: into the private HKEY_LOCAL_MACHINE
// with uninstall directories below the prefix's Windows directory (the live
// computer), and into an offline Windows directory of a scratch folder (a
// SOFTWARE hive from the writer, the same uninstall directories). A test
// compares what a program lists for the two.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "HiveWriter.h"
#include "TestFiles.h"

class TOfflineImage {
public:
    // A PrivateRegistry must be in place for the image's lifetime.
    TOfflineImage();
    ~TOfflineImage();

    // Path below SOFTWARE ("Microsoft\\..."); text types take ANSI text
    // without its NUL, other types their bytes.
    void SetValue(const std::string& path, const std::string& name, DWORD type,
                  const std::string& data);
    // A file of the hotfix's uninstall directory, last written at Utc.
    void AddFile(const std::string& hotfixID, const std::string& name, const SYSTEMTIME& utc);
    // Writes system32\config\software (again); Options as the writer takes them.
    void WriteHive(const THiveBuildOptions& options = {});
    std::string HiveBytes(const THiveBuildOptions& options = {}) const;
    void WriteHiveBytes(const std::string& bytes);
    std::string SoftwareHivePath() const;
    THiveBuilder& SystemHive() { return FSystem; }
    void WriteSystemHive();

    // The offline Windows directory, without a final backslash.
    std::string WindowsDir() const;
    // Every file below it: path -> bytes and last-write time.
    std::map<std::string, std::string> Snapshot() const;

private:
    THiveBuilder FSoftware;
    THiveBuilder FSystem;
    std::unique_ptr<ScratchDir> FRoot;
    std::map<std::string, std::unique_ptr<ScratchDir>> FLiveDirs, FOfflineDirs;
};
