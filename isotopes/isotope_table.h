// Elements and their stable isotopes with natural abundances, and the
// electron's mass: the data behind monoisotopic masses, m/z and every
// isotope pattern, in the plug-in and the stand-in host alike.
#pragma once

#include <cstddef>
#include <string_view>

namespace ionsift {

// One row of the isotope table. Masses in Da (unified atomic mass units);
// abundance as an amount fraction, the rows of one element summing to 1.
struct Isotope {
    std::string_view symbol;  // "C"; deuterium is its own element "D"
    int massNumber;           // 13 for carbon-13
    double mass;              // 13.00335483507
    double abundance;         // 0.0107
};

// All rows, grouped by element, isotopes of an element in rising mass.
struct IsotopeRows {
    const Isotope* first;
    std::size_t count;
    const Isotope* begin() const { return first; }
    const Isotope* end() const { return first + count; }
};
IsotopeRows IsotopeTable();

struct Element {
    std::string_view symbol;
    IsotopeRows isotopes;         // at least one row
    const Isotope* mostAbundant;  // the isotope the monoisotopic mass uses
};

// Case-sensitive lookup ("Co" is cobalt, "CO" is not a symbol); null when the
// table has no such element.
const Element* FindElement(std::string_view symbol);

constexpr double kElectronMass = 0.000548579909;  // Da, CODATA 2018

}  // namespace ionsift
