// The ions a measured m/z can stand for: n molecules M with the atoms the
// adducts add and those the losses take, and a signed charge; the built-in
// table of common ESI ions, the ions a user defines in the same notation
// (ions/ion_notation.h), and the conversions between a neutral monoisotopic
// mass and the ion's m/z.
//
//   m/z = (n M + added - removed - z me) / |z|,  me = 0.000548579909 Da
//
// e.g. glucose, C6H12O6, M = 180.063388: [M+H]+ 181.070665, [M+Na]+
// 203.052609, [2M+H]+ 361.134053, [M+2H]2+ 91.038971.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "isotopes/isotope_table.h"  // kElectronMass

namespace ionsift {

struct IonTexts;

// An ion; copies share the texts, which live as long as any copy. Made by
// ParseIonNotation (ions/ion_notation.h) or taken from the table below.
struct Ion {
    const char* notation = "M";  // "[M+Na]+" as written; "M" for the neutral molecule
    const char* added = "";      // every atom the adducts add, Hill order ("C2H4N" for +ACN+H)
    const char* removed = "";    // every atom the losses take ("H3O" for -H-H2O)
    int charge = 0;              // signed; 0 for the neutral molecule
    int molecules = 1;           // n of [nM...]
    long double netMass = 0;     // mass of `added` less that of `removed`, Da
    std::shared_ptr<const IonTexts> texts;  // what the three texts point into
};

// The rows in the order the selector lists them: the neutral molecule, then
// the positive ions, then the negative ones.
struct IonRows {
    const Ion* first;
    int count;
    const Ion* begin() const { return first; }
    const Ion* end() const { return first + count; }
    const Ion& operator[](int index) const { return first[index]; }
};
IonRows IonTable();
const Ion& NeutralIon();
bool IsNeutral(const Ion& ion);

// The row whose notation is exactly `notation`, or -1 ("M" is row 0). The
// notations of the first nine ions never change: saved settings name them.
int IonIndex(std::string_view notation);

// The ion a notation stands for, with an address that stays valid while the
// process runs: a row of the table, or an ion parsed from `notation` and kept
// (a few per user; each distinct notation is kept once). Null when the
// notation is not valid; ParseIonNotation says why.
const Ion* KnownIon(std::string_view notation);

// Monoisotopic mass of a formula of element symbols with counts ("NH4",
// "C2HF3O2"), from the isotope table's most abundant isotope of each, in Da;
// "" gives 0; a formula ParseElementCounts refuses or an unknown symbol -1.
long double AtomsMass(std::string_view formula);

// The ion's m/z for neutral mass M, and the neutral mass M for an m/z; the
// neutral molecule maps each mass to itself.
long double IonMz(long double neutral, const Ion& ion);
long double IonNeutral(long double mz, const Ion& ion);

// Where a peak of the ion's distribution lies: the host computes masses of
// neutral atoms (of the whole ion formula, n M included), so the electrons
// the charge stands for are taken off (or added) and the mass divided by |z|.
double StickMz(double mass, const Ion& ion);

}  // namespace ionsift
