#include "spectra/spectrum.h"

#include <cstdlib>

namespace ionsift {

std::optional<double> SearchedMz(const Spectrum& spectrum, std::optional<double> typedMz) {
    if (spectrum.precursorMz) return spectrum.precursorMz;
    if (typedMz) return typedMz;
    double tallest = 0;
    for (const TPeak& peak : spectrum.peaks) tallest = peak.Prob > tallest ? peak.Prob : tallest;
    if (!(tallest > 0)) return std::nullopt;
    std::optional<double> lightest;
    for (const TPeak& peak : spectrum.peaks) {
        if (peak.Prob >= kMonoisotopicPeakShare * tallest && (!lightest || peak.Mass < *lightest)) {
            lightest = peak.Mass;
        }
    }
    return lightest;
}

bool ChargeAgrees(const Spectrum& spectrum, int ionCharge) {
    if (spectrum.charges.empty() || ionCharge == 0) return true;
    const int ionSign = ionCharge > 0 ? 1 : -1;
    for (const StatedCharge& stated : spectrum.charges) {
        if (stated.magnitude == std::abs(ionCharge) && (stated.sign == 0 || stated.sign == ionSign)) {
            return true;
        }
    }
    return false;
}

std::string SpectrumName(const Spectrum& spectrum, const std::string& fileName) {
    return spectrum.title.empty() ? fileName + "#" + std::to_string(spectrum.index) : spectrum.title;
}

}  // namespace ionsift
