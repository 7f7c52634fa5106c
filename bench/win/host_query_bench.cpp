// The stand-in host's answer to the plug-in's mass-window query with a
// maximum of 200 rows, on a large database, under Wine: the SQL exactly as
// the plug-in builds it, served by the host's own command interpreter (the
// SQLite query through the index on MassMI and the answer text).
//
//   host_query_bench <database file> [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/app/ansi_text_win.h"
#include "host/app/command_table.h"
#include "search/mass_window.h"

namespace {

using namespace ionsift;

// Nothing but databases is asked of the host here.
class QueryOnlyServices final : public host::HostServices {
public:
    int ShowMessageBox(const std::string&, const std::string&, unsigned) override { return 0; }
    std::string Language() const override { return "english"; }
    void SetBusy(bool) override {}
    bool CopyText(const std::string&, std::string& problem) override { return (problem = "none"), false; }
    void ShowMolecule(const host::WorkspaceMolecule&) override {}
    std::string DatabaseFileName(const std::string& path) const override { return host::AnsiToUtf8(path); }
};

// Masses across the synthetic distribution; 100 ppm holds more than 200
// molecules at each in a database of millions.
constexpr double kMasses[] = {180.0634, 250.1, 300.2, 400.2, 550.3, 800.4, 1200.5};
constexpr double kPpm = 100;
constexpr int kMaxRows = 200;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: host_query_bench <database file> [runs]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    QueryOnlyServices services;
    host::CommandInterpreter host(services);
    const host::CommandResult opened = host.Execute(std::string("DbOpen \"") + argv[1] + "\"");
    if (opened.error != 0) {
        std::fprintf(stderr, "host_query_bench: DbOpen: %s\n", opened.answer.c_str());
        return 1;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    auto timed = [&](const std::string& command, host::CommandResult& result) {
        QueryPerformanceCounter(&start);
        result = host.Execute(command);
        QueryPerformanceCounter(&end);
        return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    };
    std::vector<double> all;
    for (const double mass : kMasses) {
        const MassWindow window = MassWindowAround(mass, MassTolerance(mass, kPpm));
        const std::string command = "DbSqlExec " + opened.answer + " \"" + MassWindowSql(window, kMaxRows) + "\"";
        host::CommandResult result;
        const double first = timed(command, result);
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) times.push_back(timed(command, result));
        if (result.error != 0) {
            std::fprintf(stderr, "host_query_bench: %s\n", result.answer.c_str());
            return 1;
        }
        const long rows = static_cast<long>(std::count(result.answer.begin(), result.answer.end(), '\n'));
        std::printf("mass %9.4f, %ld rows: first %.3f ms, median of %d %.3f ms\n", mass, rows, first, runs,
                    Median(times));
        all.insert(all.end(), times.begin(), times.end());
    }
    std::printf("200-row mass-window query: median %.3f ms, slowest %.3f ms over %zu queries\n", Median(all),
                *std::max_element(all.begin(), all.end()), all.size());
    return 0;
}
