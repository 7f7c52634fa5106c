// The stand-in host's isotope engine: the coarse distribution behind IsoDist
// from a small molecule up to a 100 kDa protein, and formula parsing; the
// plug-in's fine structure and centroids.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "host/chem/formula.h"
#include "host/chem/isotope_distribution.h"
#include "ions/ion_formula.h"
#include "isotopes/fine_structure.h"
#include "isotopes/instrument_view.h"

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

// The plug-in's fine structure and its centroids at the instrument's resolving
// power: what the isotope-fit score computes for every candidate.
void BM_FineStructure(benchmark::State& state, const char* text, int charge) {
    ionsift::ElementCounts counts;
    ionsift::ParseElementCounts(text, counts);
    std::vector<ionsift::IsotopeLine> lines;
    std::string problem;
    for (auto _ : state) {
        if (!ionsift::FineStructure(counts, charge, lines, problem)) state.SkipWithError(problem.c_str());
        benchmark::DoNotOptimize(lines.data());
    }
    state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK_CAPTURE(BM_FineStructure, C60, "C60", 0);
BENCHMARK_CAPTURE(BM_FineStructure, peptide_1kDa, "C50H71N13O12S", 1);
BENCHMARK_CAPTURE(BM_FineStructure, vancomycin, "C66H75Cl2N9O24", 0);
BENCHMARK_CAPTURE(BM_FineStructure, insulin, "C257H383N65O77S6", 0)->Unit(benchmark::kMillisecond);
// Many atoms of a many-isotope element: the costliest formulas per atom.
BENCHMARK_CAPTURE(BM_FineStructure, tin_4, "C24H36Sn4", 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FineStructure, tin_10, "Sn10", 0)->Unit(benchmark::kMillisecond);

void BM_FineStructureAndCentroids(benchmark::State& state, const char* text, int charge) {
    ionsift::ElementCounts counts;
    ionsift::ParseElementCounts(text, counts);
    const double resolvingPower = static_cast<double>(state.range(0));
    std::vector<ionsift::IsotopeLine> lines;
    std::string problem;
    std::size_t centroids = 0;
    for (auto _ : state) {
        if (!ionsift::FineStructure(counts, charge, lines, problem)) state.SkipWithError(problem.c_str());
        const std::vector<ionsift::ProfilePoint> view = ionsift::Centroids(lines, resolvingPower);
        centroids = view.size();
        benchmark::DoNotOptimize(view.data());
    }
    state.counters["lines"] = static_cast<double>(lines.size());
    state.counters["centroids"] = static_cast<double>(centroids);
}
BENCHMARK_CAPTURE(BM_FineStructureAndCentroids, C60, "C60", 0)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FineStructureAndCentroids, peptide_1kDa, "C50H71N13O12S", 1)
    ->Arg(30000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FineStructureAndCentroids, vancomycin, "C66H75Cl2N9O24", 0)
    ->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FineStructureAndCentroids, insulin, "C257H383N65O77S6", 0)
    ->Arg(30000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Profile(benchmark::State& state) {
    ionsift::ElementCounts counts;
    ionsift::ParseElementCounts("C50H71N13O12S", counts);
    std::vector<ionsift::IsotopeLine> lines;
    std::string problem;
    ionsift::FineStructure(counts, 1, lines, problem);
    std::size_t points = 0;
    for (auto _ : state) {
        const std::vector<ionsift::ProfilePoint> profile = ionsift::Profile(lines, 100000);
        points = profile.size();
        benchmark::DoNotOptimize(profile.data());
    }
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_Profile)->Unit(benchmark::kMicrosecond);

}  // namespace
