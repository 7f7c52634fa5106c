// The mass window of a search: the tolerance around the measured mass and
// the query the host runs for it.
#pragma once

#include <string>

namespace ionsift {

struct MassWindow {
    double lower = 0.0;  // exclusive
    double upper = 0.0;  // exclusive
};

// (1e-6 × mass) × ppm, multiplied in that order in extended precision and
// stored as a double.
double MassTolerance(double mass, double ppm);

// mass ∓ tolerance, each computed in extended precision.
MassWindow MassWindowAround(double mass, double tolerance);

// The SELECT for the candidates strictly inside the window, lightest first,
// at most maxRows of them. The bounds carry six decimals and a "." whatever
// the locale.
std::string MassWindowSql(const MassWindow& window, int maxRows);

}  // namespace ionsift
