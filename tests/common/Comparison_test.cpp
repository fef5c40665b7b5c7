#include "Comparison.h"

#include <gtest/gtest.h>

#include <atomic>

#include "TargetList.h"
#include "WorkerPool.h"

namespace {

using Lines = std::vector<std::string>;

TTargetResult ReadTarget(const std::string& servicePack,
                         const std::vector<TTargetHotfix>& hotfixes)
{
    TTargetResult result;
    result.Read = true;
    result.ServicePack = servicePack;
    for (const TTargetHotfix& hotfix : hotfixes)
        result.AddHotfix(hotfix);
    return result;
}

TTargetResult Unread(const std::string& error)
{
    TTargetResult result;
    result.Error = error;
    return result;
}

TComparisonOptions Options(bool verify, std::vector<std::string> baseline = {})
{
    TComparisonOptions options;
    options.Verify = verify;
    options.HasBaseline = !baseline.empty();
    options.Baseline = std::move(baseline);
    options.Settings.TimeFormat = "yyyy-mm-dd hh:nn";
    return options;
}

}  // namespace

// Three targets: dates, an undated hotfix, a hotfix listed twice in other
// case, one target unread, and a baseline hotfix nobody has.
TEST(Comparison, ListingWithBaselineAndUnreadTarget)
{
    const double june = EncodeDateTime(2000, 6, 1, 9, 30);
    const std::vector<TTargetResult> results = {
        ReadTarget("Service Pack 6", {{"Q241041", "Security fix", june},
                                      {"q147222", "", 0},
                                      {"Q241041", "twice", 0}}),
        Unread("Error connecting to the computer \\\\GONE."),
        ReadTarget("Service Pack 5", {{"Q147222", "Old fix\twith tab", june}}),
    };
    const TComparison table = BuildComparison({"PC1", "\\\\GONE", "C:\\IMG\\WINNT"}, results,
                                              Options(false, {"Q300000", "q241041"}), {});
    EXPECT_EQ(ComparisonLines(table),
              (Lines{"Hotfix\tDescription\tRequired\tPC1\t\\\\GONE\tC:\\IMG\\WINNT",
                     "Service pack\t\t\tService Pack 6\tNot read: Error connecting to the "
                     "computer \\\\GONE.\tService Pack 5",
                     "q147222\tOld fix with tab\t\tInstalled\t\t2000-06-01 09:30",
                     "Q241041\tSecurity fix\tYes\t2000-06-01 09:30\t\t",
                     "Q300000\tRequired\tYes\t\t\t"}));
    EXPECT_EQ(table.Rows[2].MissingOn, 1);   // the unread target does not count
    EXPECT_EQ(table.Rows[3].MissingOn, 2);
    EXPECT_EQ(table.MissingSomewhere(), 2);
    EXPECT_EQ(table.NotRead(), 1);
    EXPECT_EQ(table.ExitCode(), 3);
}

// The worst file decides; the exit code tells faults only when every target was read.
TEST(Comparison, VerificationStatesAndExitCodes)
{
    TTargetResult first = ReadTarget("Service Pack 6", {{"Q1", "", 0}, {"Q2", "", 0}, {"Q3", "", 0}});
    for (auto [id, state] : std::vector<std::pair<std::string, TVerifyState>>{
             {"Q1", TVerifyState::InEffect}, {"Q1", TVerifyState::Undone},
             {"Q1", TVerifyState::InEffect}, {"q2", TVerifyState::InEffect},
             {"Q9", TVerifyState::NoRegistryRecord}, {"Service Pack", TVerifyState::Missing}}) {
        TVerifiedFile file;
        file.HotfixID = id;
        file.State = state;
        first.AddVerifiedFile(file);
    }
    const TTargetResult second = ReadTarget("Service Pack 6", {{"Q2", "", 0}});
    TComparison table = BuildComparison({"A", "B"}, {first, second}, Options(true), {});
    EXPECT_EQ(ComparisonLines(table),
              (Lines{"Hotfix\tDescription\tA\tB", "Service pack\t\tService Pack 6\tService Pack 6",
                     "Q1\t(unknown)\tUndone\t", "Q2\t(unknown)\tIn effect\tNo files",
                     "Q3\t(unknown)\tNo files\t"}));
    EXPECT_EQ(table.ExitCode(), 2);

    // Without verification the same targets are no fault, unless the baseline wants Q3 on B.
    EXPECT_EQ(BuildComparison({"A", "B"}, {first, second}, Options(false), {}).ExitCode(), 0);
    EXPECT_EQ(BuildComparison({"A", "B"}, {first, second}, Options(false, {"Q2"}), {}).ExitCode(), 0);
    EXPECT_EQ(BuildComparison({"A", "B"}, {first, second}, Options(false, {"Q3"}), {}).ExitCode(), 2);
}

TEST(TargetList, ListFileLinesTargetsAndDuplicates)
{
    const std::string file = "\xEF\xBB\xBF; fleet\r\n  \\\\server1 \r\n\r\n.\n\t;not this\rC:\\NT4\\WINNT\\"
                             "\r\nserver1\r\nc:\\nt4\\winnt\r\n/mnt/a/WINNT\r\n/mnt/a/winnt";
    const Lines lines = ReadListLines(file);
    EXPECT_EQ(lines, (Lines{"\\\\server1", ".", "C:\\NT4\\WINNT\\", "server1", "c:\\nt4\\winnt",
                            "/mnt/a/WINNT", "/mnt/a/winnt"}));
    std::vector<TCompareTarget> targets;
    for (const std::string& line : lines)
        AddTarget(targets, TargetOfText(line), true);
    EXPECT_EQ(targets, (std::vector<TCompareTarget>{{TTargetKind::Computer, "\\\\SERVER1"},
                                                    {TTargetKind::Local, ""},
                                                    {TTargetKind::Offline, "C:\\NT4\\WINNT\\"},
                                                    {TTargetKind::Offline, "c:\\nt4\\winnt"},
                                                    {TTargetKind::Offline, "/mnt/a/WINNT"},
                                                    {TTargetKind::Offline, "/mnt/a/winnt"}}));
    // Paths without regard to case (Windows) make the two pairs one each.
    EXPECT_FALSE(AddTarget(targets, TargetOfText("C:\\nt4\\WinNT"), false));
    Lines written;
    for (const TCompareTarget& target : targets)
        written.push_back(TextOfTarget(target));
    EXPECT_EQ(ReadListLines(WriteListLines(written)), written);
    EXPECT_EQ(WriteListLines({".", "\\\\A"}), ".\r\n\\\\A\r\n");
}

// Every item runs once with its result in its own place; a cancelled pool
// starts nothing more and its destructor waits for the items in flight.
TEST(WorkerPool, ResultsByIndexAndCancel)
{
    std::vector<int> results(200, -1);
    {
        TWorkerPool pool(results.size(), 16, [&](std::size_t index) {
            results[index] = static_cast<int>(index) * 3;
            return index % 7 != 0;
        });
        while (!pool.Finished())
            pool.Wait(1000);
        const TPoolProgress progress = pool.Progress();
        EXPECT_EQ(progress.Done, 200u);
        EXPECT_EQ(progress.Failed, 29u);
    }
    for (std::size_t i = 0; i < results.size(); ++i)
        ASSERT_EQ(results[i], static_cast<int>(i) * 3);

    std::atomic<int> ran{0};
    TSignal release;
    {
        TWorkerPool pool(100, 4, [&](std::size_t) {
            ++ran;
            release.Wait(5000);
            release.Set();   // passed on to the next worker waiting
            return true;
        });
        pool.Cancel();
        release.Set();
    }
    EXPECT_LE(ran.load(), 4);
}
