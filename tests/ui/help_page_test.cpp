#include "ui/help/help_page.h"

#include <gtest/gtest.h>

namespace {

std::string Joined(const HelpBlock& block) {
    std::string text;
    for (const HelpRun& run : block.runs)
        text += run.text;
    return text;
}

TEST(HelpPage, ReadsTheSubsetThePageUses) {
    const std::vector<HelpBlock> blocks = ParseHelpPage(
        "<html><head><title>T</title><style>h2 { x }</style></head><body>\r\n"
        "<h2>&nbsp;<img src=\"HELPHTML_PNG\" width=\"32\">Vantrell Help</h2>\r\n"
        "<p>Two   ways,\r\n <b>really</b>:</p>\r\n<ol>\r\n<li>Manually</li>\r\n<li>Command "
        "prompt</li>\r\n</ol>\r\n"
        "<h4>INSTALLATION &amp; REQUIREMENTS:</h4>\r\n"
        "<p class=\"mono\">Vantrell<br>\r\n&nbsp;&nbsp;[days]</p>\r\n"
        "<ul><li>one</li></ul><p>a <a href=\"https://x.example/d\" "
        "target=\"_blank\">Donation</a>.</p><hr>"
        "</body></html>");
    ASSERT_EQ(blocks.size(), 9u);
    EXPECT_EQ(blocks[0].kind, HelpBlock::Heading2);
    EXPECT_TRUE(blocks[0].picture);
    EXPECT_EQ(Joined(blocks[0]), "\xA0Vantrell Help");
    EXPECT_EQ(Joined(blocks[1]), "Two ways, really:");
    EXPECT_TRUE(blocks[1].runs[1].bold);
    EXPECT_EQ(blocks[2].marker, "1.");
    EXPECT_EQ(blocks[3].marker, "2.");
    EXPECT_EQ(Joined(blocks[3]), "Command prompt");
    EXPECT_EQ(blocks[4].kind, HelpBlock::Heading4);
    EXPECT_EQ(Joined(blocks[4]), "INSTALLATION & REQUIREMENTS:");
    EXPECT_EQ(blocks[5].kind, HelpBlock::Mono);
    EXPECT_EQ(Joined(blocks[5]), "Vantrell\n\xA0\xA0[days]");
    EXPECT_EQ(blocks[6].marker, "\x95");
    EXPECT_EQ(blocks[7].runs[1].text, "Donation");
    EXPECT_EQ(blocks[7].runs[1].link, "https://x.example/d");
    EXPECT_EQ(blocks[7].runs[2].link, "");
    EXPECT_EQ(blocks[8].kind, HelpBlock::Rule);
}

} // namespace
