// The Resolution edit of the main tool window: the instrument's resolving
// power R (a peak at m/z has FWHM = m/z / R) as a positive whole number.
#pragma once

#include <string_view>

namespace ionsift {

constexpr long kDefaultResolvingPower = 30000;
// Beyond any instrument's; it keeps a profile's sample count bounded.
constexpr long kMaxResolvingPower = 10000000;

// The number typed (digits only, 1 to kMaxResolvingPower), or the default
// when the text is anything else: empty, 0, too large, or not digits.
//   "60000" -> 60000    "" -> 30000    "0" -> 30000    "6e4" -> 30000
long ResolvingPowerOf(std::string_view text);

}  // namespace ionsift
