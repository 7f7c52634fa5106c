#include "ions/ion_window.h"

#include "search/extended_precision.h"

namespace ionsift {

MassWindow IonMassWindow(double value, double ppm, const Ion& ion) {
    const double tolerance = MassTolerance(value, ppm);
    if (IsNeutral(ion)) return MassWindowAround(value, tolerance);
    const ExtendedPrecision precision;
    const long double mz = value;
    return {static_cast<double>(IonNeutral(mz - tolerance, ion)),
            static_cast<double>(IonNeutral(mz + tolerance, ion))};
}

}  // namespace ionsift
