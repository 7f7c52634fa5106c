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

// Element symbols with optional counts, nested (...) groups with multipliers.
FormulaParse ParseFormula(std::string_view text);

// Hill order: C, then H, then the rest alphabetically; without carbon, all
// alphabetically. Counts of 1 are not written.
std::string HillFormula(const Formula& formula);

// Sum of the masses of each element's most abundant isotope, in Da.
double MonoisotopicMass(const Formula& formula);

}  // namespace ionsift::chem
