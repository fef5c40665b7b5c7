#include "ConsoleRun.h"

#include <new>
#include <optional>

#include "HotfixRecords.h"
#include "HotfixVerify.h"
#include "RegistrySource.h"
#include "SplitLst.h"

namespace {

// Thrown by a fatal ReportError and caught where the run returns its code.
struct TConsoleExit {
    int Code;
};

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
    TConsoleListing(const TConsoleArgs& args, const TListSettings& settings,
                    const TFormatSettings& format, TLineWriter& output)
        : FArgs(args), FSettings(settings), FFormat(format), FOutput(output)
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
            FLastDateText = FormatDateTime(FSettings.TimeFormat, value, FFormat);
        }
        return FLastDateText;
    }

    const TConsoleArgs& FArgs;
    const TListSettings& FSettings;
    const TFormatSettings& FFormat;
    TLineWriter& FOutput;
    std::string FLine;
    int FFieldCount = 0;
    double FLastDate = 0;
    std::string FLastDateText;
};

void PrintHelp(TLineWriter& output, const TConsolePlatform& platform)
{
    for (const std::string& line : platform.HelpText())
        output.WriteLine(line);
}

void ListHotfixes(const TConsoleArgs& args, TLineWriter& output, TConsolePlatform& platform)
{
    const TListSettings settings = platform.ReadListSettings();
    THotfixReadOptions options;
    options.WantDescription = args.PrintDescription;
    options.WantUninstallDir = args.PrintDateApplied || args.PrintFiles;
    options.InstallerFilesAreDates = false;
    options.DefaultText = settings.DefaultText;
    TConsoleListing listing(args, settings, platform.FormatSettings(), output);
    platform.ReadTarget(args, options, output, [&](THotfixReader& reader, const TFileSource&) {
        const TMachineSettings machine = reader.ReadMachineSettings();
        reader.ReadHotfixes(machine, listing);
    });
}

// One line per verified file: identifier, file, state, installed path,
// installed version, saved version.
class TConsoleVerification : public TVerifySink {
public:
    explicit TConsoleVerification(TLineWriter& output) : FOutput(output) {}

    bool Continue(int, int, const std::string&) override { return true; }
    void FileVerified(const TVerifiedFile& file) override
    {
        auto version = [](const std::optional<TFileVersion>& value) {
            return value ? FileVersionText(*value) : std::string();
        };
        FOutput.WriteLine(file.HotfixID + '\t' + file.FileName + '\t' + StateText(file.State) +
                          '\t' + file.InstalledPath + '\t' + version(file.InstalledVersion) +
                          '\t' + version(file.SavedVersion));
        Counts.Add(file);
    }

    TVerifyCounts Counts;

private:
    TLineWriter& FOutput;
};

// 0 when every file is in effect, 2 when any is undone or missing.
int VerifyHotfixList(const TConsoleArgs& args, TLineWriter& output, TConsolePlatform& platform)
{
    TConsoleVerification verification(output);
    platform.ReadTarget(args, HotfixRecordOptions(), output,
                        [&](THotfixReader& reader, const TFileSource& files) {
                            const THotfixRecords records = ReadHotfixRecords(reader);
                            VerifyHotfixes(files, records.Listed, records.Recorded, verification);
                        });
    return verification.Counts.AllInEffect() ? 0 : 2;
}

}  // namespace

void ReportError(TLineWriter& output, const std::string& message, bool fatal)
{
    output.WriteLine("pscopecl: " + message);
    if (fatal)
        throw TConsoleExit{1};
}

int RunConsole(const std::vector<std::string>& args, TLineWriter& output,
               TConsolePlatform& platform)
{
    try {
        std::vector<std::string> upper;
        upper.reserve(args.size());
        for (const std::string& arg : args)
            upper.push_back(platform.UpperCaseArgument(arg));
        const TConsoleArgs parsed = ParseConsoleArgs(upper);
        if (parsed.ShowHelp) {
            PrintHelp(output, platform);
            return 0;
        }
        if (parsed.InvalidParameter)
            ReportError(output, "Invalid parameter " + *parsed.InvalidParameter + ", use /? for help",
                        true);
        if (parsed.Verify)
            return VerifyHotfixList(parsed, output, platform);
        ListHotfixes(parsed, output, platform);
        return 0;
    } catch (const TConsoleExit& exit) {
        return exit.Code;
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
