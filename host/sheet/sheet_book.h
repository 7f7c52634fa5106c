// The spreadsheet stand-in's workbook model: named sheets of text cells with
// font flags, kept in memory, and their CSV form.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ionsift::sheet {

// Font properties of a cell, one bit each.
enum FontFlag : unsigned {
    kFontBold = 1,
    kFontItalic = 2,
    kFontStrikethrough = 4,
    kFontSubscript = 8,
    kFontSuperscript = 16,
    kFontUnderline = 32,
};

struct Cell {
    std::string text;
    unsigned font = 0;
};

struct Sheet {
    std::string name;
    std::map<std::pair<int, int>, Cell> cells;  // (row, column), both from 1

    Cell& At(int row, int column) { return cells[{row, column}]; }
    const Cell* Find(int row, int column) const;
    // The last row and column that hold a cell; 0 for an empty sheet.
    int LastRow() const;
    int LastColumn() const;
};

struct Workbook {
    std::string name;
    std::vector<Sheet> sheets;
    int activeSheet = 0;
};

// A new workbook as the application makes it: "Book<number>" with one
// empty sheet "Sheet1".
Workbook NewWorkbook(int number);

// The sheet's rectangle from A1 to its last row and column as CSV: commas,
// CR LF after every row, a field quoted (quotes doubled) when it holds a
// comma, a quote, a CR or an LF. Empty sheets give an empty text.
std::string SheetCsv(const Sheet& sheet);

// Column letters as spreadsheets show them: 1 -> "A", 26 -> "Z", 27 -> "AA".
std::string ColumnLetters(int column);

}  // namespace ionsift::sheet
