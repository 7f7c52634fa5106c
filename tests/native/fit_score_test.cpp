// The likelihood score term by term, with values derived by hand from the
// formula in isotopes/fit_score.h (defaults: 3 ppm, 5 % + 0.5, floor 1 %),
// and the ranking order.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "host/chem/formula.h"
#include "host/chem/isotope_distribution.h"
#include "isotopes/fine_structure.h"
#include "isotopes/fit_rank.h"
#include "isotopes/fit_score.h"
#include "isotopes/instrument_view.h"

namespace ionsift {
namespace {

std::vector<TPeak> Measured(std::initializer_list<std::pair<double, double>> pairs) {
    std::vector<TPeak> peaks;
    for (const auto& [mz, intensity] : pairs) peaks.push_back({false, mz, intensity});
    return peaks;
}

// A pattern at m/z 400 with a second peak at 401 (6 %) and a third at 402 (2 %).
const std::vector<ProfilePoint> kComputed = {{400.0, 100}, {401.0, 6}, {402.0, 2}};
constexpr double kPpm400 = 400e-6;  // 1 ppm of m/z 400, in Da
constexpr double kPpm401 = 401e-6;

struct TermCase {
    const char* term;
    std::vector<TPeak> measured;
    std::vector<ProfilePoint> computed;
    double expected;
};

TEST(FitScore, EachTermAlone) {
    const TermCase cases[] = {
        {"perfect fit", Measured({{400, 100}, {401, 6}, {402, 2}}), kComputed, 0.0},
        // Any scale: the tallest measured peak is taken as 100.
        {"perfect fit, measured in counts", Measured({{400, 5e6}, {401, 3e5}, {402, 1e5}}), kComputed, 0.0},
        // Every peak shifted by 3 ppm of the reference's m/z: the reference is
        // off by one sigma, the spacings are exact. -1/2 x 1^2.
        {"reference m/z, shared shift",
         Measured({{400 + 3 * kPpm400, 100}, {401 + 3 * kPpm400, 6}, {402 + 3 * kPpm400, 2}}), kComputed,
         -0.5},
        // Only the second peak 6 ppm off: its spacing deviates by 2 sigma of
        // its m/z. -1/2 x 2^2.
        {"spacing", Measured({{400, 100}, {401 + 6 * kPpm401, 6}, {402, 2}}), kComputed, -2.0},
        // 6.6 measured against 6: sigma = 0.05 x 6 + 0.5 = 0.8; -1/2 (0.6/0.8)^2.
        {"intensity", Measured({{400, 100}, {401, 6.6}, {402, 2}}), kComputed, -0.5 * 0.75 * 0.75},
        // The 2 % peak not measured: sigma = 0.1 + 0.5; -1/2 (2/0.6)^2.
        {"missing above the floor", Measured({{400, 100}, {401, 6}}), kComputed,
         -0.5 * (2 / 0.6) * (2 / 0.6)},
        {"missing below the floor", Measured({{400, 100}, {401, 6}}),
         {{400.0, 100}, {401.0, 6}, {402.0, 0.9}}, 0.0},
        // A 1.5 % peak nothing explains: sigma = 0.5; -1/2 (1.5/0.5)^2.
        {"unexplained", Measured({{400, 100}, {401, 6}, {402, 2}, {403, 1.5}}), kComputed, -4.5},
        // A peak at 0 was not seen: the 2 % centroid is missing.
        {"zero intensity is not a peak", Measured({{400, 100}, {401, 6}, {402, 0}}), kComputed,
         -0.5 * (2 / 0.6) * (2 / 0.6)},
    };
    for (const TermCase& c : cases) {
        const auto score = FitScore(c.measured, c.computed);
        ASSERT_TRUE(score) << c.term;
        EXPECT_NEAR(*score, c.expected, 1e-9) << c.term;
    }
}

TEST(FitScore, TermsAddUp) {
    // The intensity term of the second peak (-0.28125) and the unexplained
    // 1.5 % peak (-4.5) together.
    const auto score = FitScore(Measured({{400, 100}, {401, 6.6}, {402, 2}, {403, 1.5}}), kComputed);
    ASSERT_TRUE(score);
    EXPECT_NEAR(*score, -0.28125 - 4.5, 1e-9);
}

TEST(FitScore, ThePairingWindowIsSetByMassAccuracyAndFwhm) {
    // At m/z 400, R 30000, 3 ppm: 4 x 3 x 400e-6 + 400 / 60000 = 0.0048 + 0.006667.
    const double halfWidth = 0.0048 + 400.0 / 60000;
    EXPECT_NEAR(PairingHalfWidth(400, FitSettings{}), halfWidth, 1e-12);
    const std::vector<ProfilePoint> single = {{400.0, 100}};
    // Just inside: paired, its deviation counted as the reference's.
    const double inside = halfWidth * 0.999;
    const auto paired = FitScore(Measured({{400 + inside, 100}}), single);
    ASSERT_TRUE(paired);
    EXPECT_NEAR(*paired, -0.5 * std::pow(inside / (3 * kPpm400), 2), 1e-6);
    // Just outside: a computed 100 % missing (sigma 5.5) and a measured 100 %
    // unexplained (sigma 0.5), no m/z term.
    const auto apart = FitScore(Measured({{400 + halfWidth * 1.001, 100}}), single);
    ASSERT_TRUE(apart);
    EXPECT_NEAR(*apart, -0.5 * (std::pow(100 / 5.5, 2) + std::pow(100 / 0.5, 2)), 1e-9);
    // A higher resolving power narrows the window: at 240,000 the same peak is apart.
    FitSettings sharp;
    sharp.resolvingPower = 240000;
    EXPECT_NEAR(*FitScore(Measured({{400 + inside, 100}}), single, sharp), *apart, 1e-9);
}

TEST(FitScore, TheTallestCentroidPairsFirstWithTheNearestFreePeak) {
    // Two computed centroids 0.004 apart, both within reach of one measured
    // peak nearer the weaker one: the tallest takes it, the weaker is missing.
    const std::vector<ProfilePoint> close = {{400.000, 100}, {400.004, 40}};
    const auto score = FitScore(Measured({{400.003, 100}}), close);
    ASSERT_TRUE(score);
    const double reference = -0.5 * std::pow(0.003 / (3 * kPpm400), 2);
    const double missing = -0.5 * std::pow(40 / 2.5, 2);
    EXPECT_NEAR(*score, reference + missing, 1e-6);
}

TEST(FitScore, NothingWithoutPeaksOrWithFaultyInput) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    FitSettings noResolution;
    noResolution.resolvingPower = 0;
    FitSettings noAccuracy;
    noAccuracy.massAccuracyPpm = -3;
    FitSettings noAbsolute;
    noAbsolute.absoluteIntensityError = 0;
    const struct {
        const char* why;
        std::vector<TPeak> measured;
        std::vector<ProfilePoint> computed;
        FitSettings settings;
    } cases[] = {
        {"no measured peak", {}, kComputed, {}},
        {"no computed peak", Measured({{400, 100}}), {}, {}},
        {"all measured at 0", Measured({{400, 0}, {401, 0}}), kComputed, {}},
        {"negative measured", Measured({{400, -5}}), kComputed, {}},
        {"NaN m/z", Measured({{nan, 100}}), kComputed, {}},
        {"infinite intensity", Measured({{400, std::numeric_limits<double>::infinity()}}), kComputed, {}},
        {"NaN computed", Measured({{400, 100}}), {{400.0, nan}}, {}},
        {"resolving power 0", Measured({{400, 100}}), kComputed, noResolution},
        {"negative accuracy", Measured({{400, 100}}), kComputed, noAccuracy},
        {"no absolute error", Measured({{400, 100}}), kComputed, noAbsolute},
    };
    for (const auto& c : cases) EXPECT_FALSE(FitScore(c.measured, c.computed, c.settings)) << c.why;
}

// Bortezomib, C19H25BN4O4 (384.196886), measured as its own centroids at
// R 120,000 (those of at least 0.5 %, seven peaks: 15N and 13C apart),
// against every boron-free CHNOPS formula within 5 ppm that the valence and
// element-ratio rules allow (enumerated once with IsoSpec's masses). The RMS,
// pairing the lightest nominal sticks (10B at 25 % first) with those seven
// peaks, ranks a boron-free formula before it; the score must put it first.
TEST(FitScore, ABoronCompoundOutranksTheBoronFreeFormulasOfItsWindow) {
    const std::string boron = "C19H25BN4O4";
    const std::vector<std::string> boronFree = {
        "C12H28N6O8",    "C13H32N6O3S2", "C13H24N10O4", "C14H33N4O4PS", "C15H29N8PS",
        "C16H38N2P2S2",  "C16H30N6OP2",  "C20H34O3P2",  "C20H32O5S",    "C21H36S3",
        "C21H28N4OS",    "C22H29N2O2P",  "C24H24N4O",
    };
    FitSettings settings;
    settings.resolvingPower = 120000;
    const auto centroidsOf = [&settings](const std::string& formula) {
        const chem::FormulaParse parsed = chem::ParseFormula(formula);
        EXPECT_TRUE(parsed.ok) << formula;
        std::vector<IsotopeLine> lines;
        std::string problem;
        EXPECT_TRUE(FineStructure(parsed.formula.counts, 0, lines, problem)) << problem;
        return Centroids(lines, settings.resolvingPower);
    };
    const auto nominalSticks = [](const std::string& formula) {
        std::vector<TPeak> sticks;
        for (const chem::Peak& peak : chem::CoarseDistribution(chem::ParseFormula(formula).formula)) {
            sticks.push_back({false, peak.mass, peak.abundance});
        }
        return sticks;
    };
    std::vector<TPeak> measured;
    for (const ProfilePoint& peak : centroidsOf(boron)) {
        if (peak.intensity >= 0.5) measured.push_back({false, peak.mz, peak.intensity});
    }
    const double boronMass = chem::MonoisotopicMass(chem::ParseFormula(boron).formula);
    const auto boronScore = FitScore(measured, centroidsOf(boron), settings);
    const auto boronRms = CompareRms(nominalSticks(boron), measured);
    ASSERT_TRUE(boronScore);
    ASSERT_TRUE(boronRms);
    int rmsBeaten = 0;
    for (const std::string& formula : boronFree) {
        const double mass = chem::MonoisotopicMass(chem::ParseFormula(formula).formula);
        ASSERT_LT(std::fabs(mass - boronMass) / boronMass * 1e6, 5.0) << formula;
        const auto score = FitScore(measured, centroidsOf(formula), settings);
        ASSERT_TRUE(score) << formula;
        EXPECT_GT(*boronScore, *score) << formula;
        rmsBeaten += *CompareRms(nominalSticks(formula), measured) < *boronRms;
    }
    // The failure the score replaces: by RMS a boron-free formula fits better.
    EXPECT_GE(rmsBeaten, 1) << "RMS " << *boronRms;
}

TEST(RankOrder, ScoreDescendingThenErrorSizeThenRowsWithoutScore) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<FitRankKey> keys = {
        {std::nullopt, 0.1},  // 0: no score, small error
        {-3.0, -2.0},         // 1
        {-1.0, 4.0},          // 2: best score
        {-3.0, 1.5},          // 3: same score as 1, smaller |error|
        {-3.0, nan},          // 4: same score, no error: after those with one
        {nan, 0.0},           // 5: NaN counts as no score; before 0 by |error|
        {-3.0, -1.5},         // 6: ties 3 in both: keeps its place after 3
    };
    EXPECT_EQ(RankOrder(keys), (std::vector<std::size_t>{2, 3, 6, 1, 4, 5, 0}));
    EXPECT_FALSE(RanksBefore(keys[3], keys[6]));
    EXPECT_FALSE(RanksBefore(keys[6], keys[3]));
}

}  // namespace
}  // namespace ionsift
