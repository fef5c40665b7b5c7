#include "OfflineListing.h"

#include "OfflineSystem.h"

void ReadOfflineTarget(const TFileSource& files, const THotfixReadOptions& options,
                       TLineWriter& output, TLineWriter& warnings,
                       const TConsolePlatform::TTargetUse& use, const TTextCodePage& codePage)
{
    try {
        TOfflineSystem offline(files, codePage);
        if (!offline.Warning().empty()) {
            try {
                ReportError(warnings, offline.Warning() + ".", false);
            } catch (const EOutputError&) {
                // a closed standard error stops no listing
            }
        }
        THotfixReader reader(offline.Registry(), offline.Files(), options);
        use(reader, offline.Files());
    } catch (const EOfflineError& error) {
        ReportError(output, std::string(error.what()) + ".", true);
    } catch (const EHiveError& error) {
        ReportError(output, std::string(error.what()) + ".", true);
    }
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
