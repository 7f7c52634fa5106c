// The pair reader on any bytes, then the path of the experimental edit:
// separators converted, pairs read into a second series, both read back as
// peaks, compared, and the distribution written out. Every series holds
// 1 + 3 * pairs points sorted by mass without NaN; the peaks are its sticks
// in mass order; a defined RMS is finite; the texts have their form.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "isotopes/dist_text.h"
#include "isotopes/peak_compare.h"
#include "isotopes/peak_series.h"
#include "isotopes/readout.h"
#include "text/separators.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

bool IsPairSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::size_t CountTokens(const std::string& text) {
    std::size_t tokens = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsPairSeparator(text[i]) && (i == 0 || IsPairSeparator(text[i - 1]))) ++tokens;
    }
    return tokens;
}

// Reads the text into a new series and checks what the reader promises.
void ReadChecked(ionsift::ChartSeries& series, std::string text) {
    const std::string before = text;
    const std::size_t pairs = ionsift::ParsePeaks(&series, text.data());
    Check(pairs == CountTokens(before) / 2);
    // Only separators ending a token were overwritten, each with NUL.
    for (std::size_t i = 0; i < text.size(); ++i) {
        Check(text[i] == before[i] || (text[i] == '\0' && IsPairSeparator(before[i]) && i > 0 &&
                                       !IsPairSeparator(before[i - 1])));
    }
    const std::vector<ionsift::ChartPoint>& points = series.Points();
    Check(points.size() == (pairs == 0 ? 0 : 1 + 3 * pairs));
    for (std::size_t i = 0; i < points.size(); ++i) {
        Check(!std::isnan(points[i].x) && !std::isnan(points[i].y));
        Check(i == 0 || points[i - 1].x <= points[i].x);
    }
}

// The peaks are the sticks: foot, top and a foot in the series colour.
void CheckPeaks(const ionsift::ChartSeries& series, const std::vector<ionsift::TPeak>& peaks) {
    const std::vector<ionsift::ChartPoint>& points = series.Points();
    std::size_t stick = 0;
    for (std::size_t i = 0; i + 2 < points.size(); ++i) {
        if (points[i + 2].colour != series.Colour()) continue;
        Check(stick < peaks.size());
        Check(!peaks[stick].Matched);
        Check(peaks[stick].Mass == points[i + 1].x && peaks[stick].Prob == points[i + 1].y);
        ++stick;
    }
    Check(stick == peaks.size());
}

// Fixed decimals after the separator, or an infinity.
void CheckNumberText(const std::string& number, char separator, std::size_t decimals) {
    if (number == "inf" || number == "-inf") return;
    const std::size_t at = number.find(separator);
    Check(at != std::string::npos && at > 0 && number.size() - at - 1 == decimals);
    Check(number.find_first_not_of("-0123456789") == at);
}

void CheckDistText(const ionsift::ChartSeries& series, char separator) {
    const std::string text = ionsift::GetDistText(series, separator);
    std::size_t tops = 0;
    for (const ionsift::ChartPoint& point : series.Points()) tops += point.y != 0;
    std::size_t rows = 0;
    for (std::size_t at = 0; at < text.size(); ++rows) {
        const std::size_t end = text.find("\r\n", at);
        Check(end != std::string::npos);
        const std::string row = text.substr(at, end - at);
        const std::size_t blank = row.find(' ');
        Check(blank != std::string::npos && row.find(' ', blank + 1) == std::string::npos);
        CheckNumberText(row.substr(0, blank), separator, 8);
        CheckNumberText(row.substr(blank + 1), separator, 8);
        at = end + 2;
    }
    Check(rows == tops);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char separator = (data[0] & 1) ? ',' : '.';
    // Edit and host texts are C strings: they end at their first zero byte.
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    text.resize(std::strlen(text.c_str()));

    ionsift::ChartModel chart;
    ionsift::ChartSeries* dist = chart.AddSeries(std::make_unique<ionsift::ChartSeries>(ionsift::kDistColour));
    ionsift::ChartSeries* ex = chart.AddSeries(std::make_unique<ionsift::ChartSeries>(ionsift::kExColour));
    Check(dist && ex);
    ReadChecked(*dist, text);
    std::string typed = text;
    ionsift::ToPointSeparator(typed.data(), ',');
    ReadChecked(*ex, typed);

    std::vector<ionsift::TPeak> computed, experimental;
    Check(ionsift::GetPeaks(*dist, computed) && ionsift::GetPeaks(*ex, experimental));
    CheckPeaks(*dist, computed);
    CheckPeaks(*ex, experimental);

    const auto rms = ionsift::CompareRms(computed, experimental);
    if (rms) {
        Check(std::isfinite(*rms) && *rms >= 0);
        const std::string title = ionsift::RmsTitle(*rms, separator);
        Check(title.rfind("Rms = ", 0) == 0);
        CheckNumberText(title.substr(6), separator, 2);
    }
    CheckDistText(*dist, separator);

    const ionsift::ChartMapping mapping{-1e4, 37.5, 900, -3.25};
    const ionsift::StickHit hit = ionsift::StickUnderPointer(chart, mapping, 400, 300);
    if (hit.found) {
        Check(hit.distance >= 0 && hit.distance < ionsift::kReadoutReach);
        Check(chart.Series(hit.series).Points()[hit.point].y != 0);
    }
    return 0;
}
