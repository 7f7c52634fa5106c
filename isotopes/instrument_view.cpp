// The profile is evaluated where it is not negligible: around each line out
// to a few FWHM, stretches that touch merged into one region. Each region is
// sampled on a grid; a grid point higher than its left neighbour and not
// lower than its right one marks a maximum. Apex, half-height crossings and
// valleys are then solved on the profile itself, and the weighted mean is
// Simpson's rule over the stretch of the maximum's own peak (bounded by the
// valleys towards its neighbours) that lies above half the apex: the limit
// of ever finer sampling, so the result does not depend on the grid.
//
// Cost: O(g * w) multiplications for g grid points (16 per FWHM around each
// line) and w lines within reach of a point, three exponentials per line and
// region, and about 15 profile evaluations per centroid.
#include "isotopes/instrument_view.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace ionsift {
namespace {

const double kSigmaPerFwhm = 0.42466090014400953;  // 1 / (2 sqrt(2 ln 2))
constexpr double kReachFwhm = 3;    // beyond 3 FWHM a Gaussian is below 2e-11 of its height
constexpr int kGridPerFwhm = 16;    // fine enough to see two lines just resolved
constexpr int kMeanIntervals = 32;  // Simpson's rule: within 1e-5 FWHM of a brute-force mean

struct Gaussian {
    double mz;
    double height;  // the line's probability: a resolved line's apex is its stick
    double inverseTwoVariance;
};

class ProfileSum {
public:
    ProfileSum(const std::vector<IsotopeLine>& lines, double resolvingPower) {
        for (const IsotopeLine& line : lines) {
            if (!(line.mz > 0 && std::isfinite(line.mz) && line.probability > 0 && std::isfinite(line.probability)))
                continue;
            const double sigma = line.mz / resolvingPower * kSigmaPerFwhm;
            gaussians_.push_back({line.mz, line.probability, 1 / (2 * sigma * sigma)});
        }
        std::sort(gaussians_.begin(), gaussians_.end(),
                  [](const Gaussian& a, const Gaussian& b) { return a.mz < b.mz; });
        if (!gaussians_.empty()) reach_ = kReachFwhm * gaussians_.back().mz / resolvingPower;
        resolvingPower_ = resolvingPower;
    }

    bool Empty() const { return gaussians_.empty(); }

    // The profile at x and its first two derivatives.
    struct Local {
        double value, slope, curvature;
    };
    Local At(double x) const {
        Local sum{0, 0, 0};
        for (auto g = First(x), end = Last(x); g != end; ++g) {
            const double d = x - g->mz;
            const double a = g->inverseTwoVariance;
            const double value = g->height * std::exp(-a * d * d);
            sum.value += value;
            sum.slope -= 2 * a * d * value;
            sum.curvature += (4 * a * a * d * d - 2 * a) * value;
        }
        return sum;
    }

    // The profile at start + i * step for i < count. Each line's Gaussian
    // follows the recurrence g(x + h) = g(x) r(x), r(x + h) = r(x) c with
    // c = exp(-h^2 / sigma^2): three exponentials per line, not one per point.
    std::vector<double> Sample(double start, double step, std::size_t count) const {
        std::vector<double> values(count, 0.0);
        if (count == 0) return values;
        const double end = start + step * static_cast<double>(count - 1);
        for (auto g = First(start), last = Last(end); g != last; ++g) {
            const double from = std::max(0.0, std::ceil((g->mz - reach_ - start) / step));
            const double to = std::min(static_cast<double>(count - 1), std::floor((g->mz + reach_ - start) / step));
            if (from > to) continue;
            const double d = start + from * step - g->mz;
            const double a = g->inverseTwoVariance;
            double value = g->height * std::exp(-a * d * d);
            double ratio = std::exp(-a * (2 * d * step + step * step));
            const double shrink = std::exp(-2 * a * step * step);
            for (auto k = static_cast<std::size_t>(from); k <= static_cast<std::size_t>(to); ++k) {
                values[k] += value;
                value *= ratio;
                ratio *= shrink;
            }
        }
        return values;
    }

    // Stretches of m/z where some line is within reach, in rising order.
    std::vector<std::pair<double, double>> Regions() const {
        std::vector<std::pair<double, double>> regions;
        for (const Gaussian& g : gaussians_) {
            const double reach = kReachFwhm * g.mz / resolvingPower_;
            if (!regions.empty() && g.mz - reach <= regions.back().second)
                regions.back().second = g.mz + reach;
            else
                regions.push_back({g.mz - reach, g.mz + reach});
        }
        return regions;
    }

    double GridStep(double mz) const { return mz / resolvingPower_ / kGridPerFwhm; }

private:
    std::vector<Gaussian>::const_iterator First(double x) const {
        return std::lower_bound(gaussians_.begin(), gaussians_.end(), x - reach_,
                                [](const Gaussian& g, double mz) { return g.mz < mz; });
    }
    std::vector<Gaussian>::const_iterator Last(double x) const {
        return std::upper_bound(gaussians_.begin(), gaussians_.end(), x + reach_,
                                [](double mz, const Gaussian& g) { return mz < g.mz; });
    }

    std::vector<Gaussian> gaussians_;
    double reach_ = 0;  // the widest line's
    double resolvingPower_ = 0;
};

struct Grid {
    std::vector<double> mz, value;
};

Grid Sample(const ProfileSum& profile, std::pair<double, double> region) {
    Grid grid;
    const double step = profile.GridStep(region.first > 0 ? region.first : region.second);
    const auto points = static_cast<std::size_t>(std::ceil((region.second - region.first) / step)) + 1;
    grid.value = profile.Sample(region.first, step, points);
    grid.mz.resize(points);
    for (std::size_t k = 0; k < points; ++k) grid.mz[k] = region.first + k * step;
    return grid;
}

// A root in [lo, hi] of f, which changes sign there; `f(x)` gives the value
// and the slope. Newton's method, bisecting where a step would leave the
// bracket; to a billionth of the bracket, far below a picodalton.
template <typename F>
double Root(const F& f, double lo, double hi) {
    const auto [yLo, slopeLo] = f(lo);
    const auto [yHi, slopeHi] = f(hi);
    if (yLo == 0) return lo;
    if (yHi == 0) return hi;
    if ((yLo > 0) == (yHi > 0)) return std::abs(yLo) < std::abs(yHi) ? lo : hi;
    const bool risingAtLo = yLo < 0;
    const double tolerance = 1e-9 * (hi - lo);
    double x = lo - yLo * (hi - lo) / (yHi - yLo);
    for (int iteration = 0; iteration < 60; ++iteration) {
        const auto [y, slope] = f(x);
        if (y == 0) return x;
        ((y < 0) == risingAtLo ? lo : hi) = x;
        double next = slope != 0 ? x - y / slope : lo;
        if (std::abs(next - x) < tolerance) return next;
        if (!(next > lo && next < hi)) next = (lo + hi) / 2;
        x = next;
    }
    return x;
}

// Where the slope vanishes next to grid point `k` (a maximum or a valley).
double Extremum(const ProfileSum& profile, const Grid& grid, std::size_t k) {
    const auto slope = [&](double at) {
        const ProfileSum::Local local = profile.At(at);
        return std::pair{local.slope, local.curvature};
    };
    const double x = grid.mz[k];
    const bool rising = profile.At(x).slope > 0;
    if (k + 1 < grid.mz.size() && rising != (profile.At(grid.mz[k + 1]).slope > 0))
        return Root(slope, x, grid.mz[k + 1]);
    if (k > 0 && rising != (profile.At(grid.mz[k - 1]).slope > 0)) return Root(slope, grid.mz[k - 1], x);
    return x;
}

// The m/z where the profile falls to `level` walking from grid point `apex`
// in `direction` (-1, +1), stopping at grid point `valley`.
double Edge(const ProfileSum& profile, const Grid& grid, std::size_t apex, std::size_t valley, int direction,
            double level) {
    const auto above = [&](double at) {
        const ProfileSum::Local local = profile.At(at);
        return std::pair{local.value - level, local.slope};
    };
    std::size_t k = apex;
    while (k != valley) {
        const std::size_t next = direction < 0 ? k - 1 : k + 1;
        if (grid.value[next] <= level)
            return direction < 0 ? Root(above, grid.mz[next], grid.mz[k]) : Root(above, grid.mz[k], grid.mz[next]);
        k = next;
    }
    return Extremum(profile, grid, valley);
}

ProfilePoint Centroid(const ProfileSum& profile, const Grid& grid, std::size_t apex, std::size_t leftValley,
                      std::size_t rightValley) {
    const double apexMz = Extremum(profile, grid, apex);
    const double height = profile.At(apexMz).value;
    const double left = Edge(profile, grid, apex, leftValley, -1, height / 2);
    const double right = Edge(profile, grid, apex, rightValley, +1, height / 2);
    const double h = (right - left) / kMeanIntervals;
    const std::vector<double> values = profile.Sample(left, h, kMeanIntervals + 1);
    double weighted = 0, total = 0;
    for (int i = 0; i <= kMeanIntervals; ++i) {
        const double x = left + i * h;
        const double weight = (i == 0 || i == kMeanIntervals) ? 1 : (i % 2 ? 4 : 2);
        const double value = weight * values[i];
        weighted += value * x;
        total += value;
    }
    return {total > 0 ? weighted / total : apexMz, height};
}

void ScaleToHundred(std::vector<ProfilePoint>& points) {
    double tallest = 0;
    for (const ProfilePoint& point : points) tallest = std::max(tallest, point.intensity);
    if (tallest <= 0) {
        points.clear();
        return;
    }
    for (ProfilePoint& point : points) point.intensity *= 100 / tallest;
}

bool Usable(double resolvingPower) { return resolvingPower > 0 && std::isfinite(resolvingPower); }

}  // namespace

std::vector<SampledMaximum> SampledMaxima(const std::vector<double>& v) {
    std::vector<std::size_t> apexes;
    for (std::size_t k = 1; k + 1 < v.size(); ++k)
        if (v[k] > v[k - 1] && v[k] >= v[k + 1]) apexes.push_back(k);
    std::vector<SampledMaximum> maxima;
    maxima.reserve(apexes.size());
    for (std::size_t i = 0; i < apexes.size(); ++i) {
        // The lowest point between neighbouring maxima is the valley.
        const std::size_t leftValley =
            i == 0 ? 0 : std::min_element(v.begin() + apexes[i - 1], v.begin() + apexes[i]) - v.begin();
        const std::size_t rightValley =
            i + 1 == apexes.size() ? v.size() - 1
                                   : std::min_element(v.begin() + apexes[i], v.begin() + apexes[i + 1]) - v.begin();
        maxima.push_back({apexes[i], leftValley, rightValley});
    }
    return maxima;
}

std::vector<ProfilePoint> ProfileCentroids(const std::vector<ProfilePoint>& profile) {
    std::vector<double> values(profile.size());
    for (std::size_t k = 0; k < profile.size(); ++k) values[k] = profile[k].intensity;
    std::vector<ProfilePoint> centroids;
    for (const SampledMaximum& maximum : SampledMaxima(values)) {
        const double half = values[maximum.apex] / 2;
        double weighted = 0, total = 0;
        for (std::size_t k = maximum.apex + 1; k-- > maximum.leftValley && values[k] > half;) {
            weighted += values[k] * profile[k].mz;
            total += values[k];
        }
        for (std::size_t k = maximum.apex + 1; k <= maximum.rightValley && values[k] > half; ++k) {
            weighted += values[k] * profile[k].mz;
            total += values[k];
        }
        if (total > 0) centroids.push_back({weighted / total, values[maximum.apex]});
    }
    return centroids;
}

std::vector<ProfilePoint> Centroids(const std::vector<IsotopeLine>& lines, double resolvingPower) {
    std::vector<ProfilePoint> centroids;
    if (!Usable(resolvingPower)) return centroids;
    const ProfileSum profile(lines, resolvingPower);
    for (const auto& region : profile.Regions()) {
        const Grid grid = Sample(profile, region);
        for (const SampledMaximum& maximum : SampledMaxima(grid.value))
            centroids.push_back(
                Centroid(profile, grid, maximum.apex, maximum.leftValley, maximum.rightValley));
    }
    ScaleToHundred(centroids);
    return centroids;
}

std::vector<ProfilePoint> Profile(const std::vector<IsotopeLine>& lines, double resolvingPower) {
    std::vector<ProfilePoint> points;
    if (!Usable(resolvingPower)) return points;
    const ProfileSum profile(lines, resolvingPower);
    for (const auto& region : profile.Regions()) {
        const Grid grid = Sample(profile, region);
        for (std::size_t k = 0; k < grid.mz.size(); ++k) points.push_back({grid.mz[k], grid.value[k]});
    }
    ScaleToHundred(points);
    return points;
}

}  // namespace ionsift
