// Names as exact 8-bit text: no lookalike, no dropped dot or blank, no device.
#include "fs/exact_names.h"

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

} // namespace
