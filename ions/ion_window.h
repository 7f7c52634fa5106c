// The search window of a measured m/z: the tolerance around the typed value,
// and its two bounds turned into the neutral masses the database holds.
#pragma once

#include "ions/ion_table.h"
#include "search/mass_window.h"

namespace ionsift {

// For the neutral molecule exactly MassWindowAround(value, MassTolerance(value,
// ppm)). For an ion the typed value is the m/z: the tolerance is its
// MassTolerance, and the bounds m/z -/+ tolerance become neutral masses
// (IonNeutral), all in extended precision, rounded once at the end.
// [M+Na]+ at 203.052609, 5 ppm: m/z 203.051594 ... 203.053624, neutral
// 180.062373 ... 180.064403.
MassWindow IonMassWindow(double value, double ppm, const Ion& ion);

// A window whose upper bound is at or below 0 holds no molecule.
inline bool WindowHoldsMasses(const MassWindow& window) { return window.upper > 0; }

}  // namespace ionsift
