// The experimental-data edit's text made from measured peaks: what "Open
// spectrum..." and "Paste spectrum" write into the edit.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "isotopes/peak_compare.h"

namespace ionsift {

// At most this many peaks are written: the tallest, in m/z order.
constexpr std::size_t kMaxExDataPeaks = 200;

// One line "mass abundance\r\n" per peak, rising mass, "." as the decimal
// point (the edit's reader takes no other). With `searchedMz`, only peaks
// in [searchedMz - 1, searchedMz + 6] are written, else all. Of those,
// the kMaxExDataPeaks tallest are kept (equal heights: the lighter first)
// and scaled so that the tallest is 100. The mass is written as the file
// gave it (the shortest text that reads back to the same value, a 32-bit
// float's own digits for a value that is one, at most 8 decimals); the
// abundance with at most 6 decimals, trailing zeros dropped.
// "" when no peak with an intensity above 0 lies in the window.
//
//   {{181.0707, 5000}, {182.074, 345}}, searched 181.07
//       -> "181.0707 100\r\n182.074 6.9\r\n"
std::string ExDataText(const std::vector<TPeak>& peaks, std::optional<double> searchedMz);

}  // namespace ionsift
