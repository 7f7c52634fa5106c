#include "export/copy_table.h"

namespace ionsift {

std::string CopyTableCommand(const std::vector<std::string>& titles,
                             const std::vector<ResultRow>& rows,
                             const std::function<std::string(const ResultRow&, int)>& extraCell) {
    std::string command = "CopyText \"";
    for (std::size_t column = 0; column < titles.size(); ++column) {
        if (column > 0) command += '\t';
        command += titles[column];
    }
    command += "\r\n";
    const int columns = static_cast<int>(titles.size());
    for (const ResultRow& row : rows) {
        for (int column = 0; column < columns; ++column) {
            if (column > 0) command += '\t';
            if (column < kResultColumnCount) {
                command += row.cells[static_cast<std::size_t>(column)];
            } else {
                command += extraCell(row, column);
            }
        }
        command += "\r\n";
    }
    command += '"';
    return command;
}

}  // namespace ionsift
