#include "Comparison.h"

#include <algorithm>

namespace {

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

THotfixState StateOfFile(TVerifyState state)
{
    switch (state) {
    case TVerifyState::InEffect: return THotfixState::InEffect;
    case TVerifyState::Undone: return THotfixState::Undone;
    default: return THotfixState::Missing;
    }
}

TCellState CellOfState(THotfixState state)
{
    switch (state) {
    case THotfixState::NoFiles: return TCellState::NoFiles;
    case THotfixState::InEffect: return TCellState::InEffect;
    case THotfixState::Missing: return TCellState::Missing;
    case THotfixState::Undone: return TCellState::Undone;
    }
    return TCellState::NoFiles;
}

struct TRowBuilder {
    TCompareRow Row;
    std::string Key;   // upper-cased identifier
};

// Every identifier of the read targets and of the baseline, once, sorted.
std::vector<TRowBuilder> CollectRows(const std::vector<TTargetResult>& results,
                                     const TComparisonOptions& options, std::size_t columns)
{
    std::map<std::string, std::size_t> index;
    std::vector<TRowBuilder> rows;
    auto add = [&](const std::string& id) -> TRowBuilder& {
        const std::string key = UpperAscii(id);
        const auto [it, added] = index.emplace(key, rows.size());
        if (added) {
            TRowBuilder row;
            row.Key = key;
            row.Row.ID = id;
            row.Row.Cells.assign(columns, std::string());
            row.Row.States.assign(columns, TCellState::Empty);
            rows.push_back(std::move(row));
        }
        return rows[it->second];
    };
    for (const TTargetResult& result : results)
        if (result.Read)
            for (const TTargetHotfix& hotfix : result.Hotfixes)
                add(hotfix.ID);
    if (options.HasBaseline)
        for (const std::string& id : options.Baseline)
            add(id).Row.Required = true;
    std::sort(rows.begin(), rows.end(), [](const TRowBuilder& a, const TRowBuilder& b) {
        return a.Key != b.Key ? a.Key < b.Key : a.Row.ID < b.Row.ID;
    });
    return rows;
}

TCompareRow ServicePackRow(const std::vector<TTargetResult>& results)
{
    TCompareRow row;
    row.IsServicePack = true;
    row.Description.clear();
    for (const TTargetResult& result : results) {
        row.Cells.push_back(result.Read ? result.ServicePack : "Not read: " + result.Error);
        row.States.push_back(result.Read ? TCellState::ServicePack : TCellState::NotRead);
    }
    return row;
}

const char* const kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// The listed hotfixes into a target's result; with RecordIgnored, the
// reading is made with nothing ignored and the ignore text applied here, so
// that one reading also gives every recorded identifier to the verification.
class TComparedListing : public THotfixSink {
public:
    TComparedListing(TTargetResult& result, const std::string* ignoreText)
        : FResult(result), FIgnoreText(ignoreText)
    {
    }
    void HotfixFound(const std::string&, const std::string& id) override
    {
        Recorded.push_back(id);
        // The reading procedure's own test: a part of an ignored identifier is ignored too.
        FIgnored = FIgnoreText && FIgnoreText->find(id) != std::string::npos;
        if (!FIgnored)
            Listed.push_back(id);
    }
    void HotfixRead(const THotfix& hotfix, bool) override
    {
        if (!FIgnored)
            FResult.AddHotfix({hotfix.ID, hotfix.Description, hotfix.DateApplied});
    }

    std::vector<std::string> Listed, Recorded;

private:
    TTargetResult& FResult;
    const std::string* FIgnoreText;
    bool FIgnored = false;
};

class TComparedVerification : public TVerifySink {
public:
    explicit TComparedVerification(TTargetResult& result) : FResult(result) {}
    bool Continue(int, int, const std::string&) override { return true; }
    void FileVerified(const TVerifiedFile& file) override { FResult.AddVerifiedFile(file); }
    void VerificationIncomplete(const std::string& why) override { FResult.Incomplete.push_back(why); }

private:
    TTargetResult& FResult;
};

}  // namespace

THotfixReadOptions CompareReadOptions(bool verify)
{
    THotfixReadOptions options;
    options.WantUninstallDir = !verify;
    options.InstallerFilesAreDates = false;
    options.DefaultText.clear();
    return options;
}

void ReadComparedTarget(THotfixReader& reader, const TFileSource& files, bool verify,
                        TTargetResult& result)
{
    result.Caption = files.WindowsDir();
    result.ServicePack =
        reader.TargetRegistry().ReadString(kCurrentVersionKey, "CSDVersion", "No Service Pack");
    const TMachineSettings settings = reader.ReadMachineSettings();
    if (!verify) {
        TComparedListing listing(result, nullptr);
        reader.ReadHotfixes(settings, listing);
        return;
    }
    TMachineSettings everything = settings;
    everything.IgnoreText.clear();
    TComparedListing listing(result, &settings.IgnoreText);
    reader.ReadHotfixes(everything, listing);
    TComparedVerification verification(result);
    VerifyHotfixes(files, listing.Listed, listing.Recorded, verification);
}

TTargetHotfix& TTargetResult::AddHotfix(const TTargetHotfix& hotfix)
{
    const auto [it, added] = FIndex.emplace(UpperAscii(hotfix.ID), Hotfixes.size());
    if (added)
        Hotfixes.push_back(hotfix);
    return Hotfixes[it->second];
}

void TTargetResult::AddVerifiedFile(const TVerifiedFile& file)
{
    const auto it = FIndex.find(UpperAscii(file.HotfixID));
    if (it == FIndex.end() || file.State == TVerifyState::NoRegistryRecord)
        return;
    TTargetHotfix& hotfix = Hotfixes[it->second];
    hotfix.State = std::max(hotfix.State, StateOfFile(file.State));
}

std::string HotfixStateText(THotfixState state)
{
    switch (state) {
    case THotfixState::NoFiles: return "No files";
    case THotfixState::InEffect: return StateText(TVerifyState::InEffect);
    case THotfixState::Missing: return StateText(TVerifyState::Missing);
    case THotfixState::Undone: return StateText(TVerifyState::Undone);
    }
    return std::string();
}

bool IdentifierLess(const std::string& a, const std::string& b)
{
    const std::string upperA = UpperAscii(a), upperB = UpperAscii(b);
    return upperA != upperB ? upperA < upperB : a < b;
}

TComparison BuildComparison(const std::vector<std::string>& names,
                            const std::vector<TTargetResult>& results,
                            const TComparisonOptions& options, const TFormatSettings& format)
{
    TComparison comparison;
    comparison.TargetNames = names;
    comparison.Verify = options.Verify;
    comparison.HasBaseline = options.HasBaseline;
    for (const TTargetResult& result : results) {
        comparison.TargetRead.push_back(result.Read);
        comparison.Incomplete = comparison.Incomplete || !result.Incomplete.empty();
    }
    comparison.Rows.push_back(ServicePackRow(results));

    std::vector<TRowBuilder> rows = CollectRows(results, options, results.size());
    std::map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < rows.size(); ++i)
        index.emplace(rows[i].Key, i);
    // Hotfixes of one installation run share their time: one remembered text.
    double lastDate = 0;
    std::string lastDateText;
    for (std::size_t column = 0; column < results.size(); ++column) {
        const TTargetResult& result = results[column];
        for (const TTargetHotfix& hotfix : result.Hotfixes) {
            TCompareRow& row = rows[index.at(UpperAscii(hotfix.ID))].Row;
            if (row.Description.empty())
                row.Description = hotfix.Description;
            if (options.Verify) {
                row.States[column] = CellOfState(hotfix.State);
                row.Cells[column] = HotfixStateText(hotfix.State);
            } else if (hotfix.DateApplied != 0) {
                if (hotfix.DateApplied != lastDate || lastDateText.empty()) {
                    lastDate = hotfix.DateApplied;
                    lastDateText = FormatDateTime(options.Settings.TimeFormat, lastDate, format);
                }
                row.States[column] = TCellState::Date;
                row.Cells[column] = lastDateText;
            } else {
                row.States[column] = TCellState::Installed;
                row.Cells[column] = "Installed";
            }
        }
    }
    for (TRowBuilder& builder : rows) {
        TCompareRow& row = builder.Row;
        if (row.Description.empty())
            row.Description = row.Required ? "Required" : options.Settings.DefaultText;
        for (std::size_t column = 0; column < results.size(); ++column)
            if (results[column].Read && row.States[column] == TCellState::Empty)
                ++row.MissingOn;
        comparison.Rows.push_back(std::move(row));
    }
    return comparison;
}

int TComparison::NotRead() const
{
    return static_cast<int>(std::count(TargetRead.begin(), TargetRead.end(), false));
}

int TComparison::MissingSomewhere() const
{
    return static_cast<int>(std::count_if(Rows.begin(), Rows.end(), [](const TCompareRow& row) {
        return !row.IsServicePack && row.MissingOn > 0;
    }));
}

bool TComparison::FoundFault() const
{
    for (const TCompareRow& row : Rows) {
        if (row.IsServicePack)
            continue;
        if (row.Required && row.MissingOn > 0)
            return true;
        for (TCellState state : row.States)
            if (state == TCellState::Undone || state == TCellState::Missing)
                return true;
    }
    return false;
}

int TComparison::ExitCode() const
{
    if (NotRead() > 0 || Incomplete)
        return 3;
    return FoundFault() ? 2 : 0;
}

namespace {

// A tab or line end inside a description or message would split its row.
std::string Field(const std::string& text)
{
    std::string field = text;
    for (char& c : field)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return field;
}

}  // namespace

std::vector<std::string> ComparisonLines(const TComparison& comparison)
{
    std::vector<std::string> lines;
    std::string header = "Hotfix\tDescription";
    if (comparison.HasBaseline)
        header += "\tRequired";
    for (const std::string& name : comparison.TargetNames)
        header += '\t' + Field(name);
    lines.push_back(header);
    for (const TCompareRow& row : comparison.Rows) {
        std::string line = row.IsServicePack ? "Service pack" : Field(row.ID);
        line += '\t' + Field(row.Description);
        if (comparison.HasBaseline)
            line += row.Required ? "\tYes" : "\t";
        for (const std::string& cell : row.Cells)
            line += '\t' + Field(cell);
        lines.push_back(line);
    }
    return lines;
}
