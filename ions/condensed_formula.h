// A formula as a database may hold it, expanded into element counts:
// parentheses with multipliers, nested ("CH3(CH2)4CH3", "Ca3(PO4)2",
// "C2H5(C6H4(OH))2"), and a trailing charge as a charged record writes it
// ("C5H14NO+", "[C5H14NO]+", "C3H3O2-", "C2H6N2+2", "[SO4]2-"). Blanks and line
// breaks around and between element groups are ignored.
//
//   ExpandFormula("Ca3(PO4)2") -> {Ca: 3, O: 8, P: 2}, charge 0
//   ExpandFormula("[C5H14NO]+") -> {C: 5, H: 14, N: 1, O: 1}, charge +1
#pragma once

#include <cstddef>
#include <string_view>

#include "isotopes/element_counts.h"

namespace ionsift {

// Longer text, deeper nesting or a larger total count is refused.
constexpr std::size_t kMaxCondensedFormulaLength = 4096;
constexpr int kMaxFormulaNesting = 16;

struct ExpandedFormula {
    ElementCounts counts;  // every symbol known to the isotope table, each count >= 1
    int charge = 0;        // the trailing charge written; 0 when none
};

// True with `formula` set when the text is a formula of known element symbols
// with counts of 1 to 9999999 in total per element (as ParseElementCounts
// bounds them); false for anything else: an unknown symbol, a count of 0,
// unbalanced brackets, an empty formula, text after the charge.
// O(length x nesting).
bool ExpandFormula(std::string_view text, ExpandedFormula& formula);

}  // namespace ionsift
