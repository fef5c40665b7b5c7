#pragma once
// The run of pscopecl on Windows, apart from the process itself so that tests
// can run it in-process on a private registry.
#include <windows.h>

#include <string>
#include <vector>

#include "ConsoleRun.h"

// Lines to a file or pipe handle (standard output), each in one write, so the
// bytes are exactly those given. A failed write raises EOutputError.
class THandleLineWriter : public TLineWriter {
public:
    explicit THandleLineWriter(HANDLE output) : FOutput(output) {}
    void WriteLine(const std::string& line) override;

private:
    HANDLE FOutput;
    std::string FBuffer;
};

// The whole run on this computer's registry and files (see the platform-free
// RunConsole): arguments upper-cased by the system's locale rules, the user's
// settings from HKEY_CURRENT_USER, the target local or remote.
// Warnings (standard error when not given) gets the lines that end nothing,
// such as an offline registry saved with changes pending.
int RunConsole(const std::vector<std::string>& args, TLineWriter& output);
int RunConsole(const std::vector<std::string>& args, TLineWriter& output, TLineWriter& warnings);
