// The RMS comparison of a computed distribution with experimental peaks.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "chart/chart_model.h"

namespace ionsift {

struct TPeak {
    bool Matched;  // paired with a computed peak in the current comparison
    double Mass;
    double Prob;   // abundance, percent
};

// One record per stick of the series, from the stick's top point, in point
// order: (points - 1) / 3 records. False (and `peaks` empty) when memory for
// them is not available.
bool GetPeaks(const ChartSeries& series, std::vector<TPeak>& peaks);

// -1 when a's Prob is greater, 1 when smaller, 0 when equal: for sorting by
// descending abundance.
int CmpProb(const TPeak& a, const TPeak& b);

// The root-mean-square deviation between computed peaks A (ascending mass)
// and experimental peaks B. B is sorted by CmpProb and scaled so that its
// most intense peak has 100; with m = min(|A|, |B|), each of the m lightest
// computed peaks takes, greedily in mass order, the unmatched experimental
// peak at the smallest squared distance (mass difference squared plus
// abundance difference squared; ties go to the more intense); the result is
// sqrt(sum / m). Negative abundances are taken as they are, a negative most
// intense one included (the scale is then negative). Nothing when it is not
// defined: no computed or experimental peak, a most intense experimental
// abundance of exactly 0 or not finite, or a result that is not finite.
std::optional<double> CompareRms(const std::vector<TPeak>& computed,
                                 std::vector<TPeak> experimental);

// "Rms = " and the value with two decimals, rounded half away from zero, and
// the user's separator.
std::string RmsTitle(double rms, char separator);

}  // namespace ionsift
