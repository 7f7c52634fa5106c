// Window class name of the isotope chart control, and the notification it
// sends its parent.
#pragma once

namespace ionsift {

constexpr const char* kChartClass = "IonsiftChart";

// WM_NOTIFY code (ChartMouseNotify) sent to the parent on every mouse move
// over the chart, in client coordinates; from the application's range.
constexpr unsigned int kChartMouseMove = 0x8000u + 0x101u;

}  // namespace ionsift
