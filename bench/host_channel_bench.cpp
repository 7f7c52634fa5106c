// The plug-in's side of a host command: formatting into the command buffer
// and reading numbers back from answers. The host's own work is not measured.
#include <benchmark/benchmark.h>

#include <string>

#include "shell/host_context.h"
#include "shell/host_link.h"
#include "shell/host_numbers.h"

namespace {

int g_error = 0;
int IONSIFT_CDECL SwallowCommand(const char* command) {
    benchmark::DoNotOptimize(command);
    return 0;
}

ionsift::HostContext MakeHost() {
    ionsift::HostContext host{};
    host.errorCode = &g_error;
    host.resultText = "";
    host.command = &SwallowCommand;
    return host;
}

void BM_SendQueryCommand(benchmark::State& state) {
    static ionsift::HostContext host = MakeHost();
    ionsift::SetHostContext(&host);
    const std::string lower = ionsift::FormatFixed(499.999, 6);
    const std::string upper = ionsift::FormatFixed(500.001, 6);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ionsift::SendCommand(
            "DbSqlExec %s \"SELECT ID, MassMI, Formula, Name FROM Molecules WHERE (MassMI > %s) "
            "AND (MassMI < %s) ORDER BY MassMI ASC LIMIT %d\"",
            "h1", lower.c_str(), upper.c_str(), 200));
    }
    ionsift::ReleaseCommandBuffer();
    ionsift::SetHostContext(nullptr);
}
BENCHMARK(BM_SendQueryCommand);

void BM_SendLargeCommand(benchmark::State& state) {
    static ionsift::HostContext host = MakeHost();
    ionsift::SetHostContext(&host);
    const std::string text(static_cast<std::size_t>(state.range(0)), 'x');
    for (auto _ : state) benchmark::DoNotOptimize(ionsift::SendCommand("CopyText \"%s\"", text.c_str()));
    state.SetBytesProcessed(state.iterations() * state.range(0));
    ionsift::ReleaseCommandBuffer();
    ionsift::SetHostContext(nullptr);
}
BENCHMARK(BM_SendLargeCommand)->Arg(1 << 10)->Arg(1 << 20);

void BM_FormatFixed(benchmark::State& state) {
    double value = 180.063388;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ionsift::FormatFixed(value, 6));
        value += 1e-6;
    }
}
BENCHMARK(BM_FormatFixed);

void BM_ReadHostReal(benchmark::State& state) {
    const char* field = "180.063388;C6H12O6;glucose\n";
    for (auto _ : state) benchmark::DoNotOptimize(ionsift::ReadHostReal(field));
}
BENCHMARK(BM_ReadHostReal);

}  // namespace
