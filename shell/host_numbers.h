// Numbers in host commands, host answers and the settings file always use "."
// as decimal point, whatever locale the host process set for the C runtime.
// These helpers never consult the C locale.
#pragma once

#include <string>

namespace ionsift {

// Fixed-point text with `decimals` digits after a ".", as "%.*f" prints it in
// the C locale: FormatFixed(499.999, 6) == "499.999000".
std::string FormatFixed(double value, int decimals);

// Reads a real the way strtod does in the C locale: leading white space is
// skipped, the longest prefix that forms a number is taken (sign, digits, ".",
// exponent, inf, nan), and text without such a prefix reads as 0. *end, when
// given, points after the number (at `text` when nothing was read).
// Out-of-range values give +-HUGE_VAL or 0, as strtod does.
double ReadHostReal(const char* text, const char** end = nullptr);

// Reads a decimal integer the way strtol(text, end, 10) does; values beyond
// the range of long are clamped to its limits.
long ReadHostInt(const char* text, const char** end = nullptr);

}  // namespace ionsift
