// What bounds a walk: a path lies below the root only at a delimiter; unknown identities.
#include "fs/bound_directory.h"

#include <cstring>

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

// A wide id as its two halves, low first, as FILE_ID_INFO holds them.
struct WideId {
    unsigned char bytes[16];
    WideId(unsigned long long low, unsigned long long high) {
        std::memcpy(bytes, &low, 8);
        std::memcpy(bytes + 8, &high, 8);
    }
};

TEST(BoundPaths, AWideIdFoldsToItsIndexWhereItFitsAndToAKnownIdElsewhere) {
    EXPECT_EQ(FoldWideId(WideId(5, 0).bytes), 5u) << "NTFS: the index it always was";
    EXPECT_EQ(FoldWideId(WideId(0, 0).bytes), 0u) << "no id";
    EXPECT_EQ(FoldWideId(WideId(~0ULL, ~0ULL).bytes), 0u) << "no id";
    // ReFS: files whose lower halves agree are told apart by their upper halves.
    const FileId a = FoldWideId(WideId(42, 1).bytes), b = FoldWideId(WideId(42, 2).bytes),
                 c = FoldWideId(WideId(42, 1ULL << 63).bytes);
    EXPECT_TRUE(a != b && b != c && a != c && a != 42);
    // A known wide id whose halves mix to 0 still names a file.
    const unsigned long long mixed = 0x9E3779B97F4A7C15ULL;
    EXPECT_TRUE(IsKnownId(FoldWideId(WideId(mixed ^ (mixed >> 31), 1).bytes)));
}

} // namespace
