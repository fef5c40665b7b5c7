#pragma once
// The comparison of several targets: what each target gave (its service
// pack and hotfixes, or why it could not be read), made into one table with
// a row per hotfix and a column per target, and that table's tab-separated
// lines. Both programs show the same table.
#include <map>
#include <string>
#include <vector>

#include "DateTimePatterns.h"
#include "HotfixReader.h"
#include "HotfixVerify.h"

// A listed hotfix's verification: the worst state of its files.
enum class THotfixState { NoFiles, InEffect, Missing, Undone };

struct TTargetHotfix {
    std::string ID;
    std::string Description;   // empty when the target has none
    double DateApplied = 0;    // 0: listed without a date
    THotfixState State = THotfixState::NoFiles;
};

// One target's reading, made on a worker thread and handed back whole.
struct TTargetResult {
    bool Read = false;
    std::string Error;         // the single-target listing's message when not read
    std::string ServicePack;   // "Service Pack 6"
    std::string Caption;       // the Windows directory read (a disk image's names its volume)
    // What a verification could not look at: its states cannot be vouched for.
    std::vector<std::string> Incomplete;
    std::vector<TTargetHotfix> Hotfixes;   // listing order, each identifier once

    // Adds a hotfix unless its identifier is there already (a hotfix under
    // two searched keys); the one kept is returned.
    TTargetHotfix& AddHotfix(const TTargetHotfix& hotfix);
    // A verified file raises its hotfix's state to the file's when worse;
    // files of hotfixes not listed (the service pack, orphans) are left out.
    void AddVerifiedFile(const TVerifiedFile& file);

private:
    std::map<std::string, std::size_t> FIndex;   // upper-cased identifier -> Hotfixes
};

// What a cell holds, by which its text and the exit code are decided.
enum class TCellState { Empty, Date, Installed, NoFiles, InEffect, Missing, Undone, ServicePack, NotRead };

struct TCompareRow {
    std::string ID;            // empty for the service-pack row
    std::string Description;
    bool Required = false;     // in the baseline
    bool IsServicePack = false;
    int MissingOn = 0;         // read targets that do not list it
    std::vector<std::string> Cells;
    std::vector<TCellState> States;
};

struct TComparisonOptions {
    bool Verify = false;
    bool HasBaseline = false;
    std::vector<std::string> Baseline;   // identifiers every target must have
    TListSettings Settings;              // time format and unknown-value text
};

struct TComparison {
    std::vector<std::string> TargetNames;   // column headers, in target order
    std::vector<bool> TargetRead;
    bool Incomplete = false;                // some read target's verification could not look
    bool Verify = false;
    bool HasBaseline = false;
    std::vector<TCompareRow> Rows;          // the service pack first, then by identifier

    int NotRead() const;
    // Rows (the service pack's aside) that some read target lacks.
    int MissingSomewhere() const;
    // A verified file undone or missing, or a read target without a baseline hotfix.
    bool FoundFault() const;
    // 3 when a target was not read (or its verification could not look
    // everywhere), else 2 for a fault, else 0.
    int ExitCode() const;
};

// The options of a comparison's reading: descriptions (empty when missing),
// and the uninstall directories' dates unless Verify. The program's lists
// are added by the platform.
THotfixReadOptions CompareReadOptions(bool verify);
// One target's service pack ("CSDVersion"; "No Service Pack" when missing)
// and its listed hotfixes into Result, with each one's verification state
// when Verify. Reader: made with CompareReadOptions on the target.
void ReadComparedTarget(THotfixReader& reader, const TFileSource& files, bool verify,
                        TTargetResult& result);

// Names and Results in target order, one each.
TComparison BuildComparison(const std::vector<std::string>& names,
                            const std::vector<TTargetResult>& results,
                            const TComparisonOptions& options, const TFormatSettings& format);

// The table as tab-separated lines: header, service pack, one per hotfix;
// with a baseline a column "Required" follows "Description".
std::vector<std::string> ComparisonLines(const TComparison& comparison);

// "Installed", "In effect", "Undone", "Missing", "No files", "Not read: ..."
// are the cells' own texts; this gives a verification state's.
std::string HotfixStateText(THotfixState state);

// Identifiers compared as the table sorts them: without regard to ASCII case.
bool IdentifierLess(const std::string& a, const std::string& b);
