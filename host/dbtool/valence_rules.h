// Whether a CHNOPS formula can be a neutral, closed-shell molecule, and
// whether its element ratios look like those of real small molecules.
// Portable; used by the synthetic database generator and its tests.
#pragma once

#include <optional>

#include "host/chem/formula.h"

namespace ionsift::dbtool {

// Rings plus double bonds, 1 + sum(n * (valence - 2)) / 2, taking the lowest
// common valence of each element (C 4, H 1, N 3, O 2, P 3, S 2). Empty when
// the formula holds another element, when the valence sum is odd (no
// closed-shell molecule has that formula) or when the result is negative
// (too few bonds to connect the atoms), and when a single heavy atom would
// need a ring or a multiple bond. C6H6 -> 4; CH4 -> 0; CH3, CH2 -> empty.
std::optional<long> RingsPlusDoubleBonds(const chem::Formula& formula);

// Element-to-carbon ratios within the ranges seen in compound libraries
// (H/C 0.2 to 3.1, N/C up to 1.3, O/C up to 1.2, P/C up to 0.3, S/C up to
// 0.8), at least one carbon, and every phosphorus with three oxygens as in
// the phosphates and phosphonates that carry it.
bool HasPlausibleRatios(const chem::Formula& formula);

}  // namespace ionsift::dbtool
