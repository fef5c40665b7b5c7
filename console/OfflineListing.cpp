#include "OfflineListing.h"

#include "OfflineSystem.h"

void ReadOfflineHotfixes(const TFileSource& files, const THotfixReadOptions& options,
                         THotfixSink& sink, TLineWriter& output, TLineWriter& warnings,
                         const TTextCodePage& codePage)
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
        const TMachineSettings machine = reader.ReadMachineSettings();
        reader.ReadHotfixes(machine, sink);
    } catch (const EOfflineError& error) {
        ReportError(output, std::string(error.what()) + ".", true);
    } catch (const EHiveError& error) {
        ReportError(output, std::string(error.what()) + ".", true);
    }
}
