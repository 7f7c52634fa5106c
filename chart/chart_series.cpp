#include <algorithm>

#include "chart/chart_model.h"

namespace ionsift {

void ChartSeries::Add(double x, double y, ChartColour colour) {
    // NaN compares unordered: it sorts as if it were the largest value, so
    // a stray NaN cannot break the sort's ordering requirement.
    if (!points_.empty() && !(x >= points_.back().x) && !(x != x)) sorted_ = false;
    points_.push_back({x, y, colour});
}

const std::vector<ChartPoint>& ChartSeries::Points() const {
    if (!sorted_) {
        // Stable: equal x keep their order of addition, and points sorted
        // earlier precede every point appended since.
        std::stable_sort(points_.begin(), points_.end(),
                         [](const ChartPoint& a, const ChartPoint& b) {
                             return a.x < b.x || (b.x != b.x && a.x == a.x);
                         });
        sorted_ = true;
    }
    return points_;
}

}  // namespace ionsift
