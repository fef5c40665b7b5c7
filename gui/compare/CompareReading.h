#pragma once
// The reading of one target for the comparison window, safe to run on a
// worker thread: its own registry connection and file access, the failure
// as the message the single listing would show.
#include <string>
#include <vector>

#include "Comparison.h"
#include "TargetList.h"

// Opens Target (the one place where a kind of target is told apart) and
// reads it; never raises.
TTargetResult ReadCompareTargetWin(const TCompareTarget& target, bool verify);

// "Compare\Targets" of the user's settings: the list file's lines.
std::vector<std::string> LoadCompareTargets();
void SaveCompareTargets(const std::vector<std::string>& lines);
