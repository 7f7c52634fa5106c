// The stand-in host's command-line splitting on long pasted lines full of
// ambiguous quotes: its cost must grow with the line, not its square.
#include <benchmark/benchmark.h>

#include <string>

#include "host/app/command_line.h"

namespace {

void BM_ParseAmbiguousCommandLine(benchmark::State& state) {
    std::string line = "CopyText ";
    for (std::int64_t i = 0; i < state.range(0); ++i) line += "\" x\"y ";
    for (auto _ : state) {
        benchmark::DoNotOptimize(ionsift::host::ParseCommandLine(line));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(line.size()));
}
BENCHMARK(BM_ParseAmbiguousCommandLine)->Arg(10000)->Arg(40000)->Arg(200000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
