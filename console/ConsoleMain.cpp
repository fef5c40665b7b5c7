#include "ConsoleMain.h"

#include <optional>

#include "LiveTarget.h"
#include "LocaleInfo.h"
#include "OfflineListing.h"
#include "RegistryEx.h"
#include "TargetAccessWin.h"
#include "ps_common.h"

namespace {

class TWin32ConsolePlatform : public TConsolePlatform {
public:
    // Warnings: where lines that end nothing go (standard error).
    explicit TWin32ConsolePlatform(TLineWriter& warnings) : FWarnings(warnings) {}

    std::string UpperCaseArgument(const std::string& arg) const override
    {
        std::string text = arg;
        if (!text.empty())
            CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
        return text;
    }

    TListSettings ReadListSettings() override
    {
        return ::ReadListSettings(Registry(), LocaleFormatSettings());
    }

    const TFormatSettings& FormatSettings() const override { return LocaleFormatSettings(); }

    TLineWriter& Warnings() override { return FWarnings; }

    void ReadTarget(const TConsoleArgs& args, const THotfixReadOptions& options,
                    TLineWriter& output, const TTargetUse& use) override
    {
        if (!args.Image.empty())
            ReportError(output,
                        "Disk images are read by the Linux program; here mount the image and "
                        "name its Windows directory with /OFFLINE:<Windows directory>.",
                        true);
        if (!args.Offline.empty()) {
            // Nothing of the offline system is written, the settings key included.
            const TWin32FileSource files(OfflineWindowsDir(args.Offline));
            ReadOfflineTarget(files, WithProgramLists(options), output, FWarnings, use,
                              AnsiCodePage());
            return;
        }
        TRegIniFileEx& registry = Registry();
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        if (!args.Computer.empty() && !registry.RegistryConnect(args.Computer))
            ReportError(output, "Error connecting to the computer " + args.Computer + ".", true);
        TLiveHotfixReader reader(registry, args.Computer, options, false);
        use(reader, reader.TargetFiles());
    }

private:
    // One registry object serves the run, made when the arguments have been
    // examined: the user's root first, then the target's.
    TRegIniFileEx& Registry()
    {
        if (!FRegistry)
            FRegistry.emplace("");
        return *FRegistry;
    }
    std::optional<TRegIniFileEx> FRegistry;
    TLineWriter& FWarnings;
};

}  // namespace

void THandleLineWriter::WriteLine(const std::string& line)
{
    FBuffer.assign(line);
    FBuffer += "\r\n";
    DWORD written = 0;
    if (!WriteFile(FOutput, FBuffer.data(), static_cast<DWORD>(FBuffer.size()), &written,
                   nullptr) ||
        written != FBuffer.size())
        throw EOutputError("Cannot write to the standard output");
}

int RunConsole(const std::vector<std::string>& args, TLineWriter& output, TLineWriter& warnings)
{
    TWin32ConsolePlatform platform(warnings);
    return RunConsole(args, output, static_cast<TConsolePlatform&>(platform));
}

int RunConsole(const std::vector<std::string>& args, TLineWriter& output)
{
    THandleLineWriter warnings(GetStdHandle(STD_ERROR_HANDLE));
    return RunConsole(args, output, warnings);
}
