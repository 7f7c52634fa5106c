#include "isotopes/peak_compare.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <new>

#include "text/shown_numbers.h"
#include "text/separators.h"

namespace ionsift {
namespace {

// Descending abundance by CmpProb, with NaN after every number so that the
// order stays strict and weak whatever the records hold.
bool MoreIntense(const TPeak& a, const TPeak& b) {
    const int order = CmpProb(a, b);
    if (order != 0) return order < 0;
    return std::isnan(b.Prob) && !std::isnan(a.Prob);
}

double SquaredDistance(const TPeak& a, const TPeak& b) {
    const double mass = a.Mass - b.Mass;
    const double prob = a.Prob - b.Prob;
    return mass * mass + prob * prob;
}

}  // namespace

bool GetPeaks(const ChartSeries& series, std::vector<TPeak>& peaks) {
    peaks.clear();
    const std::vector<ChartPoint>& points = series.Points();
    const std::size_t sticks = points.empty() ? 0 : (points.size() - 1) / 3;
    try {
        peaks.reserve(sticks);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // Each stick is foot, top and a foot in the series colour. The lead
    // point is at the start only while no peak lies more than one mass unit
    // left of the first one added; otherwise it stands between two sticks,
    // and reading every third point would take a foot for a top. It is the
    // one place where the point two ahead is not in the series colour (a
    // black series cannot tell, and is read with its lead point first).
    constexpr ChartColour kBlack = 0;
    const bool leadFirst = series.Colour() == kBlack;
    bool leadPassed = false;
    std::size_t at = 0;
    while (peaks.size() < sticks) {
        if (!leadPassed && (leadFirst || points[at + 2].colour != series.Colour())) {
            leadPassed = true;
            ++at;
            continue;
        }
        peaks.push_back({false, points[at + 1].x, points[at + 1].y});
        at += 3;
    }
    return true;
}

int CmpProb(const TPeak& a, const TPeak& b) {
    if (a.Prob > b.Prob) return -1;
    if (a.Prob < b.Prob) return 1;
    return 0;
}

std::optional<double> CompareRms(const std::vector<TPeak>& computed,
                                 std::vector<TPeak> experimental) {
    const std::size_t pairs = std::min(computed.size(), experimental.size());
    if (pairs == 0) return std::nullopt;
    // Stable, so that equal abundances keep their order and results repeat.
    std::stable_sort(experimental.begin(), experimental.end(), MoreIntense);
    const double strongest = experimental.front().Prob;
    if (strongest == 0 || !std::isfinite(strongest)) return std::nullopt;
    const double scale = 100.0 / strongest;
    for (TPeak& peak : experimental) peak.Prob *= scale;

    // Greedy in mass order, not an optimal assignment: each computed peak
    // takes the nearest experimental one still free. O(pairs * |B|).
    double sum = 0.0;
    for (std::size_t i = 0; i < pairs; ++i) {
        double best = DBL_MAX;
        TPeak* choice = nullptr;
        for (TPeak& candidate : experimental) {
            if (candidate.Matched) continue;
            const double distance = SquaredDistance(computed[i], candidate);
            if (distance < best) {  // strictly: ties go to the more intense
                best = distance;
                choice = &candidate;
            }
        }
        // Every distance was NaN, infinite or beyond the largest double.
        if (!choice) return std::nullopt;
        choice->Matched = true;
        sum += best;
    }
    const double rms = std::sqrt(sum / static_cast<double>(pairs));
    if (!std::isfinite(rms)) return std::nullopt;
    return rms;
}

std::string RmsTitle(double rms, char separator) {
    std::string title = "Rms = " + FormatRounded(rms, 2);
    ToLocalSeparator(title, separator);
    return title;
}

}  // namespace ionsift
