#include "spectra/spectrum.h"

#include <cstdlib>

#include "spectra/spectrum_text.h"

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

std::string AddPeak(std::string_view mzText, std::string_view intensityText, std::vector<TPeak>& peaks) {
    double mz = 0, intensity = 0;
    if (!ReadDecimal(mzText, mz) || !(mz > 0)) return "m/z is not a positive number: " + std::string(mzText);
    if (!ReadDecimal(intensityText, intensity) || intensity < 0) {
        return "intensity is not a number of at least 0: " + std::string(intensityText);
    }
    if (peaks.size() >= kMaxSpectrumPeaks) return "more than " + std::to_string(kMaxSpectrumPeaks) + " peaks";
    peaks.push_back({false, mz, intensity});
    return "";
}

std::string SpectrumName(const Spectrum& spectrum, const std::string& fileName) {
    return spectrum.title.empty() ? fileName + "#" + std::to_string(spectrum.index) : spectrum.title;
}

}  // namespace ionsift
