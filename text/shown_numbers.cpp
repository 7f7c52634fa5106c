#include "text/shown_numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace ionsift {

std::string FormatRounded(double value, int decimals) {
    if (!std::isfinite(value)) return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    decimals = std::clamp(decimals, 0, 64);
    // Shortest round-trip digits: "d.ddde+XX" (or "de+XX").
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                       std::chars_format::scientific);
    const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const std::size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e)) {
        if (c != '.') digits += c;
    }
    const int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());

    // The magnitude times 10^decimals, rounded: the digits before position
    // `kept`, plus one when the first digit dropped is 5 or more.
    const long kept = static_cast<long>(exponent) + 1 + decimals;
    std::string scaled;
    bool roundUp = false;
    if (kept <= 0) {
        scaled = "0";
        roundUp = kept == 0 && digits[0] >= '5';
    } else {
        scaled = digits.substr(0, static_cast<std::size_t>(std::min<long>(kept, static_cast<long>(digits.size()))));
        scaled.resize(static_cast<std::size_t>(kept), '0');
        roundUp = static_cast<std::size_t>(kept) < digits.size() && digits[static_cast<std::size_t>(kept)] >= '5';
    }
    if (roundUp) {
        std::size_t at = scaled.size();
        while (at > 0 && scaled[at - 1] == '9') scaled[--at] = '0';
        if (at == 0) {
            scaled.insert(scaled.begin(), '1');
        } else {
            ++scaled[at - 1];
        }
    }
    // At least one digit before the point.
    if (scaled.size() < static_cast<std::size_t>(decimals) + 1) {
        scaled.insert(0, static_cast<std::size_t>(decimals) + 1 - scaled.size(), '0');
    }
    if (decimals > 0) scaled.insert(scaled.size() - static_cast<std::size_t>(decimals), ".");
    return std::signbit(value) ? "-" + scaled : scaled;
}

double ShownValue(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    const std::string text = FormatRounded(value, decimals);
    double shown = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), shown);
    return shown;
}

}  // namespace ionsift
