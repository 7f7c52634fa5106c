// The isotope chart control's redraw under Wine: a chart of its size on the
// main tool window holding a computed and an experimental series of many
// sticks each, redrawn (InvalidateRect + UpdateWindow) again and again. Also
// the readout's mapping lookup and a copy to the clipboard.
//
//   chart_redraw_bench [sticks per series] [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "ui/chart_control/chart_window_win.h"

namespace {

using namespace ionsift;

constexpr int kChartWidth = 289;
constexpr int kChartHeight = 225;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A stick series as the peak series lays it out: lead point, then foot and
// top in black and a foot in the series colour. Masses 0.1 apart from 100,
// abundances varying, a shade shifted for the second series.
void FillSticks(ChartSeries& series, int sticks, double shift) {
    series.Reserve(static_cast<std::size_t>(1 + 3 * sticks));
    unsigned seed = 12345u + static_cast<unsigned>(shift * 1000);
    for (int i = 0; i < sticks; ++i) {
        const double mass = 100 + 0.1 * i + shift;
        seed = seed * 1103515245u + 12345u;
        const double abundance = 1 + (seed >> 16) % 10000 / 100.0;
        if (i == 0) series.Add(mass - 1, 0, 0);
        series.Add(mass, 0, 0);
        series.Add(mass, abundance, 0);
        series.Add(mass, 0, series.Colour());
    }
}

double Seconds(const LARGE_INTEGER& frequency, const std::function<void()>& action) {
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    action();
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

void Report(const char* action, const std::vector<double>& seconds) {
    std::printf("%-34s %9.2f %9.2f %9.2f\n", action, 1000 * Median(seconds),
                1000 * *std::min_element(seconds.begin(), seconds.end()),
                1000 * *std::max_element(seconds.begin(), seconds.end()));
}

}  // namespace

int main(int argc, char** argv) {
    const int sticks = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 20;
    if (sticks < 1 || runs < 1) {
        std::fprintf(stderr, "usage: chart_redraw_bench [sticks per series] [runs]\n");
        return 2;
    }
    const HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSA parentClass{};
    parentClass.lpfnWndProc = DefWindowProcA;
    parentClass.hInstance = module;
    parentClass.lpszClassName = "ChartBenchParent";
    if (!RegisterClassA(&parentClass) || !RegisterChartClass(module)) {
        std::fprintf(stderr, "chart_redraw_bench: cannot register the window classes\n");
        return 1;
    }
    const HWND parent = CreateWindowExA(0, "ChartBenchParent", "Chart bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                        50, 50, 400, 320, nullptr, nullptr, module, nullptr);
    const HWND chart = parent ? CreateWindowExA(0, kChartClass, "", WS_CHILD | WS_VISIBLE, 8, 16, kChartWidth,
                                                kChartHeight, parent, nullptr, module, nullptr)
                              : nullptr;
    ChartModel* model = ChartModelOf(chart);
    if (!model) {
        std::fprintf(stderr, "chart_redraw_bench: cannot create the chart\n");
        return 1;
    }
    FillSticks(*model->AddSeries(std::make_unique<ChartSeries>(RGB(255, 0, 0))), sticks, 0);
    FillSticks(*model->AddSeries(std::make_unique<ChartSeries>(RGB(0, 0, 255))), sticks, 0.03);
    ChartSetTitle(chart, "Rms = 7.08", true);
    UpdateWindow(chart);  // the first paint, outside the measurements

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> redraw;
    std::vector<double> zoomed;
    std::vector<double> mapping;
    for (int run = 0; run < runs; ++run) {
        redraw.push_back(Seconds(frequency, [chart] {
            InvalidateRect(chart, nullptr, FALSE);
            UpdateWindow(chart);
        }));
    }
    model->SetView(model->ZoomPercentView(125));
    for (int run = 0; run < runs; ++run) {
        zoomed.push_back(Seconds(frequency, [chart] {
            InvalidateRect(chart, nullptr, FALSE);
            UpdateWindow(chart);
        }));
    }
    for (int run = 0; run < runs; ++run) {
        mapping.push_back(Seconds(frequency, [chart] { ChartCurrentMapping(chart); }));
    }
    std::vector<double> copy{Seconds(frequency, [chart] { ChartCopyToClipboard(chart); })};

    std::printf("Isotope chart under Wine, %d x %d client, 2 series of %d sticks (%d points each), %d runs (ms)\n",
                kChartWidth, kChartHeight, sticks, 1 + 3 * sticks, runs);
    std::printf("%-34s %9s %9s %9s\n", "action", "median", "min", "max");
    Report("redraw, automatic ranges", redraw);
    Report("redraw, zoomed in (125 %)", zoomed);
    Report("ChartCurrentMapping", mapping);
    Report("copy chart to clipboard (once)", copy);
    DestroyWindow(parent);
    return 0;
}
