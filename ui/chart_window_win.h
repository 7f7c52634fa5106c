// The isotope chart's window: for now its frame only, a white back wall and
// the one-line title, which is the window's text (empty while hidden). The
// series, axes and zoom come with the chart control itself.
#pragma once

#include <windows.h>

#include "ui/chart_class.h"

namespace ionsift {

bool RegisterChartClass(HINSTANCE module);
void UnregisterChartClass(HINSTANCE module);

}  // namespace ionsift
