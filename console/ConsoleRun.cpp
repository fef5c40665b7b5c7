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

// A line on the platform's Warnings, dropped when it cannot be written.
void Warn(TConsolePlatform& platform, const std::string& message)
{
    try {
        ReportError(platform.Warnings(), message + ".", false);
    } catch (const EOutputError&) {
    }
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
                    TConsolePlatform& platform, TLineWriter& output)
        : FArgs(args), FSettings(settings), FFormat(platform.FormatSettings()),
          FPlatform(platform), FOutput(output)
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
        if (!hotfix.DirFailure.empty()) {
            Warn(FPlatform, hotfix.DirFailure);
            Incomplete = true;
        }
    }

    bool Incomplete = false;

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
    TConsolePlatform& FPlatform;
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

// Upper-cased as the platform does it, but for the path of an offline or
// image switch, which keeps its spelling.
std::string ExaminedArgument(const std::string& arg, const TConsolePlatform& platform)
{
    std::string upper = platform.UpperCaseArgument(arg);
    for (const char* pathSwitch : {kOfflineSwitch, kImageSwitch}) {
        const std::size_t prefix = std::char_traits<char>::length(pathSwitch);
        if (upper.starts_with(pathSwitch) && arg.size() >= prefix) {
            upper.replace(prefix, std::string::npos, arg, prefix);
            break;
        }
    }
    return upper;
}

// 0, or 1 when an uninstall directory could not be listed.
int ListHotfixes(const TConsoleArgs& args, TLineWriter& output, TConsolePlatform& platform)
{
    const TListSettings settings = platform.ReadListSettings();
    THotfixReadOptions options;
    options.WantDescription = args.PrintDescription;
    options.WantUninstallDir = args.PrintDateApplied || args.PrintFiles;
    options.InstallerFilesAreDates = false;
    options.DefaultText = settings.DefaultText;
    TConsoleListing listing(args, settings, platform, output);
    platform.ReadTarget(args, options, output, [&](THotfixReader& reader, const TFileSource&) {
        const TMachineSettings machine = reader.ReadMachineSettings();
        reader.ReadHotfixes(machine, listing);
    });
    return listing.Incomplete ? 1 : 0;
}

// One line per verified file: identifier, file, state, installed path,
// installed version, saved version.
class TConsoleVerification : public TVerifySink {
public:
    TConsoleVerification(TLineWriter& output, TConsolePlatform& platform)
        : FOutput(output), FPlatform(platform)
    {
    }

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
    void VerificationIncomplete(const std::string& why) override
    {
        Warn(FPlatform, why);
        Incomplete = true;
    }

    TVerifyCounts Counts;
    bool Incomplete = false;

private:
    TLineWriter& FOutput;
    TConsolePlatform& FPlatform;
};

// 0 when every file is in effect, 2 when any is undone or missing; 1 when
// the result is incomplete or there is nothing to compare, since then
// nothing can be vouched for.
int VerifyHotfixList(const TConsoleArgs& args, TLineWriter& output, TConsolePlatform& platform)
{
    TConsoleVerification verification(output, platform);
    platform.ReadTarget(args, HotfixRecordOptions(), output,
                        [&](THotfixReader& reader, const TFileSource& files) {
                            const THotfixRecords records = ReadHotfixRecords(reader);
                            try {
                                VerifyHotfixes(files, records.Listed, records.Recorded,
                                               verification);
                            } catch (const EVerifyError& error) {
                                ReportError(output, std::string(error.what()) + ".", true);
                            }
                        });
    if (verification.Incomplete)
        return 1;
    if (verification.Counts.Files == 0) {
        Warn(platform, kNothingToCompare);
        return 1;
    }
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
            upper.push_back(ExaminedArgument(arg, platform));
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
        return ListHotfixes(parsed, output, platform);
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
