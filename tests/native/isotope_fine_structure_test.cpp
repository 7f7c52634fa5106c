// The fine structure against IsoSpec (Debian's python3-isospec, given our
// isotope table: data/make_fine_structure_reference.py), and the instrument's
// view against hand-derived and brute-force expectations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ions/ion_formula.h"
#include "isotopes/fine_structure.h"
#include "isotopes/instrument_view.h"

namespace ionsift {
namespace {

std::vector<IsotopeLine> Lines(const char* formula, int charge = 0) {
    ElementCounts counts;
    EXPECT_TRUE(ParseElementCounts(formula, counts)) << formula;
    std::vector<IsotopeLine> lines;
    std::string problem;
    EXPECT_TRUE(FineStructure(counts, charge, lines, problem)) << formula << ": " << problem;
    return lines;
}

struct ReferenceFormula {
    std::string formula;
    int charge = 0;
    double totalProbability = 0;
    std::vector<IsotopeLine> lines;  // probability relative to the tallest
};

std::vector<ReferenceFormula> ReadReference() {
    std::ifstream file(IONSIFT_FINE_STRUCTURE_REFERENCE);
    std::vector<ReferenceFormula> formulas;
    std::string word;
    while (file >> word) {
        EXPECT_EQ(word, "formula");
        ReferenceFormula entry;
        std::size_t count = 0;
        file >> entry.formula >> entry.charge >> entry.totalProbability >> count;
        entry.lines.resize(count);
        for (IsotopeLine& line : entry.lines) file >> line.mz >> line.probability;
        if (!file) break;
        formulas.push_back(std::move(entry));
    }
    return formulas;
}

// Every reference line of at least 1e-4 of the tallest is one of ours within
// 1e-6 Da and 1e-4 in relative abundance (two isotopologues may lie within
// 1e-6 Da of each other, so any line in that window may match); and the
// lines down to 1e-6 of the tallest add up to the same probability.
TEST(FineStructure, MatchesIsoSpecOnTheReferenceFormulas) {
    const std::vector<ReferenceFormula> reference = ReadReference();
    ASSERT_GE(reference.size(), 500u);
    int failures = 0;
    for (const ReferenceFormula& entry : reference) {
        SCOPED_TRACE(entry.formula + " charge " + std::to_string(entry.charge));
        const std::vector<IsotopeLine> lines = Lines(entry.formula.c_str(), entry.charge);
        ASSERT_FALSE(lines.empty());
        double tallest = 0, total = 0;
        for (const IsotopeLine& line : lines) {
            tallest = std::max(tallest, line.probability);
            total += line.probability;
        }
        EXPECT_NEAR(total, entry.totalProbability, 1e-6);
        for (const IsotopeLine& want : entry.lines) {
            auto at = std::lower_bound(lines.begin(), lines.end(), want.mz - 1e-6,
                                       [](const IsotopeLine& line, double mz) { return line.mz < mz; });
            bool found = false;
            for (; at != lines.end() && at->mz <= want.mz + 1e-6 && !found; ++at)
                found = std::abs(at->probability / tallest - want.probability) <= 1e-4;
            if (!found && ++failures <= 10)
                ADD_FAILURE() << "no line at m/z " << want.mz << " with " << want.probability << " of the tallest";
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(FineStructure, RefusesWhatItCannotCompute) {
    const struct {
        ElementCounts formula;
        std::size_t maxLines;
        const char* problem;
    } cases[] = {
        {{{"C", 6}, {"Xx", 1}}, 1000000, "unknown element Xx"},
        {{{"T", 2}}, 1000000, "unknown element T"},  // tritium is not stable
        {{}, 1000000, "empty formula"},
        {{{"C", 0}}, 1000000, "empty formula"},
        {{{"C", 6}, {"H", -1}}, 1000000, "negative count of H"},
        // C60 has 8 carbon configurations down to 1e-6; a formula too large
        // for memory is refused the same way.
        {{{"C", 60}}, 7, "more than 7 lines"},
        {{{"C", 60}, {"Cl", 4}}, 20, "more than 20 lines"},
        {{{"Sn", 1000000}, {"Xe", 1000000}}, 1000000, "more than 1000000 lines"},
    };
    for (const auto& c : cases) {
        std::vector<IsotopeLine> lines{{1, 1}};
        std::string problem;
        FineStructureLimits limits;
        limits.maxLines = c.maxLines;
        EXPECT_FALSE(FineStructure(c.formula, 0, lines, problem, limits)) << c.problem;
        EXPECT_EQ(problem, c.problem);
        EXPECT_TRUE(lines.empty());
    }
}

// A Gaussian sum evaluated by brute force on a grid 1000 times finer than
// the engine's, as the definition says: FWHM = m/z / R, height the line's.
struct BruteForce {
    std::vector<IsotopeLine> lines;
    double resolvingPower;
    double Value(double x) const {
        double sum = 0;
        for (const IsotopeLine& line : lines) {
            const double sigma = line.mz / resolvingPower / (2 * std::sqrt(2 * std::log(2.0)));
            sum += line.probability * std::exp(-(x - line.mz) * (x - line.mz) / (2 * sigma * sigma));
        }
        return sum;
    }
    // Each maximum's apex height and the intensity-weighted mean of the
    // points of its own peak (between the valleys towards its neighbours)
    // above half of it, over [from, to].
    std::vector<ProfilePoint> Centroids(double from, double to) const {
        const int points = 2000000;
        std::vector<double> mz(points + 1), value(points + 1);
        for (int i = 0; i <= points; ++i) value[i] = Value(mz[i] = from + (to - from) * i / points);
        std::vector<int> maxima, valleys{0};
        for (int i = 1; i < points; ++i) {
            if (value[i] > value[i - 1] && value[i] >= value[i + 1]) maxima.push_back(i);
            if (value[i] < value[i - 1] && value[i] <= value[i + 1]) valleys.push_back(i);
        }
        valleys.push_back(points);
        std::vector<ProfilePoint> centroids;
        for (std::size_t m = 0; m < maxima.size(); ++m) {
            const double apex = value[maxima[m]];
            double weighted = 0, total = 0;
            for (int i = valleys[m]; i <= valleys[m + 1]; ++i) {
                if (value[i] < apex / 2) continue;
                weighted += value[i] * mz[i];
                total += value[i];
            }
            centroids.push_back({weighted / total, apex});
        }
        return centroids;
    }
};

TEST(Centroids, FollowTheWeightedMeanAndApexRules) {
    const struct {
        const char* what;
        std::vector<IsotopeLine> lines;
        double resolvingPower;
        std::vector<ProfilePoint> expected;  // hand-derived
    } cases[] = {
        // FWHM 0.04 Da: 25 FWHM apart, no overlap; each apex is its stick.
        {"resolved", {{400.0, 0.8}, {401.0, 0.4}}, 10000, {{400.0, 100}, {401.0, 50}}},
        // FWHM 0.004 Da; 0.003 Da apart (0.75 FWHM) makes one symmetric peak.
        {"merged, equal", {{400.0, 0.3}, {400.003, 0.3}}, 100000, {{400.0015, 100}}},
        // Order does not matter; lines of no probability add nothing.
        {"unsorted", {{401.0, 0.4}, {400.5, 0}, {400.0, 0.8}}, 10000, {{400.0, 100}, {401.0, 50}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<ProfilePoint> centroids = Centroids(c.lines, c.resolvingPower);
        ASSERT_EQ(centroids.size(), c.expected.size());
        for (std::size_t i = 0; i < centroids.size(); ++i) {
            EXPECT_NEAR(centroids[i].mz, c.expected[i].mz, 1e-9);
            EXPECT_NEAR(centroids[i].intensity, c.expected[i].intensity, 1e-9);
        }
    }
}

// Where the rules matter: an unequal pair merged into one peak (its weighted
// mean lies between apex and the weaker line) and a pair resolved with
// overlapping tails (each apex raised by the other's tail, the weaker peak's
// half-height stretch cut at the valley).
TEST(Centroids, MatchABruteForceEvaluationOfTheDefinition) {
    const struct {
        const char* what;
        std::vector<IsotopeLine> lines;
        std::size_t centroids;
    } cases[] = {
        {"merged, unequal", {{400.0, 1.0}, {400.002, 0.5}}, 1},
        {"overlapping tails", {{400.0, 1.0}, {400.0055, 0.5}}, 2},
        {"shoulder", {{400.0, 1.0}, {400.0048, 0.4}}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<ProfilePoint> centroids = Centroids(c.lines, 100000);
        const std::vector<ProfilePoint> expected = BruteForce{c.lines, 100000}.Centroids(399.98, 400.03);
        ASSERT_EQ(expected.size(), c.centroids);
        ASSERT_EQ(centroids.size(), c.centroids);
        for (std::size_t i = 0; i < centroids.size(); ++i) {
            EXPECT_NEAR(centroids[i].mz, expected[i].mz, 2e-8);
            EXPECT_NEAR(centroids[i].intensity, 100 * expected[i].intensity / expected[0].intensity, 1e-6);
        }
    }
}

// 34S and 13C2 lie 0.0109 Da apart in the M+2 peak of a sulfur compound near
// m/z 400 (NIST masses: 34S - 32S = 1.995796, 2 x (13C - 12C) = 2.006710):
// an instrument at 60,000 and more separates them, one at 15,000 does not.
TEST(Centroids, SeparateSulfur34FromTwoCarbon13AtHighResolvingPower) {
    const std::vector<IsotopeLine> lines = Lines("C22H28O5S");
    const double mono = lines.front().mz;
    const struct {
        double resolvingPower;
        std::vector<double> offsets;  // of the M+2 centroids above 1 %
    } cases[] = {
        {120000, {1.995796, 2.006710}},
        {60000, {1.995796, 2.006710}},
        {15000, {2.0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.resolvingPower);
        std::vector<double> offsets;
        for (const ProfilePoint& centroid : Centroids(lines, c.resolvingPower))
            if (centroid.intensity >= 1 && std::abs(centroid.mz - mono - 2) < 0.1) offsets.push_back(centroid.mz - mono);
        ASSERT_EQ(offsets.size(), c.offsets.size());
        // 18O (1.997) merges with 34S, 13C 2H and 17O 13C with 13C2: within 0.0015 Da.
        for (std::size_t i = 0; i < offsets.size() && c.offsets.size() == 2; ++i)
            EXPECT_NEAR(offsets[i], c.offsets[i], 0.0015);
    }
}

TEST(Profile, IsSampledFinelyWithTheTallestAtHundred) {
    const std::vector<IsotopeLine> lines{{400.0, 0.8}, {401.0, 0.4}};
    const std::vector<ProfilePoint> profile = Profile(lines, 10000);
    ASSERT_FALSE(profile.empty());
    EXPECT_TRUE(std::is_sorted(profile.begin(), profile.end(),
                               [](const ProfilePoint& a, const ProfilePoint& b) { return a.mz < b.mz; }));
    double tallest = 0, second = 0;
    int nearFirst = 0;
    for (const ProfilePoint& point : profile) {
        tallest = std::max(tallest, point.intensity);
        if (point.mz > 400.5) second = std::max(second, point.intensity);
        if (std::abs(point.mz - 400.0) <= 0.02) ++nearFirst;  // within half the FWHM
    }
    EXPECT_DOUBLE_EQ(tallest, 100);
    EXPECT_NEAR(second, 50, 0.5);  // the grid point next to the apex
    EXPECT_GE(nearFirst, 8);       // enough to draw a smooth peak
    EXPECT_LT(profile.front().intensity, 1e-6);
    EXPECT_LT(profile.back().intensity, 1e-6);
}

TEST(InstrumentView, NothingToSeeGivesNothing) {
    const std::vector<IsotopeLine> lines{{400.0, 1.0}};
    for (double resolvingPower : {0.0, -1000.0, std::nan("")}) {
        EXPECT_TRUE(Centroids(lines, resolvingPower).empty());
        EXPECT_TRUE(Profile(lines, resolvingPower).empty());
    }
    EXPECT_TRUE(Centroids({}, 30000).empty());
    EXPECT_TRUE(Profile({{400.0, 0}}, 30000).empty());
}

}  // namespace
}  // namespace ionsift
