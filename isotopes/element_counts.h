// What isotope patterns and ion m/z share: a formula as atoms per element,
// and the mass of the electrons a charge stands for.
#pragma once

#include <map>
#include <string>

namespace ionsift {

// Element symbol -> number of atoms.
using ElementCounts = std::map<std::string, long>;

constexpr double kElectronMass = 0.000548579909;  // Da, CODATA 2018

}  // namespace ionsift
