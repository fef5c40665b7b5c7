#include "ConsoleRun.h"

#include <new>
#include <optional>

#include "Comparison.h"
#include "HotfixRecords.h"
#include "HotfixVerify.h"
#include "RegistrySource.h"
#include "SplitLst.h"
#include "WorkerPool.h"

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

// Upper-cased as the platform does it, but for the path of a switch that
// names a file or directory, which keeps its spelling.
std::string ExaminedArgument(const std::string& arg, const TConsolePlatform& platform)
{
    std::string upper = platform.UpperCaseArgument(arg);
    for (const char* pathSwitch : {kOfflineSwitch, kImageSwitch, kBaselineSwitch, "@"}) {
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

// The lines of a list or baseline file; one that cannot be read ends the run.
std::vector<std::string> ReadListFile(const std::string& path, TLineWriter& output,
                                      TConsolePlatform& platform)
{
    std::string text;
    if (!platform.ReadTextFile(path, text))
        ReportError(output, "Cannot read the list file " + path + ".", true);
    return ReadListLines(text);
}

// The targets of the command line in order, list files opened in place,
// each target once; none at all ends the run.
std::vector<TCompareTarget> CompareTargets(const TConsoleArgs& args, TLineWriter& output,
                                           TConsolePlatform& platform)
{
    std::vector<TCompareTarget> targets;
    for (const TCompareArgument& argument : args.CompareTargets) {
        if (argument.ListFile.empty()) {
            AddTarget(targets, argument.Target, platform.PathsKeepCase());
            continue;
        }
        for (const std::string& line : ReadListFile(argument.ListFile, output, platform))
            AddTarget(targets, TargetOfText(line), platform.PathsKeepCase());
    }
    if (targets.empty())
        ReportError(output, "No target to compare, use /? for help", true);
    return targets;
}

// One target read as the single listing reads it; its failure is the
// listing's message.
TTargetResult ReadCompareTarget(TConsolePlatform& platform, const TCompareTarget& target,
                                const THotfixReadOptions& options, bool verify)
{
    TConsoleArgs args;
    if (target.Kind == TTargetKind::Computer)
        args.Computer = target.Name;
    else if (target.Kind == TTargetKind::Offline)
        args.Offline = target.Name;
    else if (target.Kind == TTargetKind::Image)
        args.Image = target.Name;
    TTargetResult result;
    TStringLineWriter messages;
    try {
        platform.ReadTarget(args, options, messages,
                            [&](THotfixReader& reader, const TFileSource& files) {
                                ReadComparedTarget(reader, files, verify, result);
                            });
        result.Read = true;
        return result;
    } catch (const TConsoleExit&) {
        result.Error = messages.Text;
        const std::string prefix = "pscopecl: ";
        if (result.Error.starts_with(prefix))
            result.Error.erase(0, prefix.size());
        while (!result.Error.empty() && (result.Error.back() == '\n' || result.Error.back() == '\r'))
            result.Error.pop_back();
    } catch (const std::exception& error) {
        result.Error = ExceptionReport(ExceptionClassName(error), error.what());
    }
    result.Hotfixes.clear();
    result.ServicePack.clear();
    return result;
}

// Reads every target on Args.Threads workers, the progress on the console.
std::vector<TTargetResult> ReadCompareTargets(const std::vector<TCompareTarget>& targets,
                                              const TConsoleArgs& args,
                                              TConsolePlatform& platform)
{
    THotfixReadOptions options = CompareReadOptions(args.Verify);
    std::vector<TTargetResult> results(targets.size());
    TWorkerPool pool(targets.size(), static_cast<unsigned>(args.Threads), [&](std::size_t index) {
        results[index] = ReadCompareTarget(platform, targets[index], options, args.Verify);
        return results[index].Read;
    });
    const std::string total = std::to_string(targets.size());
    for (;;) {
        const TPoolProgress progress = pool.Wait(250);
        const bool finished = pool.Finished();
        platform.ShowProgress(std::to_string(progress.Done) + " of " + total + " targets read, " +
                                  std::to_string(progress.Failed) + " not read",
                              finished);
        if (finished)
            break;
    }
    return results;
}

int CompareHotfixLists(const TConsoleArgs& args, TLineWriter& output, TConsolePlatform& platform)
{
    const std::vector<TCompareTarget> targets = CompareTargets(args, output, platform);
    TComparisonOptions options;
    options.Verify = args.Verify;
    options.HasBaseline = !args.Baseline.empty();
    if (options.HasBaseline)
        options.Baseline = ReadListFile(args.Baseline, output, platform);
    options.Settings = platform.ReadListSettings();
    const TFormatSettings& format = platform.FormatSettings();

    const std::vector<TTargetResult> results = ReadCompareTargets(targets, args, platform);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const bool image = targets[i].Kind == TTargetKind::Image && !results[i].Caption.empty();
        names.push_back(targets[i].Kind == TTargetKind::Local ? platform.LocalComputerName()
                        : image                              ? results[i].Caption
                                                             : targets[i].Name);
        if (!results[i].Read) {
            try {
                ReportError(platform.Warnings(), results[i].Error, false);
            } catch (const EOutputError&) {
                // a closed standard error stops no comparison
            }
        }
        for (const std::string& why : results[i].Incomplete)
            Warn(platform, why);
    }
    const TComparison comparison = BuildComparison(names, results, options, format);
    for (const std::string& line : ComparisonLines(comparison))
        output.WriteLine(line);
    return comparison.ExitCode();
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
        if (parsed.Compare)
            return CompareHotfixLists(parsed, output, platform);
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
