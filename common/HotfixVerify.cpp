#include "HotfixVerify.h"

#include <map>
#include <set>

#include "HotfixReader.h"
#include "InfFile.h"

namespace {

constexpr std::size_t kScriptLimit = 4u << 20;
// Hotfix files are a few megabytes at most; a larger one reads as
// unversioned and is compared by its time.
constexpr std::size_t kImageLimit = 64u << 20;
const char* const kUninstallPrefix = "$ntuninstall";

// The installer's own files, never saved copies (exact names, as the
// hotfix list takes them).
bool IsInstallerFile(const std::string& name)
{
    return name == "uninst.inf" || name == "hotfix.inf" || name == "hotfix.exe";
}

// The hotfix of an uninstall directory's name ("$NtUninstallQ147222$"), or
// empty for any other name.
std::string UninstallDirHotfix(const std::string& name)
{
    const std::string lower = AsciiLower(name);
    const std::size_t prefix = std::char_traits<char>::length(kUninstallPrefix);
    if (lower.size() <= prefix + 1 || !lower.starts_with(kUninstallPrefix) || !lower.ends_with('$'))
        return {};
    return name.substr(prefix, name.size() - prefix - 1);
}

// Dir followed by the parts of a relative path ("system32\drivers").
std::string JoinPath(const TFileSource& files, std::string dir, const std::string& relative)
{
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = relative.size();
        if (end > start)
            dir = files.PathOf(dir, relative.substr(start, end - start));
        start = end + 1;
    }
    return dir;
}

struct TDirectory {
    std::string Label;   // the hotfix, or kServicePackLabel
    std::string Path;
    bool Orphaned = false;
    TLookup Listing{TLookup::Absent, {}};
    std::vector<TFileEntry> Saved;   // the saved copies, in the listing's order
};

class TVerifier {
public:
    TVerifier(const TFileSource& files, TVerifySink& sink) : FFiles(files), FSink(sink) {}

    std::vector<TDirectory> Plan(const std::vector<std::string>& listed,
                                 const std::vector<std::string>& recorded) const;
    // The directory's saved copies; the number of steps it takes.
    int ListSaved(TDirectory& dir) const;
    bool VerifyDirectory(const TDirectory& dir, int& done, int total);

private:
    struct TScript {
        bool Usable = false;
        std::map<std::string, TInfPlacement> Placements;
    };
    TScript ReadScript(const std::string& dir);
    void VerifyFile(const TDirectory& dir, const TFileEntry& saved, const TScript& script);
    bool FindInstalled(const std::string& path, TFileEntry& entry, bool& failed);
    bool ReadVersion(const std::string& path, std::optional<TFileVersion>& version);
    bool ReportUnreadable(const std::string& path, bool absentAllowed);

    const TFileSource& FFiles;
    TVerifySink& FSink;
    std::string FBytes;   // one buffer for every file read
};

std::vector<TDirectory> TVerifier::Plan(const std::vector<std::string>& listed,
                                        const std::vector<std::string>& recorded) const
{
    const std::string windows = FFiles.WindowsDir();
    std::vector<TDirectory> plan;
    std::set<std::string> seen;
    for (const std::string& id : listed)
        if (IsUsableHotfixID(id) && seen.insert(AsciiLower(id)).second)
            plan.push_back({id, FFiles.PathOf(windows, "$NtUninstall" + id + "$"), false, {}, {}});
    plan.push_back({kServicePackLabel, FFiles.PathOf(windows, "$NtServicePackUninstall$"), false, {}, {}});

    std::set<std::string> known;
    for (const std::string& id : recorded)
        known.insert(AsciiLower(id));
    std::vector<TFileEntry> entries;
    const TLookup listing = FFiles.ListDirectory(windows, entries);
    if (listing.Result == TLookup::Absent)
        throw EVerifyError("The Windows directory " + windows + " does not exist");
    if (listing.Result == TLookup::Failed)
        throw EVerifyError("The Windows directory " + CannotListText(windows, listing.Reason));
    for (const TFileEntry& entry : entries) {
        const std::string id = UninstallDirHotfix(entry.Name);
        if (entry.IsDirectory() && !id.empty() && !known.contains(AsciiLower(id)))
            plan.push_back({id, FFiles.PathOf(windows, entry.Name), true, {}, {}});
    }
    return plan;
}

int TVerifier::ListSaved(TDirectory& dir) const
{
    if (dir.Orphaned)
        return 1;
    std::vector<TFileEntry> entries;
    dir.Listing = FFiles.ListDirectory(dir.Path, entries);
    for (TFileEntry& entry : entries)
        if (!entry.IsDirectory() && !IsInstallerFile(entry.Name))
            dir.Saved.push_back(std::move(entry));
    return static_cast<int>(dir.Saved.size());
}

bool TVerifier::VerifyDirectory(const TDirectory& dir, int& done, int total)
{
    if (!FSink.Continue(done, total, {}))
        return false;
    if (dir.Orphaned) {
        TVerifiedFile row;
        row.HotfixID = dir.Label;
        row.State = TVerifyState::NoRegistryRecord;
        row.InstalledPath = dir.Path;
        FSink.FileVerified(row);
        ++done;
        return true;
    }
    if (dir.Listing.Result == TLookup::Absent)
        return true;
    // What a listing that failed part-way gave is still verified.
    if (dir.Listing.Result == TLookup::Failed) {
        FSink.VerificationIncomplete(CannotListText(dir.Path, dir.Listing.Reason));
        if (dir.Saved.empty())
            return true;
    }
    const TScript script = ReadScript(dir.Path);
    for (const TFileEntry& entry : dir.Saved) {
        if (!FSink.Continue(done, total, entry.Name))
            return false;
        VerifyFile(dir, entry, script);
        ++done;
    }
    return true;
}

TVerifier::TScript TVerifier::ReadScript(const std::string& dir)
{
    TScript script;
    std::string text;
    const std::string path = FFiles.PathOf(dir, "uninst.inf");
    if (!FFiles.ReadFile(path, text, kScriptLimit)) {
        ReportUnreadable(path, true);
        return script;
    }
    const TInfFile inf(text);
    script.Usable = !inf.Damaged() && inf.Section("DefaultInstall") != nullptr;
    if (script.Usable)
        script.Placements = CopyFilePlacements(inf);
    return script;
}

// Failed: the look-up gave no answer (reported).
bool TVerifier::FindInstalled(const std::string& path, TFileEntry& entry, bool& failed)
{
    const TLookup found = FFiles.FindFile(path, entry);
    failed = found.Result == TLookup::Failed;
    if (failed)
        FSink.VerificationIncomplete(CannotReadText(path, found.Reason));
    return found.Result == TLookup::Found && !entry.IsDirectory();
}

// False when the file could not be read (reported); Version stays empty for
// a file without one, or one too large to be a hotfix's.
bool TVerifier::ReadVersion(const std::string& path, std::optional<TFileVersion>& version)
{
    version.reset();
    if (!FFiles.ReadFile(path, FBytes, kImageLimit))
        return !ReportUnreadable(path, false);
    if (FBytes.size() < kImageLimit)
        version = ReadFixedFileVersion(FBytes);
    return true;
}

// Reports Path, which ReadFile could not read, with the reason that its
// look-up gives; unless AbsentAllowed and there is no such file. True when
// reported.
bool TVerifier::ReportUnreadable(const std::string& path, bool absentAllowed)
{
    TFileEntry entry;
    const TLookup found = FFiles.FindFile(path, entry);
    if (found.Result == TLookup::Failed) {
        FSink.VerificationIncomplete(CannotReadText(path, found.Reason));
        return true;
    }
    if (absentAllowed && (found.Result == TLookup::Absent || entry.IsDirectory()))
        return false;
    FSink.VerificationIncomplete(path + " cannot be read");
    return true;
}

void TVerifier::VerifyFile(const TDirectory& dir, const TFileEntry& saved, const TScript& script)
{
    const std::string windows = FFiles.WindowsDir();
    TVerifiedFile row;
    row.HotfixID = dir.Label;
    row.FileName = saved.Name;
    row.Place = script.Usable ? TPlaceFinding::Guessed : TPlaceFinding::NoScript;
    TFileEntry installed;
    bool found = false, failed = false;
    const auto placed = script.Placements.find(AsciiLower(saved.Name));
    const std::optional<std::string> subdir =
        placed == script.Placements.end() ? std::nullopt : DiridSubdirectory(placed->second.Dirid);
    if (subdir) {
        // The script is the authority: a file not at its place is missing.
        row.Place = TPlaceFinding::Script;
        const std::string place = JoinPath(FFiles, JoinPath(FFiles, windows, *subdir),
                                           placed->second.Subdir);
        row.InstalledPath = FFiles.PathOf(place, placed->second.InstalledName);
        found = FindInstalled(row.InstalledPath, installed, failed);
    } else {
        // A guess that gives no answer ends the guessing: a later one could
        // find another file of the name.
        for (const char* guess : {"system32", "system32\\drivers", ""}) {
            const std::string path = FFiles.PathOf(JoinPath(FFiles, windows, guess), saved.Name);
            if (FindInstalled(path, installed, failed) || failed) {
                row.InstalledPath = path;
                found = !failed;
                break;
            }
            row.LookedIn.push_back(path);
        }
        if (found)
            row.LookedIn.clear();
    }
    if (failed)
        return;
    if (!found) {
        row.State = TVerifyState::Missing;
        FSink.FileVerified(row);
        return;
    }
    // Read by name on no platform, so that every program rates it alike.
    row.DeviceName = IsDeviceName(saved.Name) || IsDeviceName(installed.Name);
    if (!row.DeviceName && (!ReadVersion(row.InstalledPath, row.InstalledVersion) ||
                            !ReadVersion(FFiles.PathOf(dir.Path, saved.Name), row.SavedVersion)))
        return;
    bool newer = false;
    if (row.InstalledVersion && row.SavedVersion) {
        row.Finding = TStateFinding::Versions;
        newer = *row.InstalledVersion > *row.SavedVersion;
    } else {
        row.Finding = TStateFinding::Times;
        newer = installed.LastWriteTime > saved.LastWriteTime;
    }
    row.State = newer ? TVerifyState::InEffect : TVerifyState::Undone;
    FSink.FileVerified(row);
}

std::string CountText(int count, const char* one, const char* several)
{
    return std::to_string(count) + " " + (count == 1 ? one : several);
}

}  // namespace

std::string StateText(TVerifyState state)
{
    switch (state) {
    case TVerifyState::InEffect: return "In effect";
    case TVerifyState::Undone: return "Undone";
    case TVerifyState::Missing: return "Missing";
    case TVerifyState::NoRegistryRecord: return "No registry record";
    }
    return {};
}

std::string FindingText(const TVerifiedFile& file)
{
    if (file.State == TVerifyState::NoRegistryRecord)
        return {};
    std::string text = file.Place == TPlaceFinding::Script    ? "from the script"
                       : file.Place == TPlaceFinding::Guessed ? "guessed"
                                                              : "script missing or damaged";
    if (file.Finding == TStateFinding::Versions)
        text += "; versions compared";
    else if (file.Finding == TStateFinding::Times)
        text += "; times compared";
    if (file.DeviceName)
        text += "; not readable by name";
    return text;
}

void TVerifyCounts::Add(const TVerifiedFile& file)
{
    switch (file.State) {
    case TVerifyState::InEffect: ++Files, ++InEffect; break;
    case TVerifyState::Undone: ++Files, ++Undone; break;
    case TVerifyState::Missing: ++Files, ++Missing; break;
    case TVerifyState::NoRegistryRecord: ++Orphans; break;
    }
}

std::string VerifySummary(const TVerifyCounts& counts, bool complete)
{
    std::string text = counts.Files == 0 && complete ? std::string(kNothingToCompare)
                                         : CountText(counts.Files, "file", "files") + ": " +
                                               std::to_string(counts.InEffect) + " in effect, " +
                                               std::to_string(counts.Undone) + " undone, " +
                                               std::to_string(counts.Missing) + " missing";
    if (counts.Orphans > 0)
        text += "; " + CountText(counts.Orphans, "uninstall directory", "uninstall directories") +
                " without a registry record";
    return text;
}

void VerifyHotfixes(const TFileSource& files, const std::vector<std::string>& listed,
                    const std::vector<std::string>& recorded, TVerifySink& sink)
{
    TVerifier verifier(files, sink);
    std::vector<TDirectory> plan = verifier.Plan(listed, recorded);
    // Every directory is listed first, so that the steps count files.
    int total = 0;
    for (TDirectory& dir : plan) {
        if (!sink.Continue(0, 0, {}))
            return;
        total += verifier.ListSaved(dir);
    }
    int done = 0;
    for (const TDirectory& dir : plan)
        if (!verifier.VerifyDirectory(dir, done, total))
            return;
}
