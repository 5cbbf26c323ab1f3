// Paths as text: delimiters by characters, relative roots made full.
#include "fs/path_text.h"

#include <gtest/gtest.h>

namespace {

TEST(PathText, DelimitersAreCountedAndFound) {
    EXPECT_EQ(LastDelimiter("C:\\a\\b.txt"), 4u);
    EXPECT_EQ(LastDelimiter("b.txt"), std::string::npos);
    EXPECT_EQ(NextDelimiter("C:\\a\\b", 3), 4u);
    EXPECT_TRUE(EndsWithDelimiter("C:\\"));
    EXPECT_FALSE(EndsWithDelimiter("C:\\a"));
    EXPECT_EQ(WithTrailingBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(NextCharacter("ab", 0), 1u);
}

TEST(PathText, RelativeRootsAreMadeFullAgainstTheStartDirectory) {
    const std::string base = "C:\\Start\\Here\\";
    const std::pair<const char*, const char*> cases[] = {
        {".", "C:\\Start\\Here"},
        {"Logs", "C:\\Start\\Here\\Logs"},
        {"..\\Other", "C:\\Start\\Other"},
        {"\\Top", "C:\\Top"},
        {"c:Logs", "C:\\Start\\Here\\Logs"},
        {"D:\\Data\\.\\x\\..\\y", "D:\\Data\\y"},
        {"\\\\server\\share\\dir", "\\\\server\\share\\dir"},
        {"", ""},
        // Windows takes a forward slash wherever it takes a backslash.
        {"C:/Data/old", "C:\\Data\\old"},
        {"c:/Data\\old/", "c:\\Data\\old\\"},
        {"/Top/x", "C:\\Top\\x"},
        {"Logs/Old", "C:\\Start\\Here\\Logs\\Old"},
        {"c:Logs/x", "C:\\Start\\Here\\Logs\\x"},
        {"C:", "C:\\Start\\Here\\"},
        {"./..", "C:\\Start"},
        {"//server/share/dir", "\\\\server\\share\\dir"},
        {"\\\\.\\C:\\Data\\..\\x", "\\\\.\\C:\\x"},
        {"//?/C:/Data/../x", "\\\\.\\C:\\x"},
        // The verbatim prefix passes the rest as it is.
        {"\\\\?\\C:\\Data\\..\\x", "\\\\?\\C:\\Data\\..\\x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FullPathAgainst(c.first, base), c.second) << c.first;
    EXPECT_EQ(FullPathAgainst("\\Top", "\\\\server\\share\\dir\\"), "\\\\server\\share\\Top");
}

} // namespace

#include "fs/system_redirection.h"

namespace {

TEST(ThroughSysnative, NamesSystem32AndBelowThroughSysnativeOnly) {
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {
        {"C:\\Windows\\System32", "C:\\Windows\\Sysnative"},
        {"C:\\WINDOWS\\system32\\config\\systemprofile\\AppData\\Local\\Temp",
         "C:\\Windows\\Sysnative\\config\\systemprofile\\AppData\\Local\\Temp"},
        {"C:\\Windows\\System32\\", "C:\\Windows\\Sysnative\\"},
        {"C:\\Windows\\System32x\\a", "C:\\Windows\\System32x\\a"},
        {"C:\\Windows\\SysWOW64\\a", "C:\\Windows\\SysWOW64\\a"},
        {"C:\\Windows", "C:\\Windows"},
        {"D:\\Windows\\System32", "D:\\Windows\\System32"},
        {"C:\\Data", "C:\\Data"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ThroughSysnative(c.path, "C:\\Windows"), c.expected) << c.path;
}

} // namespace
