// The search and the results list of the real Ionsift.dll under Wine, served
// by the stand-in host's own command interpreter from a large database. Times
// from the Search click to the painted list, and sorting by each column; the
// host's share is the time spent serving the plug-in's commands.
//
//   search_win_bench <host folder> <database name> [runs]
//
// The host folder holds Data\Databases\<database name>.db.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/win/tool_window_bench.h"
#include "resources/dlg_main_ids.h"

namespace {

using namespace ionsift::bench;
using namespace ionsift::dlg_main;

// A search as the user sets it up: mass and tolerance with "." for the
// user's separator, and the maximum number of rows.
struct SearchCase {
    const char* mass;
    const char* ppm;
    int maximum;
};

// A window without molecules (the search's fixed cost), then windows around
// the densest part of the synthetic masses, wide enough that the maximum,
// not the window, limits the rows.
constexpr SearchCase kSearches[] = {
    {"3.5", "1", 200},
    {"400.2", "100", 200},
    {"400.2", "40000", 20000},
};

struct Sample {
    double total = 0;  // seconds
    double host = 0;
    double paint = 0;  // of the total: painting after the action returned
};

struct Line {
    std::string action;
    int rows = 0;
    std::vector<Sample> samples;
};

class SearchBench {
public:
    explicit SearchBench(ToolWindowBench& window) : window_(window) {}

    Line Search(const SearchCase& search, int runs) {
        window_.SetText(STR_Mass, search.mass);
        window_.SetText(STR_Ppm, search.ppm);
        window_.SetText(STR_MaxResults, std::to_string(search.maximum));
        Line line;
        line.action = "search, maximum " + std::to_string(search.maximum);
        HWND button = window_.Item(BT_Search);
        if (!IsWindowEnabled(button)) {
            std::fprintf(stderr, "search_win_bench: Search is disabled\n");
            return line;
        }
        for (int run = 0; run < runs; ++run) {
            line.samples.push_back(Time([button] { SendMessageA(button, BM_CLICK, 0, 0); }));
        }
        line.rows = window_.RowCount();
        return line;
    }

    Line Sort(int column, const char* name, int runs) {
        Line line;
        line.action = std::string("sort by ") + name;
        HWND list = window_.List();
        for (int run = 0; run < runs; ++run) {
            NMLISTVIEW click{};
            click.hdr.hwndFrom = list;
            click.hdr.idFrom = LV_Results;
            click.hdr.code = LVN_COLUMNCLICK;
            click.iItem = -1;
            click.iSubItem = column;
            // The list's parent is the results panel, which hands it to the form.
            HWND parent = GetParent(list);
            line.samples.push_back(Time([&] {
                SendMessageA(parent, WM_NOTIFY, LV_Results, reinterpret_cast<LPARAM>(&click));
            }));
        }
        line.rows = window_.RowCount();
        return line;
    }

private:
    // The action and the painting it caused, everything else settled before.
    Sample Time(const std::function<void()>& action) {
        window_.Settle();
        window_.Host().ResetCommandTime();
        const LONGLONG start = window_.Ticks();
        action();
        const LONGLONG acted = window_.Ticks();
        window_.PaintNow();
        const LONGLONG end = window_.Ticks();
        return {window_.Seconds(end - start), window_.Host().CommandSeconds(),
                window_.Seconds(end - acted)};
    }

    ToolWindowBench& window_;
};

void Print(const Line& line) {
    std::vector<double> totals, hosts, plugin, paint;
    for (const Sample& sample : line.samples) {
        totals.push_back(sample.total * 1000);
        paint.push_back(sample.paint * 1000);
        hosts.push_back(sample.host * 1000);
        plugin.push_back((sample.total - sample.host) * 1000);
    }
    if (totals.empty()) {
        std::printf("%-24s %7d   (not measured)\n", line.action.c_str(), line.rows);
        return;
    }
    std::printf("%-24s %7d %10.2f %9.2f %13.2f %17.2f %15.2f %14.2f\n", line.action.c_str(),
                line.rows, Median(totals), *std::max_element(totals.begin(), totals.end()),
                Median(hosts), Median(plugin), *std::max_element(plugin.begin(), plugin.end()),
                Median(paint));
}

// Ten ions at once, as the settings keep the set: one query per ion window
// of Max. results rows, the rows merged, the list painted.
bool SearchSeveralIons(const BenchArguments& arguments, int runs) {
    ToolWindowBench window(arguments.folder, arguments.database, "search-bench-ions.ini",
                           "[Ionsift]\r\nIONSET=[M+H]+;[M+NH4]+;[M+Na]+;[M+K]+;[M+H-H2O]+;"
                           "[M+ACN+H]+;[M+2H]2+;[2M+H]+;[M-H]-;[M+HCOO]-\r\n");
    std::string problem;
    if (!window.Start(problem)) {
        std::fprintf(stderr, "search_win_bench: %s\n", problem.c_str());
        return false;
    }
    SearchBench bench(window);
    Line line = bench.Search({"400.2", "100", 200}, runs);
    line.action = "10 ions, maximum 200";
    Print(line);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    BenchArguments arguments;
    if (!ReadArguments(argc, argv, "search_win_bench", 20, arguments)) return 2;
    const int runs = arguments.runs;

    {
        // The plain search's window is released before the ions' opens.
        ToolWindowBench window(arguments.folder, arguments.database, "search-bench.ini");
        std::string problem;
        if (!window.Start(problem)) {
            std::fprintf(stderr, "search_win_bench: %s\n", problem.c_str());
            return 1;
        }
        SearchBench bench(window);
        std::vector<Line> lines;
        for (const SearchCase& search : kSearches) {
            lines.push_back(bench.Search(search, runs));
            if (search.mass != kSearches[0].mass && lines.back().rows < search.maximum) {
                std::fprintf(stderr, "search_win_bench: %d rows for a maximum of %d\n",
                             lines.back().rows, search.maximum);
            }
        }
        const std::string firstRow = window.FirstRow(3);
        const char* columns[] = {"Mass", "Formula", "Name"};
        for (int column = 0; column < 3; ++column) lines.push_back(bench.Sort(column, columns[column], runs));

        std::printf("Search and results list under Wine, database %s, %d runs each (ms; plug-in = "
                    "total - host; paint: of the total, after the action returned)\n", argv[2], runs);
        std::printf("first row of the last search: %s\n", firstRow.c_str());
        std::printf("%-24s %7s %10s %9s %13s %17s %15s %14s\n", "action", "rows", "median", "max",
                    "host median", "plug-in median", "plug-in max", "paint median");
        for (const Line& line : lines) Print(line);
    }
    return SearchSeveralIons(arguments, runs) ? 0 : 1;
}
