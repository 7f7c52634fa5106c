#include "host/sheet/sheet_book.h"

#include <algorithm>

namespace ionsift::sheet {
namespace {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

const Cell* Sheet::Find(int row, int column) const {
    const auto found = cells.find({row, column});
    return found == cells.end() ? nullptr : &found->second;
}

int Sheet::LastRow() const { return cells.empty() ? 0 : cells.rbegin()->first.first; }

int Sheet::LastColumn() const {
    int last = 0;
    for (const auto& entry : cells) last = std::max(last, entry.first.second);
    return last;
}

Workbook NewWorkbook(int number) {
    Workbook book;
    book.name = "Book" + std::to_string(number);
    book.sheets.push_back(Sheet{"Sheet1", {}});
    return book;
}

std::string SheetCsv(const Sheet& sheet) {
    std::string csv;
    const int rows = sheet.LastRow();
    const int columns = sheet.LastColumn();
    for (int row = 1; row <= rows; ++row) {
        for (int column = 1; column <= columns; ++column) {
            if (column > 1) csv += ',';
            if (const Cell* cell = sheet.Find(row, column)) csv += CsvField(cell->text);
        }
        csv += "\r\n";
    }
    return csv;
}

std::string ColumnLetters(int column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    }
    return letters;
}

}  // namespace ionsift::sheet
