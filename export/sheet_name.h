// The name of the worksheet that the spreadsheet export fills: the search's
// mass and tolerance, cut to what the sheet accepts.
#pragma once

#include <cstddef>
#include <string>

namespace ionsift {

// Longest sheet name the driver sends; longer names lose their tail.
constexpr std::size_t kSheetNameLimit = 24;

// The first kSheetNameLimit characters of `text` (single-byte text, so one
// character is one byte); shorter texts come back whole.
std::string CutSheetName(std::string text);

// Formats `format` (string 46, "Mass %.6lf \xB1 %.3lf ppm") with the mass and
// the ppm tolerance, numbers written with "." whatever the C locale says, then
// every "." of the result becomes `separator`. The first two conversions that
// printf takes a double for (flags "-+ #0", a width, a precision, an optional
// "l", then f, F, e, E, g or G) take mass and ppm, in that order; "%%" gives
// "%"; any other conversion is copied as it stands, so a faulty catalog text
// cannot read arguments that are not there.
// Example: FormatSheetName("Mass %.6lf \xB1 %.3lf ppm", 180.063388, 2, ',')
//          == "Mass 180,063388 \xB1 2,000 ppm";
//          FormatSheetName("%8.3f|%-+7.1e|", 12.5, 3, '.') == "  12.500|+3.0e+00|".
std::string FormatSheetName(const char* format, double mass, double ppm, char separator);

}  // namespace ionsift
