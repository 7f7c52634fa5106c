#include "isotopes/fit_rank.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "text/shown_numbers.h"

namespace ionsift {
namespace {

// Scores and errors are shown with two decimals; ties are what the reader sees.
constexpr int kShownDecimals = 2;

bool HasScore(const FitRankKey& key) { return key.score && !std::isnan(*key.score); }

// Keys as shown; no score and no error stay as they are.
FitRankKey Shown(const FitRankKey& key) {
    FitRankKey shown = key;
    if (HasScore(key)) shown.score = ShownValue(*key.score, kShownDecimals);
    if (!std::isnan(key.errorPpm)) shown.errorPpm = ShownValue(std::fabs(key.errorPpm), kShownDecimals);
    return shown;
}

bool ShownRanksBefore(const FitRankKey& a, const FitRankKey& b) {
    if (HasScore(a) != HasScore(b)) return HasScore(a);
    if (HasScore(a) && *a.score != *b.score) return *a.score > *b.score;
    const bool aError = !std::isnan(a.errorPpm), bError = !std::isnan(b.errorPpm);
    if (aError != bError) return aError;
    return aError && std::fabs(a.errorPpm) < std::fabs(b.errorPpm);
}

}  // namespace

bool RanksBefore(const FitRankKey& a, const FitRankKey& b) { return ShownRanksBefore(Shown(a), Shown(b)); }

std::vector<std::size_t> RankOrder(const std::vector<FitRankKey>& keys) {
    std::vector<FitRankKey> shown;
    shown.reserve(keys.size());
    for (const FitRankKey& key : keys) shown.push_back(Shown(key));
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&shown](std::size_t a, std::size_t b) { return ShownRanksBefore(shown[a], shown[b]); });
    return order;
}

}  // namespace ionsift
