// The RMS comparison: experimental peaks scaled to a largest of 100, matched
// greedily to the lightest computed peaks; hand-derived expectations.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "isotopes/peak_compare.h"
#include "isotopes/peak_series.h"

namespace ionsift {
namespace {

std::vector<TPeak> Peaks(std::initializer_list<std::pair<double, double>> pairs) {
    std::vector<TPeak> peaks;
    for (const auto& [mass, prob] : pairs) peaks.push_back({false, mass, prob});
    return peaks;
}

// What the window does: both sides read from text into series, then back.
std::optional<double> RmsOfTexts(std::string computed, std::string experimental) {
    ChartSeries dist(kDistColour), ex(kExColour);
    ParsePeaks(&dist, computed.data());
    ParsePeaks(&ex, experimental.data());
    std::vector<TPeak> a, b;
    EXPECT_TRUE(GetPeaks(dist, a));
    EXPECT_TRUE(GetPeaks(ex, b));
    return CompareRms(a, b);
}

TEST(CompareRms, ScaledExperimentalPeaksPairWithTheNearestComputedOnes) {
    // Scaled (100, 100) and (101.5, 10): 0 + (0.25 + 100), over 2 pairs.
    const auto rms = RmsOfTexts("100 100\n101 20\n", "100 50\r\n101.5 5\r\n");
    ASSERT_TRUE(rms);
    EXPECT_NEAR(*rms, std::sqrt(100.25 / 2), 1e-12);
    EXPECT_EQ(RmsTitle(*rms, '.'), "Rms = 7.08");
}

TEST(CompareRms, OnlyTheLightestComputedPeaksTakePart) {
    // Sorted and scaled (100, 100) and (101, 60): two exact matches; the
    // computed peak at 102 has no partner left.
    const auto rms = RmsOfTexts("100 100\n101 60\n102 20\n", "101 30\r\n100 50\r\n");
    ASSERT_TRUE(rms);
    EXPECT_EQ(*rms, 0.0);
    EXPECT_EQ(RmsTitle(*rms, ','), "Rms = 0,00");
    // One experimental peak: it pairs with the lightest computed one, d = 4.
    EXPECT_EQ(CompareRms(Peaks({{100, 100}, {101, 60}, {102, 20}}), Peaks({{102, 7}})), 2.0);
}

TEST(CompareRms, SurplusExperimentalPeaksAreIgnored) {
    // The most intense is not the nearest: (100.1, 100) beats (100, 90).
    EXPECT_NEAR(*CompareRms(Peaks({{100, 100}}), Peaks({{100, 90}, {100.1, 100}, {300, 1}})), 0.1, 1e-12);
    EXPECT_EQ(CompareRms(Peaks({{100, 100}}), Peaks({{100, 50}, {5, 49}, {7000, 12}})), 0.0);
}

TEST(CompareRms, EachComputedPeakTakesTheNearestFreeOneInMassOrder) {
    // (100, 96) takes (100, 100) at 16 though (100.1, 100) needs it more,
    // and gets (100, 90) at 0.01 + 100: greedy, not the cheapest assignment
    // (36 + 0.01).
    const auto rms = CompareRms(Peaks({{100, 96}, {100.1, 100}}), Peaks({{100, 90}, {100, 100}}));
    ASSERT_TRUE(rms);
    EXPECT_NEAR(*rms, std::sqrt((16 + 100.01) / 2), 1e-12);
}

TEST(CompareRms, EqualDistancesGoToTheMoreIntensePeak) {
    // (100, 50) is 2500 from both (100, 100) and (100, 0) and takes the
    // first; (101, 0) is left with (100, 0) at 1. The other way round it
    // would cost 1 + 10000.
    const auto rms = CompareRms(Peaks({{100, 50}, {101, 0}}), Peaks({{100, 0}, {100, 100}}));
    ASSERT_TRUE(rms);
    EXPECT_NEAR(*rms, std::sqrt(2501.0 / 2), 1e-12);
}

TEST(CompareRms, NothingWhenTheDeviationIsNotDefined) {
    const auto computed = Peaks({{100, 100}, {101, 20}});
    EXPECT_FALSE(CompareRms({}, Peaks({{100, 50}})));
    EXPECT_FALSE(CompareRms(computed, {}));
    EXPECT_FALSE(CompareRms(computed, Peaks({{100, 0}, {101, 0}})));    // nothing to scale to
    EXPECT_FALSE(RmsOfTexts("100 100", "100 1e999"));                  // infinite abundance
    // Distances beyond the largest double: no experimental peak is near.
    EXPECT_FALSE(CompareRms(Peaks({{1e200, 50}}), Peaks({{1, 100}})));
    // Each distance finite (1.44e308), their sum not.
    EXPECT_FALSE(CompareRms(Peaks({{0, 100}, {0, 100}}), Peaks({{1.2e154, 100}, {1.2e154, 100}})));
    // Defined again once the text holds a pair on both sides.
    EXPECT_TRUE(RmsOfTexts("100 100", "100 1e300"));
}

// The experimental side may hold negative abundances; only a most intense
// one of exactly 0 leaves nothing to scale to.
TEST(CompareRms, ANegativeMostIntenseAbundanceScalesAsWritten) {
    // Sorted -5, -9; scaled by 100 / -5 to (100, 100) and (101, 180): the
    // first computed peak takes (100, 100) at 0, the second (101, 180) at 160^2.
    const auto rms = CompareRms(Peaks({{100, 100}, {101, 20}}), Peaks({{100, -5}, {101, -9}}));
    ASSERT_TRUE(rms);
    EXPECT_NEAR(*rms, std::sqrt(160.0 * 160.0 / 2), 1e-9);
    EXPECT_EQ(RmsTitle(*rms, '.'), "Rms = 113.14");
    // A most intense 0 among negatives is still undefined.
    EXPECT_FALSE(CompareRms(Peaks({{100, 100}}), Peaks({{100, 0}, {101, -9}})));
}

TEST(CompareRms, ANaNAbundanceNeverLeadsTheScaling) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(CompareRms(Peaks({{101, 100}}), Peaks({{100, nan}, {101, 50}})), 0.0);
}

TEST(CmpProb, OrdersByDescendingAbundance) {
    const TPeak strong{false, 100, 80}, weak{true, 90, 10}, alsoStrong{false, 120, 80};
    EXPECT_EQ(CmpProb(strong, weak), -1);
    EXPECT_EQ(CmpProb(weak, strong), 1);
    EXPECT_EQ(CmpProb(strong, alsoStrong), 0);  // mass and flag do not count
}

}  // namespace
}  // namespace ionsift
