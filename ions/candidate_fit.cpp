#include "ions/candidate_fit.h"

#include <algorithm>

#include "ions/ion_cells.h"
#include "ions/ion_fit.h"
#include "ions/ion_formula.h"
#include "isotopes/fit_rank.h"
#include "isotopes/instrument_view.h"

namespace ionsift {

CandidateFitter::CandidateFitter(const FitSettings& settings, NominalDistribution nominal)
    : settings_(settings), nominal_(std::move(nominal)) {}

const CandidateFitter::Pattern& CandidateFitter::PatternOf(const std::string& ionFormula, const Ion& ion) {
    const std::string key = ionFormula + ' ' + std::to_string(ion.charge);
    const auto found = patterns_.find(key);
    if (found != patterns_.end()) return found->second;
    if (patterns_.size() >= kMaxCachedPatterns) patterns_.clear();

    Pattern pattern;
    std::vector<IsotopeLine> lines;
    if (IonFineStructure(ionFormula, ion, lines)) pattern.centroids = Centroids(lines, settings_.resolvingPower);
    if (nominal_) {
        pattern.nominal = nominal_(ionFormula);
        for (TPeak& stick : pattern.nominal) stick.Mass = StickMz(stick.Mass, ion);
    }
    return patterns_.emplace(key, std::move(pattern)).first->second;
}

CandidateFit CandidateFitter::Fit(const std::vector<Candidate>& candidates, std::size_t index, const Ion& ion,
                                  double searchedMz, const std::vector<TPeak>& measured) {
    const Candidate& candidate = candidates[index];
    CandidateFit fit;
    fit.candidate = index;
    fit.ion = &ion;
    fit.mz = static_cast<double>(IonMz(candidate.mass, ion));
    fit.errorPpm = MassErrorPpm(searchedMz, fit.mz);
    std::string ionFormula;
    const IonFormulaOutcome outcome =
        candidate.formula.empty() ? IonFormulaOutcome::Unparsable : IsoDistFormula(candidate.formula, ion, ionFormula);
    // A molecule that lacks the atoms the ion takes away is no hit at any error.
    if (outcome == IonFormulaOutcome::MissingAtoms) fit.errorPpm = std::nan("");
    if (outcome != IonFormulaOutcome::Formula) return fit;
    const Pattern& pattern = PatternOf(ionFormula, ion);
    if (!pattern.centroids.empty()) fit.score = FitScore(measured, pattern.centroids, settings_);
    if (!pattern.nominal.empty()) fit.rms = CompareRms(pattern.nominal, measured);
    return fit;
}

void SortByFit(std::vector<CandidateFit>& fits) {
    std::vector<FitRankKey> keys;
    keys.reserve(fits.size());
    for (const CandidateFit& fit : fits) keys.push_back({fit.score, fit.errorPpm});
    std::vector<CandidateFit> ranked;
    ranked.reserve(fits.size());
    for (const std::size_t i : RankOrder(keys)) ranked.push_back(std::move(fits[i]));
    fits = std::move(ranked);
}

}  // namespace ionsift
