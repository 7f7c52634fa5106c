// Peak series: a stick spectrum held as a chart line series. A series with
// k peaks holds 1 + 3k points: a lead point one mass unit left of the first
// peak, then per peak its foot, its top and a second foot. Only the tops can
// have a non-zero abundance, and each stick's top is its middle point.
#pragma once

#include <cstddef>
#include <functional>

#include "chart/chart_model.h"

namespace ionsift {

constexpr ChartColour kDistColour = ChartRgb(255, 0, 0);  // computed distribution
constexpr ChartColour kExColour = ChartRgb(0, 0, 255);    // experimental peaks

// Appends one stick: (lead point (mass - 1, 0) when the series is empty),
// foot (mass, 0) and top (mass, abundance) in black, and a second foot in the
// series colour, so the falling edge is drawn over the black rising one.
void AddPeak(ChartSeries& series, double mass, double abundance);

// Reads mass/abundance pairs from a writable, NUL-terminated text into the
// series with AddPeak and returns how many pairs it added; 0 without reading
// when either is null. Separators are blank, tab, line feed and carriage
// return; token ends are overwritten with NUL. Each token reads as strtod
// would in the C locale, "." as decimal point ("12abc" is 12, letters are
// 0). A final token without partner is dropped. O(n) in the text's length.
std::size_t ParsePeaks(ChartSeries* series, char* text);

// The pair reader of ParsePeaks on its own: hands each (mass, abundance)
// pair to `pair` in the order written and returns how many there were.
std::size_t ReadPeakPairs(char* text, const std::function<void(double, double)>& pair);

}  // namespace ionsift
