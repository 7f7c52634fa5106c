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

#include "ions/ion_table.h"

namespace ionsift {

// What makes a copied row readable without the window: the formula of the
// ion the row was found as, its calculated m/z, and the m/z measured, with
// six decimals in the user's separator. The formula is empty when the ion
// cannot be made of the molecule, the calculated m/z when the row's mass
// does not convert; the neutral molecule's m/z is its mass.
//   "180,063388", "C6H12O6", [M+Na]+, 203.0526, ','
//     -> {"C6H12NaO6", "203,052609", "203,052600"}
struct RowIonCells {
    std::string formula, mzCalculated, mzMeasured;
};
RowIonCells DescribeRowIon(const char* massCaption, const char* formula, const Ion& ion,
                           double measured, char separator);

}  // namespace ionsift
