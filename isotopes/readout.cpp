#include "isotopes/readout.h"

#include <algorithm>

#include "shell/host_numbers.h"
#include "ui/separators.h"

namespace ionsift {
namespace {

// Pixel positions are clamped to +-2^30; a pointer within +-(2^30 - 1)
// keeps each squared difference below 2^62 and their sum below 2^63.
constexpr std::int64_t kPointerLimit = (std::int64_t{1} << 30) - 1;

std::int64_t SquaredDistance(std::int64_t x, std::int64_t y, const PixelPoint& point) {
    const std::int64_t dx = x - point.x;
    const std::int64_t dy = y - point.y;
    return dx * dx + dy * dy;
}

}  // namespace

StickHit FindNearestStick(const ChartModel& chart, const ChartMapping& mapping, int x, int y) {
    const std::int64_t pointerX = std::clamp<std::int64_t>(x, -kPointerLimit, kPointerLimit);
    const std::int64_t pointerY = std::clamp<std::int64_t>(y, -kPointerLimit, kPointerLimit);
    StickHit hit;
    for (std::size_t s = 0; s < chart.SeriesCount(); ++s) {
        const std::vector<ChartPoint>& points = chart.Series(s).Points();
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (points[i].y == 0) continue;  // only stick tops can be read
            const std::int64_t distance =
                SquaredDistance(pointerX, pointerY, mapping.Pixel(points[i].x, points[i].y));
            if (!hit.found || distance < hit.distance) hit = {true, s, i, distance};
        }
    }
    return hit;
}

StickHit StickUnderPointer(const ChartModel& chart, const ChartMapping& mapping, int x, int y) {
    const StickHit hit = FindNearestStick(chart, mapping, x, y);
    if (!hit.found || hit.distance >= kReadoutReach) return StickHit{};
    return hit;
}

std::string ReadoutText(double mass, double abundance, char separator) {
    std::string text = FormatFixed(mass, 6) + "\n" + FormatFixed(abundance, 2) + "%";
    ToLocalSeparator(text, separator);
    return text;
}

}  // namespace ionsift
