// pscopecl on Linux: the hotfixes of an offline Windows directory (a mounted
// disk or image) on standard output, as the Windows program prints them.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <vector>

#include "ConsoleRun.h"
#include "OfflineListing.h"
#include "PosixFileSource.h"
#include "ProgramLists.h"

namespace {

// Lines to a file descriptor, CR LF appended, each written whole (a short
// write continues). A failed write raises EOutputError. Buffered, lines are
// collected up to a block and written by Flush at the latest: a terminal
// shows each line as it is read, a file or pipe gets blocks.
class TFdLineWriter : public TLineWriter {
public:
    TFdLineWriter(int fd, bool buffered) : FFd(fd), FBuffered(buffered) {}
    void WriteLine(const std::string& line) override
    {
        FBuffer += line;
        FBuffer += "\r\n";
        if (!FBuffered || FBuffer.size() >= kBlock)
            Flush();
    }
    void Flush()
    {
        std::size_t done = 0;
        while (done < FBuffer.size()) {
            const ssize_t written = write(FFd, FBuffer.data() + done, FBuffer.size() - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                FBuffer.clear();
                throw EOutputError("Cannot write to the standard output");
            }
            done += static_cast<std::size_t>(written);
        }
        FBuffer.clear();
    }

private:
    static constexpr std::size_t kBlock = 65536;
    int FFd;
    bool FBuffered;
    std::string FBuffer;
};

// Warnings go to standard error; one that cannot be written is dropped.
class TErrorLineWriter : public TFdLineWriter {
public:
    TErrorLineWriter() : TFdLineWriter(STDERR_FILENO, false) {}
    void WriteLine(const std::string& line) override
    {
        try {
            TFdLineWriter::WriteLine(line);
        } catch (const EOutputError&) {
        }
    }
};

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

class TPosixConsolePlatform : public TConsolePlatform {
public:
    // Linux paths keep their case: of "/offline:<path>" only the switch is
    // upper-cased.
    std::string UpperCaseArgument(const std::string& arg) const override
    {
        std::string upper = UpperAscii(arg);
        if (upper.starts_with(kOfflineSwitch))
            return upper.substr(0, std::char_traits<char>::length(kOfflineSwitch)) +
                   arg.substr(std::char_traits<char>::length(kOfflineSwitch));
        return upper;
    }

    // No user registry here: both values take their defaults, the time in
    // the ISO order since there is no Windows locale to give a pattern.
    TListSettings ReadListSettings() override { return {"yyyy-mm-dd hh:nn:ss", kDefaultUnknownText}; }

    const TFormatSettings& FormatSettings() const override { return FFormat; }

    void ReadTarget(const TConsoleArgs& args, const THotfixReadOptions& options,
                    TLineWriter& output, const TTargetUse& use) override
    {
        if (args.Offline.empty() && !args.Computer.empty())
            ReportError(output,
                        "Remote computers need the Windows program; here only "
                        "/OFFLINE:<Windows directory> can be listed (" + args.Computer + ").",
                        true);
        if (args.Offline.empty())
            ReportError(output,
                        "This computer has no hotfixes of its own; name a mounted Windows "
                        "directory with /OFFLINE:<Windows directory>.",
                        true);
        THotfixReadOptions withLists = options;
        withLists.PreSP4List = kPreSP4Hotfixes;
        withLists.DefaultSearchPath = kDefaultHotfixSearchPath;
        const TPosixFileSource files(args.Offline);
        TErrorLineWriter warnings;
        ReadOfflineTarget(files, withLists, output, warnings, use);
    }

private:
    TFormatSettings FFormat;
};

}  // namespace

int main(int argc, char* argv[])
{
    // A closed output (a pipe to "head") is a write error that ends the run
    // with exit code 1, not a signal that kills it.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    TFdLineWriter output(STDOUT_FILENO, isatty(STDOUT_FILENO) == 0);
    TPosixConsolePlatform platform;
    const int code = RunConsole(args, output, platform);
    try {
        output.Flush();
    } catch (const EOutputError&) {
        return 1;
    }
    return code;
}
