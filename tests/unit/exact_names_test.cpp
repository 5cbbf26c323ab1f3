#include "app/bound_files.h"
#include "app/command_line.h"
#include "app/exact_names.h"
#include "scan/date_time.h"

#include <gtest/gtest.h>

namespace {

// The tests run in code page 1252, as Wine gives a C.UTF-8 or en-US locale.
TEST(ExactNames, TheCodePageRoundTripRefusesBestFit) {
    ASSERT_EQ(GetACP(), 1252u);
    const struct {
        const wchar_t* wide;
        bool exact;
        const char* narrow;
    } cases[] = {
        {L"plain.txt", true, "plain.txt"}, {L"caf\u00e9", true, "caf\xe9"},
        {L"a\uff3c..\uff3cx", false, ""}, // full-width reverse solidus: best fit gives "\"
        {L"\u0141og.txt", false, ""},     // "Ł": best fit gives "L"
        {L"\uff34emp", false, ""},        // full-width letter
        {L"a\uff1ab", false, ""},         // full-width colon
        {L"\u65e5\u672c", false, ""},      {L"", true, ""},
    };
    for (const auto& c : cases) {
        std::string narrow;
        EXPECT_EQ(ToExactNarrow(c.wide, narrow), c.exact) << narrow;
        if (c.exact) {
            EXPECT_EQ(narrow, c.narrow);
        }
    }
}

TEST(ExactNames, TextWithoutAnExactFormGetsAQuestionMarkPerCharacter) {
    EXPECT_EQ(NarrowOrInvalid(L"D:\\\uff34emp"), "D:\\?emp");
    EXPECT_EQ(NarrowOrInvalid(L"a\U0001F600b"), "a?b"); // one character, two code units
    EXPECT_EQ(NarrowOrInvalid(L"caf\u00e9 30"), "caf\xe9 30");
}

TEST(ExactNames, OnlyNamesThePathLayerKeepsArePlain) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"report.txt", true},   {L".hidden", true},      {L"a.b.c", true},
        {L"report.txt.", false}, {L"report.txt ", false}, {L".", false},
        {L"..", false},          {L"...", false},         {L"", false},
        {L"a\\b", false},        {L"a/b", false},         {L"a:b", false},
        {L"a*", false},          {L"a?", false},          {L"a\"b", false},
        {L"a<b", false},         {L"a>b", false},         {L"a|b", false},
        {L"a\tb", false},        {L"\x1f", false},        {L" lead", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPlainName(c.first), c.second) << static_cast<int>(wcslen(c.first));
}

// Device names stay devices in any case, with any extension and with trailing blanks
// before it; a longer or shorter name, or another digit, is an ordinary name.
TEST(ExactNames, DeviceNamesAreNeverPlain) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"CON", true},      {L"con", true},        {L"Nul", true},         {L"aux", true},
        {L"PRN", true},      {L"COM1", true},       {L"com0", true},        {L"lpt9", true},
        {L"LPT1", true},     {L"COM¹", true},       {L"lpt²", true},        {L"Com³.txt", true},
        {L"nul.txt", true},  {L"NUL.tar.gz", true}, {L"CON .log", true},    {L"aux  ", true},
        {L"CONIN$", true},   {L"conout$.x", true},  {L"COM10", false},      {L"LPT", false},
        {L"CONSOLE", false}, {L"NULL", false},      {L"xcon", false},       {L"con_1", false},
        {L"COM⁴", false},    {L" CON", false},      {L"report.con", false}, {L"CO", false},
        {L"COMA", false},    {L"AUX1", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsDeviceName(c.first), c.second) << NarrowOrInvalid(c.first);
        if (c.second) {
            EXPECT_FALSE(IsPlainName(c.first)) << NarrowOrInvalid(c.first);
        }
    }
    EXPECT_EQ(UsableName(L"CON", L"CON~1"), "CON~1");
    EXPECT_EQ(UsableName(L"nul.txt", L"NUL.TXT"), "");
}

TEST(ExactNames, AnUnusableLongNameFallsBackToItsShortName) {
    EXPECT_EQ(UsableName(L"Long name.txt", L"LONGNA~1.TXT"), "Long name.txt");
    EXPECT_EQ(UsableName(L"\u0141og.txt", L"OG~1.TXT"), "OG~1.TXT");
    EXPECT_EQ(UsableName(L"report.txt.", L"REPORT~1.TXT"), "REPORT~1.TXT");
    EXPECT_EQ(UsableName(L"a\uff3c..\uff3cx", L""), "");
    EXPECT_EQ(UsableName(L"\u0141og.txt", L"\u0141OG.TXT"), "");
}

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
    };
    for (const auto& c : cases)
        EXPECT_EQ(FullPathAgainst(c.first, base), c.second) << c.first;
}

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

TEST(DateTimes, AStampWithoutADateIsUnknownAndSoNeverOld) {
    const FILETIME beyond{0xFFFFFFFFu, 0xFFFFFFFFu};
    DateTime value = 1;
    EXPECT_FALSE(ToLocalDateTime(beyond, value));
    EXPECT_EQ(value, 0);
    const FILETIME year2000{0xD53E8000u, 0x01BF53EBu};
    EXPECT_TRUE(ToLocalDateTime(year2000, value));
    EXPECT_GT(value, 36000);
}

} // namespace
