// The window layer's rules: the days field.
#include "base/days.h"

#include <cstring>

#include <gtest/gtest.h>

namespace {

TEST(DaysField, FiltersTypingReadsClampsAndSteps) {
    for (char c : std::string("0123456789+-,\b"))
        EXPECT_TRUE(IsDaysCharAccepted(c, ',')) << int(c);
    for (char c : std::string("a.x \r\x1b"))
        EXPECT_FALSE(IsDaysCharAccepted(c, ',')) << int(c);
    EXPECT_TRUE(IsDaysCharAccepted('.', '.'));

    const std::pair<const char*, int32_t> reads[] = {{"30", 30}, {"", 0},      {"-", 0},
                                                     {"1.5", 0}, {"400", 400}, {"-5", -5}};
    for (const auto& r : reads)
        EXPECT_EQ(DaysValueOf(r.first), r.second) << r.first;

    const std::pair<const char*, const char*> exits[] = {
        {"400", "365"}, {"-5", "0"},    {"365", "365"}, {"0", "0"},
        {"", ""},       {"1.5", "1.5"}, {"-", "-"}};
    for (const auto& e : exits)
        EXPECT_EQ(DaysTextOnExit(e.first), e.second) << e.first;

    EXPECT_EQ(SteppedDays("30", 1), 31);
    EXPECT_EQ(SteppedDays("365", 1), 365);
    EXPECT_EQ(SteppedDays("0", -1), 0);
    EXPECT_EQ(SteppedDays("400", -1), 365);
    EXPECT_EQ(SteppedDays("", 1), 1);
}

} // namespace
