#pragma once
// The identifiers that a verification of hotfixes needs from the target's
// registry, read by the hotfix reading procedure.
#include <string>
#include <vector>

#include "HotfixReader.h"

struct THotfixRecords {
    // The hotfixes of the list, in its order (the ignore text applied).
    std::vector<std::string> Listed;
    // Every identifier under the searched keys, the ignored ones too.
    std::vector<std::string> Recorded;
};

// The options of a reader that only collects identifiers: no description, no
// uninstall directory.
THotfixReadOptions HotfixRecordOptions();
// Reader: made with HotfixRecordOptions (and the program's lists) on the target.
THotfixRecords ReadHotfixRecords(THotfixReader& reader);
