#include "export/result_files.h"

#include <cstddef>

namespace ionsift {
namespace {

// A string value in a DIF tuple: its type line, then the text in quotes.
void AppendDifString(std::string& text, const std::string& value) {
    text += "1,0\n\"";
    text += value;
    text += "\"\n";
}

}  // namespace

std::string ToTextModeLineEnds(const std::string& text) {
    std::string converted;
    converted.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') converted += '\r';
        converted += c;
    }
    return converted;
}

std::string CsvText(const ResultTable& table) {
    std::string text;
    for (std::size_t column = 0; column < table.titles.size(); ++column) {
        if (column > 0) text += "; ";
        text += table.titles[column];
    }
    text += '\n';
    for (const ResultRow& row : table.rows) {
        text += row.cells[kMassColumn];
        for (std::size_t column = kFormulaColumn; column < row.TextCount(); ++column) {
            text += "; ";
            text += row.cells[column];
        }
        text += '\n';
    }
    return ToTextModeLineEnds(text);
}

std::string DifText(const ResultTable& table) {
    // The list is never empty when it is saved; an empty one still gives a
    // well-formed table of titles.
    const std::size_t vectors = table.rows.empty() ? table.titles.size()
                                                   : table.rows.front().TextCount();
    std::string text = "TABLE\n0,1\n\"POCKETS\"\nVECTORS\n0,";
    text += std::to_string(vectors);
    text += "\n\"\"\nTUPLES\n0,";
    text += std::to_string(table.rows.size() + 1);
    text += "\n\"\"\nDATA\n0,0\n\"\"\n-1,0\nBOT\n";
    for (const std::string& title : table.titles) AppendDifString(text, title);
    text += "-1,0\n";
    for (const ResultRow& row : table.rows) {
        text += "BOT\n0,";
        text += row.cells[kMassColumn];
        text += "\nV\n";
        for (std::size_t column = kFormulaColumn; column < row.TextCount(); ++column) {
            AppendDifString(text, row.cells[column]);
        }
        text += "-1,0\n";
    }
    text += "EOD\n";
    return ToTextModeLineEnds(text);
}

bool ResultFileText(int filterIndex, const ResultTable& table, std::string& text) {
    switch (static_cast<ResultFileType>(filterIndex)) {
        case ResultFileType::Csv:
            text = CsvText(table);
            return true;
        case ResultFileType::Dif:
            text = DifText(table);
            return true;
    }
    return false;
}

}  // namespace ionsift
