#include "host/dbtool/progress_line.h"

#include <cmath>

namespace ionsift::dbtool {
namespace {

std::string Grouped(long long value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

std::string TwoDigits(long long value) { return (value < 10 ? "0" : "") + std::to_string(value); }

// 42 -> "0:42", 3725 -> "1:02:05".
std::string Duration(double seconds) {
    const long long total = std::llround(seconds);
    const long long hours = total / 3600, minutes = total / 60 % 60, rest = total % 60;
    return hours > 0 ? std::to_string(hours) + ":" + TwoDigits(minutes) + ":" + TwoDigits(rest)
                     : std::to_string(minutes) + ":" + TwoDigits(rest);
}

}  // namespace

std::string ProgressText(long long records, double seconds, double fractionDone) {
    std::string text = Grouped(records) + " records";
    if (seconds > 0) text += ", " + Grouped(std::llround(records / seconds)) + " records/s";
    if (fractionDone > 0 && fractionDone <= 1 && seconds > 0) {
        text += ", " + Duration(seconds * (1 - fractionDone) / fractionDone) + " left";
    }
    return text;
}

}  // namespace ionsift::dbtool
