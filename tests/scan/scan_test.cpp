#include "command/errors.h"
#include "report/csv_report.h"
#include "support/recording_host.h"
#include "scan/scan_command.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

struct ScanFixture : ::testing::Test {
    TempTree tree;
    TempTree program;
    RecordingHost host{program.Root()};

    void SetUp() override {
        host.root = tree.Root();
        tree.File("a.txt", 100);
        tree.File("b.txt", 1);
        tree.File("Sub\\old.txt", 100);
        tree.File("h.txt", 100, FILE_ATTRIBUTE_HIDDEN);
        tree.File("r.txt", 100, FILE_ATTRIBUTE_READONLY);
        tree.File("s.txt", 100, FILE_ATTRIBUTE_SYSTEM);
        tree.File("HiddenDir\\old.txt", 100);
        tree.Directory("HiddenDir", 100, FILE_ATTRIBUTE_HIDDEN);
        tree.File("SysDir\\old.txt", 100);
        tree.Directory("SysDir", 100, FILE_ATTRIBUTE_SYSTEM);
    }
    void TearDown() override {
        SetFileAttributesA(tree.Path("r.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::string CutOffText() {
        return DateTimeText(CutOff(host.state.scanStart, host.days), host.formats);
    }
};

TEST_F(ScanFixture, ListsOldFilesOfEveryAttributeButNeverEntersHiddenOrSystemDirectories) {
    ScanNow(host, host.root, host.days);
    const std::string r = tree.Root();
    EXPECT_EQ(host.FoundFiles(), (Lines{r + "\\a.txt", r + "\\h.txt", r + "\\r.txt", r + "\\s.txt",
                                        r + "\\Sub\\old.txt"}));
    EXPECT_EQ(host.Lines(),
              (Lines{"Searching path " + r,
                     "Looking for files older than 30 days (Created before " + CutOffText() + ")",
                     "Searching...", "6 files found under " + r, "5 files older than 30 days.",
                     "Finished."}));
    EXPECT_EQ(host.events, (Lines{"busy", "idle with list"}));
    EXPECT_EQ(host.state.counters.examined, 6);
    EXPECT_EQ(host.pumps, 7) << "one message pump per file examined, one per piece of the CSV file";
    EXPECT_EQ(host.found.Text(0, FoundList::Age, host.formats), "100");
    EXPECT_EQ(ReadWholeFile(host.state.settings.programDirectory + kLogFileName), host.log.Text());
    EXPECT_TRUE(tree.Exists("a.txt")) << "a scan deletes nothing";
}

TEST_F(ScanFixture, WritesTheCsvFileInListOrder) {
    host.days = 0;
    ScanNow(host, host.root, host.days);
    const std::string csv = ReadWholeFile(host.state.settings.programDirectory + kCsvFileName);
    const std::string r = tree.Root();
    ASSERT_EQ(csv.rfind("File,Created,Modified,Accessed,Age (Days)\r\n\"" + r + "\\a.txt\",", 0),
              0u)
        << csv;
    size_t lines = 0;
    for (size_t at = csv.find("\r\n"); at != std::string::npos; at = csv.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 7u) << "the header and six rows, each ending with CR LF";
    EXPECT_NE(csv.find("\"" + r + "\\b.txt\","), std::string::npos) << "0 days lists b.txt";
    EXPECT_EQ(csv.back(), '\n');
}

TEST_F(ScanFixture, AStopEndsTheWalkSilentlyAndKeepsTheRowsFound) {
    host.onPump = [&](int pump) {
        if (pump == 3)
            host.state.stop.requested = true;
    };
    EXPECT_THROW(ScanNow(host, host.root, host.days), SilentAbort);
    EXPECT_EQ(host.Lines().back(), "Aborted by user.");
    EXPECT_EQ(host.pumps, 3) << "the stop is seen right after the file it was set at";
    EXPECT_EQ(host.events, (Lines{"busy", "idle"}));
    EXPECT_LE(host.found.Count(), 3u);
    EXPECT_EQ(ReadWholeFile(host.state.settings.programDirectory + kLogFileName), host.log.Text())
        << "the log file holds the stop too";
    EXPECT_EQ(ReadWholeFile(host.state.settings.programDirectory + kCsvFileName), "<missing>");
}

TEST_F(ScanFixture, AMissingPathChangesNothingButTheLog) {
    ScanNow(host, host.root, host.days);
    const size_t rows = host.found.Count();
    host.root = tree.Path("nope");
    ScanNow(host, host.root, host.days);
    EXPECT_EQ(host.Lines().back(), "ERROR: Path " + tree.Path("nope") + " does not exist.");
    EXPECT_EQ(host.found.Count(), rows);
    host.root = "";
    ScanNow(host, host.root, host.days);
    EXPECT_EQ(host.Lines().back(), "ERROR: Path  does not exist.");
    host.root = tree.Path("a.txt");
    ScanNow(host, host.root, host.days);
    EXPECT_EQ(host.Lines().back(), "ERROR: Path " + tree.Path("a.txt") + " does not exist.");
}

TEST(Scan, FindingNothingWritesNoCsvAndLeavesDeleteDisabled) {
    TempTree tree, program;
    RecordingHost host(program.Root());
    host.root = tree.Root() + "\\";
    tree.File("new.txt", 2);
    ScanNow(host, host.root, host.days);
    EXPECT_EQ(host.Lines()[3], "1 files found under " + tree.Root() + "\\");
    EXPECT_EQ(host.Lines()[4], "0 files older than 30 days.");
    EXPECT_EQ(host.events, (Lines{"busy", "idle"}));
    EXPECT_EQ(ReadWholeFile(host.state.settings.programDirectory + kCsvFileName), "<missing>");
    EXPECT_EQ(host.found.Count(), 0u);
}

TEST(Scan, ACsvFileThatCannotBeCreatedEndsTheScanWithItsText) {
    TempTree tree, program;
    RecordingHost host(program.Root());
    host.root = tree.Root();
    tree.File("old.txt", 90);
    const std::string csv = host.state.settings.programDirectory + kCsvFileName;
    // Held open without sharing, as a spreadsheet holds it.
    HANDLE lock = CreateFileA(csv.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    try {
        ScanNow(host, host.root, host.days);
        ADD_FAILURE() << "the scan reported success";
    } catch (const AppError& e) {
        // The new file cannot take the held one's place: refused as in use or denied.
        const std::string text = e.what(), start = "Cannot create file \"" + csv + "\". ";
        EXPECT_TRUE(text == start + ReasonText(32) || text == start + ReasonText(5)) << text;
    }
    CloseHandle(lock);
    EXPECT_EQ(host.Lines().back(), "1 files older than 30 days.");
    EXPECT_EQ(ReadWholeFile(host.state.settings.programDirectory + kLogFileName), host.log.Text())
        << "the log holds every line so far";
}

TEST(Scan, NeverListsTheProgramsOwnFilesWhateverTheRootOrTheirNames) {
    TempTree program;
    RecordingHost host(program.Root());
    host.root = program.Root();
    program.File("Vantrell.ini", 400);
    program.File("VantrellFiles.csv", 400);
    program.File("tree\\old.txt", 400);
    // Another name of the settings file, below the root, is the same file.
    ASSERT_TRUE(CreateHardLinkA(program.Path("tree\\settings-too.ini").c_str(),
                                program.Path("Vantrell.ini").c_str(), nullptr));
    host.log.StartFile(host.state.settings.programDirectory + kLogFileName);
    ScanNow(host, host.root, host.days);
    EXPECT_EQ(host.FoundFiles(), (Lines{program.Path("tree\\old.txt")}));
    EXPECT_EQ(host.state.counters.examined, 1);
}

TEST(Scan, AnUnattendedRootGoneWhenTheScanStartsEndsTheRunEarly) {
    TempTree tree, program;
    RecordingHost host(program.Root());
    host.root = tree.Path("gone");
    host.state.settings.interactive = false;
    EXPECT_THROW(ScanNow(host, host.root, host.days), SilentAbort);
    EXPECT_EQ(host.Lines(), (Lines{"ERROR: Path " + host.root + " does not exist."}));
    host.state.settings.interactive = true;
    host.log.Clear();
    EXPECT_NO_THROW(ScanNow(host, host.root, host.days)) << "the window only says so";
}

} // namespace
