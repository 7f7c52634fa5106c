#include "host/dbtool/valence_rules.h"

#include <algorithm>
#include <string_view>

namespace ionsift::dbtool {
namespace {

struct Valence {
    std::string_view symbol;
    long valence;
};

constexpr Valence kValences[] = {
    {"C", 4}, {"H", 1}, {"N", 3}, {"O", 2}, {"P", 3}, {"S", 2},
};

struct RatioToCarbon {
    std::string_view symbol;
    double low, high;
};

constexpr RatioToCarbon kRatios[] = {
    {"H", 0.2, 3.1}, {"N", 0.0, 1.3}, {"O", 0.0, 1.2}, {"P", 0.0, 0.3}, {"S", 0.0, 0.8},
};

long CountOf(const chem::Formula& formula, std::string_view symbol) {
    const auto found = formula.counts.find(std::string(symbol));
    return found == formula.counts.end() ? 0 : found->second;
}

}  // namespace

std::optional<long> RingsPlusDoubleBonds(const chem::Formula& formula) {
    long twiceRdb = 2;  // 2 + sum(n * (v - 2)), even for a closed-shell molecule
    long heavyAtoms = 0;
    for (const auto& [element, count] : formula.counts) {
        const std::string& symbol = element;  // C++17 lambdas cannot capture a binding
        const auto* row = std::find_if(std::begin(kValences), std::end(kValences),
                                       [&](const Valence& v) { return v.symbol == symbol; });
        if (row == std::end(kValences) || count < 0) return std::nullopt;
        twiceRdb += count * (row->valence - 2);
        if (row->valence > 1) heavyAtoms += count;
    }
    if (twiceRdb % 2 != 0 || twiceRdb < 0) return std::nullopt;
    // A lone heavy atom has no partner for a ring or a multiple bond (CH2).
    if (heavyAtoms < 2 && twiceRdb > 0) return std::nullopt;
    return twiceRdb / 2;
}

bool HasPlausibleRatios(const chem::Formula& formula) {
    const long carbon = CountOf(formula, "C");
    if (carbon < 1) return false;
    for (const RatioToCarbon& ratio : kRatios) {
        const double value = static_cast<double>(CountOf(formula, ratio.symbol)) / carbon;
        if (value < ratio.low || value > ratio.high) return false;
    }
    return CountOf(formula, "O") >= 3 * CountOf(formula, "P");
}

}  // namespace ionsift::dbtool
