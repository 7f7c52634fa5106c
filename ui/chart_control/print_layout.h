// Where a picture goes on a printed page: as large as fits within margins of
// a twentieth of the paper on each side, centred, keeping the picture's
// proportions on screen.
#pragma once

#include "ui/form/placement.h"

namespace ionsift {

// A page as the printer describes it, in device units: the whole sheet, the
// part it can print on and where that part starts, and the resolution of
// each direction (printers may have non-square dots).
struct PageMetrics {
    int paperWidth = 0;
    int paperHeight = 0;
    int printableLeft = 0;  // offset of the printable area on the sheet
    int printableTop = 0;
    int printableWidth = 0;
    int printableHeight = 0;
    int dotsPerInchX = 0;
    int dotsPerInchY = 0;
};

// The picture's rectangle in the printable area's coordinates (where a
// printer DC's origin lies). `width` x `height` are the picture's size in
// screen pixels, which are square. Empty (all 0) when the picture or the
// page has no area. Example: a 289 x 225 picture on A4 at 600 dpi
// (4960 x 7016 dots, printable from 100,100, 4760 x 6816) fills the
// 4464 dots between the side margins and is 3475 dots high, centred.
ScreenRect FitOnPage(const PageMetrics& page, int width, int height);

}  // namespace ionsift
