// The stand-in host's isotope engine: the coarse distribution behind IsoDist
// from a small molecule up to a 100 kDa protein, and formula parsing.
#include <benchmark/benchmark.h>

#include "host/chem/formula.h"
#include "host/chem/isotope_distribution.h"

namespace {

using namespace ionsift::chem;

void BM_CoarseDistribution(benchmark::State& state, const char* text) {
    const Formula formula = ParseFormula(text).formula;
    std::size_t peaks = 0;
    for (auto _ : state) {
        const std::vector<Peak> distribution = CoarseDistribution(formula);
        peaks = distribution.size();
        benchmark::DoNotOptimize(distribution.data());
    }
    state.counters["peaks"] = static_cast<double>(peaks);
}
BENCHMARK_CAPTURE(BM_CoarseDistribution, glucose, "C6H12O6");
BENCHMARK_CAPTURE(BM_CoarseDistribution, insulin, "C257H383N65O77S6");
BENCHMARK_CAPTURE(BM_CoarseDistribution, protein_100kDa, "C4500H7000N1200O1400S30");
BENCHMARK_CAPTURE(BM_CoarseDistribution, carbon_1M, "C1000000");
// The costliest kind of formula the parser accepts: a million atoms each of
// two elements with many isotopes.
BENCHMARK_CAPTURE(BM_CoarseDistribution, tin_xenon_2M, "Sn1000000Xe1000000")->Unit(benchmark::kMillisecond);

void BM_ParseFormula(benchmark::State& state, const char* text) {
    for (auto _ : state) benchmark::DoNotOptimize(ParseFormula(text));
}
BENCHMARK_CAPTURE(BM_ParseFormula, glucose, "C6H12O6");
BENCHMARK_CAPTURE(BM_ParseFormula, nested, "K4(Fe(CN)6)(CH3(CH2)16COO)2Ca3(PO4)2");

void BM_MonoisotopicMass(benchmark::State& state) {
    const Formula formula = ParseFormula("C4500H7000N1200O1400S30").formula;
    for (auto _ : state) benchmark::DoNotOptimize(MonoisotopicMass(formula));
}
BENCHMARK(BM_MonoisotopicMass);

}  // namespace
