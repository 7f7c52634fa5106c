// The chart's zoom gestures and their animation: which way a mouse drag
// zooms, the view a dragged rectangle selects, and the views an animated
// zoom passes through.
#pragma once

#include <vector>

#include "chart/chart_model.h"

namespace ionsift {

// Views shown by an animated zoom: `steps` linear interpolations from `from`
// to `to`, the last exactly `to`. Equal views need no animation: just `to`.
std::vector<ChartView> ZoomAnimation(const ChartView& from, const ChartView& to, int steps);

enum class DragZoom {
    None,    // moved too little, or rightwards and down without a rectangle to zoom to
    ZoomIn,  // from upper-left to lower-right: zoom to the rectangle
    Undo,    // the other way, leftwards or up: back to the automatic ranges
};

// A drag zooms in when it moved more than `slack` pixels both rightwards and
// down, and undoes the zoom when it moved more than that leftwards or up.
// Anything else does nothing: a shaky click, or a drag to the right that went
// `slack` pixels or less down.
DragZoom ClassifyDrag(int startX, int startY, int endX, int endY, int slack);

// The view of the rectangle between two pixel corners, through the mapping
// in force while it was dragged.
ChartView ZoomRectView(const ChartMapping& mapping, int x1, int y1, int x2, int y2);

}  // namespace ionsift
