// The progress line `dbtool import` keeps on a terminal.
#pragma once

#include <string>

namespace ionsift::dbtool {

// "1,234,567 records, 12,345 records/s, 2:05 left"; without a share of the
// input done (fractionDone < 0, or nothing done yet), no time left.
std::string ProgressText(long long records, double seconds, double fractionDone);

}  // namespace ionsift::dbtool
