#include <algorithm>
#include <charconv>
#include <cmath>

#include "chart/chart_axes.h"

namespace ionsift {
namespace {

// More ticks than this on one axis means the range cannot be labelled
// sensibly; the axis then goes without ticks.
constexpr double kMostTicks = 1000;

int Scaled(int pixels, double scale) {
    return std::max(1, static_cast<int>(std::lround(pixels * scale)));
}

std::size_t WidestLabel(const AxisTicks& ticks) {
    std::size_t widest = 0;
    for (const std::string& label : ticks.labels) widest = std::max(widest, label.size());
    return widest;
}

// The densest ticks whose labels keep apart along an axis of `length`
// pixels: on the left axis a line and a half per tick, on the bottom one
// the widest label and two digits.
AxisTicks ChooseTicks(const AxisRange& range, int length, bool vertical, const ChartTextMetrics& text,
                      char separator) {
    const double span = range.max - range.min;
    if (!(span > 0) || !std::isfinite(span)) return {};
    const double pixels = std::max(1, length);
    const double firstGuess = vertical ? 2.0 * text.lineHeight : 6.0 * text.digitWidth;
    double step = NiceTickStep(span * std::max(1.0, firstGuess) / pixels);
    for (int attempt = 0; attempt < 64 && std::isfinite(step); ++attempt) {
        AxisTicks ticks = TicksForStep(range, step, separator);
        const double needed = vertical ? 1.5 * text.lineHeight
                                       : (static_cast<double>(WidestLabel(ticks)) + 2) * text.digitWidth;
        if (!ticks.values.empty() && step * pixels / span >= needed) return ticks;
        step = NiceTickStep(step * 1.5);  // the next of 1, 2, 5, 10
    }
    return {};
}

int LabelWidth(const AxisTicks& ticks, const ChartTextMetrics& text) {
    return static_cast<int>(WidestLabel(ticks)) * text.digitWidth;
}

}  // namespace

double NiceTickStep(double minimum) {
    if (!(minimum > 0) || !std::isfinite(minimum)) return minimum;
    const double base = std::pow(10.0, std::floor(std::log10(minimum)));
    for (const double multiple : {1.0, 2.0, 5.0, 10.0}) {
        // log10 and pow may miss by an ulp; a step a hair short still counts.
        if (multiple * base >= minimum * (1 - 1e-12)) return multiple * base;
    }
    return 10 * base;
}

AxisTicks TicksForStep(const AxisRange& range, double step, char separator) {
    AxisTicks ticks;
    if (!(step > 0) || !std::isfinite(step) || !(range.max >= range.min)) return ticks;
    // The tolerance keeps a tick that lies on an end of the range but misses
    // it by a rounding error.
    const double first = std::ceil(range.min / step - 1e-9);
    const double last = std::floor(range.max / step + 1e-9);
    if (!std::isfinite(first) || !std::isfinite(last) || last - first > kMostTicks) return ticks;
    ticks.step = step;
    // Counted, not stepped through `index`: beyond 2^53 adding 1 no longer
    // changes a double, and such a loop would never end.
    const int count = static_cast<int>(last - first);
    for (int k = 0; k <= count; ++k) {
        double value = (first + k) * step;
        if (std::fabs(value) < step * 1e-9) value = 0;
        if (!ticks.values.empty() && value <= ticks.values.back()) continue;  // rounded together
        ticks.values.push_back(value);
        ticks.labels.push_back(TickLabel(value, step, separator));
    }
    return ticks;
}

std::string TickLabel(double value, double step, char separator) {
    if (value == 0) value = 0;  // no "-0"
    char buffer[64];
    std::to_chars_result result{};
    const int decimals =
        step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    if (decimals <= 15 && std::fabs(value) < 1e15) {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    } else {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    }
    std::string label(buffer, result.ec == std::errc() ? result.ptr : buffer);
    std::replace(label.begin(), label.end(), '.', separator);
    return label;
}

ChartLayout LayoutChart(const ChartView& view, int width, int height, const ChartTextMetrics& text,
                        bool titleVisible, double scale, char separator) {
    ChartLayout layout{};
    const int margin = Scaled(6, scale);
    layout.tickLength = Scaled(4, scale);
    layout.labelGap = Scaled(2, scale);

    int top = margin;
    if (titleVisible) {
        layout.title = {0, margin, width, margin + text.lineHeight};
        top = layout.title.bottom + Scaled(4, scale);
    }
    // The top tick's label is centred on the top edge: half a line above it.
    top = std::max(top, text.lineHeight / 2 + Scaled(1, scale));
    const int bottom = std::max(top + 1, height - margin - text.lineHeight - layout.labelGap - layout.tickLength);
    layout.left = ChooseTicks(view.left, bottom - top, true, text, separator);

    const int left = margin + LabelWidth(layout.left, text) + layout.labelGap + layout.tickLength;
    // The last bottom label is centred on its tick: room for its half, found
    // by a second pass when the margin is too narrow for it.
    int right = std::max(left + 1, width - margin);
    layout.bottom = ChooseTicks(view.bottom, right - left, false, text, separator);
    const int halfLabel = LabelWidth(layout.bottom, text) / 2 + Scaled(1, scale);
    if (halfLabel > width - right) {
        right = std::max(left + 1, width - halfLabel);
        layout.bottom = ChooseTicks(view.bottom, right - left, false, text, separator);
    }
    layout.plot = {left, top, right, bottom};
    return layout;
}

}  // namespace ionsift
