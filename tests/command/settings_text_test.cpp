// Vantrell.ini's text as a save leaves it: every other line byte for byte.
#include "command/settings.h"

#include <gtest/gtest.h>

namespace {

TEST(WithIniValue, ChangesOnlyTheKeysLineOrAddsItWhereReadersLook) {
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"", "[Vantrell]\r\nDaysOld=45\r\n"},
        {"[Vantrell]\r\nDaysOld=7\r\nDebug=1\r\n", "[Vantrell]\r\nDaysOld=45\r\nDebug=1\r\n"},
        {"[vantrell]\r\n  daysold = 7 \r\n", "[vantrell]\r\nDaysOld=45\r\n"},
        {"[Vantrell]\r\nDebug=1\r\n\r\n[Other]\r\nDaysOld=7\r\n",
         "[Vantrell]\r\nDebug=1\r\nDaysOld=45\r\n\r\n[Other]\r\nDaysOld=7\r\n"},
        {"[Other]\r\nx=1", "[Other]\r\nx=1\r\n[Vantrell]\r\nDaysOld=45\r\n"},
        {"; comment\n[Vantrell]\nDaysOld=1\nDaysOld=2\n",
         "; comment\n[Vantrell]\nDaysOld=45\r\nDaysOld=2\n"},
        {"[Vantrell]\r\nDebug=1", "[Vantrell]\r\nDebug=1\r\nDaysOld=45\r\n"},
        {"[Vantrell]\r\nx=1\r\n[Vantrell]\r\nDaysOld=2\r\n",
         "[Vantrell]\r\nx=1\r\nDaysOld=45\r\n[Vantrell]\r\nDaysOld=2\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithIniValue(c.before, "Vantrell", "DaysOld", "45"), c.after) << c.before;
}

} // namespace
