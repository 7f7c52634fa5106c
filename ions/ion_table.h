// The ions a measured m/z can stand for: one row per ion, with the atoms the
// adduct adds to or takes from the neutral molecule M and the signed charge,
// and the conversions between a neutral monoisotopic mass and the ion's m/z.
//
//   m/z = (M + added - removed - z * me) / |z|,  me = 0.000548579909 Da
//
// e.g. glucose, C6H12O6, M = 180.063388: [M+H]+ 181.070665, [M+Na]+ 203.052609.
#pragma once

#include <string_view>

#include "isotopes/isotope_table.h"  // kElectronMass

namespace ionsift {

struct Ion {
    const char* notation;  // "[M+Na]+"; "M" for the neutral molecule
    const char* added;     // atoms the adduct adds, as a formula ("NH4"); "" for none
    const char* removed;   // atoms it takes away ("H" for [M-H]-); "" for none
    int charge;            // signed; 0 for the neutral molecule
};

// The rows in the order the selector lists them; the first is the neutral molecule.
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

// The row whose notation is exactly `notation`, or -1 ("M" is row 0).
int IonIndex(std::string_view notation);

// Monoisotopic mass of a formula made of the elements below (H, C, N, O, Na,
// Cl, K), in Da; "" gives 0, anything else -1.
long double AtomsMass(std::string_view formula);

// The ion's m/z for neutral mass M, and the neutral mass for an m/z; the
// neutral molecule maps each mass to itself.
long double IonMz(long double neutral, const Ion& ion);
long double IonNeutral(long double mz, const Ion& ion);

// Where a peak of the ion's distribution lies: the host computes masses of
// neutral atoms, so the electrons the charge stands for are taken off (or
// added) and the mass divided by |z|.
double StickMz(double mass, const Ion& ion);

}  // namespace ionsift
