#include "ConsoleMain.h"

#include <optional>

#include "LiveTarget.h"
#include "OfflineListing.h"
#include "LocaleInfo.h"
#include "RegistryEx.h"
#include "ps_common.h"

namespace {

// UTF-8 in the ANSI code page, as the live registry gives texts.
std::string AnsiOfUtf8(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int length = static_cast<int>(utf8.size());
    const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    if (wide <= 0)
        return utf8;
    std::wstring units(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, units.data(), wide);
    const int narrow = WideCharToMultiByte(CP_ACP, 0, units.data(), wide, nullptr, 0, nullptr, nullptr);
    if (narrow <= 0)
        return utf8;
    std::string text(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(CP_ACP, 0, units.data(), wide, text.data(), narrow, nullptr, nullptr);
    return text;
}

class TWin32ConsolePlatform : public TConsolePlatform {
public:
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

    void ReadHotfixes(const TConsoleArgs& args, const THotfixReadOptions& options,
                      THotfixSink& sink, TLineWriter& output) override
    {
        if (!args.Offline.empty()) {
            const TWin32FileSource files(OfflineWindowsDir(args.Offline));
            THandleLineWriter warnings(GetStdHandle(STD_ERROR_HANDLE));
            ReadOfflineHotfixes(files, WithProgramLists(options), sink, output, warnings,
                                AnsiOfUtf8);
            return;
        }
        TRegIniFileEx& registry = Registry();
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        if (!args.Computer.empty() && !registry.RegistryConnect(args.Computer))
            ReportError(output, "Error connecting to the computer " + args.Computer + ".", true);
        TLiveHotfixReader reader(registry, args.Computer, options, false);
        const TMachineSettings machine = reader.ReadMachineSettings();
        reader.ReadHotfixes(machine, sink);
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

int RunConsole(const std::vector<std::string>& args, TLineWriter& output)
{
    TWin32ConsolePlatform platform;
    return RunConsole(args, output, platform);
}
