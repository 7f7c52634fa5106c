// A series' line in pixels, ready for the window to draw: its segments
// clipped to the plot area and gathered into one set of polylines per
// colour, so that a series of many thousand sticks takes a few drawing
// calls instead of one per segment.
#pragma once

#include <cstdint>
#include <vector>

#include "chart/chart_model.h"

namespace ionsift {

struct StrokePoint {
    std::int32_t x;
    std::int32_t y;
};

// The polylines of one colour: counts[i] consecutive points each (at least
// two, no point repeating the one before it).
struct ChartStroke {
    ChartColour colour;
    std::vector<StrokePoint> points;
    std::vector<std::uint32_t> counts;
};

// Each segment takes the colour of the point it ends at and is clipped to
// `clip` (edges included); consecutive segments of one colour stay one
// polyline. The strokes come in the order their colours first appear, and
// drawn in that order later colours cover earlier ones where they overlap:
// for a stick series the coloured falling edges cover the black rising
// edges and the black baseline, as drawing segment by segment would.
// Points whose pixels are not finite break the line. O(points).
std::vector<ChartStroke> SeriesStrokes(const std::vector<ChartPoint>& points, const ChartMapping& mapping,
                                       const PixelRect& clip);

// The same pixels, as a one-pixel pen draws them (each segment without its
// end pixel, as LineTo does), with the overlapping vertical and horizontal
// runs merged into one segment each: thousands of sticks drawn into a few
// hundred pixel columns cost one line per column instead of one per stick.
// Slanted segments stay as they are. O(n log n) in the segments.
ChartStroke MergedStroke(const ChartStroke& stroke);

}  // namespace ionsift
