// The nominal distribution the Rms column compares with: what the host
// answers to IsoDist, one stick per nominal mass. The stand-in host's
// chemistry computes it here, since this program reads the databases itself.
#pragma once

#include <string>
#include <vector>

#include "isotopes/peak_compare.h"

namespace ionsift::annotate {

// Sticks at the mass of neutral atoms, abundance in % of the tallest; none
// for a formula the host would refuse. Thread-safe.
std::vector<TPeak> HostNominalSticks(const std::string& formula);

}  // namespace ionsift::annotate
