// The elemental formula of an ion: the molecule's formula with the adduct's
// atoms added and the removed ones taken away, in Hill order.
//
//   IonFormula("C6H12O6", [M+Na]+)  -> "C6H12NaO6"
//   IonFormula("C6H12O6", [M-H]-)   -> "C6H11O6"
//   IonFormula("CCl4", [M-H]-)      -> refused: no hydrogen to take away
#pragma once

#include <string>
#include <string_view>

#include "ions/ion_table.h"
#include "isotopes/element_counts.h"

namespace ionsift {

// A formula written as element symbols (a capital and up to two small
// letters) each with an optional count of 1 to 9999999; a symbol written
// twice adds up ("CH3CH2OH" is C2H6O), to at most 9999999. Anything else
// (blanks, brackets, charges, a count of 0) is refused. "" gives no elements.
bool ParseElementCounts(std::string_view formula, ElementCounts& counts);

// Hill order: C, then H, then the rest alphabetically; without carbon, all
// alphabetically. Counts of 1 are not written; elements with none are left out.
std::string HillFormula(const ElementCounts& counts);

enum class IonFormulaOutcome {
    Formula,       // `formula` holds the ion's formula
    Unparsable,    // the molecule's formula could not be taken apart, or is empty
    MissingAtoms,  // the molecule lacks atoms the ion takes away
};

// For the neutral molecule the formula is passed on exactly as written.
IonFormulaOutcome IonFormula(std::string_view molecule, const Ion& ion, std::string& formula);

}  // namespace ionsift
