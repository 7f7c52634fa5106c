// Ranking by isotope fit in the real Ionsift.dll under Wine, served by the
// stand-in host's own command interpreter from a large database: an [M+Na]+
// search for the maximum number of rows, then "Rank by isotope fit" against
// three measured peaks, timed from the command to the painted list. The
// host's share is the time spent serving the IsoDist commands.
//
//   rank_win_bench <host folder> <database name> [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/win/tool_window_bench.h"
#include "resources/dlg_main_ids.h"

namespace {

using namespace ionsift::bench;
using namespace ionsift::dlg_main;

constexpr int kSodiumEntry = 4;  // [M+Na]+ in CB_Ion, after M, [M]+, [M+H]+, [M+NH4]+
// The densest part of the synthetic masses, as [M+Na]+, wide enough that the
// maximum limits the rows; and a measured pattern near there.
constexpr const char* kMz = "423.2";
constexpr const char* kPpm = "40000";
constexpr const char* kPeaks = "423.2 100\n424.2 22\n425.2 4\n";

// The ion, the mass window and the measured peaks every ranking starts from.
void SetUpRanking(const ToolWindowBench& window) {
    window.Pick(CB_Ion, kSodiumEntry);
    window.SetText(STR_Mass, kMz);
    window.SetText(STR_Ppm, kPpm);
    window.SetText(ME_ExData, kPeaks);
    SendMessageA(window.Item(BT_ExUpdate), BM_CLICK, 0, 0);
}

// Searches for `maximum` rows, then ranks them `runs` times; the median
// and largest total, the host's median share, and the IsoDist commands.
void Rank(ToolWindowBench& window, int maximum, int runs) {
    window.SetText(STR_MaxResults, std::to_string(maximum));
    SendMessageA(window.Item(BT_Search), BM_CLICK, 0, 0);
    const int rows = window.RowCount();
    const auto& commandsSent = window.Host().Recording().Commands();
    std::vector<double> totals, hosts;
    std::size_t commands = 0;
    for (int run = 0; run < runs; ++run) {
        window.Settle();
        window.Host().ResetCommandTime();
        const std::size_t before = commandsSent.size();
        const LONGLONG start = window.Ticks();
        SendMessageA(window.Main(), WM_COMMAND, MAKEWPARAM(PM_ResRank, 0), 0);
        window.PaintNow();
        totals.push_back(1000 * window.Seconds(window.Ticks() - start));
        hosts.push_back(window.Host().CommandSeconds() * 1000);
        commands = 0;
        for (std::size_t i = before; i < commandsSent.size(); ++i) {
            commands += commandsSent[i].rfind("IsoDist ", 0) == 0;
        }
    }
    std::printf("%7d %9zu %10.2f %9.2f %12.2f   %s\n", rows, commands, Median(totals),
                *std::max_element(totals.begin(), totals.end()), Median(hosts),
                window.FirstRow(5).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    BenchArguments arguments;
    if (!ReadArguments(argc, argv, "rank_win_bench", 10, arguments)) return 2;

    ToolWindowBench window(arguments.folder, arguments.database, "rank-bench.ini");
    std::string problem;
    if (!window.Start(problem)) {
        std::fprintf(stderr, "rank_win_bench: %s\n", problem.c_str());
        return 1;
    }
    SetUpRanking(window);
    std::printf("Rank by isotope fit under Wine, [M+Na]+ at %s +- %s ppm, database %s (ms)\n", kMz,
                kPpm, argv[2]);
    std::printf("%7s %9s %10s %9s %12s   %s\n", "rows", "IsoDist", "median", "max", "host median",
                "first row after ranking");
    Rank(window, 200, arguments.runs);
    Rank(window, 20000, std::max(1, arguments.runs / 3));
    return 0;
}
