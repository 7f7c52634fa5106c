// The chart's pointer readout: the stick top nearest the pointer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "chart/chart_model.h"

namespace ionsift {

// A stick top is shown only while its squared pixel distance from the
// pointer is below this (about 14 pixels).
constexpr std::int64_t kReadoutReach = 200;

struct StickHit {
    bool found = false;
    std::size_t series = 0;  // index in the model's order
    std::size_t point = 0;   // index in the series' point order
    std::int64_t distance = 0;  // squared, in pixels
};

// Over every point of non-zero abundance of every series, in order: the first
// with the smallest squared pixel distance from (x, y). One mapping per
// point, nothing cached: O(points).
StickHit FindNearestStick(const ChartModel& chart, const ChartMapping& mapping, int x, int y);

// The hit when it is within reach, else nothing found.
StickHit StickUnderPointer(const ChartModel& chart, const ChartMapping& mapping, int x, int y);

// The tooltip: mass with six decimals, a line feed, abundance with two
// decimals and "%", both rounded half away from zero; the user's separator in
// both ("100.500000\n80.00%").
std::string ReadoutText(double mass, double abundance, char separator);

}  // namespace ionsift
