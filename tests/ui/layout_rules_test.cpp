// The window layer's rules: the days field, the anchors and panel split, the scaling.
#include "base/days.h"
#include "ui/toolkit/dpi.h"
#include "ui/toolkit/layout.h"

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

TEST(Layout, SplitsThePanelAndFollowsTheAnchors) {
    const PanelSplit at300 = SplitPanel(300);
    EXPECT_EQ(at300.listTop, 8);
    EXPECT_EQ(at300.listHeight, 150);
    EXPECT_EQ(at300.logTop, 158);
    EXPECT_EQ(at300.logHeight, 142);
    const PanelSplit at301 = SplitPanel(301);
    EXPECT_EQ(at301.listHeight, 150);
    EXPECT_EQ(at301.logTop, 158);
    EXPECT_EQ(at301.logHeight, 143);

    const Box close = Anchored({535, 435, 75, 25}, kRight | kBottom, 100, 50);
    EXPECT_EQ(close.left, 635);
    EXPECT_EQ(close.top, 485);
    EXPECT_EQ(close.width, 75);
    const Box panel = Anchored({8, 128, 601, 300}, kLeft | kTop | kRight | kBottom, 100, 50);
    EXPECT_EQ(panel.left, 8);
    EXPECT_EQ(panel.width, 701);
    EXPECT_EQ(panel.height, 350);
    const Box fixed = Anchored({132, 10, 49, 22}, kLeft | kTop, 100, 50);
    EXPECT_EQ(fixed.left, 132);
    EXPECT_EQ(fixed.width, 49);
}

// The design at 96 dots per inch scaled, rounded to the nearest pixel; the panel's split
// keeps its shape with the gap scaled.
TEST(Layout, ScalesTheDesignByTheResolution) {
    const struct {
        int dpi;
        Box close; // {535, 435, 75, 25}
        int font;  // 11
        int listTop, listHeight, logTop, logHeight;
    } cases[] = {
        {96, {535, 435, 75, 25}, 11, 8, 150, 158, 142},
        {120, {669, 544, 94, 31}, 14, 10, 187, 197, 178},
        {144, {803, 653, 113, 38}, 17, 12, 225, 237, 213},
        {192, {1070, 870, 150, 50}, 22, 16, 300, 316, 284},
    };
    for (const auto& c : cases) {
        const Scale scale{c.dpi};
        const Box close = scale(Box{535, 435, 75, 25});
        EXPECT_EQ(close.left, c.close.left) << c.dpi;
        EXPECT_EQ(close.top, c.close.top) << c.dpi;
        EXPECT_EQ(close.width, c.close.width) << c.dpi;
        EXPECT_EQ(close.height, c.close.height) << c.dpi;
        EXPECT_EQ(scale(11), c.font) << c.dpi;
        const PanelSplit split = SplitPanel(scale(300), scale(8));
        EXPECT_EQ(split.listTop, c.listTop) << c.dpi;
        EXPECT_EQ(split.listHeight, c.listHeight) << c.dpi;
        EXPECT_EQ(split.logTop, c.logTop) << c.dpi;
        EXPECT_EQ(split.logHeight, c.logHeight) << c.dpi;
        EXPECT_EQ(split.logTop + split.logHeight, scale(300)) << "the log reaches the bottom";
    }
}

} // namespace
