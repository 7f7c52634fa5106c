// Placement arithmetic for centring windows inside a monitor's work area.
#pragma once

namespace ionsift {

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// Right and bottom limits; left and top limits are always 0.
struct WorkLimits {
    int right = 0;
    int bottom = 0;
};

struct Position {
    int left = 0;
    int top = 0;
};

// Halving toward minus infinity.
int FloorHalf(int value);

// Centred over the reference, then clamped: flush with a limit when it would
// reach past it, at 0 when it would start before it.
Position CenterOver(const ScreenRect& reference, int width, int height, WorkLimits limits);
// Centred inside the limits, not clamped.
Position CenterInLimits(int width, int height, WorkLimits limits);

}  // namespace ionsift
