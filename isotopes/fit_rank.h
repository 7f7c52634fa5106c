// The order of a ranking by isotope fit, shared by the results list and the
// command line: the score descending, equal scores by the mass error's size
// (no error after any error), rows without a score last. Scores and errors
// are compared as they are shown, to two decimals: rows that show the same
// score tie, and the error decides.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace ionsift {

struct FitRankKey {
    std::optional<double> score;  // FitScore; none (or NaN) ranks last
    double errorPpm;              // signed; NaN when there is none
};

// True when `a` ranks strictly before `b`. A strict weak order.
bool RanksBefore(const FitRankKey& a, const FitRankKey& b);

// Indices of `keys` in rank order; keys equal in both keep their order.
// O(n log n).
std::vector<std::size_t> RankOrder(const std::vector<FitRankKey>& keys);

}  // namespace ionsift
