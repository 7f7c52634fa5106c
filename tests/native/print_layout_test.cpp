// The chart's place on a printed page: margins, proportions and centring,
// against sizes derived by hand.
#include <gtest/gtest.h>

#include "ui/chart_control/print_layout.h"

namespace ionsift {
namespace {

// A4 at 600 dpi: 210 x 297 mm = 4960 x 7016 dots; a printer that cannot
// reach the outer 100 dots of each edge.
PageMetrics A4Portrait() { return {4960, 7016, 100, 100, 4760, 6816, 600, 600}; }

void ExpectRect(const ScreenRect& rect, int left, int top, int right, int bottom) {
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right, right);
    EXPECT_EQ(rect.bottom, bottom);
}

TEST(FitOnPage, WideChartOnPortraitPaperFillsTheWidthBetweenTheMargins) {
    // Margins 248 and 350 on the sheet, 148 and 250 in printable
    // coordinates; the box is 4464 x 6316. 4464 * 225 / 289 = 3475.4 -> 3475
    // high; (6316 - 3475) / 2 = 1420 above it.
    ExpectRect(FitOnPage(A4Portrait(), 289, 225), 148, 1670, 4612, 5145);
}

TEST(FitOnPage, LandscapePaperBindsTheHeight) {
    // 7016 x 4960: margins 350 and 248; box 6316 x 4464 from 250,148.
    // 4464 * 289 / 225 = 5733.8 -> 5734 wide; (6316 - 5734) / 2 = 291.
    const PageMetrics landscape{7016, 4960, 100, 100, 6816, 4760, 600, 600};
    ExpectRect(FitOnPage(landscape, 289, 225), 541, 148, 6275, 4612);
}

TEST(FitOnPage, NonSquareDotsKeepThePrintedProportions) {
    // 300 x 600 dpi A4 without unprintable border: 2480 x 7016 dots, box
    // 2232 x 6316 from 124,350. The width binds: 2232 dots = 7.44 in, so the
    // height is 7.44 * 225 / 289 in = 5.792 in = 3475 dots at 600 dpi.
    const PageMetrics page{2480, 7016, 0, 0, 2480, 7016, 300, 600};
    const ScreenRect rect = FitOnPage(page, 289, 225);
    ExpectRect(rect, 124, 1770, 2356, 5245);
    const double printedRatio = (rect.Width() / 300.0) / (rect.Height() / 600.0);
    EXPECT_NEAR(printedRatio, 289.0 / 225.0, 0.001);
}

TEST(FitOnPage, PrinterBorderWiderThanTheMarginNarrowsTheBox) {
    // The printer starts 400 dots in (more than the 248 of the margin) and
    // prints 4160 dots: the box is the whole printable width, 0 to 4160.
    const PageMetrics page{4960, 7016, 400, 100, 4160, 6816, 600, 600};
    const ScreenRect rect = FitOnPage(page, 100, 100);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, 4160);
    EXPECT_EQ(rect.Height(), 4160);
}

TEST(FitOnPage, NothingToPlaceGivesAnEmptyRectangle) {
    ExpectRect(FitOnPage(A4Portrait(), 0, 225), 0, 0, 0, 0);
    ExpectRect(FitOnPage(A4Portrait(), 289, -1), 0, 0, 0, 0);
    PageMetrics noResolution = A4Portrait();
    noResolution.dotsPerInchY = 0;
    ExpectRect(FitOnPage(noResolution, 289, 225), 0, 0, 0, 0);
    // A printable area lying wholly inside the margin.
    const PageMetrics sliver{4960, 7016, 0, 0, 200, 7016, 600, 600};
    ExpectRect(FitOnPage(sliver, 289, 225), 0, 0, 0, 0);
}

}  // namespace
}  // namespace ionsift
