// The host's answer to the mass-window query read into result rows: the
// grouping in fours, the blanks, the ID slots and the private copy.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "search/results_answer.h"

namespace ionsift {
namespace {

struct Reading {
    RowIdTable ids;
    ResultRows rows;
    AnswerCounts counts;
    AnswerReading outcome = AnswerReading::Read;

    void Read(const std::string& answer, char separator = '.') {
        outcome = ReadResultsAnswer(answer.c_str(), separator, ids, rows, counts);
    }
    std::string Cell(std::size_t row, int column) const { return rows.rows.at(row).cells[column]; }
    std::int32_t Id(std::size_t row) const { return *rows.rows.at(row).id; }
};

TEST(ResultsAnswer, OneRowGivesItsIdMassFormulaAndName) {
    for (const char separator : {'.', ','}) {
        Reading r;
        r.Read("12;180.063388;C6H12O6;glucose\n", separator);
        ASSERT_EQ(r.outcome, AnswerReading::Read);
        ASSERT_EQ(r.rows.rows.size(), 1u);
        EXPECT_EQ(r.Id(0), 12);
        EXPECT_EQ(r.Cell(0, kMassColumn), separator == '.' ? "180.063388" : "180,063388");
        EXPECT_EQ(r.Cell(0, kFormulaColumn), "C6H12O6");
        EXPECT_EQ(r.Cell(0, kNameColumn), "glucose");
        EXPECT_EQ(r.counts.newlines, 1u);
    }
}

TEST(ResultsAnswer, BlanksAfterADelimiterGoAndEverythingElseStays) {
    Reading r;
    // Blanks after each delimiter dropped, blanks before one kept, tabs and
    // carriage returns are ordinary bytes.
    r.Read("  12 ;  180.5  ;\tC6H6 ;  benzene\r\n13;1.5;a\rb;\n");
    ASSERT_EQ(r.rows.rows.size(), 2u);
    EXPECT_EQ(r.Id(0), 12);
    EXPECT_EQ(r.Cell(0, kMassColumn), "180.5  ");
    EXPECT_EQ(r.Cell(0, kFormulaColumn), "\tC6H6 ");
    EXPECT_EQ(r.Cell(0, kNameColumn), "benzene\r");
    EXPECT_EQ(r.Cell(1, kFormulaColumn), "a\rb");
    EXPECT_EQ(r.Cell(1, kNameColumn), "");

    // A field of blanks only is empty.
    r.Read("1;   ;x;y\n");
    EXPECT_EQ(r.Cell(0, kMassColumn), "");
}

TEST(ResultsAnswer, FieldsGroupInFoursWhicheverDelimiterEndedThem) {
    Reading r;
    // The fifth field of the first line starts the second row as its ID; the
    // last field, "D", finds no slot left.
    r.Read("1;10.5;A;B;9\n2;20.5;C;D\n", ',');
    ASSERT_EQ(r.rows.rows.size(), 2u);
    EXPECT_EQ(r.Id(0), 1);
    EXPECT_EQ(r.Cell(0, kMassColumn), "10,5");
    EXPECT_EQ(r.Id(1), 9);
    EXPECT_EQ(r.Cell(1, kMassColumn), "2");
    EXPECT_EQ(r.Cell(1, kFormulaColumn), "20.5");  // only the mass takes the separator
    EXPECT_EQ(r.Cell(1, kNameColumn), "C");
    EXPECT_EQ(r.counts.newlines, 2u);

    // Lines of one field each: three newlines, one row of four fields.
    r.Read("5\n6\n7\n");
    ASSERT_EQ(r.rows.rows.size(), 1u);
    EXPECT_EQ(r.Id(0), 5);
    EXPECT_EQ(r.Cell(0, kMassColumn), "6");
    EXPECT_EQ(r.Cell(0, kFormulaColumn), "7");
    EXPECT_EQ(r.Cell(0, kNameColumn), "");  // never read, but never null
    EXPECT_EQ(r.ids.size(), 3u);
}

TEST(ResultsAnswer, EmptyAnswerGivesNoRowAndAnEmptyTable) {
    Reading r;
    r.ids.assign(4, 77);
    r.Read("");
    EXPECT_EQ(r.outcome, AnswerReading::Read);
    EXPECT_TRUE(r.rows.rows.empty());
    EXPECT_TRUE(r.ids.empty());
    EXPECT_EQ(r.counts.newlines, 0u);
}

TEST(ResultsAnswer, RowWithoutItsNewlineGetsNoSlotButTheCountStays) {
    struct Case {
        const char* answer;
        std::size_t rows;
        std::size_t newlines;
    };
    const Case cases[] = {
        {"1;10.5;A;B\n2;20.5;C;D", 1, 1},    // second ID ended by ";": no slot
        {"1;10.5;A;B\n2", 1, 1},             // bytes after the last delimiter ignored
        {"1;10.5;A;B", 0, 0},                // no newline, no slot at all
        {"1;10.5;A;B;2;3;4;5;6;7;8\n", 1, 1},  // three IDs on one line
        {"\n", 1, 1},                        // an empty ID field is ID 0
    };
    for (const Case& c : cases) {
        Reading r;
        r.Read(c.answer);
        EXPECT_EQ(r.rows.rows.size(), c.rows) << c.answer;
        EXPECT_EQ(r.ids.size(), c.newlines) << c.answer;
        EXPECT_EQ(r.counts.newlines, c.newlines) << c.answer;
    }
}

TEST(ResultsAnswer, OnlyTheFirstPointOfTheMassTakesTheSeparator) {
    Reading r;
    r.Read("1;1.2.3;C.H;x.y\n2;180;H;z\n", ',');
    EXPECT_EQ(r.Cell(0, kMassColumn), "1,2.3");
    EXPECT_EQ(r.Cell(0, kFormulaColumn), "C.H");
    EXPECT_EQ(r.Cell(0, kNameColumn), "x.y");
    EXPECT_EQ(r.Cell(1, kMassColumn), "180");
}

TEST(ResultsAnswer, IdsReadLikeStrtolHeldTo32Bits) {
    struct Case {
        const char* field;
        std::int32_t id;
    };
    const Case cases[] = {
        {"+12", 12},
        {"-7", -7},
        {"\t \v42", 42},  // white space after the dropped blanks: strtol skips it
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"- 5", 0},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"99999999999999999999999", INT32_MAX},
        {"-99999999999999999999999", INT32_MIN},
    };
    for (const Case& c : cases) {
        Reading r;
        r.Read(std::string(c.field) + ";1.0;H;x\n");
        ASSERT_EQ(r.rows.rows.size(), 1u) << c.field;
        EXPECT_EQ(r.Id(0), c.id) << c.field;
    }
}

TEST(ResultsAnswer, EachRowOwnsTheNextSlotOfAFreshTableOfOneSlotPerNewline) {
    Reading r;
    r.ids.assign(10, 77);  // a previous search's table
    r.Read("30;1.0;A;a\n10;2.0;B;b\n20;3.0;C;c\n");
    ASSERT_EQ(r.ids.size(), 3u);
    ASSERT_EQ(r.rows.rows.size(), 3u);
    const std::int32_t expected[] = {30, 10, 20};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(r.rows.rows[i].id, &r.ids[i]);
        EXPECT_EQ(r.ids[i], expected[i]);
    }

    // Two newlines, one row: the second slot is there, unused and cleared.
    r.Read("5;6\n7;8\n");
    ASSERT_EQ(r.ids.size(), 2u);
    ASSERT_EQ(r.rows.rows.size(), 1u);
    EXPECT_EQ(r.rows.rows[0].id, &r.ids[0]);
    EXPECT_EQ(r.ids[1], 0);
}

TEST(ResultsAnswer, CellsLiveInThePrivateCopyAndTheHostsTextStaysAsItWas) {
    const std::string host = " 12;180.063388 ;C6H12O6;glucose\n13;181.1;C;d\n";
    const std::string before = host;
    Reading r;
    r.outcome = ReadResultsAnswer(host.c_str(), ',', r.ids, r.rows, r.counts);
    EXPECT_EQ(host, before);
    ASSERT_EQ(r.rows.rows.size(), 2u);
    const char* first = r.rows.text.get();
    const char* last = first + host.size();
    for (const ResultRow& row : r.rows.rows) {
        for (const char* cell : row.cells) {
            EXPECT_TRUE(cell >= first && cell + std::strlen(cell) < last);
            EXPECT_EQ(std::strpbrk(cell, ";\n"), nullptr);
        }
    }
    // A second reading replaces rows, copy and table together.
    r.Read("1;2;3;4\n");
    ASSERT_EQ(r.rows.rows.size(), 1u);
    EXPECT_EQ(r.rows.rows[0].id, &r.ids[0]);
    EXPECT_EQ(r.Cell(0, kNameColumn), "4");
}

}  // namespace
}  // namespace ionsift
