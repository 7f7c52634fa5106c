// The chart's axes and plot area: tick steps of 1, 2 or 5 times a power of
// ten, tick labels with the user's decimal separator, and where the title,
// the plot (back wall) and the labels go for a given size and font.
#pragma once

#include <string>
#include <vector>

#include "chart/chart_model.h"

namespace ionsift {

// The smallest step of the form 1, 2 or 5 x 10^k that is at least `minimum`
// (> 0): 0.3 -> 0.5, 7 -> 10, 20 -> 20.
double NiceTickStep(double minimum);

struct AxisTicks {
    double step = 0;
    std::vector<double> values;       // the multiples of step within the range, ascending
    std::vector<std::string> labels;  // one per value
};

// The multiples of `step` within [range.min, range.max] and their labels.
AxisTicks TicksForStep(const AxisRange& range, double step, char separator);

// A tick label: as many decimals as the step needs (step 0.5 -> "2.5",
// step 20 -> "140"), the separator for ".", no "-0"; values beyond fixed-point
// reach in scientific notation.
std::string TickLabel(double value, double step, char separator);

// The font as drawn into the target, in the target's pixels.
struct ChartTextMetrics {
    int digitWidth;  // the widest digit
    int lineHeight;  // one line of text
};

struct ChartLayout {
    PixelRect title;  // the title's line; empty (all 0) when the title is hidden
    PixelRect plot;   // the back wall; its left and bottom edges are the axes
    AxisTicks left;
    AxisTicks bottom;
    int tickLength;   // ticks point outwards from the axes
    int labelGap;     // between a tick's end and its label
};

// Places everything for a target of width x height pixels. `scale` is the
// target's size relative to the chart on screen (1 on screen, larger on a
// printer page): margins and tick lengths grow with it, the text metrics
// are already those of the target. Ticks are as dense as their labels allow
// without touching each other.
ChartLayout LayoutChart(const ChartView& view, int width, int height, const ChartTextMetrics& text,
                        bool titleVisible, double scale, char separator);

}  // namespace ionsift
