#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "chart/chart_model.h"

namespace ionsift {
namespace {

constexpr double kPixelLimit = 1073741824.0;  // 2^30
constexpr AxisRange kEmptyRange{0, 1};

// A range that can be drawn: finite, with a finite, positive width.
bool Drawable(const AxisRange& range) {
    return std::isfinite(range.min) && std::isfinite(range.max) && range.max > range.min &&
           std::isfinite(range.max - range.min);
}

// A single value v becomes v +- max(1, |v| / 2): wide enough for the axis
// to label it, whatever its magnitude.
AxisRange Widened(double value) {
    const double half = std::max(1.0, std::fabs(value) * 0.5);
    return {value - half, value + half};
}

struct Extent {
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();

    void Take(double value) {
        min = std::min(min, value);
        max = std::max(max, value);
    }
    AxisRange Range() const {
        if (min > max) return kEmptyRange;
        if (min == max) return Widened(min);
        return {min, max};
    }
};

// One axis of ZoomPercentView: a result that is no longer drawable (a span
// zoomed below the doubles' resolution, or widened beyond their range)
// keeps the current range.
AxisRange ZoomPercentRange(const AxisRange& range, double percent) {
    const double delta = (range.max - range.min) * (percent - 100) * 0.01;
    const AxisRange zoomed{range.min + delta, range.max - delta};
    return Drawable(zoomed) ? zoomed : range;
}

double ClampPixel(double value) {
    if (!(value >= -kPixelLimit)) return -kPixelLimit;  // NaN lands here too
    if (value > kPixelLimit) return kPixelLimit;
    return value;
}

// The range MapView maps: an undrawable one is replaced so that the scale is
// always finite and non-zero.
AxisRange MappedRange(const AxisRange& range) {
    if (Drawable(range)) return range;
    if (std::isfinite(range.min)) return Widened(range.min);
    return kEmptyRange;
}

}  // namespace

PixelPoint ChartMapping::Pixel(double x, double y) const {
    return {std::llround(ClampPixel(xOrigin + x * xScale)), std::llround(ClampPixel(yOrigin + y * yScale))};
}

double ChartMapping::XValue(double pixelX) const { return (pixelX - xOrigin) / xScale; }

double ChartMapping::YValue(double pixelY) const { return (pixelY - yOrigin) / yScale; }

ChartMapping MapView(const ChartView& view, const PixelRect& plot) {
    const AxisRange bottom = MappedRange(view.bottom);
    const AxisRange left = MappedRange(view.left);
    // A plot of no extent still gets a scale, so that the inverse exists.
    const double width = std::max(1, plot.right - plot.left);
    const double height = std::max(1, plot.bottom - plot.top);
    ChartMapping mapping;
    mapping.xScale = width / (bottom.max - bottom.min);
    mapping.xOrigin = plot.left - bottom.min * mapping.xScale;
    mapping.yScale = -height / (left.max - left.min);
    mapping.yOrigin = plot.bottom - left.min * mapping.yScale;
    return mapping;
}

ChartSeries* ChartModel::AddSeries(std::unique_ptr<ChartSeries> series) {
    if (!series) return nullptr;
    try {
        series_.push_back(std::move(series));
    } catch (const std::bad_alloc&) {
        return nullptr;  // the argument still owns it and destroys it
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

ChartView ChartModel::AutoView() const {
    Extent x;
    Extent y;
    for (const auto& series : series_) {
        for (const ChartPoint& point : series->Points()) {
            // A point that cannot be drawn does not stretch either axis.
            if (!std::isfinite(point.x) || !std::isfinite(point.y)) continue;
            x.Take(point.x);
            y.Take(point.y);
        }
    }
    return {x.Range(), y.Range()};
}

ChartView ChartModel::View() const { return zoomed_ ? zoomView_ : AutoView(); }

void ChartModel::SetView(const ChartView& view) {
    zoomView_ = view;
    zoomed_ = true;
}

ChartView ChartModel::ZoomPercentView(double percent) const {
    const ChartView current = View();
    return {ZoomPercentRange(current.bottom, percent), ZoomPercentRange(current.left, percent)};
}

}  // namespace ionsift
