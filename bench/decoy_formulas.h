// Every plausible neutral formula of a monoisotopic mass within a tolerance:
// the decoys of the isotope-fit accuracy benchmark. Elements are C, H, N, O,
// P, S and any other the true formula holds (up to one atom more than it
// has); a formula is plausible when
// - its valences allow a closed-shell molecule: 2 + sum(n x (valence - 2))
//   is even and not negative (rings plus double bonds a whole number >= 0),
//   with each element's lowest common valence;
// - its counts and element-to-carbon ratios lie within the ranges that hold
//   for nearly all known compounds under 1,000 Da (T. Kind, O. Fiehn, "Seven
//   Golden Rules", BMC Bioinformatics 8 (2007) 105, rules 1, 4 and 5).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace ionsift::bench {

using Counts = std::map<std::string, long>;

// Whether `formula` passes the rules above; false for an element the valence
// table lacks.
bool IsPlausible(const Counts& formula);

// The plausible formulas whose monoisotopic mass (host/chem's isotope table)
// lies within `toleranceDa` of `mass`, built from CHNOPS and the elements of
// `truth`. The truth itself is among them when it is plausible and in range.
std::vector<Counts> DecoyFormulas(double mass, double toleranceDa, const Counts& truth);

}  // namespace ionsift::bench
