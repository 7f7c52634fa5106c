// Bounds of what ReadCml accepts, so that a hostile or broken file costs
// little memory and time. Structure files of real molecules stay far below.
#pragma once

#include <cstddef>

namespace ionsift::chem {

constexpr std::size_t kMaxCmlBytes = 16 * 1024 * 1024;
constexpr std::size_t kMaxCmlAtoms = 100000;
constexpr std::size_t kMaxCmlBonds = 200000;
constexpr std::size_t kMaxCmlNameBytes = 4096;
constexpr int kMaxCmlHydrogenCount = 99;  // per atom

}  // namespace ionsift::chem
