#include "app/command_line.h"
#include "base/days.h"
#include "app/run_modes.h"

#include <gtest/gtest.h>

namespace {

using Params = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheSplittingRules) {
    const struct {
        const char* raw;
        Params expected;
    } cases[] = {
        {"Vantrell.exe", {"Vantrell.exe"}},
        {"\"C:\\Program Files\\Vantrell.exe\" C:\\Temp 30",
         {"C:\\Program Files\\Vantrell.exe", "C:\\Temp", "30"}},
        // A quoted path may end in a backslash: no escaping.
        {"v \"C:\\Old Files\\\" 30", {"v", "C:\\Old Files\\", "30"}},
        // A lone pair of quotes between parameters is skipped.
        {"v \"\" a \"\"  b", {"v", "a", "b"}},
        // Quotes inside a parameter group and vanish.
        {"v a\"b c\"d", {"v", "ab cd"}},
        // Tabs and other control characters separate; an unclosed quote runs to the end.
        {"v\ta\x01"
         "b \"c d",
         {"v", "a", "b", "c d"}},
        {"   ", {}},
        // Characters above 127 are part of a parameter.
        {"v \xE9t\xE9", {"v", "\xE9t\xE9"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitCommandLine(c.raw), c.expected) << c.raw;
}

TEST(HasHelpSwitch, AcceptsOnlyTheFourSwitchesInAnyCaseAndPosition) {
    EXPECT_TRUE(HasHelpSwitch({"v", "/?"}));
    EXPECT_TRUE(HasHelpSwitch({"v", "C:\\", "30", "-H"}));
    EXPECT_TRUE(HasHelpSwitch({"v", "/h", "x"}));
    EXPECT_TRUE(HasHelpSwitch({"v", "-?"}));
    EXPECT_FALSE(HasHelpSwitch({"v", "/help"}));
    EXPECT_FALSE(HasHelpSwitch({"v", "?"}));
    EXPECT_FALSE(HasHelpSwitch({"v", "//?"}));
    EXPECT_FALSE(HasHelpSwitch({"/?"})) << "the program's own name is not a parameter";
}

TEST(TryParseInt32, ReadsDecimalAndHexWithinThirtyTwoBits) {
    const struct {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"30", true, 30},
        {"  +7", true, 7},
        {"-1", true, -1},
        {"$1E", true, 30},
        {"x1e", true, 30},
        {"0X1E", true, 30},
        {"0x", false, 0},
        {"$", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"12x", false, 0},
        {"1.5", false, 0},
        {"abc", false, 0},
        {"30 ", false, 0},
        {"\t30", false, 0},
        {"2147483647", true, 2147483647},
        {"2147483648", false, 0},
        {"-2147483648", true, INT32_MIN},
        {"-2147483649", false, 0},
        {"$FFFFFFFF", true, -1},
        {"$100000000", false, 0},
        {"+-1", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        int32_t value = 0;
        EXPECT_EQ(TryParseInt32(c.text, value), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

std::string OnlyTempIsDirectory(const std::string& path) {
    return path == "C:\\Temp" || path == "C:\\Old Files\\" ? "Z:\\full\\" + path : std::string();
}

TEST(DecideRunMode, ChoosesTheModeAndWordsEachParameterError) {
    const std::string daysPrefix = "ERROR: The Days parameter ";
    const struct {
        Params params;
        RunModeDecision::Kind kind;
        std::string message;
    } cases[] = {
        {{"v"}, RunModeDecision::Interactive, ""},
        {{"v", "C:\\Temp"}, RunModeDecision::Interactive, ""},
        {{"v", "C:\\Temp", "30", "x"}, RunModeDecision::Interactive, ""},
        {{"v", "/help"}, RunModeDecision::Interactive, ""},
        {{"v", "C:\\Temp", "30", "/?"}, RunModeDecision::Help, ""},
        {{"v", "-H", "C:\\Nope", "abc"}, RunModeDecision::Help, ""},
        {{"v", "C:\\Temp", "30"}, RunModeDecision::Unattended, ""},
        {{"v", "C:\\Old Files\\", "$1E"}, RunModeDecision::Unattended, ""},
        {{"v", "C:\\Temp", "0"}, RunModeDecision::Unattended, ""},
        {{"v", "C:\\Temp", "365"}, RunModeDecision::Unattended, ""},
        {{"v", "C:\\Nope", "abc"},
         RunModeDecision::ParameterError,
         "ERROR: The Path parameter C:\\Nope has a path that cannot be found or does not exist."},
        {{"v", "C:\\Temp", "366"},
         RunModeDecision::ParameterError,
         daysPrefix + "366 must be 365 days or less."},
        {{"v", "C:\\Temp", "-1"},
         RunModeDecision::ParameterError,
         daysPrefix + "-1 must be a positive number."},
        {{"v", "C:\\Temp", "12x"},
         RunModeDecision::ParameterError,
         daysPrefix + "12x is not a valid integer."},
        {{"v", "C:\\Temp", "1.5"},
         RunModeDecision::ParameterError,
         daysPrefix + "1.5 is not a valid integer."},
    };
    for (const auto& c : cases) {
        RunModeDecision d = DecideRunMode(c.params, OnlyTempIsDirectory);
        EXPECT_EQ(d.kind, c.kind) << c.params[c.params.size() - 1];
        EXPECT_EQ(d.message, c.message);
    }
    RunModeDecision d = DecideRunMode({"v", "C:\\Old Files\\", "$1E"}, OnlyTempIsDirectory);
    EXPECT_EQ(d.path, "C:\\Old Files\\");
    EXPECT_EQ(d.fullPath, "Z:\\full\\C:\\Old Files\\") << "the check's result goes with the run";
    EXPECT_EQ(d.days, 30);
}

TEST(UsageText, IsTheFourteenLinesJoinedByLineFeeds) {
    const std::string expected =
        "USAGE:\n\nVantrell [[drive:][path] [days]] | [/?]\n\n  [drive:][path]\n"
        "     Specifies root of path to clean.\n     Enclose paths with spaces in quotes.\n\n"
        "  [days]\n     Number of days old files should be before being removed.\n"
        "     Range 0 to 365 days.\n\n  [/?]\n     Displays this help.";
    EXPECT_EQ(UsageText(), expected);
    EXPECT_EQ(UsageText().find('\r'), std::string::npos);
}

} // namespace
