// "Copy table": the whole results list with every column shown and what
// makes it readable later, for pasting into a spreadsheet, as one finished
// `CopyText "<text>"` command for the host.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace ionsift {

// The titles, then `rowCount` rows, cells separated by a tab, each line
// ended by CR LF (the last one too); `cell(row, column)` gives each cell.
// Cells are neither quoted nor escaped, as in the other copies.
//   {"Mass", "Ion"}, 1 row -> CopyText "Mass<TAB>Ion<CR><LF>180.063388<TAB>[M+H]+<CR><LF>"
std::string CopyTableCommand(const std::vector<std::string>& titles, std::size_t rowCount,
                             const std::function<std::string(std::size_t row, std::size_t column)>& cell);

}  // namespace ionsift
