// The exact isotopic fine structure of a formula: every isotopologue whose
// probability is at least a fraction of the most probable one, with its m/z.
// The threshold variant of IsoSpec (M. K. Łącki, M. Startek, D. Valkenborg,
// A. Gambin, "IsoSpec: Hyperfast Fine Structure Calculator", Anal. Chem. 89
// (2017) 3272-3277): per element, the configurations of its isotopes above
// the element's share of the threshold; then their products above it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "isotopes/element_counts.h"

namespace ionsift {

struct IsotopeLine {
    double mz;           // of the ion: (mass - charge x electron) / |charge|; the mass when neutral
    double probability;  // of the isotopologue, the lines of a formula summing to at most 1
};

struct FineStructureLimits {
    double minRelative = 1e-6;  // lines below this share of the tallest are left out
    // A formula that would give more lines (an enormous one, or one built to
    // exhaust memory) is refused instead; a 1,000-Da molecule gives a few
    // hundred, a 6-kDa protein tens of thousands.
    std::size_t maxLines = 1000000;
};

// Lines in rising m/z, probabilities absolute (C60: 8 lines, the tallest
// 0.5244 at 720.0). False with `problem` set and no lines when an element is
// not in the isotope table ("unknown element Xx"), a count is negative, the
// formula has no atoms ("empty formula"), or there would be more than
// `maxLines` lines ("more than N lines"). Elements with a count of 0 are
// skipped.
bool FineStructure(const ElementCounts& formula, int charge, std::vector<IsotopeLine>& lines,
                   std::string& problem, const FineStructureLimits& limits = {});

}  // namespace ionsift
