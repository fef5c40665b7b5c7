#pragma once
// The identifiers that a verification of hotfixes needs from the target's
// registry, read by the hotfix reading procedure.
#include <string>
#include <vector>

class TRegIniFileEx;

struct THotfixRecords {
    // The hotfixes of the list, in its order (the ignore text applied).
    std::vector<std::string> Listed;
    // Every identifier under the searched keys, the ignored ones too.
    std::vector<std::string> Recorded;
};

// Registry: root HKEY_LOCAL_MACHINE of the target, already connected.
THotfixRecords ReadHotfixRecords(TRegIniFileEx& registry, const std::string& computer);
