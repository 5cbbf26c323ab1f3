// The program's own records on real files: never written through another name, the log
// in its file as each line comes, a failed replacement leaving the old file whole.
#include "command/activity_log.h"
#include "command/errors.h"
#include "command/settings.h"
#include "command/text_file.h"
#include "support/temp_tree.h"

#include <functional>

#include <gtest/gtest.h>

namespace {

// The names in the folder that a replacement left behind.
int NewFilesLeft(const TempTree& dir) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(dir.Path("*.new").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (FindNextFileA(find, &found));
    FindClose(find);
    return count;
}

TEST(OwnRecords, NoRecordIsWrittenThroughASecondName) {
    const struct {
        const char* name;
        std::function<void(const std::string&)> write;
        const char* expected;
    } records[] = {
        {"VantrellFiles.csv", [](const std::string& path) { WriteWholeFile(path, "list\r\n"); },
         "list\r\n"},
        {"VantrellActivity.log",
         [](const std::string& path) {
             ActivityLog log;
             log.Add("first");
             log.StartFile(path);
             log.Add("second");
             log.WriteFile(path);
         },
         "first\r\nsecond\r\n"},
        {"Vantrell.ini",
         [](const std::string& path) {
             SettingsValues values;
             values.drivePath = "C:\\Logs";
             WriteSettingsFile(path, values);
         },
         "[Vantrell]\r\nDebug=0\r\nDaysOld=30\r\nDrivePath=C:\\Logs\r\nMaximized=0\r\n"},
    };
    for (const auto& record : records) {
        TempTree program, outside;
        outside.File("victim.txt", 1, 0, "[Other]\r\nsecret=1\r\n");
        const std::string path = program.Path(record.name);
        ASSERT_TRUE(CreateHardLinkA(path.c_str(), outside.Path("victim.txt").c_str(), nullptr));
        record.write(path);
        EXPECT_EQ(ReadWholeFile(outside.Path("victim.txt")), "[Other]\r\nsecret=1\r\n")
            << record.name;
        EXPECT_EQ(ReadWholeFile(path), record.expected) << record.name;
        EXPECT_EQ(NewFilesLeft(program), 0) << record.name;
    }
}

// Settings that are another file's too are none of the program's: not read (a user below
// the root could otherwise choose the root of an administrator's job).
TEST(OwnRecords, SettingsWithASecondNameAreNotRead) {
    TempTree program, outside;
    outside.File("other.ini", 1, 0, "[Vantrell]\r\nDaysOld=7\r\nDrivePath=C:\\Windows\r\n");
    const std::string ini = program.Path("Vantrell.ini");
    ASSERT_TRUE(CreateHardLinkA(ini.c_str(), outside.Path("other.ini").c_str(), nullptr));
    const SettingsValues read = ReadSettingsFile(ini, "D:\\Default\\");
    EXPECT_EQ(read.daysOld, 30);
    EXPECT_EQ(read.drivePath, "D:\\Default\\");
    DeleteFileA(outside.Path("other.ini").c_str());
    EXPECT_EQ(ReadSettingsFile(ini, "").daysOld, 7) << "its own once the other name is gone";
}

TEST(OwnRecords, TheLogReachesItsFileAsEachLineIsAdded) {
    TempTree program;
    const std::string path = program.Path("VantrellActivity.log");
    ActivityLog log;
    log.Add("Settings Read.");
    log.StartFile(path);
    EXPECT_EQ(ReadWholeFile(path), "Settings Read.\r\n") << "the lines so far";
    log.Add("Deleting files...");
    EXPECT_EQ(ReadWholeFile(path), "Settings Read.\r\nDeleting files...\r\n");
    log.Clear();
    log.Add("Searching path C:\\");
    EXPECT_EQ(ReadWholeFile(path), "Searching path C:\\\r\n") << "a new scan starts the file anew";
    EXPECT_TRUE(log.EndsWithLine("Searching path C:\\"));
    EXPECT_FALSE(log.EndsWithLine("path C:\\")) << "a whole line, not its end";
}

// A run of millions of failing deletions: the file keeps every line, memory the newest.
TEST(OwnRecords, ALongLogKeepsEveryLineInItsFileAndOnlyTheNewestInMemory) {
    TempTree program;
    const std::string path = program.Path("VantrellActivity.log");
    ActivityLog log;
    log.StartFile(path);
    const std::string line(200, 'x');
    const size_t lines = 3 * ActivityLog::kMemoryTail / line.size();
    for (size_t i = 0; i < lines; ++i)
        log.Add(line + std::to_string(i));
    log.WriteFile(path);
    EXPECT_LE(log.Text().size(), ActivityLog::kMemoryTail);
    EXPECT_EQ(log.Text().compare(0, line.size(), line), 0) << "cut at a line's start";
    EXPECT_TRUE(log.EndsWithLine(line + std::to_string(lines - 1)));
    const std::string file = ReadWholeFile(path);
    EXPECT_EQ(
        file.size(), lines * (line.size() + 2) + [&] {
            size_t digits = 0;
            for (size_t i = 0; i < lines; ++i)
                digits += std::to_string(i).size();
            return digits;
        }());
    EXPECT_EQ(file.compare(0, line.size() + 3, line + "0\r\n"), 0);
}

TEST(OwnRecords, AReplacementThatCannotTakeItsPlaceLeavesTheOldFileWhole) {
    TempTree program;
    program.File("VantrellFiles.csv", 1, 0, "old list\r\n");
    const std::string path = program.Path("VantrellFiles.csv");
    // Held without delete sharing, as a spreadsheet holds it.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_THROW(WriteWholeFile(path, "new list\r\n"), AppError);
    CloseHandle(held);
    EXPECT_EQ(ReadWholeFile(path), "old list\r\n");
    EXPECT_EQ(NewFilesLeft(program), 0);
}

} // namespace
