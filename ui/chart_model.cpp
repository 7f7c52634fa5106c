#include <algorithm>
#include <cmath>
#include <new>

#include "ui/chart_model.h"

namespace ionsift {
namespace {

constexpr double kPixelLimit = 1073741824.0;  // 2^30

// Whole pixels within +-2^30. NaN has no position: it goes to the far
// edge, where no pointer can be near it.
std::int64_t ClampedPixel(double value) {
    if (std::isnan(value)) return static_cast<std::int64_t>(kPixelLimit);
    return static_cast<std::int64_t>(std::clamp(std::round(value), -kPixelLimit, kPixelLimit));
}

// Pixels per unit for a span of values over a span of pixels; 0 when the
// value span cannot be drawn (empty, reversed or not finite).
double Scale(double pixels, double valueMin, double valueMax) {
    const double span = valueMax - valueMin;
    if (!(span > 0) || !std::isfinite(span)) return 0.0;
    return pixels / span;
}

}  // namespace

PixelPoint ChartMapping::Pixel(double x, double y) const {
    return {ClampedPixel(xOrigin + x * xScale), ClampedPixel(yOrigin + y * yScale)};
}

double ChartMapping::XValue(double pixelX) const { return (pixelX - xOrigin) / xScale; }

double ChartMapping::YValue(double pixelY) const { return (pixelY - yOrigin) / yScale; }

ChartMapping MapView(const ChartView& view, const PixelRect& plot) {
    ChartMapping mapping;
    mapping.xScale = Scale(plot.right - plot.left, view.bottom.min, view.bottom.max);
    mapping.xOrigin = plot.left - view.bottom.min * mapping.xScale;
    // Pixel y grows downwards: the range's minimum sits on the plot's bottom.
    mapping.yScale = -Scale(plot.bottom - plot.top, view.left.min, view.left.max);
    mapping.yOrigin = plot.bottom - view.left.min * mapping.yScale;
    return mapping;
}

ChartSeries* ChartModel::AddSeries(std::unique_ptr<ChartSeries> series) {
    if (!series) return nullptr;
    try {
        series_.push_back(std::move(series));
    } catch (const std::bad_alloc&) {
        return nullptr;  // the series is destroyed with the argument
    }
    return series_.back().get();
}

bool ChartModel::RemoveSeries(const ChartSeries* series) {
    const auto found = std::find_if(series_.begin(), series_.end(),
                                    [series](const auto& held) { return held.get() == series; });
    if (found == series_.end()) return false;
    series_.erase(found);
    return true;
}

void ChartModel::SetTitle(std::string text, bool visible) {
    title_ = std::move(text);
    titleVisible_ = visible;
}

}  // namespace ionsift
