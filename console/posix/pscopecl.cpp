// pscopecl on Linux: the hotfixes of an offline Windows directory (a mounted
// disk) or of a disk image, or several of them compared, on standard output,
// as the Windows program prints them.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ConsoleRun.h"
#ifdef PS_DISK_IMAGES
#include "ImageTarget.h"
#endif
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

#ifdef PS_DISK_IMAGES
// The native help with the disk image switch beside the offline one.
std::vector<std::string> WithImageLines(std::vector<std::string> lines)
{
    for (auto line = lines.begin(); line != lines.end(); ++line) {
        if (line->starts_with("Syntax: pscopecl /OFFLINE:<Windows directory>")) {
            *line = "Syntax: pscopecl /OFFLINE:<Windows directory> | /IMAGE:<image>[@n[:dir]]" +
                    line->substr(std::char_traits<char>::length(
                        "Syntax: pscopecl /OFFLINE:<Windows directory>"));
        } else if (line->starts_with(kOfflineSwitch)) {
            lines.insert(line + 1,
                         "/IMAGE:     Followed by a disk image[@volume[:directory]]: read its system.");
            break;
        }
    }
    return lines;
}
#endif

class TPosixConsolePlatform : public TConsolePlatform {
public:
    // Paths keep their case: the run restores the path of a path switch.
    std::string UpperCaseArgument(const std::string& arg) const override { return UpperAscii(arg); }

    // Offline systems and, where the library is built in, disk images: no
    // computer to name.
    const std::vector<std::string>& HelpText() const override
    {
#ifdef PS_DISK_IMAGES
        static const std::vector<std::string> lines = WithImageLines(NativeHelpTextLines());
        return lines;
#else
        return NativeHelpTextLines();
#endif
    }

    TLineWriter& Warnings() override { return FWarnings; }

    // No user registry here: both values take their defaults, the time in
    // the ISO order since there is no Windows locale to give a pattern.
    TListSettings ReadListSettings() override { return {"yyyy-mm-dd hh:nn:ss", kDefaultUnknownText}; }

    const TFormatSettings& FormatSettings() const override { return FFormat; }

    void ReadTarget(const TConsoleArgs& args, const THotfixReadOptions& options,
                    TLineWriter& output, const TTargetUse& use) override
    {
        THotfixReadOptions withLists = options;
        withLists.PreSP4List = kPreSP4Hotfixes;
        withLists.DefaultSearchPath = kDefaultHotfixSearchPath;
        if (!args.Image.empty()) {
#ifdef PS_DISK_IMAGES
            ReadOfflineSystem([&] { return OpenImageTarget(args.Image); }, withLists, output,
                              FWarnings, use);
            return;
#else
            ReportError(output,
                        "This pscopecl was built without disk images; mount the image and "
                        "name its Windows directory with /OFFLINE:<Windows directory>.",
                        true);
#endif
        }
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
        const TPosixFileSource files(args.Offline);
        ReadOfflineTarget(files, withLists, output, FWarnings, use);
    }

    std::string LocalComputerName() const override
    {
        std::string name(256, '\0');
        if (gethostname(name.data(), name.size() - 1) != 0)
            return ".";
        name.resize(name.find('\0'));
        return UpperAscii(name);
    }

    bool PathsKeepCase() const override { return true; }

    // One line rewritten in place on a terminal; nothing when redirected.
    void ShowProgress(const std::string& text, bool done) override
    {
        if (!isatty(STDERR_FILENO))
            return;
        std::string line(1, '\r');
        line.append(done ? std::string(text.size(), ' ') + '\r' : text);
        if (write(STDERR_FILENO, line.data(), line.size()) < 0)
            return;   // a progress line that cannot be shown stops nothing
    }

    bool ReadTextFile(const std::string& path, std::string& text) override
    {
        const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                                   &std::fclose);
        if (!file)
            return false;
        std::string block(65536, '\0');
        text.clear();
        std::size_t got = 0;
        while ((got = std::fread(block.data(), 1, block.size(), file.get())) > 0)
            text.append(block.data(), got);
        return std::ferror(file.get()) == 0;
    }

private:
    TFormatSettings FFormat;
    TErrorLineWriter FStandardError;
    TLockedLineWriter FWarnings{FStandardError};
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
