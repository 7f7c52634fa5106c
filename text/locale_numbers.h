// Conversions of numbers the user typed: strict, in the user's separator.
#pragma once

#include <string_view>

namespace ionsift {

// Blanks before and after, an optional sign, digits with at most one
// separator, an optional exponent (E or e); anything else fails.
bool UserTextToReal(std::string_view text, char separator, double& value);
// Blanks before and after, an optional sign, decimal digits that fit in 32
// bits; anything else fails.
bool UserTextToInt(std::string_view text, int& value);

}  // namespace ionsift
