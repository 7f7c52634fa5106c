// Host numbers must read and print "." whatever locale the host process set,
// so every case runs with a comma locale active as well as the C locale.
#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstring>
#include <string>

#include "shell/host_numbers.h"

namespace ionsift {
namespace {

class HostNumbers : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        saved_ = std::setlocale(LC_ALL, nullptr);
        ASSERT_TRUE(std::setlocale(LC_ALL, GetParam())) << GetParam() << " missing: run scripts/bootstrap";
        if (std::strcmp(GetParam(), "C") != 0) {
            ASSERT_STREQ(std::localeconv()->decimal_point, ",") << "the test needs a comma locale";
        }
    }
    void TearDown() override { std::setlocale(LC_ALL, saved_.c_str()); }

private:
    std::string saved_;
};

TEST_P(HostNumbers, FixedPointTextUsesAPointAndRoundsLikePrintf) {
    EXPECT_EQ(FormatFixed(499.999, 6), "499.999000");
    EXPECT_EQ(FormatFixed(500.001, 6), "500.001000");
    EXPECT_EQ(FormatFixed(180.0633875, 3), "180.063");
    EXPECT_EQ(FormatFixed(-0.5, 2), "-0.50");
    EXPECT_EQ(FormatFixed(1e300, 0).size(), 301u);
    EXPECT_EQ(FormatFixed(2.5, 0), "2");  // ties to even, as the C library prints
}

TEST_P(HostNumbers, RealsAreReadLikeStrtodInTheCLocale) {
    struct Case {
        const char* text;
        double value;
        std::size_t consumed;
    };
    const Case cases[] = {
        {"180.063388;C6H12O6", 180.063388, 10},
        {"  \t+1.5e3 rest", 1500.0, 9},
        {"-0.25", -0.25, 5},
        {".5", 0.5, 2},
        {"7.", 7.0, 2},
        {"1,5", 1.0, 1},  // a comma never counts as decimal point here
        {"1e", 1.0, 1},
        {"abc", 0.0, 0},
        {"", 0.0, 0},
        {"   ", 0.0, 0},
        {"+", 0.0, 0},
        {"--0", 0.0, 0},  // found by fuzzing: one sign only
        {"+-1", 0.0, 0},
        {"1e-400", 0.0, 6},
    };
    for (const Case& c : cases) {
        const char* end = nullptr;
        EXPECT_DOUBLE_EQ(ReadHostReal(c.text, &end), c.value) << '"' << c.text << '"';
        EXPECT_EQ(static_cast<std::size_t>(end - c.text), c.consumed) << '"' << c.text << '"';
    }
    EXPECT_TRUE(std::isinf(ReadHostReal("1e400")));
    EXPECT_TRUE(std::isinf(ReadHostReal("-1e400")) && ReadHostReal("-1e400") < 0);
    EXPECT_TRUE(std::isnan(ReadHostReal("nan")));
    // Found by fuzzing: leading zeros do not make a huge exponent an underflow.
    EXPECT_TRUE(std::isinf(ReadHostReal("000.0011E2212")));
    EXPECT_EQ(ReadHostReal("1234.5e-400"), 0.0);
    EXPECT_EQ(ReadHostReal("0.0000e-999999999999999999999"), 0.0);
    EXPECT_EQ(ReadHostReal(nullptr), 0.0);
}

TEST_P(HostNumbers, IntegersAreReadLikeStrtol) {
    struct Case {
        const char* text;
        long value;
        std::size_t consumed;
    };
    const Case cases[] = {
        {"12;180.06", 12, 2},  {" -7x", -7, 3},          {"+0042", 42, 5},
        {"x12", 0, 0},         {"", 0, 0},               {"-", 0, 0},
        {"2147483647", 2147483647L, 10},
    };
    for (const Case& c : cases) {
        const char* end = nullptr;
        EXPECT_EQ(ReadHostInt(c.text, &end), c.value) << '"' << c.text << '"';
        EXPECT_EQ(static_cast<std::size_t>(end - c.text), c.consumed) << '"' << c.text << '"';
    }
    EXPECT_EQ(ReadHostInt("99999999999999999999999"), LONG_MAX);
    EXPECT_EQ(ReadHostInt("-99999999999999999999999"), LONG_MIN);
}

TEST_P(HostNumbers, WhatIsPrintedReadsBackExactly) {
    for (double value : {0.0, 1e-6, 180.063388, 499.999, 123456.789012, -42.5}) {
        const std::string text = FormatFixed(value, 6);
        EXPECT_NEAR(ReadHostReal(text.c_str()), value, 5e-7) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, HostNumbers, ::testing::Values("C", "de_DE.UTF-8"));

}  // namespace
}  // namespace ionsift
