#pragma once
// The scratch files of tests/support/TestFiles.h on Linux, for the tests that
// run on both platforms: names and paths written with "\" as on Windows, the
// test libraries taken from the fuzzers' seeds.
#include <ctime>
#include <string>

class ScratchDir {
public:
    explicit ScratchDir(std::string path);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return FPath; }   // ends with a separator
    void AddFile(const std::string& name, const std::string& content = "");
    void AddFile(const std::string& name, std::time_t localTime, const std::string& content = "");
    void AddSubdirectory(const std::string& name);

private:
    std::string FPath;
};

std::string WindowsDirectory();   // a scratch place, with a trailing separator
std::string ProcessTag();
std::time_t LocalTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
std::string VersionedLibrary(int build);   // 4.0.1381.Build, Build 100 or 200
