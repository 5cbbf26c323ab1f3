// Random and oversized input for the command line: never a crash, always a documented outcome.
#include "app/command_line.h"
#include "base/days.h"
#include "app/run_modes.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <regex>

#include <gtest/gtest.h>

namespace {

std::string RandomText(std::mt19937& random, size_t maxLength) {
    static const char alphabet[] = "\"\" \t\x01\x1f\\/?hH-+0123456789xX$aAfF,.:\xE9\xFF";
    std::string text;
    for (size_t n = random() % (maxLength + 1); n > 0; --n)
        text += alphabet[random() % (sizeof alphabet - 1)];
    return text;
}

std::string ExistingForFuzz(const std::string& path) {
    return path == "C:\\Data" ? path : std::string();
}

TEST(Fuzz, SplittingNeverKeepsQuotesOrSeparatorsOutsideQuotes) {
    std::mt19937 random(3);
    for (int i = 0; i < 20000; ++i) {
        const std::string raw = RandomText(random, 60);
        for (const std::string& p : SplitCommandLine(raw)) {
            EXPECT_EQ(p.find('"'), std::string::npos) << raw;
            EXPECT_FALSE(p.empty() && raw.find('"') == std::string::npos) << raw;
        }
    }
}

TEST(Fuzz, QuotedParametersSplitBackToThemselves) {
    std::mt19937 random(5);
    for (int i = 0; i < 5000; ++i) {
        std::vector<std::string> params = {"Vantrell.exe"};
        std::string raw = "Vantrell.exe";
        for (int k = random() % 4; k > 0; --k) {
            std::string p = RandomText(random, 12);
            p.erase(std::remove(p.begin(), p.end(), '"'), p.end());
            if (p.empty())
                continue;
            params.push_back(p);
            raw += (random() % 2 ? " \"" : "\t\"") + p + "\"";
        }
        EXPECT_EQ(SplitCommandLine(raw), params) << raw;
    }
}

TEST(Fuzz, DaysConversionAcceptsExactlyItsGrammarAndRoundTrips) {
    const std::regex grammar("^ *[+-]?(\\$|0[xX]|[xX])?[0-9A-Fa-f]+$");
    const std::regex decimal("^ *[+-]?[0-9]+$");
    std::mt19937 random(9);
    for (int i = 0; i < 50000; ++i) {
        const std::string text = RandomText(random, 12);
        int32_t value = 0;
        if (TryParseInt32(text, value)) {
            EXPECT_TRUE(std::regex_match(text, grammar)) << '"' << text << '"';
            const bool hex = text.find_first_of("$xX") != std::string::npos;
            if (!hex) {
                EXPECT_TRUE(std::regex_match(text, decimal)) << text;
            }
        }
    }
    for (int i = 0; i < 20000; ++i) {
        const int32_t v = static_cast<int32_t>(random());
        int32_t back = 0;
        ASSERT_TRUE(TryParseInt32(std::to_string(v), back));
        EXPECT_EQ(back, v);
        char hex[16];
        snprintf(hex, sizeof hex, "$%X", static_cast<unsigned>(v));
        ASSERT_TRUE(TryParseInt32(hex, back)) << hex;
        EXPECT_EQ(back, v) << hex;
    }
}

TEST(Fuzz, EveryCommandLineEndsInOneOfTheFourModes) {
    std::mt19937 random(13);
    std::vector<std::string> lines;
    for (int i = 0; i < 20000; ++i)
        lines.push_back("Vantrell " + RandomText(random, 40));
    lines.push_back("Vantrell " + std::string(32000, 'a'));
    lines.push_back("Vantrell \"" + std::string(32000, ' ') + "\" 30");
    lines.push_back("Vantrell C:\\Data " + std::string(31000, '9'));
    lines.push_back(std::string(32000, '"'));
    for (const std::string& line : lines) {
        const RunModeDecision d = DecideRunMode(SplitCommandLine(line), ExistingForFuzz);
        switch (d.kind) {
        case RunModeDecision::Interactive:
        case RunModeDecision::Help:
            EXPECT_TRUE(d.message.empty());
            break;
        case RunModeDecision::Unattended:
            EXPECT_EQ(d.path, "C:\\Data");
            EXPECT_TRUE(d.days >= 0 && d.days <= 365);
            break;
        case RunModeDecision::ParameterError:
            EXPECT_EQ(d.message.rfind("ERROR: The ", 0), 0u);
            break;
        default:
            ADD_FAILURE() << "no such mode";
        }
    }
}

} // namespace
