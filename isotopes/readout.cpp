#include "isotopes/readout.h"

#include <algorithm>
#include <cstdint>

#include "text/shown_numbers.h"
#include "text/separators.h"

namespace ionsift {
namespace {

constexpr std::uint64_t kFarthest = INT64_MAX;

// |difference| is below 2^32 for any pointer and any position clamped to
// +-2^30, so its square fits in 64 unsigned bits.
std::uint64_t Square(std::int64_t difference) {
    const std::uint64_t magnitude = difference < 0 ? 0 - static_cast<std::uint64_t>(difference)
                                                   : static_cast<std::uint64_t>(difference);
    if (magnitude >> 32) return kFarthest;
    return std::min(magnitude * magnitude, kFarthest);
}

// Saturated at INT64_MAX, far beyond any reach.
std::int64_t SquaredDistance(int x, int y, const PixelPoint& point) {
    const std::uint64_t sum = Square(std::int64_t{x} - point.x) + Square(std::int64_t{y} - point.y);
    return static_cast<std::int64_t>(std::min(sum, kFarthest));
}

}  // namespace

StickHit FindNearestStick(const ChartModel& chart, const ChartMapping& mapping, int x, int y) {
    StickHit hit;
    for (std::size_t s = 0; s < chart.SeriesCount(); ++s) {
        const std::vector<ChartPoint>& points = chart.Series(s).Points();
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (points[i].y == 0) continue;  // only stick tops can be read
            const std::int64_t distance =
                SquaredDistance(x, y, mapping.Pixel(points[i].x, points[i].y));
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
    std::string text = FormatRounded(mass, 6) + "\n" + FormatRounded(abundance, 2) + "%";
    ToLocalSeparator(text, separator);
    return text;
}

}  // namespace ionsift
