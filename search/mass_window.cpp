#include "search/mass_window.h"

#if defined(_WIN32) && defined(__i386__)
#include <float.h>
#endif

#include "shell/host_numbers.h"

namespace ionsift {

namespace {

// Held in extended precision, so that the product rounds once, at the end.
constexpr long double kPerMillion = 1e-6L;
constexpr int kBoundDecimals = 6;

// The x87 unit rounds long doubles to the precision its control word names.
// A host may have set 53 bits (the Windows default for most compilers);
// the mass window needs all 64 while it is computed.
class ExtendedPrecision {
public:
#if defined(_WIN32) && defined(__i386__)
    ExtendedPrecision() : saved_(_controlfp(0, 0)) { _controlfp(_PC_64, _MCW_PC); }
    ~ExtendedPrecision() { _controlfp(saved_, _MCW_PC); }

private:
    unsigned int saved_;
#else
    ~ExtendedPrecision() {}  // elsewhere long double arithmetic needs no help
#endif
};

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
