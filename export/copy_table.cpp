#include "export/copy_table.h"

namespace ionsift {

std::string CopyTableCommand(const std::vector<std::string>& titles, std::size_t rowCount,
                             const std::function<std::string(std::size_t row, std::size_t column)>& cell) {
    std::string command = "CopyText \"";
    for (std::size_t column = 0; column < titles.size(); ++column) {
        if (column > 0) command += '\t';
        command += titles[column];
    }
    command += "\r\n";
    for (std::size_t row = 0; row < rowCount; ++row) {
        for (std::size_t column = 0; column < titles.size(); ++column) {
            if (column > 0) command += '\t';
            command += cell(row, column);
        }
        command += "\r\n";
    }
    command += '"';
    return command;
}

}  // namespace ionsift
