// Running out of memory in each phase of a run: one log line names the phase, nothing is
// deleted after a partial scan, an unattended run opens no box and ends early, and the rows
// already listed stay readable.
#include "app/run.h"
#include "command/errors.h"
#include "delete/file_deletion.h"
#include "report/csv_report.h"
#include "support/recording_host.h"
#include "scan/scan_command.h"
#include "support/failing_allocator.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace {

struct OutOfMemory : ::testing::Test {
    TempTree tree;
    TempTree program;

    void SetUp() override {
        for (int d = 0; d < 4; ++d)
            for (int f = 0; f < 6; ++f)
                tree.File("d" + std::to_string(d) + "\\f" + std::to_string(f) + ".txt", 100);
        tree.File("top.txt", 100);
        tree.Directory("empty", 100);
    }

    // Runs `command` with allocations failing from the `after`-th on; true when it ended by
    // the silent abort.
    bool Run(RecordingHost& host, long after, void (*command)(CommandHost&)) {
        try {
            FailingAllocations failing(after);
            command(host);
        } catch (const SilentAbort&) {
            return true;
        } catch (const std::bad_alloc&) {
            const std::vector<std::string> lines = host.Lines();
            ADD_FAILURE() << "the shortage escaped the command, after " << after << ", past "
                          << (lines.empty() ? "no line" : lines.back());
        }
        return false;
    }
    int Remaining() {
        int files = 0;
        for (int d = 0; d < 4; ++d)
            for (int f = 0; f < 6; ++f)
                files += tree.Exists("d" + std::to_string(d) + "\\f" + std::to_string(f) + ".txt");
        return files + tree.Exists("top.txt");
    }
};

// The job with the values its command line gave (read before the shortage).
TypedRoot jobRoot;
void ScheduledJob(CommandHost& host) {
    RunScheduledJob(host, jobRoot, static_cast<RecordingHost&>(host).days);
}

// Scan Now with the values the window's fields give.
void InteractiveScan(CommandHost& host) {
    const RecordingHost& recording = static_cast<RecordingHost&>(host);
    ScanNow(host, recording.root, recording.days);
}

bool EndsWith(const std::vector<std::string>& lines, const std::string& line) {
    return !lines.empty() && lines.back() == line;
}

TEST_F(OutOfMemory, AnUnattendedScanEndsWithItsLineAtEveryPointAndDeletesNothing) {
    // Every point where the scan and its job allocate, from the first on, until one run
    // gets through: each either ends the run with the scan's line or fails later, never
    // with a box, a crash or a deletion after a partial list.
    bool completed = false;
    for (long after = 0; !completed && after < 20000; after += 1 + after / 8) {
        RecordingHost host(program.Root());
        host.root = tree.Root();
        host.state.settings.interactive = false;
        jobRoot = {host.root, host.root};
        const bool aborted = Run(host, after, ScheduledJob);
        completed = !aborted && !FailingAllocations::Refused();
        ASSERT_TRUE(host.dialogs.empty()) << "after " << after;
        if (!aborted)
            continue;
        const std::vector<std::string> lines = host.Lines();
        const bool scanEnded = EndsWith(lines, "RESOURCE ERROR: Too many files.");
        ASSERT_TRUE(scanEnded ||
                    EndsWith(lines, "RESOURCE ERROR: Out of memory while deleting files.") ||
                    EndsWith(lines, "RESOURCE ERROR: Out of memory while writing the CSV file.") ||
                    EndsWith(lines, "RESOURCE ERROR: Too many directories."))
            << "after " << after << ": " << (lines.empty() ? "" : lines.back());
        if (scanEnded) {
            ASSERT_EQ(Remaining(), 25) << "nothing is deleted after a partial scan";
        }
        for (size_t row = 0; row < host.found.Count(); ++row)
            ASSERT_FALSE(host.found.Text(row, FoundList::File, host.formats).empty());
    }
    EXPECT_TRUE(completed) << "no run got through";
}

TEST_F(OutOfMemory, AnInteractiveScanShowsTheDialogAndLogsTheSameLine) {
    RecordingHost host(program.Root());
    host.root = tree.Root();
    ASSERT_TRUE(Run(host, 20, InteractiveScan));
    EXPECT_EQ(host.dialogs, std::vector<std::string>{"RESOURCE ERROR: Too many files."});
    EXPECT_TRUE(EndsWith(host.Lines(), "RESOURCE ERROR: Too many files."));
    EXPECT_EQ(host.events.back(), "idle");
    EXPECT_EQ(Remaining(), 25);
}

TEST_F(OutOfMemory, TheDeletionAndTheCsvFileNameTheirPhase) {
    RecordingHost host(program.Root());
    host.root = tree.Root();
    ScanNow(host, host.root, host.days);
    ASSERT_EQ(host.found.Count(), 25u);
    host.log.Clear();
    ASSERT_TRUE(Run(host, 0, DeleteFiles));
    EXPECT_TRUE(EndsWith(host.Lines(), "RESOURCE ERROR: Out of memory while deleting files."));
    EXPECT_EQ(Remaining(), 25);
    host.log.Clear();
    ASSERT_TRUE(Run(host, 0, WriteToCSVFile));
    EXPECT_EQ(host.Lines(), std::vector<std::string>{
                                "RESOURCE ERROR: Out of memory while writing the CSV file."});
    EXPECT_EQ(host.dialogs.size(), 2u) << "an interactive run shows each";
}

} // namespace
