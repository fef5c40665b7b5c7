#include "ConsoleMain.h"

#include <new>

#include "ConsoleArgs.h"
#include "HotfixReader.h"
#include "LiveTarget.h"
#include "TargetAccessWin.h"
#include "LocaleInfo.h"
#include "RegistryEx.h"
#include "ps_common.h"

namespace {

// Thrown by a fatal ReportError and caught where the run returns its code.
struct TConsoleExit {
    int Code;
};

std::string UpperCase(std::string text)
{
    if (!text.empty())
        CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string ExceptionClassName(const std::exception& error)
{
    if (dynamic_cast<const ERegistryException*>(&error))
        return "ERegistryException";
    if (dynamic_cast<const EStringListError*>(&error))
        return "EStringListError";
    if (dynamic_cast<const EOutputError*>(&error))
        return "EOutputError";
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return "EOutOfMemory";
    return "Exception";
}

// "Exception <class>: <message>." (the full stop only once).
std::string ExceptionReport(const std::string& className, std::string message)
{
    if (message.empty() || message.back() != '.')
        message += '.';
    return "Exception " + className + ": " + message;
}

// Prints each hotfix as one line of the selected fields, tab-separated, as
// soon as it is read.
class TConsoleListing : public THotfixSink {
public:
    TConsoleListing(const TConsoleArgs& args, const TListSettings& settings, TLineWriter& output)
        : FArgs(args), FSettings(settings), FOutput(output)
    {
    }

    void HotfixFound(const std::string&, const std::string&) override {}

    void HotfixRead(const THotfix& hotfix, bool uninstInfFound) override
    {
        FLine.clear();
        FFieldCount = 0;
        if (FArgs.PrintID)
            AddField(hotfix.ID);
        if (FArgs.PrintDescription)
            AddField(hotfix.Description);
        // Without "uninst.inf" there is no date field at all, so the later
        // fields move left; an unconvertible time keeps its place.
        if (FArgs.PrintDateApplied && uninstInfFound)
            AddField(hotfix.DateApplied != 0 ? FormatDate(hotfix.DateApplied)
                                             : FSettings.DefaultText);
        if (FArgs.PrintFiles)
            AddField(hotfix.Files);
        if (FFieldCount > 0)
            FOutput.WriteLine(FLine);
    }

private:
    void AddField(const std::string& field)
    {
        if (FFieldCount++ > 0)
            FLine += '\t';
        FLine += field;
    }

    // Hotfixes of one installation run share their time; one remembered
    // value spares formatting it again.
    const std::string& FormatDate(double value)
    {
        if (value != FLastDate || FLastDateText.empty()) {
            FLastDate = value;
            FLastDateText = FormatDateTime(FSettings.TimeFormat, value, LocaleFormatSettings());
        }
        return FLastDateText;
    }

    const TConsoleArgs& FArgs;
    const TListSettings& FSettings;
    TLineWriter& FOutput;
    std::string FLine;
    int FFieldCount = 0;
    double FLastDate = 0;
    std::string FLastDateText;
};

// A missing or damaged registry file of an offline system: its message, as
// any other error that ends the run.
int ReportOfflineError(TLineWriter& output, const std::exception& error)
{
    try {
        output.WriteLine("pscopecl: " + std::string(error.what()) + ".");
    } catch (const EOutputError&) {
    }
    return 1;
}

void PrintHelp(TLineWriter& output)
{
    for (const std::string& line : HelpTextLines())
        output.WriteLine(line);
}

void ReadAndPrint(THotfixReader& reader, const TConsoleArgs& args,
                  const TListSettings& settings, TLineWriter& output)
{
    const TMachineSettings machine = reader.ReadMachineSettings();
    TConsoleListing listing(args, settings, output);
    reader.ReadHotfixes(machine, listing);
}

void ListHotfixes(const TConsoleArgs& args, TLineWriter& output, TLineWriter& warnings)
{
    TRegIniFileEx registry("");
    const TListSettings settings = ReadListSettings(registry, LocaleFormatSettings());

    THotfixReadOptions options;
    options.WantDescription = args.PrintDescription;
    options.WantUninstallDir = args.PrintDateApplied || args.PrintFiles;
    options.InstallerFilesAreDates = false;
    options.DefaultText = settings.DefaultText;

    if (!args.Offline.empty()) {
        // Nothing of the offline system is written, the settings key included.
        const std::unique_ptr<TOfflineSystem> offline = OpenOfflineSystem(args.Offline);
        if (!offline->Warning().empty()) {
            try {
                ReportError(warnings, offline->Warning() + ".", false);
            } catch (const EOutputError&) {
                // a closed standard error stops no listing
            }
        }
        THotfixReader reader(offline->Registry(), offline->Files(), WithProgramLists(options));
        ReadAndPrint(reader, args, settings, output);
        return;
    }

    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!args.Computer.empty() && !registry.RegistryConnect(args.Computer))
        ReportError(output, "Error connecting to the computer " + args.Computer + ".", true);
    TLiveHotfixReader reader(registry, args.Computer, options, false);
    ReadAndPrint(reader, args, settings, output);
}

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

void ReportError(TLineWriter& output, const std::string& message, bool fatal)
{
    output.WriteLine("pscopecl: " + message);
    if (fatal)
        throw TConsoleExit{1};
}

int RunConsole(const std::vector<std::string>& args, TLineWriter& output, TLineWriter& warnings)
{
    try {
        std::vector<std::string> upper;
        upper.reserve(args.size());
        for (const std::string& arg : args)
            upper.push_back(UpperCase(arg));
        const TConsoleArgs parsed = ParseConsoleArgs(upper);
        if (parsed.ShowHelp) {
            PrintHelp(output);
            return 0;
        }
        if (parsed.InvalidParameter)
            ReportError(output, "Invalid parameter " + *parsed.InvalidParameter + ", use /? for help",
                        true);
        ListHotfixes(parsed, output, warnings);
        return 0;
    } catch (const TConsoleExit& exit) {
        return exit.Code;
    } catch (const EOfflineError& error) {
        return ReportOfflineError(output, error);
    } catch (const EHiveError& error) {
        return ReportOfflineError(output, error);
    } catch (const EOutputError&) {
        return 1;   // nowhere left to report it
    } catch (const std::exception& error) {
        try {
            output.WriteLine(ExceptionReport(ExceptionClassName(error), error.what()));
        } catch (const EOutputError&) {
        }
        return 1;
    } catch (...) {
        try {
            output.WriteLine(ExceptionReport("Exception", "Unknown error"));
        } catch (const EOutputError&) {
        }
        return 1;
    }
}
