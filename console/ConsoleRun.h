#pragma once
// The run of pscopecl without the platform: its arguments, messages, exit
// codes and output lines. Each platform gives the run what only it knows (how
// arguments are upper-cased, the user's settings and locale, the reading of a
// target) through a TConsolePlatform.
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ConsoleArgs.h"
#include "DateTimePatterns.h"
#include "HotfixReader.h"

// Where the program's lines go; every line gets CR LF appended.
class TLineWriter {
public:
    virtual ~TLineWriter() = default;
    virtual void WriteLine(const std::string& line) = 0;
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

class TConsolePlatform {
public:
    virtual ~TConsolePlatform() = default;
    // One argument as the platform upper-cases it before it is examined (the
    // path of an offline or image switch keeps its spelling all the same).
    virtual std::string UpperCaseArgument(const std::string& arg) const = 0;
    // The lines of /?; a platform may give its own.
    virtual const std::vector<std::string>& HelpText() const { return HelpTextLines(); }
    // Where lines that end nothing go (standard error).
    virtual TLineWriter& Warnings() = 0;
    // "Time format" and "Text if unknown value".
    virtual TListSettings ReadListSettings() = 0;
    virtual const TFormatSettings& FormatSettings() const = 0;
    // Opens the target that Args name and hands Use its reading procedure
    // (made with Options and the program's lists) and its files. Failures
    // that end the run go to ReportError on Output.
    using TTargetUse = std::function<void(THotfixReader& reader, const TFileSource& files)>;
    virtual void ReadTarget(const TConsoleArgs& args, const THotfixReadOptions& options,
                            TLineWriter& output, const TTargetUse& use) = 0;
};

// The whole run: Args as typed after the program name. Returns the exit code:
// 0, 2 when /VERIFY found a file undone or missing, 1 for an error. A
// directory or file that could not be looked at is reported on Warnings, and
// its run ends with 1 after every line it could read, as does a verification
// with nothing to compare. An unexpected error ends the run with a report
// naming its class and message, after the lines already written.
int RunConsole(const std::vector<std::string>& args, TLineWriter& output,
               TConsolePlatform& platform);
