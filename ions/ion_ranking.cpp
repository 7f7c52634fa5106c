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

void RankByIsotopeFit(std::vector<ResultRow>& rows, IonCells& cells, const RowIdTable& ids,
                      const Ion& ion, const std::vector<TPeak>& measured,
                      const RankProgress& progress, const FitSettings& fit) {
    // The ion formula of every row, asked for in the order the rows show
    // them; isomers share theirs, and with it one request.
    constexpr std::size_t kNoFormula = static_cast<std::size_t>(-1);
    std::vector<std::string> formulas;
    std::unordered_map<std::string, std::size_t> indexOf;
    std::vector<std::size_t> formulaOfRow(rows.size(), kNoFormula);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string formula;
        const char* molecule = rows[i].cells[kFormulaColumn];
        if (IonFormula(molecule ? molecule : "", ion, formula) != IonFormulaOutcome::Formula) {
            continue;
        }
        const auto [found, added] = indexOf.try_emplace(formula, formulas.size());
        if (added) formulas.push_back(formula);
        formulaOfRow[i] = found->second;
    }
    std::vector<std::optional<double>> rmsOf(formulas.size()), scoreOf(formulas.size());
    for (std::size_t f = 0; f < formulas.size(); ++f) {
        // The host knows which formulas are molecules: one it refuses is not
        // scored either.
        if (SendCommand("IsoDist %s", formulas[f].c_str()) == 0) {
            rmsOf[f] = CompareRms(ComputedPeaks(HostResultText(), ion), measured);
            scoreOf[f] = IonFitScore(formulas[f], ion, measured, fit);
        }
        if (progress) progress(f + 1, formulas.size());
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::size_t slot = SlotOf(ids, rows[i]);
        if (slot >= cells.size()) continue;
        const bool made = formulaOfRow[i] != kNoFormula;
        cells[slot].rms = made ? rmsOf[formulaOfRow[i]] : std::nullopt;
        cells[slot].score = made ? scoreOf[formulaOfRow[i]] : std::nullopt;
    }
    SortByRank(rows, cells, ids);
}

}  // namespace ionsift
