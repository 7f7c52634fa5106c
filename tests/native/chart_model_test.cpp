// The isotope chart's portable arithmetic: point order, ranges, zoom, the
// value-to-pixel mapping, ticks and layout, the drawn polylines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <memory>
#include <set>
#include <tuple>

#include "chart/chart_axes.h"
#include "chart/chart_model.h"
#include "chart/chart_strokes.h"
#include "chart/chart_zoom.h"

namespace ionsift {
namespace {

constexpr ChartColour kBlack = 0;
constexpr ChartColour kRed = ChartRgb(255, 0, 0);
constexpr ChartColour kBlue = ChartRgb(0, 0, 255);

// The peak series' stick layout, written out: lead point, then per stick
// foot, top (black) and a foot in the series colour.
void AddStick(ChartSeries& series, double mass, double abundance) {
    if (series.Count() == 0) series.Add(mass - 1, 0, kBlack);
    series.Add(mass, 0, kBlack);
    series.Add(mass, abundance, kBlack);
    series.Add(mass, 0, series.Colour());
}

ChartSeries* AddSeries(ChartModel& model, ChartColour colour) {
    return model.AddSeries(std::make_unique<ChartSeries>(colour));
}

void ExpectRange(const AxisRange& range, double min, double max) {
    EXPECT_DOUBLE_EQ(range.min, min);
    EXPECT_DOUBLE_EQ(range.max, max);
}

TEST(ChartSeriesTest, FallingMassesEndUpAscendingWithEachStickKeptTogether) {
    ChartSeries series(kRed);
    AddStick(series, 102, 30);
    AddStick(series, 101, 60);
    AddStick(series, 100, 90);
    const std::vector<ChartPoint>& points = series.Points();
    // Equal masses keep their order of addition: the lead point of the first
    // stick (102 - 1) precedes the 101 stick's own points.
    const ChartPoint expected[] = {{100, 0, kBlack}, {100, 90, kBlack}, {100, 0, kRed},
                                   {101, 0, kBlack}, {101, 0, kBlack},  {101, 60, kBlack},
                                   {101, 0, kRed},   {102, 0, kBlack},  {102, 30, kBlack},
                                   {102, 0, kRed}};
    ASSERT_EQ(points.size(), std::size(expected));
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].x, expected[i].x) << i;
        EXPECT_EQ(points[i].y, expected[i].y) << i;
        EXPECT_EQ(points[i].colour, expected[i].colour) << i;
    }
}

TEST(ChartModelTest, SeriesAreKeptInOrderAndRemovedByIdentity) {
    ChartModel model;
    ChartSeries* red = AddSeries(model, kRed);
    ChartSeries* blue = AddSeries(model, kBlue);
    EXPECT_EQ(model.AddSeries(nullptr), nullptr);
    ASSERT_EQ(model.SeriesCount(), 2u);
    EXPECT_EQ(&model.Series(0), red);
    EXPECT_TRUE(model.RemoveSeries(red));
    EXPECT_FALSE(model.RemoveSeries(red));
    ASSERT_EQ(model.SeriesCount(), 1u);
    EXPECT_EQ(&model.Series(0), blue);
}

TEST(ChartModelTest, AutoViewSpansEveryPointOfEverySeries) {
    ChartModel model;
    ExpectRange(model.AutoView().bottom, 0, 1);  // empty chart
    ExpectRange(model.AutoView().left, 0, 1);
    AddStick(*AddSeries(model, kRed), 100.5, 80);
    ChartSeries* blue = AddSeries(model, kBlue);
    AddStick(*blue, 103.25, 120);
    // Points that cannot be drawn stretch neither axis.
    blue->Add(std::numeric_limits<double>::quiet_NaN(), 1e300, kBlack);
    blue->Add(104, -std::numeric_limits<double>::infinity(), kBlack);
    const ChartView view = model.AutoView();
    ExpectRange(view.bottom, 99.5, 103.25);
    ExpectRange(view.left, 0, 120);
}

TEST(ChartModelTest, ZeroWidthRangeIsWidenedAroundItsValue) {
    ChartModel model;
    ChartSeries* series = AddSeries(model, kRed);
    series->Add(500, 0, kBlack);
    ExpectRange(model.AutoView().bottom, 250, 750);
    ExpectRange(model.AutoView().left, -1, 1);
}

TEST(ChartModelTest, ZoomPercentFollowsTheDeltaRule) {
    ChartModel model;
    AddStick(*AddSeries(model, kRed), 101, 100);  // x 100..101, y 0..100
    const ChartView in = model.ZoomPercentView(125);  // delta = span / 4 on each side
    ExpectRange(in.bottom, 100.25, 100.75);
    ExpectRange(in.left, 25, 75);
    model.SetView(in);
    const ChartView out = model.ZoomPercentView(25);  // delta = -0.75 span
    ExpectRange(out.bottom, 100.25 - 0.375, 100.75 + 0.375);
    EXPECT_DOUBLE_EQ(out.left.max - out.left.min, 1.25 * 100);
    EXPECT_DOUBLE_EQ((out.left.max + out.left.min) / 2, 50);

    model.UndoZoom();
    EXPECT_FALSE(model.Zoomed());
    ExpectRange(model.View().bottom, 100, 101);
}

TEST(ChartModelTest, ZoomPercent100PinsTheRangeAgainstNewData) {
    ChartModel model;
    ChartSeries* series = AddSeries(model, kRed);
    AddStick(*series, 101, 100);
    model.SetView(model.ZoomPercentView(100));
    AddStick(*series, 150, 400);
    EXPECT_TRUE(model.Zoomed());
    ExpectRange(model.View().bottom, 100, 101);
    ExpectRange(model.View().left, 0, 100);
    model.UndoZoom();
    ExpectRange(model.View().bottom, 100, 150);
}

TEST(ChartModelTest, ZoomStopsBeforeTheRangeBecomesUndrawable) {
    ChartModel model;
    AddStick(*AddSeries(model, kRed), 101, 100);
    for (int i = 0; i < 200; ++i) model.SetView(model.ZoomPercentView(125));
    ChartView view = model.View();
    EXPECT_LT(view.bottom.min, view.bottom.max);
    for (int i = 0; i < 2000; ++i) model.SetView(model.ZoomPercentView(25));
    view = model.View();
    EXPECT_TRUE(std::isfinite(view.left.max - view.left.min));
    EXPECT_LT(view.left.min, view.left.max);
}

TEST(ChartMappingTest, ViewCornersLandOnThePlotEdges) {
    const ChartMapping mapping = MapView({{100, 110}, {0, 50}}, {40, 10, 240, 210});
    EXPECT_EQ(mapping.Pixel(100, 0).x, 40);
    EXPECT_EQ(mapping.Pixel(100, 0).y, 210);
    EXPECT_EQ(mapping.Pixel(110, 50).x, 240);
    EXPECT_EQ(mapping.Pixel(110, 50).y, 10);
    // 20 px per mass unit, 4 px per percent; 105.025 is 100.5 px: rounds up.
    EXPECT_EQ(mapping.Pixel(105.025, 12.4).x, 141);
    EXPECT_EQ(mapping.Pixel(105.025, 12.4).y, 160);  // 210 - 49.6
    EXPECT_DOUBLE_EQ(mapping.XValue(140), 105);
    EXPECT_DOUBLE_EQ(mapping.YValue(110), 25);
}

TEST(ChartMappingTest, FarPointsAreClampedSoSquaredDistancesFitIn64Bits) {
    const ChartMapping mapping = MapView({{100, 100.001}, {0, 1e-6}}, {0, 0, 289, 225});
    constexpr std::int64_t kLimit = std::int64_t{1} << 30;
    const PixelPoint far = mapping.Pixel(1e300, -1e300);
    EXPECT_EQ(far.x, kLimit);
    EXPECT_EQ(far.y, kLimit);  // y grows downwards
    const PixelPoint nowhere = mapping.Pixel(std::numeric_limits<double>::quiet_NaN(),
                                             -std::numeric_limits<double>::infinity());
    EXPECT_EQ(std::llabs(nowhere.x), kLimit);
    EXPECT_EQ(nowhere.y, kLimit);
    // The readout's distance from a pointer anywhere a mouse message can
    // put it (16-bit coordinates) stays within 64 bits.
    const std::int64_t pointer = -32768;
    const std::int64_t dx = far.x - pointer;
    const std::int64_t dy = far.y - pointer;
    EXPECT_GT(dx * dx + dy * dy, dx * dx);
}

TEST(ChartMappingTest, UndrawableViewsStillMapToFiniteScales) {
    const ChartMapping flat = MapView({{5, 5}, {0, std::numeric_limits<double>::infinity()}}, {0, 0, 0, 0});
    EXPECT_TRUE(std::isfinite(flat.xScale) && flat.xScale != 0);
    EXPECT_TRUE(std::isfinite(flat.yScale) && flat.yScale != 0);
    EXPECT_TRUE(std::isfinite(flat.XValue(3)));
}

TEST(ChartAxesTest, NiceStepsAreOneTwoOrFiveTimesAPowerOfTen) {
    const struct {
        double minimum;
        double step;
    } cases[] = {{0.3, 0.5}, {7, 10}, {20, 20}, {1, 1}, {1.01, 2}, {2.2, 5}, {0.0031, 0.005}, {45000, 50000}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(NiceTickStep(c.minimum), c.step) << c.minimum;
}

TEST(ChartAxesTest, TicksAreTheStepsMultiplesWithinTheRange) {
    const AxisTicks ticks = TicksForStep({-0.25, 1.1}, 0.5, ',');
    ASSERT_EQ(ticks.values.size(), 3u);
    EXPECT_EQ(ticks.labels[0], "0,0");  // not "-0,0"
    EXPECT_EQ(ticks.labels[1], "0,5");
    EXPECT_EQ(ticks.labels[2], "1,0");
    // Ends hit within rounding still get their tick: 0.1 * 3 is not 0.3.
    EXPECT_EQ(TicksForStep({0.1, 0.1 * 3}, 0.1, '.').labels.back(), "0.3");
    EXPECT_EQ(TickLabel(140, 20, ','), "140");
    EXPECT_EQ(TickLabel(-2.5, 0.5, '.'), "-2.5");
    EXPECT_EQ(TickLabel(0.05, 0.05, '.'), "0.05");
    EXPECT_EQ(TickLabel(1e20, 1e19, '.'), "1e+20");
    EXPECT_TRUE(TicksForStep({0, 1e9}, 1, '.').values.empty());  // too many to label
}

TEST(ChartAxesTest, TicksEndWhereTheDoublesRunOutOfIntegers) {
    // Masses near 1e16, or a view zoomed down to a few ulps: step indexes
    // beyond 2^53, where adding 1 changes nothing.
    const AxisTicks ticks = TicksForStep({1e16, 1e16 + 8}, 1, '.');
    ASSERT_FALSE(ticks.values.empty());
    EXPECT_LE(ticks.values.size(), 9u);
    for (std::size_t i = 1; i < ticks.values.size(); ++i) EXPECT_LT(ticks.values[i - 1], ticks.values[i]);
    const ChartLayout layout = LayoutChart({{500, 500 + 1e-12}, {0, 100}}, 289, 225, {6, 13}, false, 1, '.');
    EXPECT_LE(layout.bottom.values.size(), 1000u);
}

TEST(ChartAxesTest, LayoutOfTheOnScreenChartKeepsLabelsApart) {
    const ChartTextMetrics text{6, 13};
    const ChartView view{{99.5, 104}, {0, 120}};
    const ChartLayout layout = LayoutChart(view, 289, 225, text, false, 1, '.');
    const PixelRect plot = layout.plot;
    EXPECT_GT(plot.left, 0);
    EXPECT_LT(plot.right, 289);
    EXPECT_GT(plot.top, 0);
    EXPECT_LT(plot.bottom + layout.tickLength + layout.labelGap + text.lineHeight, 225);
    ASSERT_GE(layout.bottom.values.size(), 3u);
    ASSERT_GE(layout.left.values.size(), 3u);
    const ChartMapping mapping = MapView(view, plot);
    for (std::size_t i = 1; i < layout.bottom.values.size(); ++i) {
        const auto gap = mapping.Pixel(layout.bottom.values[i], 0).x - mapping.Pixel(layout.bottom.values[i - 1], 0).x;
        EXPECT_GE(gap, static_cast<std::int64_t>(layout.bottom.labels[i].size()) * text.digitWidth);
    }
    for (std::size_t i = 1; i < layout.left.values.size(); ++i) {
        const auto gap = mapping.Pixel(0, layout.left.values[i - 1]).y - mapping.Pixel(0, layout.left.values[i]).y;
        EXPECT_GE(gap, text.lineHeight);
    }
    // The widest left label fits left of the axis.
    std::size_t widest = 0;
    for (const std::string& label : layout.left.labels) widest = std::max(widest, label.size());
    EXPECT_GE(plot.left - layout.tickLength - layout.labelGap, static_cast<int>(widest) * text.digitWidth);

    const ChartLayout titled = LayoutChart(view, 289, 225, text, true, 1, '.');
    EXPECT_GE(titled.plot.top, titled.title.bottom);
    EXPECT_EQ(titled.title.bottom - titled.title.top, text.lineHeight);

    // A page twenty times the size: margins grow with it.
    const ChartLayout page = LayoutChart(view, 289 * 20, 225 * 20, {120, 260}, false, 20, '.');
    EXPECT_EQ(page.tickLength, 20 * layout.tickLength);
    EXPECT_NEAR(page.plot.left, 20 * plot.left, 20);
}

TEST(ChartZoomTest, AnimationEndsExactlyAtTheTarget) {
    const ChartView from{{100, 110}, {0, 100}};
    const ChartView to{{102.1, 102.7}, {3.3, 40.1}};
    const std::vector<ChartView> steps = ZoomAnimation(from, to, 4);
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps.back().bottom.min, to.bottom.min);
    EXPECT_EQ(steps.back().left.max, to.left.max);
    EXPECT_DOUBLE_EQ(steps[1].bottom.min, 101.05);  // half way
    EXPECT_DOUBLE_EQ(steps[0].left.max, 85.025);    // a quarter of the way
    EXPECT_EQ(ZoomAnimation(to, to, 4).size(), 1u);
}

TEST(ChartZoomTest, DragDirectionDecides) {
    EXPECT_EQ(ClassifyDrag(10, 10, 60, 50, 2), DragZoom::ZoomIn);
    EXPECT_EQ(ClassifyDrag(60, 50, 10, 10, 2), DragZoom::Undo);
    EXPECT_EQ(ClassifyDrag(10, 50, 60, 10, 2), DragZoom::Undo);  // lower-left to upper-right
    EXPECT_EQ(ClassifyDrag(10, 10, 60, 11, 2), DragZoom::None);  // flat: not a rectangle to zoom to
    EXPECT_EQ(ClassifyDrag(10, 10, 12, 8, 2), DragZoom::None);   // a shaky click
}

// A drag to the right that goes at most the slack down does nothing; only a
// drag leftwards or up undoes the zoom.
TEST(ChartZoomTest, OnlyADragBackUndoes) {
    struct Case {
        int dx, dy;
        DragZoom expected;
    };
    const Case cases[] = {
        {50, 2, DragZoom::None},  {50, 0, DragZoom::None},  {50, -2, DragZoom::None},
        {2, 50, DragZoom::None},  {50, 3, DragZoom::ZoomIn}, {3, 3, DragZoom::ZoomIn},
        {50, -3, DragZoom::Undo}, {-3, 50, DragZoom::Undo}, {-3, 0, DragZoom::Undo},
        {0, -3, DragZoom::Undo},  {-50, -50, DragZoom::Undo},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyDrag(100, 100, 100 + c.dx, 100 + c.dy, 2), c.expected)
            << c.dx << ", " << c.dy;
    }
}

TEST(ChartZoomTest, RectangleViewIsTheValuesUnderItsCorners) {
    const ChartMapping mapping = MapView({{100, 110}, {0, 50}}, {40, 10, 240, 210});
    const ChartView view = ZoomRectView(mapping, 60, 60, 140, 110);
    ExpectRange(view.bottom, 101, 105);
    ExpectRange(view.left, 25, 37.5);
}

TEST(ChartStrokesTest, StickSeriesGivesBlackThenSeriesColourPolylines) {
    ChartSeries series(kRed);
    AddStick(series, 100, 100);
    AddStick(series, 101, 50);
    const ChartMapping mapping = MapView({{99, 101}, {0, 100}}, {0, 0, 200, 100});
    const std::vector<ChartStroke> strokes = SeriesStrokes(series.Points(), mapping, {0, 0, 200, 100});
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[0].colour, kBlack);
    EXPECT_EQ(strokes[1].colour, kRed);
    // Black: lead -> foot -> top, then foot -> next foot -> next top.
    ASSERT_EQ(strokes[0].counts.size(), 2u);
    EXPECT_EQ(strokes[0].counts[0], 3u);
    EXPECT_EQ(strokes[0].points[0].x, 0);
    EXPECT_EQ(strokes[0].points[2].y, 0);    // top of 100 %
    EXPECT_EQ(strokes[0].points[5].y, 50);   // top of 50 %
    EXPECT_EQ(strokes[0].points[5].x, 200);
    // Red: each falling edge, top to foot.
    ASSERT_EQ(strokes[1].counts.size(), 2u);
    EXPECT_EQ(strokes[1].points[0].x, 100);
    EXPECT_EQ(strokes[1].points[1].y, 100);
}

TEST(ChartStrokesTest, SegmentsAreClippedToThePlotHoweverFarTheyReach) {
    ChartSeries series(kRed);
    series.Add(-1e200, 50, kBlack);
    series.Add(1e200, 50, kRed);   // crosses the plot horizontally
    series.Add(1e200, -1e200, kBlue);  // far outside: nothing drawn
    const ChartMapping mapping = MapView({{0, 10}, {0, 100}}, {10, 10, 110, 110});
    const std::vector<ChartStroke> strokes = SeriesStrokes(series.Points(), mapping, {10, 10, 110, 110});
    ASSERT_EQ(strokes.size(), 1u);
    ASSERT_EQ(strokes[0].points.size(), 2u);
    EXPECT_EQ(strokes[0].points[0].x, 10);
    EXPECT_EQ(strokes[0].points[1].x, 110);
    EXPECT_EQ(strokes[0].points[0].y, 60);
}

// The pixels a one-pixel pen sets for a stroke's straight runs (each segment
// without its end pixel), and its slanted segments as they are.
struct Drawn {
    std::set<std::pair<int, int>> pixels;
    std::multiset<std::tuple<int, int, int, int>> slanted;
};

Drawn Rasterise(const ChartStroke& stroke) {
    Drawn drawn;
    std::size_t first = 0;
    for (const std::uint32_t count : stroke.counts) {
        EXPECT_GE(count, 2u);
        for (std::size_t i = first + 1; i < first + count; ++i) {
            const StrokePoint p = stroke.points[i - 1];
            const StrokePoint q = stroke.points[i];
            if (p.x == q.x || p.y == q.y) {
                const int dx = (q.x > p.x) - (q.x < p.x);
                const int dy = (q.y > p.y) - (q.y < p.y);
                for (StrokePoint at = p; !(at.x == q.x && at.y == q.y); at.x += dx, at.y += dy) {
                    drawn.pixels.insert({at.x, at.y});
                }
            } else {
                drawn.slanted.insert({p.x, p.y, q.x, q.y});
            }
        }
        first += count;
    }
    return drawn;
}

TEST(ChartStrokesTest, MergingOverlappingSticksKeepsEveryPixel) {
    // 400 sticks into 60 pixel columns: many share a column, at random heights.
    ChartSeries series(kRed);
    unsigned seed = 7;
    for (int i = 0; i < 400; ++i) {
        seed = seed * 1103515245u + 12345u;
        AddStick(series, 100 + 0.01 * i, (seed >> 16) % 1000 / 10.0);
    }
    series.Add(104.5, 30, kRed);  // and a slanted segment at the end
    const PixelRect plot{10, 5, 70, 105};
    const ChartMapping mapping = MapView({{99, 105}, {0, 100}}, plot);
    for (const ChartStroke& stroke : SeriesStrokes(series.Points(), mapping, plot)) {
        const ChartStroke merged = MergedStroke(stroke);
        EXPECT_EQ(merged.colour, stroke.colour);
        const Drawn before = Rasterise(stroke);
        const Drawn after = Rasterise(merged);
        EXPECT_EQ(after.pixels, before.pixels);
        EXPECT_EQ(after.slanted, before.slanted);
        // One run per column (61) and the baseline.
        EXPECT_LE(merged.counts.size(), 62u + before.slanted.size());
    }
}

}  // namespace
}  // namespace ionsift
