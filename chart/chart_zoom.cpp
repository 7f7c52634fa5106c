#include <algorithm>

#include "chart/chart_zoom.h"

namespace ionsift {
namespace {

double Between(double from, double to, double t) { return from + (to - from) * t; }

AxisRange Between(const AxisRange& from, const AxisRange& to, double t) {
    return {Between(from.min, to.min, t), Between(from.max, to.max, t)};
}

bool Same(const AxisRange& a, const AxisRange& b) { return a.min == b.min && a.max == b.max; }

}  // namespace

std::vector<ChartView> ZoomAnimation(const ChartView& from, const ChartView& to, int steps) {
    if (steps < 1 || (Same(from.bottom, to.bottom) && Same(from.left, to.left))) return {to};
    std::vector<ChartView> views;
    for (int step = 1; step < steps; ++step) {
        const double t = static_cast<double>(step) / steps;
        views.push_back({Between(from.bottom, to.bottom, t), Between(from.left, to.left, t)});
    }
    views.push_back(to);  // exactly, not an interpolation that might miss by an ulp
    return views;
}

DragZoom ClassifyDrag(int startX, int startY, int endX, int endY, int slack) {
    const long long dx = static_cast<long long>(endX) - startX;
    const long long dy = static_cast<long long>(endY) - startY;
    if (dx > slack && dy > slack) return DragZoom::ZoomIn;
    if (dx < -slack || dy < -slack) return DragZoom::Undo;
    return DragZoom::None;
}

ChartView ZoomRectView(const ChartMapping& mapping, int x1, int y1, int x2, int y2) {
    const double xa = mapping.XValue(x1);
    const double xb = mapping.XValue(x2);
    const double ya = mapping.YValue(y1);
    const double yb = mapping.YValue(y2);
    return {{std::min(xa, xb), std::max(xa, xb)}, {std::min(ya, yb), std::max(ya, yb)}};
}

}  // namespace ionsift
