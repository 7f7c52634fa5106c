// The computed distribution as text: what "Copy data" hands to the host and
// "Send to exp." puts into the experimental edit.
#pragma once

#include <string>

#include "chart/chart_model.h"

namespace ionsift {

// One row "%.8f %.8f\r\n" (mass, abundance) per point of non-zero abundance,
// in point order, with every "." turned into the separator. A series
// without sticks gives "". Independent of the C runtime's locale.
std::string GetDistText(const ChartSeries& series, char separator);

}  // namespace ionsift
