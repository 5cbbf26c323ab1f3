// What bounds a walk: a path lies below the root only at a delimiter; unknown identities.
#include "fs/bound_directory.h"

#include <gtest/gtest.h>

namespace {

TEST(BoundPaths, APathIsUnderTheRootOnlyAtADelimiter) {
    const std::wstring root = L"\\\\?\\D:\\Real\\Root";
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"\\\\?\\D:\\Real\\Root", true},       {L"\\\\?\\D:\\real\\ROOT\\a\\b", true},
        {L"\\\\?\\D:\\Real\\Rooted\\a", false}, {L"\\\\?\\D:\\Real", false},
        {L"\\\\?\\E:\\Real\\Root\\a", false},   {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsUnderRoot(c.first, root), c.second) << static_cast<int>(wcslen(c.first));
    EXPECT_TRUE(IsUnderRoot(L"\\\\?\\D:\\a", L"\\\\?\\D:\\"));
    EXPECT_FALSE(IsUnderRoot(L"\\\\?\\D:\\a", L""));
    EXPECT_FALSE(SameFinalPath(L"", L""));
}

// An identity of 0 or all ones is what a file system without indexes reports: it names no
// file, so it never matches, not even itself.
TEST(BoundPaths, OnlyKnownIdentitiesNameAFile) {
    EXPECT_FALSE(IsKnownId(0));
    EXPECT_FALSE(IsKnownId(~FileId(0)));
    EXPECT_TRUE(IsKnownId(1));
    EXPECT_TRUE(IsKnownId(0x0001000000000005ULL));
}

} // namespace
