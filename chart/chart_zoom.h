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
    None,    // moved too little to mean anything
    ZoomIn,  // from upper-left to lower-right: zoom to the rectangle
    Undo,    // any other direction: back to the automatic ranges
};

// A drag counts once it moved more than `slack` pixels in some direction;
// it zooms in only when it moved more than that both rightwards and down.
DragZoom ClassifyDrag(int startX, int startY, int endX, int endY, int slack);

// The view of the rectangle between two pixel corners, through the mapping
// in force while it was dragged.
ChartView ZoomRectView(const ChartMapping& mapping, int x1, int y1, int x2, int y2);

}  // namespace ionsift
