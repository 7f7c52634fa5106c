// The cells Copy table adds to every row of the results list, so that a
// pasted table says what each row was compared with.
#pragma once

#include <string>

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
