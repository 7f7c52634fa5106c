#include "bench/decoy_formulas.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "host/chem/elements.h"

namespace ionsift::bench {
namespace {

struct ElementRule {
    std::string_view symbol;
    long valence;    // lowest common valence
    long maxCount;   // rule 1, molecules under 1,000 Da; 0: none
    double maxPerC;  // rules 4 and 5, atoms per carbon; 0: none
};

// Lowest common valences; counts and ratios where the Golden Rules give them
// (H/C also at least 0.2, below).
constexpr ElementRule kRules[] = {
    {"C", 4, 78, 0},     {"H", 1, 126, 3.1},  {"N", 3, 20, 1.3},   {"O", 2, 27, 1.2},
    {"P", 3, 9, 0.3},    {"S", 2, 14, 0.8},   {"F", 1, 34, 1.5},   {"Cl", 1, 14, 0.8},
    {"Br", 1, 8, 0.8},   {"I", 1, 0, 0.8},    {"Si", 4, 14, 0.5},  {"B", 3, 0, 0},
    {"Se", 2, 0, 0},     {"Sn", 4, 0, 0},     {"Fe", 2, 0, 0},     {"Pt", 2, 0, 0},
};

const ElementRule* RuleOf(std::string_view symbol) {
    const auto* rule = std::find_if(std::begin(kRules), std::end(kRules),
                                    [symbol](const ElementRule& r) { return r.symbol == symbol; });
    return rule == std::end(kRules) ? nullptr : rule;
}

long CountOf(const Counts& formula, const std::string& symbol) {
    const auto found = formula.find(symbol);
    return found == formula.end() ? 0 : found->second;
}

double MassOf(std::string_view symbol) {
    const chem::Element* element = chem::FindElement(symbol);
    return element ? element->mostAbundant->mass : std::nan("");
}

struct Search {
    double low, high;  // the mass window
    double hydrogenMass;
    std::vector<std::pair<std::string, double>> heavy;  // heaviest first
    std::vector<long> maxCounts;
    Counts formula;
    std::vector<Counts> found;

    // Heavy element `index` onwards, `mass` so far; hydrogen fills the rest.
    void Enumerate(std::size_t index, double mass) {
        if (mass > high) return;
        if (index == heavy.size()) {
            const long hydrogens = std::lround((0.5 * (low + high) - mass) / hydrogenMass);
            const double total = mass + hydrogens * hydrogenMass;
            if (hydrogens < 0 || total < low || total > high) return;
            formula["H"] = hydrogens;
            if (IsPlausible(formula)) {
                Counts kept;
                for (const auto& [symbol, count] : formula) {
                    if (count > 0) kept.emplace(symbol, count);
                }
                found.push_back(kept);
            }
            return;
        }
        const auto& [symbol, atomMass] = heavy[index];
        long limit = maxCounts[index];
        // Carbon comes first, so that its ratios bound the others.
        const ElementRule* rule = RuleOf(symbol);
        if (index > 0 && rule && rule->maxPerC > 0) {
            limit = std::min(limit, static_cast<long>(rule->maxPerC * formula["C"]));
        }
        for (long n = 0; n <= limit && mass + n * atomMass <= high; ++n) {
            formula[symbol] = n;
            Enumerate(index + 1, mass + n * atomMass);
        }
        formula[symbol] = 0;
    }
};

}  // namespace

bool IsPlausible(const Counts& formula) {
    const long carbon = CountOf(formula, "C");
    if (carbon < 1) return false;
    long twiceRdb = 2;
    for (const auto& [symbol, count] : formula) {
        const ElementRule* rule = RuleOf(symbol);
        if (!rule || count < 0) return false;
        if (rule->maxCount > 0 && count > rule->maxCount) return false;
        if (rule->maxPerC > 0 && count > rule->maxPerC * carbon) return false;
        twiceRdb += count * (rule->valence - 2);
    }
    if (CountOf(formula, "H") < 0.2 * carbon) return false;
    return twiceRdb >= 0 && twiceRdb % 2 == 0;
}

std::vector<Counts> DecoyFormulas(double mass, double toleranceDa, const Counts& truth) {
    Search search{mass - toleranceDa, mass + toleranceDa, MassOf("H"), {}, {}, {}, {}};
    Counts limits = {{"C", 78}, {"N", 20}, {"O", 27}, {"P", 9}, {"S", 14}};
    for (const auto& [symbol, count] : truth) {
        if (!limits.count(symbol) && symbol != "H") limits[symbol] = count + 1;
    }
    for (const auto& [symbol, limit] : limits) search.heavy.emplace_back(symbol, MassOf(symbol));
    // Carbon first, the rest heaviest first: fewer branches pass the window.
    std::sort(search.heavy.begin(), search.heavy.end(), [](const auto& a, const auto& b) {
        if ((a.first == "C") != (b.first == "C")) return a.first == "C";
        return a.second > b.second;
    });
    for (const auto& [symbol, atomMass] : search.heavy) {
        const ElementRule* rule = RuleOf(symbol);
        long limit = limits[symbol];
        if (rule && rule->maxCount > 0) limit = std::min(limit, rule->maxCount);
        search.maxCounts.push_back(limit);
    }
    search.Enumerate(0, 0.0);
    return search.found;
}

}  // namespace ionsift::bench
