// Which row ends its directory: the point where the deletions of that directory are
// confirmed, however the rows of other directories interleave.
#include "delete/bound_deletion.h"

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

} // namespace
