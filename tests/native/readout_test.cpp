// The pointer readout: the nearest stick top within reach, over every series.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "isotopes/peak_series.h"
#include "isotopes/readout.h"

namespace ionsift {
namespace {

// One pixel per mass unit and per percent, abundance upwards from pixel 300.
constexpr ChartMapping kMapping{0, 1, 300, -1};

class Readout : public ::testing::Test {
protected:
    const ChartSeries* Add(ChartColour colour, std::string peaks) {
        ChartSeries* series = chart.AddSeries(std::make_unique<ChartSeries>(colour));
        ParsePeaks(series, peaks.data());
        return series;
    }
    StickHit Under(int x, int y) const { return StickUnderPointer(chart, kMapping, x, y); }

    ChartModel chart;
};

TEST_F(Readout, ShownOnlyWithinASquaredDistanceBelow200) {
    Add(kDistColour, "100 80");  // top at pixel (100, 220)
    const StickHit near = Under(110, 229);  // 100 + 81
    EXPECT_TRUE(near.found);
    EXPECT_EQ(near.series, 0u);
    EXPECT_EQ(near.point, 2u);
    EXPECT_EQ(near.distance, 181);
    EXPECT_FALSE(Under(110, 230).found);  // 100 + 100
    EXPECT_TRUE(Under(86, 220).found);    // 196
    EXPECT_FALSE(Under(85, 220).found);   // 225
    // The nearest stick is still found, only not shown.
    EXPECT_EQ(FindNearestStick(chart, kMapping, 110, 230).distance, 200);
}

TEST_F(Readout, TheFirstOfEqualDistancesWinsAcrossSeries) {
    Add(kDistColour, "100 80\n104 80");
    Add(kExColour, "100 80\n102 80");
    EXPECT_EQ(Under(100, 220).series, 0u);  // same position: attached first
    EXPECT_EQ(Under(101, 220).point, 2u);   // 100 and 102 equally near
    EXPECT_EQ(Under(101, 220).series, 0u);
    const StickHit later = Under(103, 220);  // red 104 and blue 102 equally near
    EXPECT_EQ(later.series, 0u);
    EXPECT_EQ(later.point, 5u);
    const StickHit blue = Under(102, 221);   // strictly nearest: the blue 102
    EXPECT_EQ(blue.series, 1u);
    EXPECT_EQ(blue.point, 5u);
}

TEST_F(Readout, ZeroAbundanceTopsAndEmptyChartsShowNothing) {
    EXPECT_FALSE(FindNearestStick(chart, kMapping, 100, 300).found);
    Add(kExColour, "");
    Add(kDistColour, "100 0");
    EXPECT_FALSE(FindNearestStick(chart, kMapping, 100, 300).found);  // lead and feet too
    Add(kDistColour, "100 -5");
    EXPECT_EQ(Under(100, 305).series, 2u);  // negative tops are sticks too
}

TEST_F(Readout, PointsFarOutsideTheViewNeitherOverflowNorShow) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ChartSeries* far = chart.AddSeries(std::make_unique<ChartSeries>(kDistColour));
    far->Add(1e300, 1e300, 0);
    far->Add(-1e300, -1e300, 0);
    far->Add(nan, 50, 0);
    far->Add(50, nan, 0);
    far->Add(-HUGE_VAL, 50, 0);
    for (int x : {INT_MIN, -1, 0, 50, INT_MAX}) {
        for (int y : {INT_MIN, 0, 250, INT_MAX}) {
            const StickHit hit = FindNearestStick(chart, kMapping, x, y);
            EXPECT_TRUE(hit.found);
            EXPECT_GT(hit.distance, std::int64_t{1} << 58) << x << ' ' << y;
            EXPECT_FALSE(Under(x, y).found);
        }
    }
}

}  // namespace
}  // namespace ionsift
