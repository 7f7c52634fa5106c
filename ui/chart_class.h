// Window class name of the isotope chart control.
#pragma once

namespace ionsift {

constexpr const char* kChartClass = "IonsiftChart";

}  // namespace ionsift
