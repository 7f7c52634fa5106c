// The threshold algorithm in two steps.
//
// 1. Per element with n atoms over k isotopes of abundances p, the number of
//    atoms of each isotope follows a multinomial distribution. Its mode is
//    found by moving single atoms between isotopes while that raises the
//    probability (the multinomial is log-concave, so this ends at the mode);
//    from there a flood fill over single-atom moves collects every
//    configuration whose probability is at least the threshold times the
//    mode's (such a set is connected under these moves).
// 2. The formula's most probable isotopologue is the product of the
//    elements' modes, and no factor of a product exceeds its element's mode;
//    so an element's configurations below the threshold can never be part of
//    a kept line. The products are enumerated depth first over the elements,
//    each element's configurations most probable first, and a level stops as
//    soon as even the best choices for the elements still to come cannot lift
//    the product over the threshold.
//
// Cost: the flood fill visits each kept configuration and its k(k-1)
// neighbours once; the products cost about one step per kept line plus one
// per partial product that passed the threshold.
#include "isotopes/fine_structure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <unordered_set>

#include "isotopes/isotope_table.h"

namespace ionsift {
namespace {

// ln(n!): summed for small n, Stirling's series above (its first omitted
// term is below 1e-19 at n = 64). Written out rather than std::lgamma so the
// 32-bit build and the native one compute the same numbers, without a
// global sign variable.
double LogFactorial(long n) {
    static const std::array<double, 64> small = [] {
        std::array<double, 64> table{};
        for (std::size_t i = 1; i < table.size(); ++i) table[i] = table[i - 1] + std::log(double(i));
        return table;
    }();
    if (n < static_cast<long>(small.size())) return small[static_cast<std::size_t>(n)];
    const double x = static_cast<double>(n);
    const double inverse = 1 / x;
    const double inverse2 = inverse * inverse;
    const double kLogTwoPi = 1.8378770664093454836;
    return x * std::log(x) - x + 0.5 * (kLogTwoPi + std::log(x)) +
           inverse * (1.0 / 12 - inverse2 * (1.0 / 360 - inverse2 * (1.0 / 1260 - inverse2 / 1680)));
}

// One element's share of an isotopologue.
struct Configuration {
    double logProbability;
    double mass;
};

using Counts = std::vector<long>;  // atoms of each isotope

// Counts of neighbouring configurations differ in two places by one, so
// every count is mixed thoroughly (SplitMix64's finaliser).
struct CountsHash {
    std::size_t operator()(const Counts& counts) const {
        std::uint64_t hash = 0;
        for (long count : counts) {
            hash ^= static_cast<std::uint64_t>(count) + 0x9e3779b97f4a7c15u;
            hash = (hash ^ (hash >> 30)) * 0xbf58476d1ce4e5b9u;
            hash = (hash ^ (hash >> 27)) * 0x94d049bb133111ebu;
            hash ^= hash >> 31;
        }
        return static_cast<std::size_t>(hash);
    }
};

class Multinomial {
public:
    Multinomial(const Element& element, long atoms) : atoms_(atoms) {
        for (const Isotope& isotope : element.isotopes) {
            if (isotope.abundance <= 0) continue;
            logAbundance_.push_back(std::log(isotope.abundance));
            mass_.push_back(isotope.mass);
            abundance_.push_back(isotope.abundance);
        }
    }

    std::size_t Isotopes() const { return mass_.size(); }

    // About how many configurations lie within `minRelative` of the mode,
    // as a logarithm: the multinomial is nearly a normal distribution in the
    // k - 1 free counts, so the kept set is nearly an ellipsoid of
    // Mahalanobis radius sqrt(2 ln(1 / minRelative)) and volume
    // V(k - 1, radius) sqrt(n^(k - 1) p1 ... pk); never more than all
    // C(n + k - 1, k - 1) configurations. Lets a formula far too large be
    // refused before any is counted.
    double LogCountEstimate(double minRelative) const {
        const std::size_t free = Isotopes() - 1;
        if (free == 0) return 0;
        const double kLogPi = 1.1447298858494002;
        const double radius = std::sqrt(-2 * std::log(minRelative));
        double logGammaHalfFreePlusOne = free % 2 ? 0.5 * kLogPi : 0;  // ln Gamma(1/2) or ln Gamma(1)
        for (double x = free % 2 ? 0.5 : 1; x < free / 2.0 + 1; ++x) logGammaHalfFreePlusOne += std::log(x);
        double logVolume = 0.5 * free * (kLogPi + std::log(double(atoms_))) + free * std::log(radius) -
                           logGammaHalfFreePlusOne;
        for (double logAbundance : logAbundance_) logVolume += 0.5 * logAbundance;
        const double logAll = LogFactorial(atoms_ + long(free)) - LogFactorial(atoms_) - LogFactorial(long(free));
        return std::min(logVolume, logAll);
    }

    double LogProbability(const Counts& counts) const {
        double sum = LogFactorial(atoms_);
        for (std::size_t i = 0; i < counts.size(); ++i)
            sum += counts[i] * logAbundance_[i] - LogFactorial(counts[i]);
        return sum;
    }

    double Mass(const Counts& counts) const {
        double sum = 0;
        for (std::size_t i = 0; i < counts.size(); ++i) sum += counts[i] * mass_[i];
        return sum;
    }

    // The change in log probability when one atom goes from isotope `from` to `to`.
    double MoveGain(const Counts& counts, std::size_t from, std::size_t to) const {
        return std::log(double(counts[from])) - std::log(double(counts[to] + 1)) + logAbundance_[to] -
               logAbundance_[from];
    }

    Counts Mode() const {
        // Start at the expected counts rounded down, the rest to the
        // largest remainders, then climb.
        Counts counts(Isotopes());
        std::vector<std::pair<double, std::size_t>> remainders;
        long placed = 0;
        for (std::size_t i = 0; i < counts.size(); ++i) {
            const double expected = atoms_ * abundance_[i];
            counts[i] = std::min(atoms_, static_cast<long>(std::floor(expected)));
            placed += counts[i];
            remainders.push_back({expected - counts[i], i});
        }
        std::sort(remainders.rbegin(), remainders.rend());
        for (std::size_t r = 0; placed < atoms_; r = (r + 1) % remainders.size(), ++placed)
            ++counts[remainders[r].second];
        for (;;) {
            double bestGain = 0;
            std::size_t bestFrom = 0, bestTo = 0;
            for (std::size_t from = 0; from < counts.size(); ++from) {
                if (counts[from] == 0) continue;
                for (std::size_t to = 0; to < counts.size(); ++to) {
                    if (to == from) continue;
                    const double gain = MoveGain(counts, from, to);
                    if (gain > bestGain) bestGain = gain, bestFrom = from, bestTo = to;
                }
            }
            // A gain within rounding of 0 is a tie between two modes.
            if (bestGain <= 1e-12) return counts;
            --counts[bestFrom];
            ++counts[bestTo];
        }
    }

private:
    long atoms_;
    std::vector<double> logAbundance_, mass_, abundance_;
};

// The element's configurations of at least `minRelative` of its mode, most
// probable first; false when there are more than `maxCount`.
bool ElementConfigurations(const Multinomial& element, double minRelative, std::size_t maxCount,
                           std::vector<Configuration>& kept) {
    if (element.LogCountEstimate(minRelative) > std::log(double(maxCount))) return false;
    const Counts mode = element.Mode();
    const double modeLog = element.LogProbability(mode);
    const double floorLog = modeLog + std::log(minRelative);
    std::unordered_set<Counts, CountsHash> seen{mode};
    std::vector<std::pair<Counts, double>> pending{{mode, modeLog}};
    while (!pending.empty()) {
        const Counts counts = std::move(pending.back().first);
        const double logProbability = pending.back().second;
        pending.pop_back();
        kept.push_back({logProbability, element.Mass(counts)});
        if (kept.size() > maxCount) return false;
        for (std::size_t from = 0; from < counts.size(); ++from) {
            if (counts[from] == 0) continue;
            for (std::size_t to = 0; to < counts.size(); ++to) {
                if (to == from) continue;
                Counts next = counts;
                --next[from];
                ++next[to];
                if (!seen.insert(next).second) continue;
                if (seen.size() > 4 * maxCount) return false;  // the estimate was far too low
                const double nextLog = element.LogProbability(next);
                if (nextLog >= floorLog) pending.push_back({std::move(next), nextLog});
            }
        }
    }
    std::sort(kept.begin(), kept.end(), [](const Configuration& a, const Configuration& b) {
        return a.logProbability > b.logProbability;
    });
    return true;
}

// Depth-first products of the elements' configurations above `floorLog`.
class Products {
public:
    Products(const std::vector<std::vector<Configuration>>& parts, double floorLog, std::size_t maxLines,
             std::vector<IsotopeLine>& lines)
        : parts_(parts), floorLog_(floorLog), maxLines_(maxLines), lines_(lines), bestAfter_(parts.size() + 1, 0) {
        for (std::size_t level = parts.size(); level-- > 0;)
            bestAfter_[level] = bestAfter_[level + 1] + parts[level].front().logProbability;
    }

    bool Run() { return Descend(0, 0, 0); }

private:
    bool Descend(std::size_t level, double logProbability, double mass) {
        const bool last = level + 1 == parts_.size();
        for (const Configuration& part : parts_[level]) {
            const double sum = logProbability + part.logProbability;
            if (sum + bestAfter_[level + 1] < floorLog_) break;  // the rest are less probable still
            if (!last) {
                if (!Descend(level + 1, sum, mass + part.mass)) return false;
            } else {
                if (lines_.size() == maxLines_) return false;
                lines_.push_back({mass + part.mass, std::exp(sum)});
            }
        }
        return true;
    }

    const std::vector<std::vector<Configuration>>& parts_;
    double floorLog_;
    std::size_t maxLines_;
    std::vector<IsotopeLine>& lines_;
    std::vector<double> bestAfter_;  // the most probable choice of every level from this one on
};

bool Fail(std::string& problem, std::string text, std::vector<IsotopeLine>& lines) {
    problem = std::move(text);
    lines.clear();
    return false;
}

}  // namespace

bool FineStructure(const ElementCounts& formula, int charge, std::vector<IsotopeLine>& lines,
                   std::string& problem, const FineStructureLimits& limits) {
    lines.clear();
    problem.clear();
    if (!(limits.minRelative > 0 && limits.minRelative <= 1))
        return Fail(problem, "the threshold must lie in (0, 1]", lines);
    std::vector<std::vector<Configuration>> parts;
    for (const auto& [symbol, atoms] : formula) {
        const Element* element = FindElement(symbol);
        if (!element) return Fail(problem, "unknown element " + symbol, lines);
        if (atoms < 0) return Fail(problem, "negative count of " + symbol, lines);
        if (atoms == 0) continue;
        std::vector<Configuration> kept;
        if (!ElementConfigurations(Multinomial(*element, atoms), limits.minRelative, limits.maxLines, kept))
            return Fail(problem, "more than " + std::to_string(limits.maxLines) + " lines", lines);
        parts.push_back(std::move(kept));
    }
    if (parts.empty()) return Fail(problem, "empty formula", lines);

    // The element with the most configurations innermost: fewest partial products.
    std::sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) { return a.size() < b.size(); });
    double bestLog = 0;
    for (const auto& part : parts) bestLog += part.front().logProbability;
    if (!Products(parts, bestLog + std::log(limits.minRelative), limits.maxLines, lines).Run())
        return Fail(problem, "more than " + std::to_string(limits.maxLines) + " lines", lines);

    if (charge != 0) {
        for (IsotopeLine& line : lines) line.mz = (line.mz - charge * kElectronMass) / std::abs(charge);
    }
    std::sort(lines.begin(), lines.end(), [](const IsotopeLine& a, const IsotopeLine& b) { return a.mz < b.mz; });
    return true;
}

}  // namespace ionsift
