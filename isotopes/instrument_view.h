// The fine structure as an instrument of resolving power R sees it: each line
// a Gaussian of FWHM = m/z / R, the profile their sum, and the centroids the
// profile's local maxima (m/z the intensity-weighted mean of the points above
// half the apex, intensity the apex height). Used by the score, the chart's
// profile and the command line alike.
#pragma once

#include <vector>

#include "isotopes/fine_structure.h"

namespace ionsift {

struct ProfilePoint {
    double mz;
    double intensity;  // the tallest point of the profile is 100
};

// Centroids in rising m/z, the tallest at 100. Lines too weak to make a
// maximum of their own merge into their neighbour's.
std::vector<ProfilePoint> Centroids(const std::vector<IsotopeLine>& lines, double resolvingPower);

// The profile sampled finely enough to draw (several points per FWHM) over
// the lines' range plus a few FWHM either side, the tallest at 100.
std::vector<ProfilePoint> Profile(const std::vector<IsotopeLine>& lines, double resolvingPower);

}  // namespace ionsift
