#include "fs/current_directory.h"
#include "command/errors.h"
#include "delete/file_deletion.h"
#include "fs/bound_directory.h"
#include "support/recording_host.h"
#include "scan/scan_command.h"
#include "support/temp_tree.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

bool Contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

struct DeleteFixture : ::testing::Test {
    TempTree tree;
    TempTree program;
    RecordingHost host{program.Root()};

    void SetUp() override { host.root = tree.Root(); }
    // Delete Files while another holder keeps `relative` open with delete sharing; true when
    // its name was still there as the command ended (no POSIX semantics, as under Wine 8).
    bool DeleteWhileHeld(const std::string& relative) {
        HANDLE held = CreateFileA(tree.Path(relative).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(held, INVALID_HANDLE_VALUE);
        DeleteFiles(host);
        const bool nameLeft =
            GetFileAttributesA(tree.Path(relative).c_str()) != INVALID_FILE_ATTRIBUTES ||
            GetLastError() == ERROR_ACCESS_DENIED;
        CloseHandle(held);
        return nameLeft;
    }
    void ScanThenDelete() {
        ScanNow(host, host.root, host.days);
        // Wine's file clock is coarser than the local clock: let the scan start lie well
        // before any change the deletion makes.
        Sleep(100);
        host.events.clear();
        DeleteFiles(host);
    }
};

TEST_F(DeleteFixture, DeletesEveryListedFileReadOnlyOnesIncluded) {
    tree.File("a.txt", 40);
    tree.File("ro.txt", 40, FILE_ATTRIBUTE_READONLY);
    tree.File("keep.txt", 3);
    ScanThenDelete();
    EXPECT_FALSE(tree.Exists("a.txt"));
    EXPECT_FALSE(tree.Exists("ro.txt"));
    EXPECT_TRUE(tree.Exists("keep.txt"));
    const Lines lines = host.Lines();
    EXPECT_EQ(Lines(lines.end() - 5, lines.end()),
              (Lines{"Deleting files...", "2 files deleted.", "Deleting empty directories...",
                     "0 empty directories deleted.", "Finished."}));
    EXPECT_EQ(host.events, (Lines{"busy", "idle"}));
    EXPECT_EQ(host.found.Count(), 2u) << "rows stay after their files are deleted";
    EXPECT_EQ(ReadWholeFile(host.state.settings.programDirectory + kLogFileName), host.log.Text());
}

TEST_F(DeleteFixture, AFileHeldOpenIsLoggedWithItsReasonAndTheRestAreDeleted) {
    tree.File("a.txt", 40);
    tree.File("held.txt", 40);
    tree.File("z.txt", 40);
    ScanNow(host, host.root, host.days);
    HANDLE held =
        CreateFileA(tree.Path("held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    host.state.settings.debug = true; // names the step that failed
    DeleteFiles(host);
    CloseHandle(held);
    const Lines lines = host.Lines();
    const auto error =
        std::find(lines.begin(), lines.end(), "ERROR: Could not delete " + tree.Path("held.txt"));
    ASSERT_NE(error, lines.end());
    ASSERT_LT(error + 2, lines.end());
    EXPECT_EQ(*(error + 1), "REASON: " + ReasonText(32));
    EXPECT_EQ(*(error + 2), "Failed step: opening");
    EXPECT_TRUE(Contains(lines, "2 files deleted."));
    EXPECT_TRUE(tree.Exists("held.txt"));
    EXPECT_FALSE(tree.Exists("a.txt"));
    EXPECT_FALSE(tree.Exists("z.txt"));
}

TEST_F(DeleteFixture, AStopDuringFileKDeletesKAndNothingAfterIt) {
    for (const char* name : {"1.txt", "2.txt", "3.txt", "4.txt"})
        tree.File(name, 40);
    ScanNow(host, host.root, host.days);
    host.pumps = 0;
    host.onPump = [&](int pump) {
        if (pump == 2)
            host.state.stop.requested = true;
    };
    // The abort ends the command by the silent abort: nothing after it runs, not even the
    // unattended scan's "Finished.".
    EXPECT_THROW(DeleteFiles(host), SilentAbort);
    EXPECT_FALSE(tree.Exists("1.txt"));
    EXPECT_FALSE(tree.Exists("2.txt"));
    EXPECT_TRUE(tree.Exists("3.txt"));
    EXPECT_TRUE(tree.Exists("4.txt"));
    const Lines lines = host.Lines();
    EXPECT_EQ(lines.back(), "Aborted by user.");
    EXPECT_EQ(lines[lines.size() - 2], "Deleting files...");
    EXPECT_EQ(host.state.counters.deleted, 2);
}

TEST_F(DeleteFixture, AStopDuringTheRemovalOfEmptyDirectoriesEndsItWithinOneDirectory) {
    for (int i = 0; i < 6; ++i)
        tree.Directory("e" + std::to_string(i), 40);
    tree.File("old.txt", 40);
    ScanNow(host, host.root, host.days);
    host.pumps = 0;
    // Pump 1 follows the one file's deletion; 2 and on come before each directory.
    host.onPump = [&](int pump) {
        if (pump == 4)
            host.state.stop.reason = "ERROR: The run was ended early: the session ends.";
        host.state.stop.requested = pump == 4;
    };
    EXPECT_THROW(DeleteFiles(host), SilentAbort);
    int left = 0;
    for (int i = 0; i < 6; ++i)
        left += tree.Exists("e" + std::to_string(i));
    EXPECT_EQ(left, 4) << "two went before the request, none after it";
    const Lines lines = host.Lines();
    EXPECT_EQ(lines.back(), "ERROR: The run was ended early: the session ends.");
    const auto deleting = std::find(lines.begin(), lines.end(), "Deleting files...");
    EXPECT_EQ(std::find(deleting, lines.end(), "Finished."), lines.end()) << "no normal end";
}

TEST_F(DeleteFixture, RemovesEmptyOldDirectoriesButNotHiddenContentSystemOnesOrTheRoot) {
    tree.Directory("EmptyHidden", 100, FILE_ATTRIBUTE_HIDDEN);
    tree.File("OnlyHidden\\h.txt", 1, FILE_ATTRIBUTE_HIDDEN);
    tree.Age("OnlyHidden", 100);
    tree.Directory("Sys\\Empty", 100);
    tree.Directory("Sys", 100, FILE_ATTRIBUTE_SYSTEM);
    tree.Directory("Fresh", 1);
    tree.File("old.txt", 100);
    tree.Age("", 100);
    ScanThenDelete();
    const std::string r = tree.Root();
    EXPECT_FALSE(tree.Exists("EmptyHidden"));
    EXPECT_TRUE(tree.Exists("OnlyHidden\\h.txt"));
    EXPECT_TRUE(tree.Exists("Sys\\Empty"));
    EXPECT_TRUE(tree.Exists("Fresh"));
    EXPECT_TRUE(IsExistingDirectory(r));
    EXPECT_EQ(host.FoundFiles(), (Lines{r + "\\EmptyHidden\\", r + "\\old.txt"}));
    EXPECT_TRUE(Contains(host.Lines(), "Deleted empty directory: " + r + "\\EmptyHidden"));
    EXPECT_TRUE(Contains(host.Lines(), "1 empty directories deleted."));
    const std::string csv = ReadWholeFile(host.state.settings.programDirectory + kCsvFileName);
    EXPECT_NE(csv.find("\"" + r + "\\EmptyHidden\\\","), std::string::npos);
    EXPECT_LT(csv.find("EmptyHidden"), csv.find("old.txt")) << "directory rows in list order";
}

// The candidates are the subdirectories the scan listed: one made (and aged) since is
// left alone, and the tree is not walked a second time to find it.
TEST_F(DeleteFixture, ADirectoryMadeAfterTheScanIsNoCandidate) {
    tree.Directory("listed", 100);
    tree.File("old.txt", 100);
    ScanNow(host, host.root, host.days);
    tree.Directory("made later", 100);
    Sleep(100);
    DeleteFiles(host);
    EXPECT_FALSE(tree.Exists("listed"));
    EXPECT_TRUE(tree.Exists("made later"));
    EXPECT_TRUE(Contains(host.Lines(), "1 empty directories deleted."));
}

TEST_F(DeleteFixture, NestedEmptyDirectoriesAreVisitedDeepestFirst) {
    tree.Directory("A\\B\\C", 100);
    tree.Age("A\\B", 100);
    tree.Age("A", 100);
    tree.File("old.txt", 100);
    host.days = 0;
    host.state.settings.debug = true;
    ScanThenDelete();
    const Lines lines = host.Lines();
    const std::string r = tree.Root();
    auto at = [&](const std::string& l) {
        return std::find(lines.begin(), lines.end(), l) - lines.begin();
    };
    EXPECT_LT(at("Checking directory " + r + "\\A\\B\\C"),
              at("Checking directory " + r + "\\A\\B"));
    EXPECT_LT(at("Checking directory " + r + "\\A\\B"), at("Checking directory " + r + "\\A"));
    EXPECT_FALSE(tree.Exists("A\\B\\C"));
    // The diagnostic lines of one visit, labels ten characters wide.
    const size_t check = static_cast<size_t>(at("Checking directory " + r + "\\A\\B\\C"));
    ASSERT_LT(check + 6, lines.size());
    EXPECT_EQ(lines[check + 1], "Directory is empty.");
    EXPECT_EQ(lines[check + 2].substr(0, 10), "Created:  ");
    EXPECT_EQ(lines[check + 3].substr(0, 10), "Modified: ");
    EXPECT_EQ(lines[check + 4], "Before:   " + DateTimeText(host.state.scanStart, host.formats));
    EXPECT_EQ(lines[check + 5], "Directory is old.");
    EXPECT_EQ(lines[check + 6], "Deleted empty directory: " + r + "\\A\\B\\C");
    if (RunningUnderWine()) {
        // The removal below refreshed the parent's creation time too: new, so it stays.
        EXPECT_TRUE(tree.Exists("A\\B"));
        EXPECT_TRUE(Contains(lines, "1 empty directories deleted."));
    } else {
        // Only the last write was refreshed, within 61 seconds of the scan start: old.
        EXPECT_FALSE(tree.Exists("A"));
        EXPECT_TRUE(Contains(lines, "3 empty directories deleted."));
    }
}

TEST_F(DeleteFixture, WithThirtyDaysAParentEmptiedInThisRunIsLeftForALaterRun) {
    tree.Directory("A\\B", 100);
    tree.Age("A", 100);
    tree.File("A\\old.txt", 100);
    tree.Age("A", 100);
    tree.Directory("Full", 100);
    tree.File("Full\\new.txt", 1);
    tree.Age("Full", 100);
    host.state.settings.debug = true;
    ScanThenDelete();
    EXPECT_FALSE(tree.Exists("A\\B"));
    EXPECT_TRUE(tree.Exists("A")) << "its last write is fresh now";
    EXPECT_TRUE(Contains(host.Lines(), "Directory is NOT old."));
    EXPECT_TRUE(Contains(host.Lines(), "Directory is NOT empty."));
    EXPECT_TRUE(tree.Exists("Full\\new.txt"));
}

// Delete Files acts on what the scan listed: its root, by identity, and its cut-off, not
// what the path and days fields say by then.
TEST_F(DeleteFixture, AfterAScanTheDeletionKeepsToTheScannedRootAndCutOff) {
    tree.File("scanned\\old.txt", 40);
    tree.Directory("scanned\\TenDays", 10);
    tree.Directory("elsewhere", 100);
    tree.File("elsewhere.txt", 40);
    tree.Age("scanned", 100);
    host.root = tree.Path("scanned");
    ScanNow(host, host.root, host.days);
    Sleep(100);
    host.root = tree.Root(); // the user chose another path, and 0 days
    host.days = 0;
    DeleteFiles(host);
    EXPECT_FALSE(tree.Exists("scanned\\old.txt"));
    EXPECT_TRUE(tree.Exists("scanned\\TenDays")) << "not old by the scan's 30 days";
    EXPECT_TRUE(tree.Exists("elsewhere")) << "never listed: outside the scanned root";
    EXPECT_TRUE(tree.Exists("elsewhere.txt"));
    EXPECT_TRUE(Contains(host.Lines(), "0 empty directories deleted."));
}

// Someone else holds the file open with delete sharing, so the name stays until they close
// it. The deletion counts only when the name is gone by the time the program looks.
TEST_F(DeleteFixture, ADeletionCountsOnlyWhenTheNameIsGone) {
    tree.File("held.txt", 40);
    tree.File("free.txt", 40);
    ScanNow(host, host.root, host.days);
    const bool nameLeft = DeleteWhileHeld("held.txt");
    const Lines lines = host.Lines();
    EXPECT_FALSE(tree.Exists("free.txt"));
    if (nameLeft) {
        EXPECT_TRUE(Contains(lines, "ERROR: Could not delete " + tree.Path("held.txt")));
        EXPECT_TRUE(Contains(lines, "1 files deleted."));
    } else {
        EXPECT_TRUE(Contains(lines, "2 files deleted.")); // gone at once: POSIX semantics
    }
}

// A directory's files interleave with its subdirectories' (report1.txt, report1\...): each
// deletion is still confirmed, once per directory after its last row, and a name left
// behind is reported then.
TEST_F(DeleteFixture, RowsThatInterleaveDirectoriesAreEachConfirmed) {
    const int pairs = 30;
    for (int i = 0; i < pairs; ++i) {
        const std::string n = std::to_string(100 + i);
        tree.File("big\\a" + n + ".txt", 40);
        tree.File("big\\a" + n + "x\\f.txt", 40);
    }
    ScanNow(host, host.root, host.days);
    const bool nameLeft = DeleteWhileHeld("big\\a105.txt");
    const Lines lines = host.Lines();
    EXPECT_FALSE(tree.Exists("big\\a129.txt"));
    EXPECT_FALSE(tree.Exists("big\\a100x\\f.txt"));
    if (!nameLeft) {
        EXPECT_TRUE(Contains(lines, std::to_string(2 * pairs) + " files deleted."));
        return;
    }
    EXPECT_TRUE(Contains(lines, std::to_string(2 * pairs - 1) + " files deleted."));
    const auto error = std::find(lines.begin(), lines.end(),
                                 "ERROR: Could not delete " + tree.Path("big\\a105.txt"));
    ASSERT_NE(error, lines.end());
    EXPECT_EQ(*(error + 1), "REASON: " + ReasonText(ERROR_SHARING_VIOLATION));
}

// Attributes belong to the file, not to one of its names: a read-only file with a second
// name outside the root keeps its attributes whatever becomes of the name below the root.
TEST_F(DeleteFixture, AReadOnlyFileWithAnotherNameKeepsItsAttributes) {
    TempTree outside;
    outside.File("victim.txt", 40, FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(CreateHardLinkA(tree.Path("link.txt").c_str(), outside.Path("victim.txt").c_str(),
                                nullptr)); // 40 days old
    tree.File("plain.txt", 40);
    ScanThenDelete();
    EXPECT_TRUE(outside.Exists("victim.txt"));
    EXPECT_EQ(GetFileAttributesA(outside.Path("victim.txt").c_str()) & FILE_ATTRIBUTE_READONLY,
              DWORD(FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(tree.Exists("plain.txt"));
    if (tree.Exists("link.txt")) { // no disposition that ignores the attribute here
        const Lines lines = host.Lines();
        const auto error = std::find(lines.begin(), lines.end(),
                                     "ERROR: Could not delete " + tree.Path("link.txt"));
        ASSERT_NE(error, lines.end());
        EXPECT_EQ(*(error + 1), "REASON: " + ReasonText(ERROR_ACCESS_DENIED));
    }
    SetFileAttributesA(outside.Path("victim.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The listed tree keeps the directories it left last open, for rows that come back to them,
// and lets go of every one of them before a directory is removed.
TEST_F(DeleteFixture, TheListedTreeLetsGoOfTheDirectoriesItLeftBeforeARemoval) {
    tree.File("p1\\c1\\old.txt", 40);
    tree.File("p2\\c2\\old.txt", 40);
    ScanNow(host, host.root, host.days);
    const FoundList& found = host.Found();
    const auto indexOf = [&found](const std::wstring& name) {
        for (FoundList::Index i = 1; i < found.DirectoryCount(); ++i)
            if (found.ExactName(found.Directory(i).name) == name)
                return i;
        ADD_FAILURE() << "not listed";
        return FoundList::Index(0);
    };
    // Only while no other handle is open on it.
    const auto openAlone = [this](const std::string& relative) {
        const HANDLE alone = CreateFileA(tree.Path(relative).c_str(), GENERIC_READ, 0, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (alone == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(alone);
        return true;
    };
    const BoundDirectory root = BoundDirectory::OpenPath(found.Root().path);
    ListedTree listed(found, root.Handle());
    HANDLE reached = nullptr;
    ASSERT_TRUE(listed.Open(indexOf(L"c1"), reached).Ok());
    ASSERT_TRUE(listed.Open(indexOf(L"c2"), reached).Ok());
    EXPECT_FALSE(openAlone("p1")) << "left, and kept open for a row that comes back";
    listed.Release(indexOf(L"p1"));
    EXPECT_TRUE(openAlone("p1"));
    EXPECT_TRUE(openAlone("p1\\c1"));
    EXPECT_FALSE(openAlone("p2\\c2")) << "the way to the last one stays";
}

} // namespace
