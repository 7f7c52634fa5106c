#include "spectra/exdata_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace ionsift {
namespace {

// The shortest digits that read back to `value`: a 32-bit float's own when
// the value is one (what a 32-bit array held), else the double's; fixed to
// 8 decimals when they would be more.
std::string MassText(double value) {
    char buffer[64];
    std::to_chars_result result;
    const float asFloat = static_cast<float>(value);
    if (static_cast<double>(asFloat) == value) {
        result = std::to_chars(buffer, buffer + sizeof buffer, asFloat, std::chars_format::fixed);
    } else {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    }
    std::string text(buffer, result.ptr);
    const std::size_t point = text.find('.');
    if (point != std::string::npos && text.size() - point - 1 > 8) {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 8);
        text.assign(buffer, result.ptr);
    }
    return text;
}

// Six decimals at most, trailing zeros and a bare point dropped.
std::string AbundanceText(double value) {
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    std::string text(buffer, result.ptr);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

}  // namespace

std::string ExDataText(const std::vector<TPeak>& peaks, std::optional<double> searchedMz) {
    std::vector<TPeak> kept;
    for (const TPeak& peak : peaks) {
        if (!(peak.Prob > 0) || !std::isfinite(peak.Mass) || !std::isfinite(peak.Prob)) continue;
        if (searchedMz && (peak.Mass < *searchedMz - 1 || peak.Mass > *searchedMz + 6)) continue;
        kept.push_back(peak);
    }
    if (kept.size() > kMaxExDataPeaks) {
        std::stable_sort(kept.begin(), kept.end(), [](const TPeak& a, const TPeak& b) {
            return a.Prob != b.Prob ? a.Prob > b.Prob : a.Mass < b.Mass;
        });
        kept.resize(kMaxExDataPeaks);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const TPeak& a, const TPeak& b) { return a.Mass < b.Mass; });
    double tallest = 0;
    for (const TPeak& peak : kept) tallest = std::max(tallest, peak.Prob);
    std::string text;
    for (const TPeak& peak : kept) {
        const double abundance = peak.Prob == tallest ? 100 : 100 * peak.Prob / tallest;
        text += MassText(peak.Mass) + ' ' + AbundanceText(abundance) + "\r\n";
    }
    return text;
}

}  // namespace ionsift
