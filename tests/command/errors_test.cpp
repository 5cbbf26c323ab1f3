// The error model's texts: the report's full stop, input/output errors, reasons.
#include "command/errors.h"

#include <gtest/gtest.h>

namespace {

TEST(ErrorReportText, AddsAFullStopOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(ErrorReportText("File access denied"), "File access denied.");
    EXPECT_EQ(ErrorReportText("I/O error 206"), "I/O error 206.");
    EXPECT_EQ(ErrorReportText("Done."), "Done.");
    EXPECT_EQ(ErrorReportText("Cannot create file \"C:\\a.log\""),
              "Cannot create file \"C:\\a.log\"");
    EXPECT_EQ(ErrorReportText("(see above)"), "(see above)");
    EXPECT_EQ(ErrorReportText("en-dash \xE9"), "en-dash \xE9.");
    EXPECT_EQ(ErrorReportText(""), "");
}

TEST(InOutErrorText, NamesTheKnownCodesAndNumbersTheRest) {
    const std::pair<unsigned long, const char*> cases[] = {
        {2, "File not found"},
        {3, "Invalid filename"},
        {4, "Too many open files"},
        {5, "File access denied"},
        {100, "Read beyond end of file"},
        {101, "Disk full"},
        {106, "Invalid numeric input"},
        {206, "I/O error 206"},
        {32, "I/O error 32"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InOutErrorText(c.first), c.second);
}

TEST(TrimReason, RemovesTrailingBlanksControlsAndFullStops) {
    EXPECT_EQ(TrimReason("Access is denied.\r\n"), "Access is denied");
    EXPECT_EQ(TrimReason("The process cannot access the file. . \t"),
              "The process cannot access the file");
    EXPECT_EQ(TrimReason("v1.2 ok"), "v1.2 ok");
    EXPECT_EQ(TrimReason(" .\r\n"), "");
    EXPECT_EQ(TrimReason(""), "");
}

TEST(ReasonText, IsTheSystemsMessageTrimmedOrEmpty) {
    const std::string denied = ReasonText(5);
    ASSERT_FALSE(denied.empty());
    EXPECT_NE(denied.back(), '.');
    EXPECT_NE(denied.back(), '\n');
    EXPECT_EQ(ReasonText(0x7FFF1234), "") << "a code without a message";
}

} // namespace
