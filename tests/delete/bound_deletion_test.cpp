// Which row ends its directory: the point where the deletions of that directory are
// confirmed, however the rows of other directories interleave.
#include "delete/bound_deletion.h"
#include "fs/nt_files.h"
#include "support/synthetic_scan.h"

#include <gtest/gtest.h>

namespace {

TEST(LastRowsOfDirectories, MarksTheLastRowOfEachDirectoryWhateverComesBetween) {
    std::vector<SyntheticFile> files;
    for (const char* path : {"big\\a1.txt", "big\\a1x\\f.txt", "big\\a2.txt", "big\\a2x\\f.txt",
                             "big\\a2x\\g.txt", "top.txt", "big\\a3.txt"})
        files.push_back({path, 1, 1, 1});
    ScanRoot root;
    root.prefix = "C:\\";
    FoundList scan;
    FillScan(scan, root, files, kByteOrder);
    ASSERT_EQ(FileTexts(scan),
              (std::vector<std::string>{"C:\\big\\a1.txt", "C:\\big\\a1x\\f.txt", "C:\\big\\a2.txt",
                                        "C:\\big\\a2x\\f.txt", "C:\\big\\a2x\\g.txt",
                                        "C:\\big\\a3.txt", "C:\\top.txt"}));
    const ChunkedVector<size_t> last = LastRowsOfDirectories(scan);
    std::vector<bool> isLast;
    for (size_t row = 0; row < scan.FileCount(); ++row)
        isLast.push_back(last[scan.FileDirectory(row)] == row);
    EXPECT_EQ(isLast, (std::vector<bool>{false, true, false, false, true, true, true}));
}

// A share that answers "Incorrect function" must fall back to the classic disposition, not
// leave every file undeleted; a real refusal must stay a failure.
TEST(DispositionAnswers, EveryNotSupportedAnswerFallsBackAndOthersAreFailures) {
    const std::pair<unsigned long, bool> answers[] = {
        {0xC0000002, true},  // not implemented (Wine 8)
        {0xC0000003, true},  // invalid information class
        {0xC00000BB, true},  // not supported
        {0xC0000010, true},  // invalid device request
        {0xC000000D, true},  // invalid parameter: a flag the file system lacks
        {0xC0000022, false}, // access denied
        {0xC0000043, false}, // sharing violation
        {0xC0000121, false}, // cannot delete
        {0x00000000, false},
    };
    for (const auto& answer : answers)
        EXPECT_EQ(MeansNotSupported(static_cast<long>(answer.first)), answer.second)
            << std::hex << answer.first;
}

} // namespace
