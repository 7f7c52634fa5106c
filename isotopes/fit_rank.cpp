#include "isotopes/fit_rank.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace ionsift {
namespace {

bool HasScore(const FitRankKey& key) { return key.score && !std::isnan(*key.score); }

}  // namespace

bool RanksBefore(const FitRankKey& a, const FitRankKey& b) {
    if (HasScore(a) != HasScore(b)) return HasScore(a);
    if (HasScore(a) && *a.score != *b.score) return *a.score > *b.score;
    const bool aError = !std::isnan(a.errorPpm), bError = !std::isnan(b.errorPpm);
    if (aError != bError) return aError;
    return aError && std::fabs(a.errorPpm) < std::fabs(b.errorPpm);
}

std::vector<std::size_t> RankOrder(const std::vector<FitRankKey>& keys) {
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return RanksBefore(keys[a], keys[b]); });
    return order;
}

}  // namespace ionsift
