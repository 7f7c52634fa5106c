#include "host/app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/app/log_text.h"

namespace ionsift::host {
namespace {

std::vector<std::string> Texts(const ParsedCommand& command) {
    std::vector<std::string> texts;
    for (const auto& argument : command.arguments) texts.push_back(argument.text);
    return texts;
}

using Texts_t = std::vector<std::string>;

TEST(HostCommandLine, FewerArgumentsThanTheArityStayAsSplit) {
    const ParsedCommand c = ParseCommandLine("messagebox \"only \"text\" here\"", 3);
    EXPECT_EQ(Texts(c), Texts_t({"only \"text\" here"}));
    const ParsedCommand bare = ParseCommandLine("Get a b c", 1);
    EXPECT_EQ(Texts(bare), Texts_t({"a", "b", "c"}));  // only quoted text is joined
}

TEST(HostCommandLine, CommandWordAlone) {
    EXPECT_EQ(CommandWord("  IsoDist \"C6H12O6\" 1"), "IsoDist");
    EXPECT_EQ(CommandWord("Free"), "Free");
}

TEST(HostCommandLine, SplitsWordAndBareArguments) {
    const ParsedCommand c = ParseCommandLine("Get PrfLang");
    EXPECT_EQ(c.word, "Get");
    EXPECT_EQ(Texts(c), Texts_t({"PrfLang"}));
    EXPECT_FALSE(c.arguments[0].quoted);
    EXPECT_EQ(c.rest, "PrfLang");
}

TEST(HostCommandLine, LeadingAndTrailingBlanksAreIgnored) {
    const ParsedCommand c = ParseCommandLine("  Cursor \t Busy   \r\n");
    EXPECT_EQ(c.word, "Cursor");
    EXPECT_EQ(Texts(c), Texts_t({"Busy"}));
    EXPECT_FALSE(c.unterminatedQuote);
}

TEST(HostCommandLine, EmptyAndBlankLinesHaveNoWord) {
    for (const char* line : {"", "   ", "\r\n"}) {
        const ParsedCommand c = ParseCommandLine(line);
        EXPECT_EQ(c.word, "") << '"' << line << '"';
        EXPECT_TRUE(c.arguments.empty());
    }
}

TEST(HostCommandLine, WordIsCaseKeptAndArgumentsFollowAnyBlank) {
    const ParsedCommand c = ParseCommandLine("DbGetRowId\t12\t\"x y\"");
    EXPECT_EQ(c.word, "DbGetRowId");
    EXPECT_EQ(Texts(c), Texts_t({"12", "x y"}));
}

TEST(HostCommandLine, MessageBoxWithStyle) {
    const ParsedCommand c = ParseCommandLine("messagebox \"Delete the spectrum?\" \"Ionsift\" 36");
    EXPECT_EQ(c.word, "messagebox");
    EXPECT_EQ(Texts(c), Texts_t({"Delete the spectrum?", "Ionsift", "36"}));
    EXPECT_TRUE(c.arguments[0].quoted);
    EXPECT_TRUE(c.arguments[1].quoted);
    EXPECT_FALSE(c.arguments[2].quoted);
}

TEST(HostCommandLine, EmptyQuotedTextIsAnArgument) {
    const ParsedCommand c = ParseCommandLine("messagebox \"\" \"\" 0");
    EXPECT_EQ(Texts(c), Texts_t({"", "", "0"}));
    EXPECT_TRUE(c.arguments[0].quoted);
}

TEST(HostCommandLine, QuotedTextKeepsInnerBlanksAndLineBreaks) {
    const ParsedCommand c = ParseCommandLine("messagebox \"line one\r\n  line two \" \"T\" 0");
    EXPECT_EQ(Texts(c), Texts_t({"line one\r\n  line two ", "T", "0"}));
}

TEST(HostCommandLine, MessageTextMayContainQuotes) {
    const std::string line = "messagebox \"File \"a b.db\" is \"locked\" now\" \"Ionsift\" 48";
    // Split alone, the line is ambiguous; knowing there are three arguments,
    // the free text takes the slack.
    EXPECT_EQ(ParseCommandLine(line).arguments.size(), 5u);
    const ParsedCommand c = ParseCommandLine(line, 3);
    EXPECT_EQ(Texts(c), Texts_t({"File \"a b.db\" is \"locked\" now", "Ionsift", "48"}));
    EXPECT_EQ(line.substr(c.arguments[0].rawBegin, c.arguments[0].rawEnd - c.arguments[0].rawBegin),
              "\"File \"a b.db\" is \"locked\" now\"");

    const ParsedCommand unambiguous = ParseCommandLine("messagebox \"a \"quoted\" word\" \"T\" 0");
    EXPECT_EQ(Texts(unambiguous), Texts_t({"a \"quoted\" word", "T", "0"}));
}

TEST(HostCommandLine, QuoteBeforeBlankAndQuoteEndsTheText) {
    const ParsedCommand c = ParseCommandLine("messagebox \"say \"hi\" \"T\" 0", 3);
    EXPECT_EQ(Texts(c), Texts_t({"say \"hi", "T", "0"}));
}

TEST(HostCommandLine, CopyTextWithLineBreaksAndQuotes) {
    const std::string text = "Mass\tIntensity\r\n\"peak\" 1\t100.5\r\n2 \"x\"\t7\r\n";
    const ParsedCommand c = ParseCommandLine("CopyText \"" + text + "\"  ", 1);
    EXPECT_EQ(c.word, "CopyText");
    ASSERT_EQ(c.arguments.size(), 1u);
    EXPECT_EQ(c.arguments[0].text, text);
    EXPECT_EQ(c.rest, "\"" + text + "\"  ");
}

TEST(HostCommandLine, MissingClosingQuoteRunsToTheEnd) {
    const ParsedCommand c = ParseCommandLine("messagebox \"no end here");
    EXPECT_TRUE(c.unterminatedQuote);
    EXPECT_EQ(Texts(c), Texts_t({"no end here"}));

    const ParsedCommand lone = ParseCommandLine("DbOpen \"");
    EXPECT_TRUE(lone.unterminatedQuote);
    EXPECT_EQ(Texts(lone), Texts_t({""}));
}

TEST(HostCommandLine, AmbiguousLineFallsBackToFirstQuoteBeforeBlank) {
    // No split is clean (a bare word holds a quote); stay lenient, not lost.
    const ParsedCommand c = ParseCommandLine("messagebox \"a\" b\"c 0");
    EXPECT_FALSE(c.unterminatedQuote);
    EXPECT_EQ(Texts(c), Texts_t({"a", "b\"c", "0"}));
}

TEST(HostCommandLine, ManyAmbiguousQuotesSplitLikeFew) {
    // Each argument falls back to its first quote before a blank, also on a
    // long pasted line (its speed is in bench/host_command_bench.cpp).
    constexpr std::size_t kPieces = 200000;
    std::string line = "CopyText ";
    for (std::size_t i = 0; i < kPieces; ++i) line += "\" x\"y ";
    const ParsedCommand c = ParseCommandLine(line);
    // Pairs of pieces: a quoted " x\"y " ended by the next piece's quote,
    // then the bare word x"y.
    ASSERT_EQ(c.arguments.size(), kPieces);
    EXPECT_EQ(Texts(c)[0], " x\"y ");
    EXPECT_EQ(Texts(c)[1], "x\"y");
    EXPECT_TRUE(c.arguments[kPieces - 2].quoted);
    EXPECT_FALSE(c.arguments[kPieces - 1].quoted);
}

TEST(HostLogText, LineBreaksBecomeBackslashN) {
    EXPECT_EQ(EscapeLineBreaks("a\r\nb\nc\rd"), "a\\nb\\nc\\nd");
    EXPECT_EQ(EscapeLineBreaks("\r\n\r\n"), "\\n\\n");
    EXPECT_EQ(EscapeLineBreaks("tab\tstays"), "tab\tstays");
}

}  // namespace
}  // namespace ionsift::host
