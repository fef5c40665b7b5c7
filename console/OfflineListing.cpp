#include "OfflineListing.h"

#include "OfflineSystem.h"

namespace {

// A note that cannot be written stops no listing.
void Note(TLineWriter& warnings, const std::string& message)
{
    try {
        ReportError(warnings, message, false);
    } catch (const EOutputError&) {
    }
}

}  // namespace

void ReadOfflineSystem(const TOfflineOpener& open, const THotfixReadOptions& options,
                       TLineWriter& output, TLineWriter& warnings,
                       const TConsolePlatform::TTargetUse& use)
{
    try {
        const std::unique_ptr<TOfflineSystem> offline = open();
        if (!offline->Warning().empty())
            Note(warnings, offline->Warning() + ".");
        if (offline->TimesAsStored())
            Note(warnings, offline->Files().WindowsDir() +
                               " is on a FAT volume, which keeps the system's local time: "
                               "times are shown as stored, with no time zone applied.");
        THotfixReader reader(offline->Registry(), offline->Files(), options);
        use(reader, offline->Files());
    } catch (const EOfflineError& error) {
        ReportError(output, std::string(error.what()) + ".", true);
    } catch (const EHiveError& error) {
        ReportError(output, std::string(error.what()) + ".", true);
    }
}

void ReadOfflineTarget(const TFileSource& files, const THotfixReadOptions& options,
                       TLineWriter& output, TLineWriter& warnings,
                       const TConsolePlatform::TTargetUse& use, const TTextCodePage& codePage)
{
    ReadOfflineSystem([&] { return std::make_unique<TOfflineSystem>(files, codePage); }, options,
                      output, warnings, use);
}

void ReadOfflineHotfixes(const TFileSource& files, const THotfixReadOptions& options,
                         THotfixSink& sink, TLineWriter& output, TLineWriter& warnings,
                         const TTextCodePage& codePage)
{
    ReadOfflineTarget(
        files, options, output, warnings,
        [&](THotfixReader& reader, const TFileSource&) {
            const TMachineSettings machine = reader.ReadMachineSettings();
            reader.ReadHotfixes(machine, sink);
        },
        codePage);
}
