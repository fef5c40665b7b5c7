#pragma once
#include <windows.h>

#include <string>

// A directory that exists for the lifetime of the object and is then removed
// with everything in it. Tests create uninstall directories below the prefix's
// Windows directory with it. Names a test chooses carry the process id
// (ProcessTag) so that test programs running side by side do not meet; the
// names the programs fix ($NtUninstall<ID>$, $NtServicePackUninstall$) are
// the same for every test program, so the programs that create them hold the
// CTest resource lock "uninstall_dirs".
class ScratchDir {
public:
    explicit ScratchDir(std::string path);   // created (with parents) at once
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return FPath; }   // ends with a backslash
    // Creates (or replaces) a file; with a year, its last-write time is set to
    // that local date and time.
    void AddFile(const std::string& name, const std::string& content = "");
    void AddFile(const std::string& name, const SYSTEMTIME& localTime,
                 const std::string& content = "");
    void AddSubdirectory(const std::string& name);

private:
    std::string FPath;
};

std::string WindowsDirectory();                  // with a trailing backslash
std::string ProcessTag();                        // short text unique to this process
SYSTEMTIME LocalTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
std::string ReadWholeFile(const std::string& path);

// The bytes of a test library whose fixed file version is 4.0.1381.Build,
// for Build 100 or 200.
std::string VersionedLibrary(int build);
