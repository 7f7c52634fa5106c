// Molecular formulas: parsing, Hill-order text and monoisotopic mass.
// Portable; used by the stand-in host (IsoDist) and by dbtool.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace ionsift::chem {

// Element symbol -> number of atoms. "D" is deuterium, kept apart from "H".
struct Formula {
    std::map<std::string, long> counts;
    bool Empty() const { return counts.empty(); }
};

struct FormulaParse {
    bool ok = false;
    Formula formula;
    std::size_t errorPosition = 0;  // byte offset into the text when !ok
    std::string errorReason;        // e.g. "unknown element Xx"
};

// Bounds that keep any text cheap to parse and any parsed formula cheap to
// compute with: groups nest at most kMaxFormulaDepth deep, a written count and
// the total of any one element stay at or under kMaxElementCount, and the
// whole formula at or under kMaxFormulaAtoms. A million atoms of one element
// is a molecule of 10 MDa or more, beyond any isotopically resolved spectrum.
constexpr int kMaxFormulaDepth = 32;
constexpr long kMaxElementCount = 1000000;
constexpr long kMaxFormulaAtoms = 2000000;

// Element symbols with optional counts, nested (...) groups with multipliers:
// "C6H12O6", "CH3(CH2)4CH3", "Ca3(PO4)2", "C2D6O". Symbols are case-sensitive
// and must be in the isotope table; counts are decimal and at least 1. Nothing
// else (blanks, charges, brackets) is accepted. On error, errorPosition is the
// byte where the fault was found, e.g. "C6Xx2" -> 2, "unknown element Xx".
FormulaParse ParseFormula(std::string_view text);

// Hill order: C, then H, then the rest alphabetically; without carbon, all
// alphabetically. Counts of 1 are not written.
std::string HillFormula(const Formula& formula);

// Sum of the masses of each element's most abundant isotope, in Da: C6H12O6
// gives 180.063388. Not a number when the formula holds a symbol the isotope
// table lacks or a negative count (a formula not made by ParseFormula).
double MonoisotopicMass(const Formula& formula);

}  // namespace ionsift::chem
