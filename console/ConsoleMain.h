#pragma once
// The run of pscopecl, from its arguments to its exit code, apart from the
// process itself so that tests can run it in-process on a private registry.
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

// Where the program's lines go; every line gets CR LF appended.
class TLineWriter {
public:
    virtual ~TLineWriter() = default;
    virtual void WriteLine(const std::string& line) = 0;
};

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

// Lines collected in memory, CR LF included.
class TStringLineWriter : public TLineWriter {
public:
    void WriteLine(const std::string& line) override { Text += line + "\r\n"; }
    std::string Text;
};

class EOutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes "pscopecl: <message>"; with Fatal the run ends with exit code 1.
void ReportError(TLineWriter& output, const std::string& message, bool fatal);

// The whole run: Args as typed after the program name (they are upper-cased
// here). Returns the exit code, 0 or 1. An unexpected error ends the run with
// a report naming its class and message, after the lines already written.
int RunConsole(const std::vector<std::string>& args, TLineWriter& output, TLineWriter& warnings);
