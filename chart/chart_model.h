// The isotope chart's portable model: series of (x, y, colour) points, the
// one-line title, the visible ranges with zoom and undo, and the mapping of
// values to pixels. The window (ui/chart_control/chart_window_win.h) draws what it holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ionsift {

// A colour as GDI's COLORREF holds it: 0x00BBGGRR.
using ChartColour = std::uint32_t;
constexpr ChartColour ChartRgb(unsigned red, unsigned green, unsigned blue) {
    return red | (green << 8) | (blue << 16);
}

struct ChartPoint {
    double x;
    double y;
    ChartColour colour;  // the segment that ends at this point is drawn in it
};

// A line series: points joined by straight segments in point order. The
// points stay sorted by x, and a point whose x equals that of points already
// held goes after them. Adding is amortised O(1): points are appended, and
// the first read after an out-of-order append sorts them once, stably
// (O(n log n)), so input in any order costs no more than a sort.
class ChartSeries {
public:
    explicit ChartSeries(ChartColour colour) : colour_(colour) {}

    ChartColour Colour() const { return colour_; }
    void Add(double x, double y, ChartColour colour);
    void Reserve(std::size_t count) { points_.reserve(count); }
    std::size_t Count() const { return points_.size(); }
    // The points in order of ascending x.
    const std::vector<ChartPoint>& Points() const;

private:
    ChartColour colour_;
    mutable std::vector<ChartPoint> points_;
    mutable bool sorted_ = true;
};

struct AxisRange {
    double min;
    double max;
};

// What the plot shows: the bottom (x) and left (y) axes' ranges.
struct ChartView {
    AxisRange bottom;
    AxisRange left;
};

struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
};

// A point's position in the chart's client area, in whole pixels. Each
// coordinate is clamped to +-2^30, so that the squared distance from any
// pointer position (16-bit coordinates) stays within 64 bits, however far a
// point lies outside the visible area.
struct PixelPoint {
    std::int64_t x;
    std::int64_t y;
};

// The linear value-to-pixel mapping of one view onto one plot rectangle:
// x grows to the right, y upwards (pixel y grows downwards).
struct ChartMapping {
    double xOrigin = 0;  // pixel x of value 0
    double xScale = 0;   // pixels per unit of x
    double yOrigin = 0;  // pixel y of value 0
    double yScale = 0;   // pixels per unit of y (negative: upwards)

    PixelPoint Pixel(double x, double y) const;
    double XValue(double pixelX) const;
    double YValue(double pixelY) const;
};

ChartMapping MapView(const ChartView& view, const PixelRect& plot);

// The chart's content. Series are owned and kept in the order attached.
class ChartModel {
public:
    // Attaches the series; returns it, or null when it could not be attached.
    ChartSeries* AddSeries(std::unique_ptr<ChartSeries> series);
    // Detaches and destroys the series; false when it is not attached.
    bool RemoveSeries(const ChartSeries* series);
    std::size_t SeriesCount() const { return series_.size(); }
    const ChartSeries& Series(std::size_t index) const { return *series_[index]; }

    // The one-line title; the window's text mirrors it while it is visible.
    const std::string& Title() const { return title_; }
    bool TitleVisible() const { return titleVisible_; }
    void SetTitle(std::string text, bool visible);

    // The ranges that fit every point of every series (a range of zero
    // width is widened so that it can be drawn).
    ChartView AutoView() const;
    // What is shown: the zoomed view, or the automatic one.
    ChartView View() const;
    bool Zoomed() const { return zoomed_; }
    void SetView(const ChartView& view);
    void UndoZoom() { zoomed_ = false; }
    // The view ZoomPercent(percent) leads to: on each axis, with [min, max]
    // the current range, delta = (max - min) * (percent - 100) * 0.01 and the
    // new range [min + delta, max - delta]. 125 halves every span, 25 widens
    // it to 2.5 times, 100 pins the current ranges.
    ChartView ZoomPercentView(double percent) const;

private:
    std::vector<std::unique_ptr<ChartSeries>> series_;
    std::string title_;
    bool titleVisible_ = false;
    ChartView zoomView_{};
    bool zoomed_ = false;
};

}  // namespace ionsift
