#include "isotopes/dist_text.h"

#include "shell/host_numbers.h"
#include "text/separators.h"

namespace ionsift {

std::string GetDistText(const ChartSeries& series, char separator) {
    std::string text;
    for (const ChartPoint& point : series.Points()) {
        if (point.y == 0) continue;  // feet and the lead point: not a stick top
        text += FormatFixed(point.x, 8);
        text += ' ';
        text += FormatFixed(point.y, 8);
        text += "\r\n";
    }
    ToLocalSeparator(text, separator);
    return text;
}

}  // namespace ionsift
