#pragma once
// One set of hotfix data written twice: into the private HKEY_LOCAL_MACHINE
// with uninstall directories below the prefix's Windows directory (the live
// computer), and into an offline Windows directory in a scratch folder (a
// SOFTWARE hive from the writer, the same uninstall directories). A test
// compares what a program lists for the two.
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "HiveWriter.h"
#include "TestFiles.h"

SYSTEMTIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second);

class TOfflineImage {
public:
    // A PrivateRegistry must be in place for its lifetime. Several images
    // of one test need names of their own; an image OfflineOnly has no live twin.
    explicit TOfflineImage(const std::string& name = "image", bool offlineOnly = false);

    // Path below SOFTWARE; text types take ANSI text without its NUL.
    void SetValue(const std::string& path, const std::string& name, DWORD type,
                  const std::string& data);
    // A file of the hotfix's uninstall directories, last written at Utc.
    void AddFile(const std::string& hotfixID, const std::string& name, const SYSTEMTIME& utc);
    std::string HiveBytes(const THiveBuildOptions& options = {}) const
    {
        return FSoftware.Build(options);
    }
    void WriteHiveBytes(const std::string& bytes);
    void WriteHive(const THiveBuildOptions& options = {}) { WriteHiveBytes(HiveBytes(options)); }
    // A SYSTEM hive with Central European time: UTC+1, daylight saving from
    // the last Sunday of March to the last Sunday of October.
    void WriteSystemHive();

    // The scenario both programs list: Service Pack 4; hotfixes A (a Latin-1
    // text, an uninstall directory of five files), QB (REG_EXPAND_SZ), C
    // (REG_MULTI_SZ, uninst.inf without a DOS time), QD (no description) and
    // E (20,000 characters, one file, no uninst.inf) in two hotfix keys; one
    // pre-SP4 hotfix and one ignored hotfix hidden by the settings key, whose
    // search path also names a key of another root. The hive holds "ri" roots
    // and segmented big data.
    void WriteScenario();
    const std::string A = "QA" + ProcessTag(), C = "QC" + ProcessTag(), E = "QE" + ProcessTag();

    std::string WindowsDir() const { return FRoot->Path() + "WINNT"; }
    std::string SoftwareHivePath() const { return WindowsDir() + "\\system32\\config\\software"; }
    // Every file below the image: path -> last-write time and bytes.
    std::map<std::string, std::string> Snapshot() const;

private:
    THiveBuilder FSoftware{"SOFTWARE"};
    std::unique_ptr<ScratchDir> FRoot;
    std::map<std::string, std::unique_ptr<ScratchDir>> FLiveDirs, FOfflineDirs;
    bool FOfflineOnly;
};
