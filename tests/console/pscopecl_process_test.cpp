// The built pscopecl.exe as a process: exact bytes on its standard output,
// its exit codes and its version resource.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConsoleArgs.h"
#include "ConsoleMain.h"
#include "PsVersion.h"

namespace {

// The build gives the program's Unix path; Wine reaches it through drive Z:.
std::string ProgramPath()
{
    std::string path = std::string("Z:").append(PSCOPECL_EXE);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

struct TProcessRun {
    DWORD ExitCode = 0xFFFFFFFF;
    std::string Output;
};

// Starts the program with the command line and collects all it writes to
// standard output through a pipe; with OutputClosed, nobody reads the pipe,
// so every write fails. A program still running after a minute is ended and
// reported as exit code 0xFFFFFFFF.
TProcessRun RunProgram(const std::string& arguments, bool outputClosed = false)
{
    TProcessRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    if (outputClosed) {
        CloseHandle(readEnd);
        readEnd = nullptr;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::string commandLine = '"' + ProgramPath();
    commandLine += "\" " + arguments;
    BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                  nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (readEnd && ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            run.Output.append(buffer, got);
        if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &run.ExitCode);
        else
            TerminateProcess(process.hProcess, 0xFFFFFFFF);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (readEnd)
        CloseHandle(readEnd);
    return run;
}

TEST(ConsoleProgram, HelpTextBytes)
{
    TProcessRun run = RunProgram("/?");
    EXPECT_EQ(run.ExitCode, 0u);
    std::string expected;
    for (const std::string& line : HelpTextLines())
        expected += line + "\r\n";
    EXPECT_EQ(run.Output, expected);
    EXPECT_EQ(run.Output.find("\r\r"), std::string::npos);
}

TEST(ConsoleProgram, MessagesAndExitCodes)
{
    TProcessRun run = RunProgram("q Dx");
    EXPECT_EQ(run.ExitCode, 1u);
    EXPECT_EQ(run.Output, "pscopecl: Invalid parameter DX, use /? for help\r\n");

    run = RunProgram("\\\\no-such-pc");
    EXPECT_EQ(run.ExitCode, 1u);
    EXPECT_EQ(run.Output, "pscopecl: Error connecting to the computer \\\\NO-SUCH-PC.\r\n");
}

TEST(ConsoleProgram, StandardOutputClosedEndsWithExitCodeOne)
{
    // The help text, which exits with 0 when it can be written.
    EXPECT_EQ(RunProgram("/?", true).ExitCode, 1u);
}

TEST(ConsoleProgram, ListingMatchesTheInProcessRun)
{
    // Only identifiers: the prefix's own registry, read by both runs.
    TProcessRun run = RunProgram("q");
    EXPECT_EQ(run.ExitCode, 0u);
    TStringLineWriter output, warnings;
    ASSERT_EQ(RunConsole({"Q"}, output, warnings), 0);
    EXPECT_EQ(run.Output, output.Text);
}

std::string VersionString(const std::vector<char>& info, const std::string& name)
{
    void* value = nullptr;
    UINT length = 0;
    std::string path = "\\StringFileInfo\\040904E4\\" + name;
    if (!VerQueryValueA(info.data(), path.c_str(), &value, &length) || !value)
        return "(missing)";
    return std::string(static_cast<const char*>(value));
}

TEST(ConsoleProgram, VersionResource)
{
    const std::string path = ProgramPath();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    // Both fixed numbers are the file version, as its text gives it.
    auto numbers = [](DWORD ms, DWORD ls) {
        return std::to_string(HIWORD(ms)) + '.' + std::to_string(LOWORD(ms)) + '.' +
               std::to_string(HIWORD(ls)) + '.' + std::to_string(LOWORD(ls));
    };
    EXPECT_EQ(numbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS), PS_CONSOLE_FILE_VERSION_TEXT);
    EXPECT_EQ(numbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS), PS_CONSOLE_FILE_VERSION_TEXT);
    EXPECT_EQ(VersionString(info, "ProductVersion"), PS_VERSION_TEXT);
    EXPECT_EQ(VersionString(info, "FileVersion"), PS_CONSOLE_FILE_VERSION_TEXT);
    EXPECT_EQ(VersionString(info, "FileDescription"), "Console version of Patchscope");
    EXPECT_EQ(VersionString(info, "InternalName"), "Patchscope Command-line");
    EXPECT_EQ(VersionString(info, "ProductName"), "Patchscope");
    EXPECT_EQ(VersionString(info, "CompanyName"), "N/A");
    EXPECT_EQ(VersionString(info, "OriginalFilename"), "pscopecl.exe");
    EXPECT_NE(VersionString(info, "LegalCopyright"), "(missing)");
}

}  // namespace
