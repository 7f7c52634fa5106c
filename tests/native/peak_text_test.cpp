// The texts made of peaks: the distribution rows, the RMS title and the
// pointer readout, with either decimal separator and any C runtime locale.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "isotopes/dist_text.h"
#include "isotopes/peak_compare.h"
#include "isotopes/peak_series.h"
#include "isotopes/readout.h"
#include "text/separators.h"

namespace ionsift {
namespace {

ChartSeries SeriesOf(std::string text) {
    ChartSeries series(kDistColour);
    ParsePeaks(&series, text.data());
    return series;
}

TEST(GetDistText, OneRowPerStickOfNonZeroAbundanceInMassOrder) {
    const ChartSeries series = SeriesOf("101.5 10\n102 0\n100.5 80\n");
    EXPECT_EQ(GetDistText(series, '.'), "100.50000000 80.00000000\r\n101.50000000 10.00000000\r\n");
    EXPECT_EQ(GetDistText(series, ','), "100,50000000 80,00000000\r\n101,50000000 10,00000000\r\n");
    EXPECT_EQ(GetDistText(SeriesOf("99.123456789 -0.5"), '.'), "99.12345679 -0.50000000\r\n");
    EXPECT_EQ(GetDistText(SeriesOf("100 0"), ','), "");
    EXPECT_EQ(GetDistText(ChartSeries(kDistColour), '.'), "");
}

TEST(GetDistText, SentToTheExperimentalEditItReadsBackAsTheSameSticks) {
    const ChartSeries dist = SeriesOf("100 100\n101.003355 21.5\n102.25 3.125\n");
    std::string text = GetDistText(dist, ',');
    ToPointSeparator(text.data(), ',');
    ChartSeries ex(kExColour);
    EXPECT_EQ(ParsePeaks(&ex, text.data()), 3u);
    std::vector<TPeak> sent, read;
    ASSERT_TRUE(GetPeaks(dist, sent));
    ASSERT_TRUE(GetPeaks(ex, read));
    ASSERT_EQ(read.size(), sent.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].Mass, sent[i].Mass);
        EXPECT_EQ(read[i].Prob, sent[i].Prob);
    }
    EXPECT_EQ(CompareRms(sent, read), 0.0);
}

TEST(NumberTexts, FixedDecimalsRoundedWithTheUsersSeparator) {
    EXPECT_EQ(RmsTitle(7.0799, '.'), "Rms = 7.08");
    EXPECT_EQ(RmsTitle(7.0799, ','), "Rms = 7,08");
    EXPECT_EQ(RmsTitle(0.996, ','), "Rms = 1,00");
    EXPECT_EQ(RmsTitle(12345.674, '.'), "Rms = 12345.67");
    EXPECT_EQ(ReadoutText(100.5, 80, '.'), "100.500000\n80.00%");
    EXPECT_EQ(ReadoutText(100.5, 80, ','), "100,500000\n80,00%");
    EXPECT_EQ(ReadoutText(1234.0000004, 0.125001, '.'), "1234.000000\n0.13%");
}

// Regression: exact halves rounded to even ("33.12") where a reader expects
// half away from zero.
TEST(NumberTexts, ShownDecimalsRoundHalfAwayFromZero) {
    EXPECT_EQ(RmsTitle(33.125, '.'), "Rms = 33.13");  // 33.125 is exact in binary
    EXPECT_EQ(RmsTitle(0.125, ','), "Rms = 0,13");
    EXPECT_EQ(RmsTitle(2.675, '.'), "Rms = 2.68");    // the double just below 2.675 reads as 2.675
    EXPECT_EQ(RmsTitle(99.995, '.'), "Rms = 100.00"); // the carry runs into the integer part
    EXPECT_EQ(ReadoutText(100.0000005, 12.345, '.'), "100.000001\n12.35%");
    EXPECT_EQ(ReadoutText(-0.125, -0.005, '.'), "-0.125000\n-0.01%");
    EXPECT_EQ(ReadoutText(1e-7, 0.004999, '.'), "0.000000\n0.00%");
}

TEST(NumberTexts, ACommaCRuntimeLocaleChangesNoText) {
    const ChartSeries series = SeriesOf("100.5 80\n101.5 10\n");
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8")) << "German locale missing: run scripts/bootstrap";
    const std::string dist = GetDistText(series, '.');
    const std::string title = RmsTitle(7.0799, '.');
    const std::string readout = ReadoutText(100.5, 80, '.');
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(dist, "100.50000000 80.00000000\r\n101.50000000 10.00000000\r\n");
    EXPECT_EQ(title, "Rms = 7.08");
    EXPECT_EQ(readout, "100.500000\n80.00%");
}

}  // namespace
}  // namespace ionsift
