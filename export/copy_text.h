// The three clipboard copies of the results list, each as one finished
// `CopyText "<text>"` command for the host. Cells are neither quoted nor
// escaped: a double quote or "%" in a name goes to the host as it is.
#pragma once

#include <string>

#include "export/result_table.h"

namespace ionsift {

// One cell: column 0 mass, 1 formula, 2 name. An empty string (nothing to
// send) for a column outside the row.
std::string CopyCellCommand(const ResultRow& row, int column);

// The texts the row holds separated by one space, without a line end.
std::string CopyRowCommand(const ResultRow& row);

// The titles, then every row with the texts it holds, cells separated by
// "; ", each line ended by CR LF (the last one too). Linear in the size of
// the list.
std::string CopyAllCommand(const ResultTable& table);

}  // namespace ionsift
