// The distribution of a candidate as an ion, and the ranking of the results
// list by how well each candidate's distribution fits the measured peaks.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "chart/chart_model.h"
#include "ions/ion_cells.h"
#include "ions/ion_table.h"
#include "isotopes/fit_score.h"
#include "isotopes/peak_compare.h"
#include "search/result_rows.h"

namespace ionsift {

// ParsePeaks for the host's answer to "IsoDist <ion formula>": each mass is
// drawn at the ion's m/z (StickMz). Returns the number of pairs.
std::size_t ParseIonPeaks(ChartSeries* series, char* text, const Ion& ion);

// The computed peaks of an answer exactly as the chart's title compares
// them: drawn as a series, read back with GetPeaks.
std::vector<TPeak> ComputedPeaks(const char* answer, const Ion& ion);

// Progress of a ranking: distributions asked for so far, of how many.
using RankProgress = std::function<void(std::size_t done, std::size_t total)>;

// For every row, the RMS between its distribution as `ion` and `measured`
// (the experimental peaks), and the likelihood score of `measured` against
// its centroids at fit.resolvingPower (IonFitScore), into its cell; then the
// rows sorted by SortByRank. One "IsoDist <formula>" per distinct ion
// formula, sent through the host link; a formula the ion cannot be made of,
// or one the host refuses, leaves the rows' RMS and score empty.
// O(rows log rows + formulas x (peaks + fine structure)).
void RankByIsotopeFit(std::vector<ResultRow>& rows, IonCells& cells, const RowIdTable& ids,
                      const Ion& ion, const std::vector<TPeak>& measured,
                      const RankProgress& progress = {}, const FitSettings& fit = {});

}  // namespace ionsift
