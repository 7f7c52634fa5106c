// The main tool window's portable rules: the column split on resize, the
// database catalogue and connection, the search button's enabling.
#include <gtest/gtest.h>

#include "search/database_catalogue.h"
#include "search/database_connection.h"
#include "text/letter_case.h"
#include "tests/native/recording_host.h"
#include "ui/dialogs/column_split.h"
#include "ui/dialogs/resolution_input.h"
#include "ui/dialogs/search_button_rule.h"

namespace ionsift {
namespace {

// --- resize ----------------------------------------------------------------

TEST(SplitColumns, ExtraWidthIsHalvedBetweenTheColumns) {
    const ColumnBase base{384, 305, 369, 721};
    struct Case {
        int outerWidth;
        ColumnSplit expected;
    };
    const Case cases[] = {
        {721, {384, 305, 369}},
        {822, {434, 355, 419}},  // 101 wider: 50 each, one pixel left over at the right
        {823, {435, 356, 420}},
        {722, {384, 305, 369}},
        {720, {383, 304, 368}},  // narrower than at creation: halved toward minus infinity
    };
    for (const Case& c : cases) {
        const ColumnSplit split = SplitColumns(c.outerWidth, base);
        EXPECT_EQ(split.rightLeft, c.expected.rightLeft) << c.outerWidth;
        EXPECT_EQ(split.rightWidth, c.expected.rightWidth) << c.outerWidth;
        EXPECT_EQ(split.leftWidth, c.expected.leftWidth) << c.outerWidth;
    }
}

// --- catalogue ---------------------------------------------------------------

TEST(CatalogueEntryName, StripsTheExtensionAndSkipsWhatIsNoDatabase) {
    EXPECT_EQ(CatalogueEntryName("natural.db"), "natural");
    EXPECT_EQ(CatalogueEntryName("ASPIRIN.DB"), "ASPIRIN");
    EXPECT_EQ(CatalogueEntryName("two.dots.db"), "two.dots");
    EXPECT_EQ(CatalogueEntryName(""), std::nullopt);
    EXPECT_EQ(CatalogueEntryName(".db"), std::nullopt);
    EXPECT_EQ(CatalogueEntryName("journal.db-wal"), std::nullopt);
    EXPECT_EQ(CatalogueEntryName("x.dbf"), std::nullopt);
}

TEST(EntryIndexIgnoringCase, FirstMatchOrThePrompt) {
    const std::vector<std::string> entries = {"Choose the database", "aspirin", "Natural",
                                              "natural"};
    EXPECT_EQ(EntryIndexIgnoringCase(entries, "natural"), 2) << "first of two, case ignored";
    EXPECT_EQ(EntryIndexIgnoringCase(entries, "ASPIRIN"), 1);
    EXPECT_EQ(EntryIndexIgnoringCase(entries, "gone"), 0);
    EXPECT_EQ(EntryIndexIgnoringCase(entries, ""), 0);
    EXPECT_EQ(EntryIndexIgnoringCase(entries, "choose THE database"), 0);
    EXPECT_EQ(EntryIndexIgnoringCase(entries, "aspirin "), 0) << "no trimming";
}

// The Windows side supplies the ANSI code page's upper case; these are
// Windows-1252's for the letters used here.
TEST(EntryIndexIgnoringCase, AccentedLettersMatchInTheAnsiCodePage) {
    const std::vector<std::string> entries = {"Choose the database", "\xE9ther", "\xFF\xE0"};
    EXPECT_EQ(EntryIndexIgnoringCase(entries, "\xC9THER"), 0) << "ASCII alone: no case for \xE9";
    UpperCaseTable upper = AsciiUpperCase();
    upper[0xE9] = 0xC9;  // e acute
    upper[0xE0] = 0xC0;  // a grave
    upper[0xFF] = 0x9F;  // y diaeresis, whose capital lies below 0xC0
    SetAnsiUpperCase(upper);
    EXPECT_EQ(EntryIndexIgnoringCase(entries, "\xC9THER"), 1);
    EXPECT_EQ(EntryIndexIgnoringCase(entries, "\xE9THER"), 1);
    EXPECT_EQ(EntryIndexIgnoringCase(entries, "\x9F\xC0"), 2);
    EXPECT_EQ(EntryIndexIgnoringCase(entries, "ether"), 0) << "no accent folding";
    SetAnsiUpperCase(AsciiUpperCase());
}

// --- connection --------------------------------------------------------------

class Connection : public ::testing::Test {
protected:
    void SetUp() override {
        host_.Respond([this](const std::string& command) -> testing::RecordingHost::Answer {
            if (command.rfind("DbOpen", 0) == 0) return {0, openAnswer_};
            return {0, ""};
        });
    }
    testing::RecordingHost host_;  // host directory C:\Host\ .
    std::string openAnswer_ = "17";
    DatabaseConnection db_;
    using Outcome = DatabaseConnection::Outcome;
};

TEST_F(Connection, SwitchingClosesTheOldHandleThenOpensTheNewPath) {
    EXPECT_EQ(db_.Choose(1, "aspirin"), Outcome::Opened);
    openAnswer_ = "18";
    EXPECT_EQ(db_.Choose(2, "natural"), Outcome::Opened);
    EXPECT_EQ(host_.Commands(), (std::vector<std::string>{
                                    "DbOpen \"C:\\Host\\Data\\Databases\\aspirin.db\"",
                                    "DbClose 17",
                                    "DbOpen \"C:\\Host\\Data\\Databases\\natural.db\"",
                                }));
    EXPECT_EQ(db_.DbHandle(), "18");
    EXPECT_EQ(db_.DbName(), "natural");
}

TEST_F(Connection, RepickingTheRecordedNameSendsNothing) {
    db_.Choose(1, "aspirin");
    EXPECT_EQ(db_.Choose(1, "aspirin"), Outcome::Unchanged);
    EXPECT_EQ(host_.Commands().size(), 1u);
    // Letter case counts here, unlike the catalogue's selection by name.
    EXPECT_EQ(db_.Choose(1, "Aspirin"), Outcome::Opened);
    EXPECT_EQ(host_.Commands().size(), 3u);
}

TEST_F(Connection, ThePromptClosesWithoutOpening) {
    db_.Choose(1, "aspirin");
    EXPECT_EQ(db_.Choose(0, "Choose the database"), Outcome::Closed);
    EXPECT_EQ(host_.Commands().back(), "DbClose 17");
    EXPECT_EQ(host_.Commands().size(), 2u);
    EXPECT_EQ(db_.DbHandle(), "");
    EXPECT_EQ(db_.DbName(), "Choose the database");
    db_.Close();
    EXPECT_EQ(host_.Commands().size(), 2u) << "no handle, nothing to close";
}

TEST_F(Connection, AFailedOpenKeepsTheNameAndNoHandle) {
    openAnswer_ = "0 unable to open database file";
    EXPECT_EQ(db_.Choose(1, "broken"), Outcome::OpenFailed);
    EXPECT_EQ(db_.DbHandle(), "");
    EXPECT_EQ(db_.DbName(), "broken");
    EXPECT_EQ(db_.Choose(1, "broken"), Outcome::Unchanged) << "picking it again sends nothing";
    EXPECT_EQ(host_.Commands().size(), 1u);

    openAnswer_ = "";  // no answer at all is no handle either
    EXPECT_EQ(db_.Choose(2, "silent"), Outcome::OpenFailed);
    EXPECT_EQ(db_.DbHandle(), "");
}

TEST_F(Connection, TheWholeAnswerIsTheHandle) {
    openAnswer_ = "db 7 \"x\"";
    db_.Choose(1, "a");
    db_.Choose(0, "prompt");
    EXPECT_EQ(host_.Commands().back(), "DbClose db 7 \"x\"");
}

// --- search button -----------------------------------------------------------

TEST(SearchEnabled, EachConditionCanDisableTheSearch) {
    const SearchInputs ready{"17", "180.06", "200", "2", 1, '.'};
    EXPECT_TRUE(SearchEnabled(ready));

    struct Case {
        const char* what;
        SearchInputs inputs;
    };
    const Case disabled[] = {
        {"no database open", {"", "180.06", "200", "2", 1, '.'}},
        {"empty mass", {"17", "", "200", "2", 1, '.'}},
        {"empty maximum", {"17", "180.06", "", "2", 1, '.'}},
        {"empty tolerance", {"17", "180.06", "200", "", 1, '.'}},
        {"prompt selected", {"17", "180.06", "200", "2", 0, '.'}},
        {"mass zero", {"17", "0", "200", "2", 1, '.'}},
        {"mass negative", {"17", "-5", "200", "2", 1, '.'}},
        {"mass not a number", {"17", "18x", "200", "2", 1, '.'}},
        {"maximum of 1", {"17", "180.06", "1", "2", 1, '.'}},
        {"maximum not an integer", {"17", "180.06", "2.5", "2", 1, '.'}},
        {"tolerance zero", {"17", "180.06", "200", "0", 1, '.'}},
        {"comma under a point separator", {"17", "180,06", "200", "2", 1, '.'}},
    };
    for (const Case& c : disabled) EXPECT_FALSE(SearchEnabled(c.inputs)) << c.what;

    EXPECT_TRUE(SearchEnabled({"17", "180.06", "2", "2", 1, '.'})) << "a maximum of 2 is enough";
    EXPECT_TRUE(SearchEnabled({"17", "+180.06", "2", "0.5", 3, '.'}));
}

TEST(SearchEnabled, UsesTheUsersSeparator) {
    EXPECT_TRUE(SearchEnabled({"17", "180,06", "200", "2,5", 1, ','}));
    EXPECT_FALSE(SearchEnabled({"17", "180.06", "200", "2", 1, ','}));
    EXPECT_FALSE(SearchEnabled({"17", "180,06", "200", "0,0", 1, ','}));
}

// --- resolution ----------------------------------------------------------------

TEST(ResolvingPowerOf, TakesAWholeNumberInRangeAndElseTheDefault) {
    const std::pair<const char*, long> cases[] = {
        {"60000", 60000}, {"1", 1}, {"10000000", 10000000}, {"007", 7},
        {"", 30000},      {"0", 30000}, {"10000001", 30000}, {"99999999999999999999", 30000},
        {"6e4", 30000},   {" 600", 30000}, {"-600", 30000}, {"60.000", 30000},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ResolvingPowerOf(text), value) << text;
}

}  // namespace
}  // namespace ionsift
