#include "export/copy_text.h"

#include <cstring>

namespace ionsift {
namespace {

constexpr char kOpening[] = "CopyText \"";
constexpr char kClosing = '"';

template <class Cells>
void AppendLine(std::string& text, const Cells& cells, const char* separator) {
    for (std::size_t column = 0; column < cells.size(); ++column) {
        if (column > 0) text += separator;
        text += cells[column];
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
    AppendLine(command, row.cells, " ");
    command += kClosing;
    return command;
}

std::string CopyAllCommand(const ResultTable& table) {
    // One allocation for the whole list: it may hold tens of thousands of rows.
    std::size_t size = sizeof kOpening + 2;
    for (const std::string& title : table.titles) size += title.size() + 2;
    for (const ResultRow& row : table.rows) {
        for (const char* cell : row.cells) size += std::strlen(cell) + 2;
    }
    std::string command;
    command.reserve(size);
    command = kOpening;
    AppendLine(command, table.titles, "; ");
    command += "\r\n";
    for (const ResultRow& row : table.rows) {
        AppendLine(command, row.cells, "; ");
        command += "\r\n";
    }
    command += kClosing;
    return command;
}

}  // namespace ionsift
