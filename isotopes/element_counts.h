// A formula as the number of atoms of each element, e.g. {"C": 6, "H": 12, "O": 6}.
#pragma once

#include <map>
#include <string>

namespace ionsift {

// Element symbol -> number of atoms.
using ElementCounts = std::map<std::string, long>;

}  // namespace ionsift
