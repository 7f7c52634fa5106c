// The fine structure as an instrument of resolving power R sees it: each line
// a Gaussian of FWHM = m/z / R, the profile their sum, and the centroids the
// profile's local maxima (m/z the intensity-weighted mean of the points above
// half the apex, intensity the apex height). Used by the score, the chart's
// profile and the command line alike.
#pragma once

#include <cstddef>
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

// A local maximum of sampled values: a point higher than its left neighbour
// and not lower than its right one (the ends never are), with the valleys
// towards its neighbours: the lowest point between two maxima, the ends for
// the outer ones. The one rule both the model's centroids and a measured
// profile's use. O(n).
struct SampledMaximum {
    std::size_t apex, leftValley, rightValley;
};
std::vector<SampledMaximum> SampledMaxima(const std::vector<double>& values);

// A measured profile (points in rising m/z, intensities as measured) as
// centroids, by the rule above: one per local maximum, m/z the
// intensity-weighted mean of the points of its own peak (between its
// valleys) that lie above half its apex, contiguous with the apex; the
// intensity the apex's, unscaled. O(n).
//
//   (100.0, 0) (100.1, 50) (100.2, 100) (100.3, 60) (100.4, 0)
//       -> ((100.2 * 100 + 100.3 * 60) / 160 = 100.2375, 100): 50 is not above half
std::vector<ProfilePoint> ProfileCentroids(const std::vector<ProfilePoint>& profile);

}  // namespace ionsift
