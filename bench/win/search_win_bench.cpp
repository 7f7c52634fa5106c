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
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "resources/dlg_main_ids.h"
#include "tests/win/stand_in_host_win.h"
#include "tests/win/user_locale.h"

namespace {

using namespace ionsift;
using namespace ionsift::dlg_main;
using ionsift::wintest::StandInHost;

constexpr int kMainWindowRequest = 101;

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

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

class SearchBench {
public:
    SearchBench(const std::string& hostFolder, std::string database)
        : folder_(hostFolder), database_(std::move(database)) {
        QueryPerformanceFrequency(&frequency_);
        separator_ = wintest::UserLocaleSeparator();
    }
    ~SearchBench() {
        if (started_) plugin_.Free();
        if (appWindow_) DestroyWindow(appWindow_);
    }

    bool Start(std::string& problem) {
        if (!plugin_.Loaded()) return (problem = "cannot load Ionsift.dll"), false;
        appWindow_ = wintest::CreateHostAppWindow();
        HostContext& context = host_.Context();
        context.appWindow = appWindow_;
        std::snprintf(context.hostDirectory, sizeof context.hostDirectory, "%s", folder_.c_str());
        std::snprintf(context.settingsPath, sizeof context.settingsPath, "%ssearch-bench.ini",
                      folder_.c_str());
        DeleteFileA(context.settingsPath);  // the defaults every run
        plugin_.Init(context);
        started_ = true;
        if (plugin_.Call(kMainWindowRequest) != 1 || host_.Recording().OpenedWindows().empty()) {
            return (problem = "the tool window did not open"), false;
        }
        main_ = host_.Recording().OpenedWindows().back();
        list_ = wintest::FindControl(main_, LV_Results);
        HWND selector = Item(CB_Database);
        const LRESULT index = SendMessageA(selector, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(database_.c_str()));
        if (index <= 0) return (problem = database_ + " is not in the database list"), false;
        SendMessageA(selector, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(GetParent(selector), WM_COMMAND, MAKEWPARAM(CB_Database, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(selector));
        if (host_.Databases().OpenCount() != 1) return (problem = "the host did not open " + database_), false;
        return true;
    }

    Line Search(const SearchCase& search, int runs) {
        SetText(STR_Mass, search.mass);
        SetText(STR_Ppm, search.ppm);
        SetText(STR_MaxResults, std::to_string(search.maximum));
        Line line;
        line.action = "search, maximum " + std::to_string(search.maximum);
        HWND button = Item(BT_Search);
        if (!IsWindowEnabled(button)) {
            std::fprintf(stderr, "search_win_bench: Search is disabled\n");
            return line;
        }
        for (int run = 0; run < runs; ++run) {
            line.samples.push_back(Time([button] { SendMessageA(button, BM_CLICK, 0, 0); }));
        }
        line.rows = RowCount();
        return line;
    }

    Line Sort(int column, const char* name, int runs) {
        Line line;
        line.action = std::string("sort by ") + name;
        for (int run = 0; run < runs; ++run) {
            NMLISTVIEW click{};
            click.hdr.hwndFrom = list_;
            click.hdr.idFrom = LV_Results;
            click.hdr.code = LVN_COLUMNCLICK;
            click.iItem = -1;
            click.iSubItem = column;
            // The list's parent is the results panel, which hands it to the form.
            HWND parent = GetParent(list_);
            line.samples.push_back(Time([&] {
                SendMessageA(parent, WM_NOTIFY, LV_Results, reinterpret_cast<LPARAM>(&click));
            }));
        }
        line.rows = RowCount();
        return line;
    }

    // The first row's cells, to show that the list holds what the host answered.
    std::string FirstRow() const {
        std::string row;
        for (int column = 0; column < 3; ++column) {
            char text[256] = {};
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list_, LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&item));
            row += (column ? " | " : "") + std::string(text);
        }
        return row;
    }

private:
    HWND Item(int id) const { return wintest::FindControl(main_, id); }
    int RowCount() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }
    void SetText(int id, std::string text) const {
        std::replace(text.begin(), text.end(), '.', separator_);
        SetWindowTextA(Item(id), text.c_str());
    }
    static void Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    double Seconds(LONGLONG ticks) const {
        return static_cast<double>(ticks) / static_cast<double>(frequency_.QuadPart);
    }
    // The action and the painting it caused, everything else settled before.
    Sample Time(const std::function<void()>& action) {
        Pump();
        RedrawWindow(main_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        host_.ResetCommandTime();
        LARGE_INTEGER start, acted, end;
        QueryPerformanceCounter(&start);
        action();
        QueryPerformanceCounter(&acted);
        RedrawWindow(main_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        QueryPerformanceCounter(&end);
        return {Seconds(end.QuadPart - start.QuadPart), host_.CommandSeconds(),
                Seconds(end.QuadPart - acted.QuadPart)};
    }

    StandInHost host_;
    wintest::Plugin plugin_;
    std::string folder_;
    std::string database_;
    LARGE_INTEGER frequency_{};
    char separator_ = '.';
    bool started_ = false;
    HWND appWindow_ = nullptr;
    HWND main_ = nullptr;
    HWND list_ = nullptr;
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: search_win_bench <host folder> <database name> [runs]\n");
        return 2;
    }
    std::string folder = argv[1];
    if (folder.back() != '\\') folder += '\\';
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20;

    SearchBench bench(folder, argv[2]);
    std::string problem;
    if (!bench.Start(problem)) {
        std::fprintf(stderr, "search_win_bench: %s\n", problem.c_str());
        return 1;
    }
    std::vector<Line> lines;
    for (const SearchCase& search : kSearches) {
        lines.push_back(bench.Search(search, runs));
        if (search.mass != kSearches[0].mass && lines.back().rows < search.maximum) {
            std::fprintf(stderr, "search_win_bench: %d rows for a maximum of %d\n",
                         lines.back().rows, search.maximum);
        }
    }
    const std::string firstRow = bench.FirstRow();
    const char* columns[] = {"Mass", "Formula", "Name"};
    for (int column = 0; column < 3; ++column) lines.push_back(bench.Sort(column, columns[column], runs));

    std::printf("Search and results list under Wine, database %s, %d runs each (ms; plug-in = "
                "total - host; paint: of the total, after the action returned)\n", argv[2], runs);
    std::printf("first row of the last search: %s\n", firstRow.c_str());
    std::printf("%-24s %7s %10s %9s %13s %17s %15s %14s\n", "action", "rows", "median", "max",
                "host median", "plug-in median", "plug-in max", "paint median");
    for (const Line& line : lines) Print(line);
    return 0;
}
