// The isotope chart's own work on large inputs: reading pasted pairs, the
// RMS comparison, and the pointer readout on every mouse move.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "isotopes/peak_compare.h"
#include "isotopes/peak_series.h"
#include "isotopes/readout.h"

namespace {

// Rows as the distribution text has them: "mass abundance\r\n", ascending.
std::string PairText(int pairs) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> abundance(0.01, 100.0);
    std::string text;
    text.reserve(static_cast<std::size_t>(pairs) * 32);
    char row[64];
    for (int n = 0; n < pairs; ++n) {
        std::snprintf(row, sizeof row, "%.8f %.8f\r\n", 100.0 + n * 1.003355, abundance(random));
        text += row;
    }
    return text;
}

void BM_ParsePeaks(benchmark::State& state) {
    const std::string text = PairText(static_cast<int>(state.range(0)));
    std::size_t pairs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = text;  // the reader writes into its text
        state.ResumeTiming();
        ionsift::ChartSeries series(ionsift::kExColour);
        pairs = ionsift::ParsePeaks(&series, copy.data());
        benchmark::DoNotOptimize(series.Points().data());
    }
    if (pairs != static_cast<std::size_t>(state.range(0))) state.SkipWithError("pairs lost");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParsePeaks)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Computed peaks one mass unit apart; experimental ones scattered around
// them in random order, so every computed peak searches the whole list.
void BM_CompareRms(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    std::mt19937 random(5);
    std::uniform_real_distribution<double> jitter(-0.5, 0.5), abundance(0.0, 100.0);
    std::vector<ionsift::TPeak> computed, experimental;
    for (int n = 0; n < count; ++n) {
        computed.push_back({false, 100.0 + n, abundance(random)});
        experimental.push_back({false, 100.0 + n + jitter(random), abundance(random)});
    }
    std::shuffle(experimental.begin(), experimental.end(), random);
    for (auto _ : state) {
        const auto rms = ionsift::CompareRms(computed, experimental);
        if (!rms) state.SkipWithError("no RMS");
        benchmark::DoNotOptimize(rms);
    }
}
BENCHMARK(BM_CompareRms)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Two series of state.range(0) / 2 sticks each, the pointer moving over the
// plot; points already sorted, as after the first paint.
void BM_FindNearestStick(benchmark::State& state) {
    const int perSeries = static_cast<int>(state.range(0)) / 2;
    ionsift::ChartModel chart;
    for (ionsift::ChartColour colour : {ionsift::kDistColour, ionsift::kExColour}) {
        std::string text = PairText(perSeries);
        ionsift::ParsePeaks(chart.AddSeries(std::make_unique<ionsift::ChartSeries>(colour)), text.data());
        chart.Series(chart.SeriesCount() - 1).Points();
    }
    // 10,000 mass units over 1,000 pixels, 100 % over 400.
    const ionsift::ChartMapping mapping{-9.9, 0.1, 450, -4};
    int x = 0;
    for (auto _ : state) {
        const ionsift::StickHit hit = ionsift::StickUnderPointer(chart, mapping, x, 250);
        benchmark::DoNotOptimize(hit);
        x = (x + 7) % 1000;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FindNearestStick)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
