#include "ui/form/placement.h"

namespace ionsift {
namespace {

// Flush with the far limit when the span would reach it, at 0 when it would
// start before the near one.
int Clamp(int start, int size, int limit) {
    if (start + size >= limit) return limit - size;
    if (start < 0) return 0;
    return start;
}

}  // namespace

int FloorHalf(int value) {
    const int half = value / 2;  // truncates toward zero
    return (value < 0 && value % 2 != 0) ? half - 1 : half;
}

Position CenterOver(const ScreenRect& reference, int width, int height, WorkLimits limits) {
    Position position;
    position.left = reference.left + FloorHalf(reference.Width() - width);
    position.top = reference.top + FloorHalf(reference.Height() - height);
    position.left = Clamp(position.left, width, limits.right);
    position.top = Clamp(position.top, height, limits.bottom);
    return position;
}

Position CenterInLimits(int width, int height, WorkLimits limits) {
    return {FloorHalf(limits.right - width), FloorHalf(limits.bottom - height)};
}

}  // namespace ionsift
