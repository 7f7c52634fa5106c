// Peaks as sticks and the pair reader: the point layout, what counts as a
// separator, how tokens read, and peaks read back from a series.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "isotopes/peak_compare.h"
#include "isotopes/peak_series.h"

namespace ionsift {
namespace {

using Pair = std::pair<double, double>;

struct Parsed {
    std::size_t pairs;
    std::vector<ChartPoint> points;
};

Parsed Parse(std::string text, ChartColour colour = kDistColour) {
    ChartSeries series(colour);
    const std::size_t pairs = ParsePeaks(&series, text.data());
    return {pairs, series.Points()};
}

// The sticks as drawn: foot, top, and a foot in the series colour, found by
// that colour wherever the lead point sorted to.
std::vector<Pair> Sticks(const std::vector<ChartPoint>& points, ChartColour colour = kDistColour) {
    std::vector<Pair> sticks;
    for (std::size_t i = 0; i + 2 < points.size(); ++i) {
        if (points[i + 2].colour != colour) continue;
        EXPECT_EQ(points[i].x, points[i + 2].x);
        EXPECT_EQ(points[i].y, 0);
        sticks.emplace_back(points[i + 1].x, points[i + 1].y);
    }
    return sticks;
}

void ExpectPoint(const ChartPoint& point, double x, double y, ChartColour colour) {
    EXPECT_EQ(point.x, x);
    EXPECT_EQ(point.y, y);
    EXPECT_EQ(point.colour, colour);
}

TEST(ParsePeaks, TwoLinesGiveTwoSticksAfterALeadPointOneUnitLeft) {
    const Parsed parsed = Parse("100.5 80\n101.5 10\n");
    EXPECT_EQ(parsed.pairs, 2u);
    ASSERT_EQ(parsed.points.size(), 7u);
    const ChartColour black = 0;
    ExpectPoint(parsed.points[0], 99.5, 0, black);
    ExpectPoint(parsed.points[1], 100.5, 0, black);
    ExpectPoint(parsed.points[2], 100.5, 80, black);
    ExpectPoint(parsed.points[3], 100.5, 0, kDistColour);
    ExpectPoint(parsed.points[4], 101.5, 0, black);
    ExpectPoint(parsed.points[5], 101.5, 10, black);
    ExpectPoint(parsed.points[6], 101.5, 0, kDistColour);
}

TEST(ParsePeaks, SeparatorsPairTheSameWayWhateverTheirMixOrRuns) {
    const std::vector<Pair> expected = {{100.5, 80}, {101.5, 10}};
    const char* texts[] = {
        "100.5 80\n101.5 10",
        "100.5\t80\n\n\n101.5    10\n",
        "  \t100.5\n80 101.5\t\t10",
        "100.5 80\r\n101.5 10\r\n",
        "100.5 80\r\n\r\n\r\n101.5 10\r\n",   // blank lines typed in the edit
        "100.5 80  \r\n \r\n101.5 10 \r\n",   // blanks before the line breaks
        "100.5\r80\r101.5\r10",
        "100.5 80\n101.5 10\n\n",           // two trailing separators
        "100.5 80\n101.5 10\n7",            // a trailing unpaired number
        "100.5 80\n101.5 10\n7\n",
    };
    for (const char* text : texts) {
        const Parsed parsed = Parse(text);
        EXPECT_EQ(parsed.pairs, 2u) << text;
        EXPECT_EQ(parsed.points.size(), 7u) << text;
        EXPECT_EQ(Sticks(parsed.points), expected) << text;
    }
}

TEST(ParsePeaks, NoPairReadsNothing) {
    for (const char* text : {"", " \r\n\t", "42", "42\r\n", "  42  "}) {
        const Parsed parsed = Parse(text);
        EXPECT_EQ(parsed.pairs, 0u) << text;
        EXPECT_TRUE(parsed.points.empty()) << text;
    }
    ChartSeries series(kExColour);
    char text[] = "1 2";
    EXPECT_EQ(ParsePeaks(nullptr, text), 0u);
    EXPECT_STREQ(text, "1 2");  // not read without a series
    EXPECT_EQ(ParsePeaks(&series, nullptr), 0u);
    EXPECT_EQ(series.Count(), 0u);
}

TEST(ParsePeaks, LettersReadAsZeroAndShiftThePairsAfterThem) {
    const Parsed parsed = Parse("100 50\nabc 101 20\n102");
    EXPECT_EQ(parsed.pairs, 3u);
    // abc pairs with 101, then 20 with 102.
    EXPECT_EQ(Sticks(parsed.points), (std::vector<Pair>{{0, 101}, {20, 102}, {100, 50}}));
}

// Each token reads as strtod reads it in the C locale (the test runs in it),
// with its longest numeric prefix.
TEST(ParsePeaks, TokensReadLikeStrtodInTheCLocale) {
    const char* tokens[] = {
        "12abc", "1e3", "+7", "-2.5", ".5", "5.", "1.e2", "1e", "1e+", "1E-2x", "007",
        "1,5", "1e999", "-1e999", "1e-999", "4e-320", "2.2250738585072014e-308",
        "123456789012345678901234567890", "0.1", "\v3",
    };
    for (const char* token : tokens) {
        const Parsed parsed = Parse(std::string(token) + " 1");
        ASSERT_EQ(parsed.pairs, 1u) << token;
        EXPECT_EQ(parsed.points[2].x, std::strtod(token, nullptr)) << token;
    }
}

TEST(ParsePeaks, TokensWithoutADecimalPrefixReadAsZero) {
    for (const char* token : {"inf", "-INF", "nan", "NaN(1)", "infinity", "-", "+", ".", "+-1", "e5", "0x1A"}) {
        const Parsed parsed = Parse(std::string(token) + " 1");
        ASSERT_EQ(parsed.pairs, 1u) << token;
        EXPECT_EQ(parsed.points[2].x, 0.0) << token;
    }
}

TEST(ParsePeaks, TokenEndsAreOverwrittenInPlace) {
    char text[] = "1 2\r\n3\t4";
    ChartSeries series(kExColour);
    EXPECT_EQ(ParsePeaks(&series, text), 2u);
    const char expected[] = "1\0002\000\n3\0004";
    EXPECT_EQ(std::string(text, sizeof text), std::string(expected, sizeof expected));
}

TEST(ParsePeaks, FallingMassesComeOutAscendingEachAStick) {
    const Parsed parsed = Parse("103 5\n102 20\n101 60\n100 100\n");
    ASSERT_EQ(parsed.points.size(), 13u);
    for (std::size_t i = 1; i < parsed.points.size(); ++i) {
        EXPECT_LE(parsed.points[i - 1].x, parsed.points[i].x) << i;
    }
    // The lead point (102, 0) now stands between the sticks at 101 and 102.
    ExpectPoint(parsed.points[6], 102, 0, 0);
    EXPECT_EQ(Sticks(parsed.points), (std::vector<Pair>{{100, 100}, {101, 60}, {102, 20}, {103, 5}}));
}

std::vector<Pair> PeaksOf(const std::string& text, ChartColour colour) {
    ChartSeries series(colour);
    std::string copy = text;
    ParsePeaks(&series, copy.data());
    std::vector<TPeak> peaks;
    EXPECT_TRUE(GetPeaks(series, peaks));
    std::vector<Pair> read;
    for (const TPeak& peak : peaks) {
        EXPECT_FALSE(peak.Matched);
        read.emplace_back(peak.Mass, peak.Prob);
    }
    return read;
}

TEST(GetPeaks, OneRecordPerStickInAscendingMassWhereverTheLeadPointStands) {
    const std::vector<Pair> ascending = {{100, 100}, {101, 60}, {102, 20}, {103, 5}};
    for (ChartColour colour : {kDistColour, kExColour}) {
        EXPECT_EQ(PeaksOf("100 100 101 60 102 20 103 5", colour), ascending);
        // The lead point (102, 0) sorts between the sticks at 101 and 102.
        EXPECT_EQ(PeaksOf("103 5 102 20 101 60 100 100", colour), ascending);
        EXPECT_EQ(PeaksOf("101 60 103 5 100 100 102 20", colour), ascending);
        // Equal masses keep their order of addition; zero tops are peaks too.
        EXPECT_EQ(PeaksOf("100 0 99 7 100 3 99 0", colour),
                  (std::vector<Pair>{{99, 7}, {99, 0}, {100, 0}, {100, 3}}));
    }
    EXPECT_TRUE(PeaksOf("", kExColour).empty());
    // A black series cannot tell its lead point from a foot: read as if it led.
    EXPECT_EQ(PeaksOf("100 100 101 60", 0), (std::vector<Pair>{{100, 100}, {101, 60}}));
}

TEST(PeakSeries, ACommaCRuntimeLocaleChangesNoReading) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8")) << "German locale missing: run scripts/bootstrap";
    const Parsed parsed = Parse("100.5 80.25\n1e2,5 1.5e1");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(Sticks(parsed.points), (std::vector<Pair>{{100, 15}, {100.5, 80.25}}));
}

}  // namespace
}  // namespace ionsift
