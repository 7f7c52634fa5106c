// The mass window's extended precision inside a process whose x87 unit was
// set to 53 bits, as hosts built by most Windows compilers leave it.
#include <gtest/gtest.h>

#include <float.h>

#include "search/mass_window.h"

namespace ionsift {
namespace {

class DoublePrecisionHost : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = _controlfp(0, 0);
        _controlfp(_PC_53, _MCW_PC);
    }
    void TearDown() override { _controlfp(saved_, _MCW_PC); }
    unsigned int saved_ = 0;
};

// (1e-6 × mass) × ppm worked out at the precision `control` names.
double ToleranceAt(unsigned int control, double mass, double ppm) {
    // Read through volatiles, so that the compiler cannot fold the product.
    volatile long double perMillion = 1e-6L, massRead = mass, ppmRead = ppm;
    const unsigned int saved = _controlfp(0, 0);
    _controlfp(control, _MCW_PC);
    volatile long double product = (perMillion * massRead) * ppmRead;
    const double tolerance = static_cast<double>(product);
    _controlfp(saved, _MCW_PC);
    return tolerance;
}

TEST_F(DoublePrecisionHost, TheToleranceIsStillRoundedOnceAndThePrecisionPutBack) {
    // A pair whose product comes out differently when the intermediate is
    // rounded to 53 bits.
    volatile double mass = 100.002, ppm = 3.0;
    const double extended = ToleranceAt(_PC_64, mass, ppm);
    ASSERT_NE(extended, ToleranceAt(_PC_53, mass, ppm)) << "the pair does not tell them apart";

    EXPECT_EQ(MassTolerance(mass, ppm), extended);
    EXPECT_EQ(_controlfp(0, 0) & _MCW_PC, static_cast<unsigned int>(_PC_53));
}

}  // namespace
}  // namespace ionsift
