#include "isotopes/fit_score.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

namespace ionsift {
namespace {

constexpr std::size_t kUnpaired = static_cast<std::size_t>(-1);

struct Peak {
    double mz;
    double intensity;  // % of the tallest of its side
};

// Peaks with a positive intensity, scaled so the tallest is 100; false when
// a value is not finite or no peak is left.
template <typename Source, typename Mz, typename Intensity>
bool Scaled(const std::vector<Source>& source, Mz mzOf, Intensity intensityOf,
            std::vector<Peak>& peaks) {
    double tallest = 0;
    for (const Source& peak : source) {
        if (!std::isfinite(mzOf(peak)) || !std::isfinite(intensityOf(peak))) return false;
        tallest = std::max(tallest, intensityOf(peak));
    }
    if (tallest <= 0) return false;
    for (const Source& peak : source) {
        // A peak at 0 (or below) is one that was not seen.
        if (intensityOf(peak) > 0) peaks.push_back({mzOf(peak), intensityOf(peak) * 100 / tallest});
    }
    return true;
}

double Squared(double x) { return x * x; }

}  // namespace

double PairingHalfWidth(double mz, const FitSettings& settings) {
    return kPairingSigmas * settings.massAccuracyPpm * 1e-6 * mz +
           0.5 * mz / settings.resolvingPower;
}

std::optional<double> FitScore(const std::vector<TPeak>& measuredPeaks,
                               const std::vector<ProfilePoint>& computedPeaks,
                               const FitSettings& settings) {
    if (!(settings.resolvingPower > 0) || !(settings.massAccuracyPpm > 0) ||
        !(settings.relativeIntensityError >= 0) || !(settings.absoluteIntensityError > 0)) {
        return std::nullopt;
    }
    std::vector<Peak> measured, computed;
    if (!Scaled(measuredPeaks, [](const TPeak& p) { return p.Mass; },
                [](const TPeak& p) { return p.Prob; }, measured) ||
        !Scaled(computedPeaks, [](const ProfilePoint& p) { return p.mz; },
                [](const ProfilePoint& p) { return p.intensity; }, computed)) {
        return std::nullopt;
    }
    const auto sigmaOfIntensity = [&settings](double computedIntensity) {
        return settings.relativeIntensityError * computedIntensity +
               settings.absoluteIntensityError;
    };

    // Tallest computed centroid first, each taking the free measured peak
    // within its window that fits it best (m/z and intensity deviations
    // together): the tallest are the surest to be seen, and the nearest peak
    // may be a weak neighbour of fine structure the instrument resolved.
    // Stable sorting keeps equal ones in m/z order. O(c log c + c x m).
    std::vector<std::size_t> byIntensity(computed.size());
    std::iota(byIntensity.begin(), byIntensity.end(), std::size_t{0});
    std::stable_sort(byIntensity.begin(), byIntensity.end(), [&computed](std::size_t a, std::size_t b) {
        return computed[a].intensity > computed[b].intensity;
    });
    std::vector<std::size_t> partnerOf(computed.size(), kUnpaired);
    std::vector<bool> explained(measured.size(), false);
    for (const std::size_t c : byIntensity) {
        const double halfWidth = PairingHalfWidth(computed[c].mz, settings);
        const double sigmaMz = settings.massAccuracyPpm * 1e-6 * computed[c].mz;
        double bestCost = 0;
        for (std::size_t m = 0; m < measured.size(); ++m) {
            if (explained[m] || std::fabs(measured[m].mz - computed[c].mz) > halfWidth) continue;
            const double cost = Squared((measured[m].mz - computed[c].mz) / sigmaMz) +
                                Squared((measured[m].intensity - computed[c].intensity) /
                                        sigmaOfIntensity(computed[c].intensity));
            if (partnerOf[c] == kUnpaired || cost < bestCost) {
                bestCost = cost;
                partnerOf[c] = m;
            }
        }
        if (partnerOf[c] != kUnpaired) explained[partnerOf[c]] = true;
    }

    // The reference peak: the tallest computed centroid that was paired. Its
    // absolute m/z deviation counts once; every other pair counts by how far
    // its distance from the reference differs from the computed one, so that
    // a calibration offset shared by all peaks is not counted again.
    double logLikelihood = 0;
    const auto reference = std::find_if(byIntensity.begin(), byIntensity.end(),
                                        [&partnerOf](std::size_t c) { return partnerOf[c] != kUnpaired; });
    if (reference != byIntensity.end()) {
        const Peak& refComputed = computed[*reference];
        const Peak& refMeasured = measured[partnerOf[*reference]];
        const double sigma = settings.massAccuracyPpm * 1e-6 * refComputed.mz;
        logLikelihood -= 0.5 * Squared((refMeasured.mz - refComputed.mz) / sigma);
        for (std::size_t c = 0; c < computed.size(); ++c) {
            if (partnerOf[c] == kUnpaired || c == *reference) continue;
            const double spacing = (measured[partnerOf[c]].mz - refMeasured.mz) -
                                   (computed[c].mz - refComputed.mz);
            logLikelihood -=
                0.5 * Squared(spacing / (settings.massAccuracyPpm * 1e-6 * computed[c].mz));
        }
    }
    // Intensities: a pair by its difference; a computed centroid above the
    // floor that was not measured as if measured at 0; a measured peak that
    // nothing explains as if computed at 0. The three meet where a pair's
    // intensity goes to 0 on either side.
    for (std::size_t c = 0; c < computed.size(); ++c) {
        const double expected = computed[c].intensity;
        if (partnerOf[c] != kUnpaired) {
            logLikelihood -= 0.5 * Squared((measured[partnerOf[c]].intensity - expected) /
                                           sigmaOfIntensity(expected));
        } else if (expected >= settings.floor) {
            logLikelihood -= 0.5 * Squared(expected / sigmaOfIntensity(expected));
        }
    }
    for (std::size_t m = 0; m < measured.size(); ++m) {
        if (!explained[m]) {
            logLikelihood -= 0.5 * Squared(measured[m].intensity / sigmaOfIntensity(0));
        }
    }
    if (!std::isfinite(logLikelihood)) return std::nullopt;
    return logLikelihood;
}

}  // namespace ionsift
