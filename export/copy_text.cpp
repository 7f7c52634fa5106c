#include "export/copy_text.h"

#include <cstring>

namespace ionsift {
namespace {

constexpr char kOpening[] = "CopyText \"";
constexpr char kClosing = '"';

void AppendTitles(std::string& text, const ColumnTitles& titles, const char* separator) {
    for (std::size_t column = 0; column < titles.size(); ++column) {
        if (column > 0) text += separator;
        text += titles[column];
    }
}

// The texts the row holds: no separator stands for a cell it lacks.
void AppendRow(std::string& text, const ResultRow& row, const char* separator) {
    for (std::size_t column = 0; column < row.TextCount(); ++column) {
        if (column > 0) text += separator;
        text += row.cells[column];
    }
}

}  // namespace

std::string CopyCellCommand(const ResultRow& row, int column) {
    if (column < 0 || column >= kResultColumnCount) return {};
    std::string command = kOpening;
    command += row.cells[static_cast<std::size_t>(column)];
    command += kClosing;
    return command;
}

std::string CopyRowCommand(const ResultRow& row) {
    std::string command = kOpening;
    AppendRow(command, row, " ");
    command += kClosing;
    return command;
}

std::string CopyAllCommand(const ResultTable& table) {
    // One allocation for the whole list: it may hold tens of thousands of rows.
    std::size_t size = sizeof kOpening + 2;
    for (const std::string& title : table.titles) size += title.size() + 2;
    for (const ResultRow& row : table.rows) {
        for (std::size_t column = 0; column < row.TextCount(); ++column) {
            size += std::strlen(row.cells[column]) + 2;
        }
    }
    std::string command;
    command.reserve(size);
    command = kOpening;
    AppendTitles(command, table.titles, "; ");
    command += "\r\n";
    for (const ResultRow& row : table.rows) {
        AppendRow(command, row, "; ");
        command += "\r\n";
    }
    command += kClosing;
    return command;
}

}  // namespace ionsift
