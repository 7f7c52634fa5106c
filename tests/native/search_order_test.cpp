// The order of the results list: folded text for formulas and names, masses
// by value in the user's separator, both directions.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "search/result_order.h"

namespace ionsift {
namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(CompareFoldedText, FoldsAsciiLettersToUpperCaseAndComparesBytesUnsigned) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"c6h6", "C6H6", 0},
        {"C6H12O6", "C6H6", '1' - '6'},         // digits are bytes, not numbers
        {"C6H6", "C6H6O", -1},                  // a prefix sorts first by the length difference
        {"glucose", "Glu", 4},
        {"", "abc", -3},
        {"a", "[", 'A' - '['},                  // folded to upper case: a (0x41) before [ (0x5B)
        {"z", "_", 'Z' - '_'},                  // and z (0x5A) before _ (0x5F)
        {"\xE9", "e", 0xE9 - 'E'},              // unsigned: é after every ASCII letter
        {"\xE9", "\xC9", 0xE9 - 0xC9},          // no folding outside a-z
        {"\x80x", "\x7Fx", 1},
        {"{", "[", '{' - '['},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareFoldedText(c.a, c.b), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(CompareFoldedText(c.b, c.a), -c.expected) << c.b << " vs " << c.a;
    }
}

// Rows over texts and ID slots that the test owns.
struct Table {
    std::vector<std::array<std::string, kResultColumnCount>> texts;
    std::vector<std::int32_t> ids;
    std::vector<ResultRow> rows;

    explicit Table(std::vector<std::array<std::string, kResultColumnCount>> cells) : texts(std::move(cells)) {
        ids.resize(texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            ids[i] = static_cast<std::int32_t>(i);
            rows.push_back({{texts[i][0].c_str(), texts[i][1].c_str(), texts[i][2].c_str()}, &ids[i]});
        }
    }
};

std::vector<std::int32_t> IdsOf(const std::vector<ResultRow>& rows) {
    std::vector<std::int32_t> ids;
    for (const ResultRow& row : rows) ids.push_back(*row.id);
    return ids;
}

TEST(ResultOrder, MassesSortByValueInTheUsersSeparator) {
    Table table({{"180,06", "C", "a"}, {"18,01", "H2O", "b"}, {"1800,5", "X", "c"}, {"9,5", "Y", "d"}});
    std::vector<ResultRow> rows = table.rows;
    SortResultRows(rows, kMassColumn, false, ',');
    EXPECT_EQ(IdsOf(rows), (std::vector<std::int32_t>{3, 1, 0, 2}));
    SortResultRows(rows, kMassColumn, true, ',');
    EXPECT_EQ(IdsOf(rows), (std::vector<std::int32_t>{2, 0, 1, 3}));

    EXPECT_LT(CompareResultRows(table.rows[3], table.rows[1], kMassColumn, false, ','), 0);  // 9,5 < 18,01
    EXPECT_GT(CompareResultRows(table.rows[3], table.rows[1], kMassColumn, true, ','), 0);
}

TEST(ResultOrder, CaptionsThatDoNotConvertCountAsZero) {
    EXPECT_EQ(CaptionMass("180,06", ','), 180.06);
    EXPECT_EQ(CaptionMass(" 180,06 ", ','), 180.06);
    EXPECT_EQ(CaptionMass("180.06", ','), 0.0);
    EXPECT_EQ(CaptionMass("180.06\r", '.'), 0.0);
    EXPECT_EQ(CaptionMass("", '.'), 0.0);
    EXPECT_EQ(CaptionMass("-1.5", '.'), -1.5);

    Table table({{"abc", "", ""}, {"-1.5", "", ""}, {"0.5", "", ""}, {"0", "", ""}});
    EXPECT_EQ(CompareResultRows(table.rows[0], table.rows[3], kMassColumn, false, '.'), 0);
    std::vector<ResultRow> rows = table.rows;
    SortResultRows(rows, kMassColumn, false, '.');
    EXPECT_EQ(IdsOf(rows), (std::vector<std::int32_t>{1, 0, 3, 2}));  // "abc" and "0" keep their order
}

TEST(ResultOrder, TextColumnsSortFoldedEitherWay) {
    Table table({{"1", "C6H6", "benzene"}, {"2", "C6H12O6", "Glucose"}, {"3", "c6h6", "acetone"}});
    std::vector<ResultRow> rows = table.rows;
    SortResultRows(rows, kFormulaColumn, false, '.');
    EXPECT_EQ(IdsOf(rows), (std::vector<std::int32_t>{1, 0, 2}));
    SortResultRows(rows, kNameColumn, true, '.');
    EXPECT_EQ(IdsOf(rows), (std::vector<std::int32_t>{1, 0, 2}));
    SortResultRows(rows, kNameColumn, false, '.');
    EXPECT_EQ(IdsOf(rows), (std::vector<std::int32_t>{2, 0, 1}));
}

// Random rows from a small alphabet, so that equal keys, case variants,
// prefixes, commas and unconvertible masses are common.
std::vector<std::array<std::string, kResultColumnCount>> RandomCells(std::mt19937& random, std::size_t count) {
    const char* const masses[] = {"18,01", "180,06", "1800,5", "9,5", "-2", "0", "abc", "1e2", "180,060", ""};
    const char letters[] = {'c', 'C', 'h', 'H', '6', '1', '[', '_', '\xE9', ' '};
    std::uniform_int_distribution<std::size_t> pick(0, 9);
    std::uniform_int_distribution<int> length(0, 4);
    std::vector<std::array<std::string, kResultColumnCount>> cells(count);
    for (auto& row : cells) {
        row[kMassColumn] = masses[pick(random)];
        for (int column : {kFormulaColumn, kNameColumn}) {
            const int n = length(random);
            for (int i = 0; i < n; ++i) row[column] += letters[pick(random)];
        }
    }
    return cells;
}

TEST(ResultOrder, SortingAgreesWithTheComparisonAndKeepsEqualRowsInOrder) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 50; ++round) {
        Table table(RandomCells(random, 1 + round * 7));
        for (int column = 0; column < kResultColumnCount; ++column) {
            for (bool descending : {false, true}) {
                std::vector<ResultRow> sorted = table.rows;
                SortResultRows(sorted, column, descending, ',');
                std::vector<ResultRow> expected = table.rows;
                std::stable_sort(expected.begin(), expected.end(), [&](const ResultRow& a, const ResultRow& b) {
                    return CompareResultRows(a, b, column, descending, ',') < 0;
                });
                ASSERT_EQ(IdsOf(sorted), IdsOf(expected)) << "column " << column << " descending " << descending;
                for (std::size_t i = 0; i < sorted.size(); ++i) {
                    // Each row keeps its own slot and texts.
                    const std::int32_t id = *sorted[i].id;
                    EXPECT_EQ(sorted[i].id, &table.ids[static_cast<std::size_t>(id)]);
                    EXPECT_EQ(sorted[i].cells, table.rows[static_cast<std::size_t>(id)].cells);
                }
            }
        }
        // Descending is the ascending comparison negated.
        for (std::size_t i = 0; i + 1 < table.rows.size(); ++i) {
            for (int column = 0; column < kResultColumnCount; ++column) {
                const ResultRow& a = table.rows[i];
                const ResultRow& b = table.rows[i + 1];
                EXPECT_EQ(Sign(CompareResultRows(a, b, column, true, ',')),
                          -Sign(CompareResultRows(a, b, column, false, ',')));
                EXPECT_EQ(Sign(CompareResultRows(a, b, column, false, ',')),
                          -Sign(CompareResultRows(b, a, column, false, ',')));
            }
        }
    }
}

}  // namespace
}  // namespace ionsift
