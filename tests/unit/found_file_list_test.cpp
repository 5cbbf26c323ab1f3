#include "scan/found_file_list.h"

#include <algorithm>
#include <cstring>
#include <random>

#include <windows.h>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Files(const FoundFileList& list) {
    std::vector<std::string> files;
    for (size_t i = 0; i < list.Count(); ++i)
        files.push_back(list.FileText(i));
    return files;
}

void Add(FoundFileList& list, const std::string& file) {
    list.AddRow(file, "c", "m", "a", "1");
}

TEST(FoundFileList, OrdersByTheLocaleComparisonNotByBytes) {
    FoundFileList list;
    for (const char* f : {"C:\\T\\z.txt", "C:\\T\\Sub\\a.txt", "C:\\T\\b.txt"})
        Add(list, f);
    EXPECT_EQ(Files(list),
              (std::vector<std::string>{"C:\\T\\b.txt", "C:\\T\\Sub\\a.txt", "C:\\T\\z.txt"}));

    FoundFileList words;
    for (const char* f : {"B", "b", "A", "a", "it's", "its", "co-op", "coop", "file9", "file10"})
        Add(words, f);
    EXPECT_EQ(Files(words), (std::vector<std::string>{"a", "A", "b", "B", "coop", "co-op", "file10",
                                                      "file9", "its", "it's"}));
}

TEST(FoundFileList, KeepsEveryRowsTextsTogether) {
    FoundFileList list;
    list.AddRow("C:\\b", "1/1/2000", "2/1/2000", "3/1/2000", "9000");
    list.AddRow("C:\\a\\", "4/1/2000", "5/1/2000 10:00:00", "", "12");
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_STREQ(list.Text(0, FoundFileList::File), "C:\\a\\");
    EXPECT_STREQ(list.Text(0, FoundFileList::Modified), "5/1/2000 10:00:00");
    EXPECT_STREQ(list.Text(0, FoundFileList::Accessed), "");
    EXPECT_STREQ(list.Text(0, FoundFileList::Age), "12");
    EXPECT_STREQ(list.Text(1, FoundFileList::Created), "1/1/2000");
    EXPECT_STREQ(list.Text(1, FoundFileList::Age), "9000");
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    Add(list, "x");
    EXPECT_EQ(Files(list), std::vector<std::string>{"x"});
}

TEST(FoundFileList, StaysSortedThroughManyBlockSplits) {
    // Enough rows for dozens of blocks, arriving in random order, read back after each
    // thousand additions as the window would between files.
    FoundFileList list(FoundFileList::ByteOrderKey);
    std::vector<std::string> expected;
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        std::string name = "D:\\" + std::to_string(random() % 100000) + "\\f" + std::to_string(i);
        Add(list, name);
        expected.push_back(name);
        if (i % 1000 == 999) {
            std::vector<std::string> sorted = expected;
            std::sort(sorted.begin(), sorted.end());
            ASSERT_EQ(Files(list), sorted) << "after " << i + 1 << " rows";
        }
    }
    // Ascending input (the common case of a sorted walk) keeps filling the last block.
    FoundFileList ascending(FoundFileList::ByteOrderKey);
    for (int i = 0; i < 3000; ++i)
        Add(ascending, std::to_string(100000 + i));
    ASSERT_EQ(ascending.Count(), 3000u);
    EXPECT_STREQ(ascending.FileText(0), "100000");
    EXPECT_STREQ(ascending.FileText(1234), "101234");
    EXPECT_STREQ(ascending.FileText(2999), "102999");
}

TEST(FoundFileList, TheLocaleSortKeyOrdersExactlyAsLstrcmpA) {
    // Rows are ordered by sort keys made once per row; they must agree with lstrcmpA on
    // every pair, the hard cases included: case, hyphen, apostrophe, accents, separators.
    const char alphabet[] = "aAbBzZ09-'_. \\,~!\xE9\xC9\xFC\xDF\xE6";
    std::mt19937 random(11);
    auto word = [&] {
        std::string w;
        for (int i = random() % 7; i > 0; --i)
            w += alphabet[random() % (sizeof alphabet - 1)];
        return w;
    };
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (int i = 0; i < 20000; ++i) {
        const std::string a = word(), b = word();
        const int expected = sign(lstrcmpA(a.c_str(), b.c_str()));
        const int actual = sign(std::strcmp(FoundFileList::LocaleSortKey(a).c_str(),
                                            FoundFileList::LocaleSortKey(b).c_str()));
        ASSERT_EQ(actual, expected) << "[" << a << "] [" << b << "]";
    }
}

} // namespace
