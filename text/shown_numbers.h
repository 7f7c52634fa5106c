// Numbers shown to the user with a fixed number of decimals, rounded as a
// reader expects: half away from zero on the decimal value.
#pragma once

#include <string>

namespace ionsift {

// Fixed-point text with `decimals` digits after a "." (0 to 64). The value is
// read as its shortest decimal form, the one that reads back as the same
// double, and rounded there half away from zero: FormatRounded(33.125, 2) is
// "33.13", FormatRounded(2.675, 2) "2.68", FormatRounded(-0.5, 0) "-1".
// Numbers for the host keep FormatFixed (shell/host_numbers.h).
std::string FormatRounded(double value, int decimals);

// The value FormatRounded shows, read back: equal for two values exactly
// when they show the same text. NaN and infinities pass unchanged.
double ShownValue(double value, int decimals);

}  // namespace ionsift
