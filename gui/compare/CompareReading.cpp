#include "CompareReading.h"

#include <windows.h>


#include "LiveTarget.h"
#include "OfflineSystem.h"
#include "RegistryEx.h"
#include "SplitLst.h"
#include "TargetAccessWin.h"

namespace {

const char* const kCompareSection = "Compare";
const char* const kTargetsValue = "Targets";

void ReadTarget(const TCompareTarget& target, bool verify, TTargetResult& result)
{
    const THotfixReadOptions options = WithProgramLists(CompareReadOptions(verify));
    switch (target.Kind) {
    case TTargetKind::Offline: {
        const std::unique_ptr<TOfflineSystem> offline = OpenOfflineSystem(target.Name);
        THotfixReader reader(offline->Registry(), offline->Files(), options);
        ReadComparedTarget(reader, offline->Files(), verify, result);
        return;
    }
    case TTargetKind::Image:
        throw std::runtime_error("Disk images are read by the Linux program; here mount the "
                                 "image and name its Windows directory.");
    case TTargetKind::Local:
    case TTargetKind::Computer:
        break;
    }
    TRegIniFileEx registry("");
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!target.Name.empty() && !registry.RegistryConnect(target.Name))
        throw std::runtime_error("Error connecting to the computer " + target.Name + ".");
    TLiveHotfixReader reader(registry, target.Name, options, false);
    ReadComparedTarget(reader, reader.TargetFiles(), verify, result);
}

}  // namespace

TTargetResult ReadCompareTargetWin(const TCompareTarget& target, bool verify)
{
    TTargetResult result;
    try {
        ReadTarget(target, verify, result);
        result.Read = true;
    } catch (const std::exception& error) {
        result = TTargetResult();
        result.Error = error.what();
        if (result.Error.empty() || result.Error.back() != '.')
            result.Error += '.';
    } catch (...) {
        result = TTargetResult();
        result.Error = "Unknown error.";
    }
    return result;
}

std::vector<std::string> LoadCompareTargets()
{
    TRegIniFileEx settings(kSettingsKey);
    TStringList lines;
    settings.ReadMultiString(kCompareSection, kTargetsValue, lines);
    return lines.Strings();
}

void SaveCompareTargets(const std::vector<std::string>& lines)
{
    TRegIniFileEx settings(kSettingsKey);
    settings.WriteMultiString(kCompareSection, kTargetsValue, TStringList(lines));
}
