// How well each candidate of a mass search fits a measured spectrum: its m/z
// as the ion, the mass error, the likelihood score of its isotope pattern as
// centroided at the instrument's resolving power, and the RMS against the
// host's nominal distribution; then the candidates in rank order. The
// command line annotates spectrum files with it.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "ions/ion_table.h"
#include "isotopes/fit_score.h"
#include "isotopes/peak_compare.h"

namespace ionsift {

// One row of the molecule database.
struct Candidate {
    std::int64_t id = 0;
    double mass = 0;      // neutral monoisotopic mass, Da
    std::string formula;  // as stored; "" when the row has none
    std::string name;
};

// The host's distribution of a formula as IsoDist answers it: one stick per
// nominal mass, at the mass of neutral atoms, abundance in % of the tallest.
// Empty when the host cannot give one.
using NominalDistribution = std::function<std::vector<TPeak>(const std::string& formula)>;

struct CandidateFit {
    std::size_t candidate = 0;   // index into the candidates fitted
    const Ion* ion = nullptr;
    double mz = 0;               // the candidate's calculated m/z as the ion
    double errorPpm = std::nan("");  // (searched - calculated) / calculated x 1e6; NaN when the ion cannot form
    std::optional<double> score;     // FitScore; none when the formula gives no pattern
    std::optional<double> rms;       // CompareRms against the nominal distribution
};

// Keeps the pattern of every ion formula it fitted (up to kMaxCachedPatterns,
// then starts afresh), so that isomers and repeated searches cost one
// pattern. Not thread-safe: one per thread.
class CandidateFitter {
public:
    static constexpr std::size_t kMaxCachedPatterns = 100000;

    // `nominal` may be empty: no RMS is computed then.
    CandidateFitter(const FitSettings& settings, NominalDistribution nominal);

    // `measured`: the spectrum's peaks (m/z, intensity in any scale).
    CandidateFit Fit(const std::vector<Candidate>& candidates, std::size_t index, const Ion& ion,
                     double searchedMz, const std::vector<TPeak>& measured);

private:
    struct Pattern {
        std::vector<ProfilePoint> centroids;  // empty: the formula gives none
        std::vector<TPeak> nominal;           // at the ion's m/z
    };
    const Pattern& PatternOf(const std::string& ionFormula, const Ion& ion);

    FitSettings settings_;
    NominalDistribution nominal_;
    std::unordered_map<std::string, Pattern> patterns_;  // by ion formula and charge
};

// The fits in rank order: score descending, equal scores by the error's
// size, fits without a score last (RankOrder).
void SortByFit(std::vector<CandidateFit>& fits);

}  // namespace ionsift
