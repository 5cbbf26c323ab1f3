// The help page read into blocks of styled text, for the help window's own view.
#pragma once
#include <string>
#include <vector>

struct HelpRun {
    std::string text;
    bool bold = false;
    std::string link; // the address a click opens, empty for plain text
};

struct HelpBlock {
    enum Kind { Heading2, Heading4, Paragraph, Mono, ListItem, Rule } kind = Paragraph;
    std::string marker; // "1." or a bullet for list items
    std::vector<HelpRun> runs;
    bool picture = false; // the page's picture stands at the start of this block
};

// Reads the subset of HTML the help page uses: h2, h4, p (class "mono"), ol, ul, li, b, a,
// br, hr, img and the character entities; head, title and style are skipped.
std::vector<HelpBlock> ParseHelpPage(const std::string& html);
