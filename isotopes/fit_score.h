// The likelihood that measured peaks are a candidate's isotope pattern, as
// centroided at the instrument's resolving power: a sum of log-likelihoods of
// the reference peak's m/z deviation, each further peak's spacing deviation,
// each paired peak's intensity deviation, computed peaks above a floor that
// were not measured and measured peaks nothing explains. Higher is better;
// 0 is a perfect fit.
//
// Both sides are scaled so that their tallest peak is 100. Each computed
// centroid, tallest first, pairs with the nearest free measured peak within
// PairingHalfWidth of it. With sigma_m = ppm x 1e-6 x m/z and
// sigma_I(I) = rel x I + abs, the score is -1/2 of the sum of
//   ((m_meas - m_calc) / sigma_m)^2        the reference pair (the tallest
//                                          computed centroid that was paired)
//   ((dm_meas - dm_calc) / sigma_m)^2      every other pair, dm its m/z minus
//                                          the reference's on the same side
//   ((I_meas - I_calc) / sigma_I(I_calc))^2  every pair
//   (I_calc / sigma_I(I_calc))^2           every unpaired computed centroid
//                                          of at least `floor`
//   (I_meas / sigma_I(0))^2                every unpaired measured peak
// Example, defaults: measured (181.0707, 100), (182.0740, 6.0) against
// computed (181.0707, 100), (182.0740, 6.6): -1/2 x (0.6 / 0.83)^2 = -0.26.
#pragma once

#include <optional>
#include <vector>

#include "isotopes/instrument_view.h"
#include "isotopes/peak_compare.h"

namespace ionsift {

struct FitSettings {
    double resolvingPower = 30000;        // FWHM = m/z / resolvingPower
    double massAccuracyPpm = 3;           // one standard deviation of a centroid's m/z
    double relativeIntensityError = 0.05; // one standard deviation, as a share of the intensity
    double absoluteIntensityError = 0.5;  // plus this, in % of the tallest
    double floor = 1.0;                   // computed centroids below this % need not be measured
};

// How many standard deviations of m/z, besides half the FWHM, a measured peak
// may lie from a computed centroid to be paired with it.
constexpr double kPairingSigmas = 4;

// Half the pairing window at m/z `mz`, in the same unit:
// kPairingSigmas x ppm x 1e-6 x mz + mz / (2 R).
double PairingHalfWidth(double mz, const FitSettings& settings);

// `measured`: peaks as typed (Mass = m/z, Prob in any scale; peaks at or
// below 0 are taken as not seen). `computed`: Centroids() of the candidate as
// the ion. Nothing when either has no peak above 0, a value is not finite,
// or the settings are not positive (the relative error may be 0).
// O(c log c + c x m) for c computed and m measured peaks.
std::optional<double> FitScore(const std::vector<TPeak>& measured,
                               const std::vector<ProfilePoint>& computed,
                               const FitSettings& settings = {});

}  // namespace ionsift
