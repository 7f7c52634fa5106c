// "Copy table": the whole results list with every column, for pasting into a
// spreadsheet, as one finished `CopyText "<text>"` command for the host.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "search/result_rows.h"

namespace ionsift {

// The titles, then every row in the order shown, cells separated by a tab,
// each line ended by CR LF (the last one too). `extraCell(row, column)`
// gives the cells of the columns after the row's own three. Cells are
// neither quoted nor escaped, as in the other copies.
std::string CopyTableCommand(const std::vector<std::string>& titles,
                             const std::vector<ResultRow>& rows,
                             const std::function<std::string(const ResultRow&, int)>& extraCell);

}  // namespace ionsift
