#include "ui/chart_control/print_layout.h"

#include <algorithm>
#include <cmath>

namespace ionsift {

ScreenRect FitOnPage(const PageMetrics& page, int width, int height) {
    if (width <= 0 || height <= 0 || page.dotsPerInchX <= 0 || page.dotsPerInchY <= 0) return {};
    // The margins are measured on the sheet; the printer's own unprintable
    // border only narrows the box further where it is wider than they are.
    const int marginX = page.paperWidth / 20;
    const int marginY = page.paperHeight / 20;
    const int left = std::max(marginX - page.printableLeft, 0);
    const int top = std::max(marginY - page.printableTop, 0);
    const int right = std::min(page.paperWidth - marginX - page.printableLeft, page.printableWidth);
    const int bottom =
        std::min(page.paperHeight - marginY - page.printableTop, page.printableHeight);
    if (right <= left || bottom <= top) return {};

    // The picture's size in dots at the scale of one inch per screen pixel,
    // then shrunk by the factor that makes the tighter side fit.
    const double naturalWidth = static_cast<double>(width) * page.dotsPerInchX;
    const double naturalHeight = static_cast<double>(height) * page.dotsPerInchY;
    const double scale = std::min((right - left) / naturalWidth, (bottom - top) / naturalHeight);
    const int fittedWidth =
        std::min(static_cast<int>(std::lround(naturalWidth * scale)), right - left);
    const int fittedHeight =
        std::min(static_cast<int>(std::lround(naturalHeight * scale)), bottom - top);
    const int fittedLeft = left + FloorHalf(right - left - fittedWidth);
    const int fittedTop = top + FloorHalf(bottom - top - fittedHeight);
    return {fittedLeft, fittedTop, fittedLeft + fittedWidth, fittedTop + fittedHeight};
}

}  // namespace ionsift
