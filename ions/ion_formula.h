// The elemental formula of an ion: n times the molecule's formula with the
// adducts' atoms added and the losses' taken away, in Hill order.
//
//   IonFormula("C6H12O6", [M+Na]+)  -> "C6H12NaO6"
//   IonFormula("C6H12O6", [2M+H]+)  -> "C12H25O12"
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

// `molecule` as ParseElementCounts reads it. For the neutral molecule the
// formula is passed on exactly as written.
IonFormulaOutcome IonFormula(std::string_view molecule, const Ion& ion, std::string& formula);

// The formula to send in "IsoDist": `molecule` as a database holds it,
// expanded (ExpandFormula: brackets, a trailing charge), then made into the
// ion and written again from its elements in Hill order, the neutral molecule
// included, so no stored text reaches the host's command line as it is.
//   IsoDistFormula("CH3(CH2)4CH3", M)       -> "C6H14"
//   IsoDistFormula("C5H14NO+", [M]+)        -> "C5H14NO"
//   IsoDistFormula("Ca3(PO4)2", [M+H]+)     -> "Ca3HO8P2"
//   IsoDistFormula("C6H12O6 \n", M)         -> "C6H12O6"
IonFormulaOutcome IsoDistFormula(std::string_view molecule, const Ion& ion, std::string& formula);

// Whether the molecule can form the ion: false only when its formula expands
// and lacks atoms the ion takes away (CCl4 as [M-H]-). A formula that cannot
// be read says nothing against the ion: its mass still matches.
bool IonCanForm(std::string_view molecule, const Ion& ion);

}  // namespace ionsift
