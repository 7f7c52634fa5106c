// Numbers as the user types them: strict conversion in the user's separator,
// the separator conversions, and the placement arithmetic of the windows.
#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstring>
#include <string>

#include "text/locale_numbers.h"
#include "ui/form/placement.h"
#include "text/separators.h"

namespace ionsift {
namespace {

TEST(UserTextToReal, AcceptsOnlyAWholeNumberInTheGivenSeparator) {
    struct Case {
        const char* text;
        char separator;
        bool converts;
        double value;
    };
    const Case cases[] = {
        {"150.25", '.', true, 150.25},
        {"150,25", ',', true, 150.25},
        {"  +2  ", ',', true, 2.0},
        {"-0,5", ',', true, -0.5},
        {",5", ',', true, 0.5},
        {"7,", ',', true, 7.0},
        {"1,5e3", ',', true, 1500.0},
        {"1E-2", '.', true, 0.01},
        {"150.25", ',', false, 0},  // the other separator is not a number here
        {"150,25", '.', false, 0},
        {"1,2,3", ',', false, 0},
        {"", '.', false, 0},
        {"   ", '.', false, 0},
        {",", ',', false, 0},
        {"+", '.', false, 0},
        {"--1", '.', false, 0},
        {"1e", '.', false, 0},
        {"1e+", '.', false, 0},
        {"e5", '.', false, 0},
        {"12abc", '.', false, 0},
        {"\t12", '.', false, 0},  // only blanks surround a number
        {"1 2", '.', false, 0},
        {"inf", '.', false, 0},
        {"nan", '.', false, 0},
        {"0x10", '.', false, 0},
        {"1e999", '.', false, 0},  // beyond double
    };
    for (const Case& c : cases) {
        double value = -123.0;
        EXPECT_EQ(UserTextToReal(c.text, c.separator, value), c.converts) << c.text;
        if (c.converts) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        } else {
            EXPECT_EQ(value, -123.0) << c.text << ": a failed conversion leaves the value";
        }
    }
}

TEST(UserTextToReal, IgnoresACommaCRuntimeLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8")) << "German locale missing: run scripts/bootstrap";
    double value = 0;
    EXPECT_TRUE(UserTextToReal("500.001", '.', value));
    EXPECT_DOUBLE_EQ(value, 500.001);
    EXPECT_FALSE(UserTextToReal("500,001", '.', value));
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(UserTextToInt, DecimalDigitsThatFitIn32Bits) {
    struct Case {
        const char* text;
        bool converts;
        int value;
    };
    const Case cases[] = {
        {"200", true, 200},       {" +2 ", true, 2},          {"-7", true, -7},
        {"2147483647", true, INT_MAX}, {"-2147483648", true, INT_MIN},
        {"2147483648", false, 0}, {"-2147483649", false, 0},  {"99999999999999999999", false, 0},
        {"", false, 0},           {"-", false, 0},            {"12abc", false, 0},
        {"1.0", false, 0},        {"0x1F", false, 0},         {"+-1", false, 0},
    };
    for (const Case& c : cases) {
        int value = 42;
        EXPECT_EQ(UserTextToInt(c.text, value), c.converts) << c.text;
        EXPECT_EQ(value, c.converts ? c.value : 42) << c.text;
    }
}

TEST(Separators, PointsBecomeTheLocalSeparatorAndBack) {
    std::string text = "1.5 2.25";
    ToLocalSeparator(text, '.');
    EXPECT_EQ(text, "1.5 2.25");
    ToLocalSeparator(text, ',');
    EXPECT_EQ(text, "1,5 2,25");
    char typed[] = "1,5\t2,25";
    ToPointSeparator(typed, ',');
    EXPECT_STREQ(typed, "1.5\t2.25");
    ToPointSeparator(nullptr, ',');
}

TEST(Separators, TheLocaleSeparatorDefaultsToThePointAndIsKept) {
    EXPECT_EQ(LocaleDecimalSeparator(), '.');
    SetLocaleDecimalSeparator(',');
    std::string text = "0.5";
    ToLocalSeparator(text);
    EXPECT_EQ(text, "0,5");
    SetLocaleDecimalSeparator('\0');
    EXPECT_EQ(LocaleDecimalSeparator(), '.');
}

TEST(Placement, HalvesRoundTowardMinusInfinity) {
    EXPECT_EQ(FloorHalf(101), 50);
    EXPECT_EQ(FloorHalf(-101), -51);
    EXPECT_EQ(FloorHalf(-1), -1);
    EXPECT_EQ(FloorHalf(-2), -1);
    EXPECT_EQ(FloorHalf(0), 0);
    EXPECT_EQ(FloorHalf(INT_MIN), INT_MIN / 2);
}

TEST(Placement, CentredOverTheReferenceThenKeptOnTheMonitor) {
    const WorkLimits limits{1280, 994};
    // Room on every side: plain centring, the odd pixel going left and up.
    Position p = CenterOver({100, 100, 901, 701}, 400, 300, limits);
    EXPECT_EQ(p.left, 300);
    EXPECT_EQ(p.top, 250);
    // A host at the right edge: the form ends flush with the right limit.
    p = CenterOver({1000, 200, 1280, 500}, 721, 479, limits);
    EXPECT_EQ(p.left, 1280 - 721);
    EXPECT_EQ(p.left + 721, limits.right);
    // Ending exactly on the limit also counts as reaching it (no change).
    p = CenterOver({559, 0, 1280, 479}, 721, 479, limits);
    EXPECT_EQ(p.left, 559);
    // A host off the top-left: pushed to 0.
    p = CenterOver({-300, -200, 100, 100}, 721, 479, limits);
    EXPECT_EQ(p.left, 0);
    EXPECT_EQ(p.top, 0);
    // Wider than the limits: flush right wins, leaving a negative left...
    p = CenterOver({400, 0, 1280, 600}, 1500, 300, limits);
    EXPECT_EQ(p.left, 1280 - 1500);
    // ...unless centring leaves it short of the right limit: then 0.
    p = CenterOver({0, 0, 800, 600}, 1500, 300, limits);
    EXPECT_EQ(p.left, 0);
    // Off the bottom edge.
    p = CenterOver({0, 900, 400, 1100}, 200, 300, limits);
    EXPECT_EQ(p.top, 994 - 300);
}

TEST(Placement, CentredInTheLimitsWithoutClamping) {
    Position p = CenterInLimits(721, 479, {1280, 1024});
    EXPECT_EQ(p.left, 279);  // 559 / 2 rounded down
    EXPECT_EQ(p.top, 272);
    p = CenterInLimits(1501, 300, {1280, 1024});
    EXPECT_EQ(p.left, -111);  // -221 / 2 toward minus infinity
}

}  // namespace
}  // namespace ionsift
