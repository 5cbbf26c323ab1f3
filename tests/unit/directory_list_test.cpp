// The directory list of the removal and the level count it is ordered by.
#include "fs/directory_list.h"

#include <gtest/gtest.h>

namespace {

TEST(CountSubstring, CountsNonOverlappingOccurrences) {
    EXPECT_EQ(CountSubstring("\\\\server\\share\\a", "\\"), 4);
    EXPECT_EQ(CountSubstring("C:\\Data\\x", "\\"), 2);
    EXPECT_EQ(CountSubstring("aaaa", "aa"), 2);
    EXPECT_EQ(CountSubstring("aaa", "aa"), 1);
    EXPECT_EQ(CountSubstring("abc", ""), 0);
    EXPECT_EQ(CountSubstring("", "a"), 0);
    EXPECT_EQ(CountSubstring("abc", "abcd"), 0);
}

TEST(DirectoryList, OrdersLevelsNumericallyAndVisitsDeepestFirst) {
    DirectoryList list;
    list.Add(10, "C:\\1\\2\\3\\4\\5\\6\\7\\8\\9\\10");
    list.Add(2, "C:\\a\\b");
    list.Add(9, "C:\\1\\2\\3\\4\\5\\6\\7\\8\\9");
    list.Add(1, "C:\\a");
    list.Add(12, "C:\\1\\2\\3\\4\\5\\6\\7\\8\\9\\10\\11\\12");
    std::vector<std::string> levels;
    for (const std::string& row : list.Rows())
        levels.push_back(row.substr(0, row.find('\t')));
    EXPECT_EQ(levels, (std::vector<std::string>{"1", "2", "9", "10", "12"}));
    std::vector<std::string> visited;
    list.VisitDeepestFirst([&](const ListedDirectory& d) { visited.push_back(d.path); });
    ASSERT_EQ(visited.size(), 5u);
    EXPECT_EQ(visited.front(), "C:\\1\\2\\3\\4\\5\\6\\7\\8\\9\\10\\11\\12");
    EXPECT_EQ(visited.back(), "C:\\a");
}

} // namespace
