// The spreadsheet stand-in's portable half: journal lines as the Windows
// tests read them, and the CSV its window saves.
#include <gtest/gtest.h>

#include <string>

#include "host/sheet/sheet_book.h"
#include "host/sheet/sheet_journal.h"

namespace ionsift::sheet {
namespace {

JournalValue Text(const std::string& text) {
    JournalValue value;
    value.kind = JournalValue::Kind::Text;
    value.text = text;
    return value;
}

JournalValue Integer(std::int64_t number) {
    JournalValue value;
    value.kind = JournalValue::Kind::Integer;
    value.integer = number;
    return value;
}

TEST(SheetJournal, LinesCarryObjectMemberKindAndArguments) {
    EXPECT_EQ(JournalLine("Workbooks", "Add", JournalKind(1), {}), "Workbooks\tAdd\tmethod");
    EXPECT_EQ(JournalLine("Range", "Cells", JournalKind(2), {Integer(2), Integer(-3)}),
              "Range\tCells\tget\t2\t-3");
    JournalValue on;
    on.kind = JournalValue::Kind::Boolean;
    on.boolean = true;
    JournalValue real;
    real.kind = JournalValue::Kind::Real;
    real.real = 180.063388;
    JournalValue other;
    other.kind = JournalValue::Kind::Other;
    other.integer = 13;
    EXPECT_EQ(JournalLine("Font", "Bold", JournalKind(4), {on}), "Font\tBold\tput\ttrue");
    EXPECT_EQ(JournalLine("Range", "Value", JournalKind(4), {real}), "Range\tValue\tput\t180.063388");
    EXPECT_EQ(JournalLine("X", "Y", JournalKind(3), {JournalValue{}, other}), "X\tY\tmethod|get\tempty\tvt13");
    EXPECT_EQ(JournalKind(0), "none");
    EXPECT_EQ(JournalKind(8), "putref");
}

TEST(SheetJournal, TextStaysOnOneLineAndKeepsItsAnsiBytes) {
    EXPECT_EQ(JournalLine("Range", "Value", "put", {Text("say \"hi\"\\\r\n\tx \xB1")}),
              "Range\tValue\tput\t\"say \\\"hi\\\"\\\\\\r\\n\\tx \xB1\"");
    EXPECT_EQ(JournalLine("Range", "Value", "put", {Text("")}), "Range\tValue\tput\t\"\"");
}

TEST(SheetBook, CsvCoversTheUsedRectangleAndQuotesOnlyWhereNeeded) {
    Sheet sheet{"Mass", {}};
    EXPECT_EQ(SheetCsv(sheet), "");
    sheet.At(1, 1).text = "Mass";
    sheet.At(1, 3).text = "Name";
    sheet.At(3, 2).text = "C6H12O6";
    sheet.At(3, 3).text = "glucose, \"D\"";
    sheet.At(4, 1).text = "line\r\nbreak";
    EXPECT_EQ(sheet.LastRow(), 4);
    EXPECT_EQ(sheet.LastColumn(), 3);
    EXPECT_EQ(SheetCsv(sheet),
              "Mass,,Name\r\n"
              ",,\r\n"
              ",C6H12O6,\"glucose, \"\"D\"\"\"\r\n"
              "\"line\r\nbreak\",,\r\n");
}

TEST(SheetBook, ColumnLettersAndNewWorkbooks) {
    EXPECT_EQ(ColumnLetters(1), "A");
    EXPECT_EQ(ColumnLetters(26), "Z");
    EXPECT_EQ(ColumnLetters(27), "AA");
    EXPECT_EQ(ColumnLetters(52), "AZ");
    EXPECT_EQ(ColumnLetters(703), "AAA");
    const Workbook book = NewWorkbook(2);
    EXPECT_EQ(book.name, "Book2");
    ASSERT_EQ(book.sheets.size(), 1u);
    EXPECT_EQ(book.sheets[0].name, "Sheet1");
}

}  // namespace
}  // namespace ionsift::sheet
