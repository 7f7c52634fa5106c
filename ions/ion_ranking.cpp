#include "ions/ion_ranking.h"

#include <cstring>
#include <optional>
#include <unordered_map>

#include "ions/ion_fit.h"
#include "ions/ion_formula.h"
#include "isotopes/peak_series.h"
#include "shell/host_link.h"

namespace ionsift {

std::size_t ParseIonPeaks(ChartSeries* series, char* text, const Ion& ion) {
    if (!series || !text) return 0;
    return ReadPeakPairs(text, [series, &ion](double mass, double abundance) {
        AddPeak(*series, StickMz(mass, ion), abundance);
    });
}

std::vector<TPeak> ComputedPeaks(const char* answer, const Ion& ion) {
    std::vector<char> copy(answer, answer + std::strlen(answer) + 1);
    ChartSeries series(kDistColour);
    ParseIonPeaks(&series, copy.data(), ion);
    std::vector<TPeak> peaks;
    GetPeaks(series, peaks);
    return peaks;
}

namespace {

// The ranking of rows each with its own ion (`ionOf`).
template <class IonOf>
void RankRows(std::vector<ResultRow>& rows, IonCells& cells, const RowIdTable& ids, IonOf ionOf,
              const std::vector<TPeak>& measured, const RankProgress& progress,
              const FitSettings& fit) {
    // The ion formula of every row, asked for in the order the rows show
    // them; isomers share theirs, and with it one request.
    constexpr std::size_t kNoFormula = static_cast<std::size_t>(-1);
    std::vector<std::string> formulas;
    std::unordered_map<std::string, std::size_t> indexOf;
    std::vector<std::size_t> formulaOfRow(rows.size(), kNoFormula);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string formula;
        const char* molecule = rows[i].cells[kFormulaColumn];
        if (IsoDistFormula(molecule ? molecule : "", ionOf(i), formula) != IonFormulaOutcome::Formula) {
            continue;
        }
        const auto [found, added] = indexOf.try_emplace(formula, formulas.size());
        if (added) formulas.push_back(formula);
        formulaOfRow[i] = found->second;
    }
    // The host's answer for each formula; none where it refused.
    std::vector<std::optional<std::string>> answerOf(formulas.size());
    for (std::size_t f = 0; f < formulas.size(); ++f) {
        if (SendCommand("IsoDist %s", formulas[f].c_str()) == 0) answerOf[f] = HostResultText();
        if (progress) progress(f + 1, formulas.size());
    }
    // The same formula as ions of different charges lies at different m/z.
    struct Fit {
        std::optional<double> rms, score;
    };
    std::unordered_map<std::string, Fit> fitOf;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::size_t slot = SlotOf(ids, rows[i]);
        if (slot >= cells.size()) continue;
        const std::size_t f = formulaOfRow[i];
        // The host knows which formulas are molecules: one it refuses is not
        // scored either.
        if (f == kNoFormula || !answerOf[f]) {
            cells[slot].rms = std::nullopt;
            cells[slot].score = std::nullopt;
            continue;
        }
        const Ion& ion = ionOf(i);
        const std::string key = formulas[f] + ' ' + std::to_string(ion.charge);
        auto found = fitOf.find(key);
        if (found == fitOf.end()) {
            const Fit computed{CompareRms(ComputedPeaks(answerOf[f]->c_str(), ion), measured),
                               IonFitScore(formulas[f], ion, measured, fit)};
            found = fitOf.emplace(key, computed).first;
        }
        cells[slot].rms = found->second.rms;
        cells[slot].score = found->second.score;
    }
    SortByRank(rows, cells, ids);
}

}  // namespace

void RankByIsotopeFit(std::vector<ResultRow>& rows, IonCells& cells, const RowIdTable& ids,
                      const Ion& ion, const std::vector<TPeak>& measured,
                      const RankProgress& progress, const FitSettings& fit) {
    RankRows(rows, cells, ids, [&ion](std::size_t) -> const Ion& { return ion; }, measured, progress,
             fit);
}

void RankByIsotopeFit(std::vector<ResultRow>& rows, IonCells& cells, const RowIdTable& ids,
                      const std::vector<TPeak>& measured, const Ion& listIon,
                      const RankProgress& progress, const FitSettings& fit) {
    const auto ionOf = [&](std::size_t row) -> const Ion& {
        const Ion* own = CellOf(cells, ids, rows[row]).ion;
        return own ? *own : listIon;
    };
    RankRows(rows, cells, ids, ionOf, measured, progress, fit);
}

}  // namespace ionsift
