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
// maximum of their own merge into their neighbour's. Each line's Gaussian is
// as high as its probability, so a resolved line's centroid is its stick. A
// maximum's half-height stretch ends at the valleys towards its neighbours,
// and the mean is taken over the continuous profile (independent of any
// sampling). Lines in any order; lines of no probability are ignored.
// Nothing for no lines or a resolving power that is not a positive number.
//
//   {400.0, 0.8}, {401.0, 0.4} at R = 10,000  -> (400.0, 100), (401.0, 50)
//   {400.0, 0.3}, {400.003, 0.3} at 100,000   -> (400.0015, 100)
std::vector<ProfilePoint> Centroids(const std::vector<IsotopeLine>& lines, double resolvingPower);

// The profile sampled finely enough to draw (several points per FWHM) over
// the lines' range plus a few FWHM either side, the tallest at 100.
std::vector<ProfilePoint> Profile(const std::vector<IsotopeLine>& lines, double resolvingPower);

}  // namespace ionsift
