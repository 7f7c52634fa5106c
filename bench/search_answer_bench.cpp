// The plug-in's own share of a search: reading the host's answer into rows,
// and sorting the rows by a column. The host's query is not measured here.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>

#include "search/result_order.h"
#include "search/results_answer.h"

namespace {

// An answer shaped like the host's: "ID;mass;formula;Synthetic <formula> #n\n",
// masses ascending with six decimals as the query orders them.
std::string SyntheticAnswer(int rows) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> count(0, 40);
    std::string answer;
    answer.reserve(static_cast<std::size_t>(rows) * 64);
    double mass = 100.0;
    char line[160];
    for (int n = 1; n <= rows; ++n) {
        mass += 1e-4 * count(random);
        char formula[48];
        std::snprintf(formula, sizeof formula, "C%dH%dN%dO%d", 1 + count(random), 1 + 2 * count(random),
                      count(random) / 8, count(random) / 4);
        std::snprintf(line, sizeof line, "%d;%.6f;%s;Synthetic %s #%d\n", n, mass, formula, formula, n);
        answer += line;
    }
    return answer;
}

void BM_ReadResultsAnswer(benchmark::State& state) {
    const std::string answer = SyntheticAnswer(static_cast<int>(state.range(0)));
    ionsift::RowIdTable ids;
    ionsift::ResultRows rows;
    ionsift::AnswerCounts counts;
    for (auto _ : state) {
        const auto reading = ionsift::ReadResultsAnswer(answer.c_str(), ',', ids, rows, counts);
        benchmark::DoNotOptimize(reading);
        benchmark::DoNotOptimize(rows.rows.data());
    }
    if (rows.rows.size() != static_cast<std::size_t>(state.range(0))) state.SkipWithError("rows lost");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(answer.size()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadResultsAnswer)->Arg(200)->Arg(20000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Sorting 20,000 rows by one column, ascending, from the query's order; the
// copy of the rows back to that order is outside the measurement.
void BM_SortResultRows(benchmark::State& state) {
    const std::string answer = SyntheticAnswer(20000);
    ionsift::RowIdTable ids;
    ionsift::ResultRows rows;
    ionsift::AnswerCounts counts;
    ionsift::ReadResultsAnswer(answer.c_str(), ',', ids, rows, counts);
    // Masses descending first, so that the mass sort has work to do.
    ionsift::SortResultRows(rows.rows, ionsift::kMassColumn, true, ',');
    const std::vector<ionsift::ResultRow> start = rows.rows;
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<ionsift::ResultRow> sorted = start;
        state.ResumeTiming();
        ionsift::SortResultRows(sorted, column, false, ',');
        benchmark::DoNotOptimize(sorted.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(start.size()));
}
BENCHMARK(BM_SortResultRows)
    ->ArgName("column")
    ->Arg(ionsift::kMassColumn)
    ->Arg(ionsift::kFormulaColumn)
    ->Arg(ionsift::kNameColumn)
    ->Unit(benchmark::kMillisecond);

}  // namespace
