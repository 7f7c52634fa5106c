#include <algorithm>
#include <cmath>

#include "chart/chart_strokes.h"

namespace ionsift {
namespace {

struct Vec {
    double x;
    double y;
};

constexpr unsigned kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8;  // sides a point lies beyond

unsigned OutsideOf(const Vec& p, const PixelRect& clip) {
    return (p.x < clip.left ? kLeft : 0u) | (p.x > clip.right ? kRight : 0u) | (p.y < clip.top ? kAbove : 0u) |
           (p.y > clip.bottom ? kBelow : 0u);
}

// Cohen-Sutherland: moves each end lying outside onto the edge the segment
// crosses. Each crossing is computed from the edge itself, so a horizontal
// or vertical segment keeps its exact coordinates however far its ends lie
// (-1e201 + 2e201 * 0.5 would not). False when the segment misses the
// rectangle; `startMoved` tells whether it enters from outside.
bool ClipSegment(Vec& a, Vec& b, const PixelRect& clip, bool& startMoved) {
    startMoved = false;
    unsigned outA = OutsideOf(a, clip);
    unsigned outB = OutsideOf(b, clip);
    for (int round = 0; round < 8; ++round) {  // each round clears a side; rounding cannot cycle it
        if (!(outA | outB)) return true;
        if (outA & outB) return false;
        const unsigned out = outA ? outA : outB;
        Vec cut{};
        if (out & (kAbove | kBelow)) {
            cut.y = (out & kAbove) ? clip.top : clip.bottom;
            cut.x = a.x + (b.x - a.x) * ((cut.y - a.y) / (b.y - a.y));
        } else {
            cut.x = (out & kLeft) ? clip.left : clip.right;
            cut.y = a.y + (b.y - a.y) * ((cut.x - a.x) / (b.x - a.x));
        }
        if (out == outA) {
            a = cut;
            outA = OutsideOf(a, clip);
            startMoved = true;
        } else {
            b = cut;
            outB = OutsideOf(b, clip);
        }
    }
    return false;
}

// Rounded into the rectangle: a crossing computed between far ends of a
// slanted segment may land a hair outside.
StrokePoint Rounded(const Vec& p, const PixelRect& clip) {
    const double x = std::clamp(p.x, double(clip.left), double(clip.right));
    const double y = std::clamp(p.y, double(clip.top), double(clip.bottom));
    return {static_cast<std::int32_t>(std::lround(x)), static_cast<std::int32_t>(std::lround(y))};
}

bool operator==(const StrokePoint& a, const StrokePoint& b) { return a.x == b.x && a.y == b.y; }

class StrokeBuilder {
public:
    // Continues the open polyline with the segment from..to, or starts a new one.
    void Add(ChartColour colour, const StrokePoint& from, const StrokePoint& to, bool continues) {
        if (!(continues && open_ && strokes_[openStroke_].colour == colour)) {
            Close();
            openStroke_ = StrokeOf(colour);
            open_ = true;
            openCount_ = 1;
            strokes_[openStroke_].points.push_back(from);
        }
        std::vector<StrokePoint>& points = strokes_[openStroke_].points;
        if (!(points.back() == to)) {
            points.push_back(to);
            ++openCount_;
        }
    }

    void Close() {
        if (!open_) return;
        ChartStroke& stroke = strokes_[openStroke_];
        if (openCount_ >= 2) {
            stroke.counts.push_back(openCount_);
        } else {
            stroke.points.pop_back();  // a lone point draws nothing
        }
        open_ = false;
    }

    std::vector<ChartStroke> Take() {
        Close();
        return std::move(strokes_);
    }

private:
    std::size_t StrokeOf(ChartColour colour) {
        for (std::size_t i = 0; i < strokes_.size(); ++i) {
            if (strokes_[i].colour == colour) return i;
        }
        strokes_.push_back({colour, {}, {}});
        return strokes_.size() - 1;
    }

    std::vector<ChartStroke> strokes_;
    std::size_t openStroke_ = 0;
    std::uint32_t openCount_ = 0;
    bool open_ = false;
};

// The pixels `along` = lo..hi (inclusive) of the column or row `across`.
struct Run {
    std::int32_t across;
    std::int32_t lo;
    std::int32_t hi;
};

// A segment without its end pixel, as a run; false when it draws nothing.
Run RunOf(std::int32_t across, std::int32_t from, std::int32_t to) {
    return to > from ? Run{across, from, to - 1} : Run{across, to + 1, from};
}

// Sorts and merges overlapping or touching runs, appending each merged run
// as a two-point polyline whose excluded end is one past it.
template <typename MakePoint>
void AppendMerged(std::vector<Run>& runs, ChartStroke& out, MakePoint point) {
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) {
        return a.across != b.across ? a.across < b.across : a.lo < b.lo;
    });
    for (std::size_t i = 0; i < runs.size();) {
        Run merged = runs[i];
        for (++i; i < runs.size() && runs[i].across == merged.across &&
                  static_cast<std::int64_t>(runs[i].lo) <= static_cast<std::int64_t>(merged.hi) + 1;
             ++i) {
            merged.hi = std::max(merged.hi, runs[i].hi);
        }
        out.points.push_back(point(merged.across, merged.lo));
        out.points.push_back(point(merged.across, merged.hi + 1));
        out.counts.push_back(2);
    }
}

}  // namespace

ChartStroke MergedStroke(const ChartStroke& stroke) {
    std::vector<Run> columns;
    std::vector<Run> rows;
    ChartStroke merged{stroke.colour, {}, {}};
    std::size_t first = 0;
    for (const std::uint32_t count : stroke.counts) {
        for (std::size_t i = first + 1; i < first + count; ++i) {
            const StrokePoint& p = stroke.points[i - 1];
            const StrokePoint& q = stroke.points[i];
            if (p.x == q.x && p.y != q.y) {
                columns.push_back(RunOf(p.x, p.y, q.y));
            } else if (p.y == q.y && p.x != q.x) {
                rows.push_back(RunOf(p.y, p.x, q.x));
            } else if (!(p == q)) {
                merged.points.push_back(p);
                merged.points.push_back(q);
                merged.counts.push_back(2);
            }
        }
        first += count;
    }
    AppendMerged(columns, merged, [](std::int32_t x, std::int32_t y) { return StrokePoint{x, y}; });
    AppendMerged(rows, merged, [](std::int32_t y, std::int32_t x) { return StrokePoint{x, y}; });
    return merged;
}

std::vector<ChartStroke> SeriesStrokes(const std::vector<ChartPoint>& points, const ChartMapping& mapping,
                                       const PixelRect& clip) {
    StrokeBuilder builder;
    const auto toPixel = [&mapping](const ChartPoint& point) {
        return Vec{mapping.xOrigin + point.x * mapping.xScale, mapping.yOrigin + point.y * mapping.yScale};
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        Vec a = toPixel(points[i - 1]);
        Vec b = toPixel(points[i]);
        bool entering = false;
        if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y) ||
            !ClipSegment(a, b, clip, entering)) {
            builder.Close();
            continue;
        }
        // A segment that enters the plot from outside starts a new polyline.
        builder.Add(points[i].colour, Rounded(a, clip), Rounded(b, clip), !entering);
    }
    return builder.Take();
}

}  // namespace ionsift
