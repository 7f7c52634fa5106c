// The likelihood that measured peaks are a candidate's isotope pattern, as
// centroided at the instrument's resolving power: a sum of log-likelihoods of
// the monoisotopic m/z deviation, each further peak's spacing deviation, each
// paired peak's intensity deviation, computed peaks above a floor that were
// not measured and measured peaks nothing explains. Higher is better.
#pragma once

#include <optional>
#include <vector>

#include "isotopes/instrument_view.h"
#include "isotopes/peak_compare.h"

namespace ionsift {

struct FitSettings {
    double resolvingPower = 30000;
    double massAccuracyPpm = 3;       // one standard deviation of a centroid's m/z
    double relativeIntensityError = 0.05;
    double absoluteIntensityError = 0.5;  // in % of the tallest
    double floor = 1.0;               // computed centroids below this % need not be measured
};

// `measured`: peaks as typed (mass = m/z, abundance in any scale; the
// tallest is taken as 100). `computed`: Centroids() of the candidate as the
// ion. Nothing when there is no measured or computed peak.
std::optional<double> FitScore(const std::vector<TPeak>& measured,
                               const std::vector<ProfilePoint>& computed,
                               const FitSettings& settings = {});

}  // namespace ionsift
