// Which row ends its directory: the point where the deletions of that directory are
// confirmed, however the rows of other directories interleave.
#include "delete/bound_deletion.h"
#include "fs/nt_files.h"

#include <gtest/gtest.h>

namespace {

TEST(LastRowsOfDirectories, MarksTheLastRowOfEachDirectoryWhateverComesBetween) {
    const std::vector<std::string> rows = {
        "C:\\big\\a1.txt",     "C:\\big\\a1x\\f.txt", "C:\\big\\a2.txt", "C:\\big\\a2x\\f.txt",
        "C:\\big\\a2x\\g.txt", "C:\\top.txt",         "C:\\big\\a3.txt", "no-delimiter",
    };
    const std::vector<bool> last =
        LastRowsOfDirectories(rows.size(), [&rows](size_t i) { return rows[i].c_str(); });
    EXPECT_EQ(last, (std::vector<bool>{false, true, false, false, true, true, true, true}));
    EXPECT_TRUE(LastRowsOfDirectories(0, [](size_t) { return ""; }).empty());
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
