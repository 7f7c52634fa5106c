#include "search/mass_window.h"

#include "search/extended_precision.h"
#include "shell/host_numbers.h"

namespace ionsift {

namespace {

// Held in extended precision, so that the product rounds once, at the end.
constexpr long double kPerMillion = 1e-6L;
constexpr int kBoundDecimals = 6;

}  // namespace

double MassTolerance(double mass, double ppm) {
    const ExtendedPrecision precision;
    const long double tolerance = (kPerMillion * static_cast<long double>(mass)) *
                                  static_cast<long double>(ppm);
    return static_cast<double>(tolerance);
}

MassWindow MassWindowAround(double mass, double tolerance) {
    const ExtendedPrecision precision;
    const long double centre = mass;
    return {static_cast<double>(centre - tolerance), static_cast<double>(centre + tolerance)};
}

std::string MassWindowSql(const MassWindow& window, int maxRows) {
    return "SELECT ID, MassMI, Formula, Name FROM Molecules WHERE (MassMI > " +
           FormatFixed(window.lower, kBoundDecimals) + ") AND (MassMI < " +
           FormatFixed(window.upper, kBoundDecimals) + ") ORDER BY MassMI ASC LIMIT " +
           std::to_string(maxRows);
}

}  // namespace ionsift
