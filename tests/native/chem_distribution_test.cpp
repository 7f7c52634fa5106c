// Coarse isotopic distributions against independent calculations: explicit
// enumeration of every isotope combination for small molecules, and a plain
// atom-by-atom convolution in long double for proteins.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/chem/elements.h"
#include "host/chem/formula.h"
#include "host/chem/isotope_distribution.h"

namespace ionsift::chem {
namespace {

// Cluster sums by nominal mass: probability and probability-weighted mass.
using Clusters = std::map<std::int64_t, std::pair<long double, long double>>;

std::vector<Peak> ToPeaks(const Clusters& clusters, double thresholdPercent) {
    long double top = 0;
    for (const auto& [nominal, sums] : clusters) top = std::max(top, sums.first);
    std::vector<Peak> peaks;
    for (const auto& [nominal, sums] : clusters) {
        const long double percent = 100 * sums.first / top;
        if (percent >= thresholdPercent) {
            peaks.push_back({static_cast<double>(sums.second / sums.first), static_cast<double>(percent)});
        }
    }
    return peaks;
}

std::vector<const Element*> Atoms(const char* text) {
    const FormulaParse parse = ParseFormula(text);
    EXPECT_TRUE(parse.ok) << text;
    std::vector<const Element*> atoms;
    for (const auto& [symbol, count] : parse.formula.counts) {
        atoms.insert(atoms.end(), count, FindElement(symbol));
    }
    return atoms;
}

// Every combination of one isotope per atom, visited one by one.
void Enumerate(const std::vector<const Element*>& atoms, std::size_t next, long double p,
               long double mass, std::int64_t nominal, Clusters& clusters) {
    if (next == atoms.size()) {
        clusters[nominal].first += p;
        clusters[nominal].second += p * mass;
        return;
    }
    for (const Isotope& isotope : atoms[next]->isotopes) {
        Enumerate(atoms, next + 1, p * isotope.abundance, mass + isotope.mass,
                  nominal + isotope.massNumber, clusters);
    }
}

std::vector<Peak> Enumerated(const char* formula, double thresholdPercent = kDefaultPeakThreshold) {
    Clusters clusters;
    Enumerate(Atoms(formula), 0, 1, 0, 0, clusters);
    return ToPeaks(clusters, thresholdPercent);
}

// One atom at a time, no pruning; only values under 1e-200 of the tallest are
// dropped, to keep long double out of its slow subnormal range.
std::vector<Peak> AtomByAtom(const char* formula, double thresholdPercent = kDefaultPeakThreshold) {
    std::int64_t first = 0;
    std::vector<long double> p{1}, pm{0};
    for (const Element* atom : Atoms(formula)) {
        const int lightest = atom->isotopes.begin()->massNumber;
        const int span = (atom->isotopes.end() - 1)->massNumber - lightest;
        std::vector<long double> nextP(p.size() + span, 0), nextPm(p.size() + span, 0);
        for (std::size_t bin = 0; bin < p.size(); ++bin) {
            for (const Isotope& isotope : atom->isotopes) {
                const std::size_t to = bin + (isotope.massNumber - lightest);
                nextP[to] += p[bin] * isotope.abundance;
                nextPm[to] += (pm[bin] + p[bin] * isotope.mass) * isotope.abundance;
            }
        }
        first += lightest;
        const long double floor = *std::max_element(nextP.begin(), nextP.end()) * 1e-200L;
        std::size_t low = 0, high = nextP.size();
        while (nextP[low] < floor) ++low;
        while (nextP[high - 1] < floor) --high;
        p.assign(nextP.begin() + low, nextP.begin() + high);
        pm.assign(nextPm.begin() + low, nextPm.begin() + high);
        first += static_cast<std::int64_t>(low);
    }
    Clusters clusters;
    for (std::size_t bin = 0; bin < p.size(); ++bin) clusters[first + bin] = {p[bin], pm[bin]};
    return ToPeaks(clusters, thresholdPercent);
}

// Same clusters within 1e-4 Da and 0.01 percentage points; a cluster within
// 0.01 of the threshold may fall on either side of it.
void ExpectAgree(const std::vector<Peak>& actual, const std::vector<Peak>& expected,
                 double thresholdPercent, const std::string& what) {
    auto matching = [](const std::vector<Peak>& peaks, double mass) {
        return std::find_if(peaks.begin(), peaks.end(),
                            [&](const Peak& peak) { return std::fabs(peak.mass - mass) < 0.5; });
    };
    for (const Peak& want : expected) {
        const auto got = matching(actual, want.mass);
        if (got == actual.end()) {
            EXPECT_LT(want.abundance, thresholdPercent + 0.01) << what << " lacks " << want.mass;
            continue;
        }
        EXPECT_NEAR(got->mass, want.mass, 1e-4) << what;
        EXPECT_NEAR(got->abundance, want.abundance, 0.01) << what << " at " << want.mass;
    }
    for (const Peak& got : actual) {
        if (matching(expected, got.mass) == expected.end()) {
            EXPECT_LT(got.abundance, thresholdPercent + 0.01) << what << " extra " << got.mass;
        }
    }
}

std::vector<Peak> Distribution(const char* formula, double thresholdPercent = kDefaultPeakThreshold) {
    const FormulaParse parse = ParseFormula(formula);
    EXPECT_TRUE(parse.ok) << formula;
    return CoarseDistribution(parse.formula, thresholdPercent);
}

TEST(CoarseDistribution, SmallMoleculesMatchEveryIsotopeCombination) {
    for (const char* formula : {"C2H6O", "CH2Cl2", "C6H5Br", "H2O", "C2D6O", "SnCl2", "CHBr3",
                                "C3H7NO2S", "Fe(CO)5", "HgSe"}) {
        const std::vector<Peak> peaks = Distribution(formula);
        ASSERT_FALSE(peaks.empty()) << formula;
        ExpectAgree(peaks, Enumerated(formula), kDefaultPeakThreshold, formula);
    }
}

TEST(CoarseDistribution, HandCheckedSmallMolecules) {
    // CH2Cl2: 84 is 12C 1H2 35Cl2 alone; 86 mostly 35Cl 37Cl: 2 * 0.2424 / 0.7576
    // = 63.99 % of 84; 88 is 37Cl2: (0.2424 / 0.7576)^2 = 10.24 %. 85 is one 13C
    // (0.0107 / 0.9893 = 1.082 %) or one 2H (2 * 0.000115 / 0.999885 = 0.023 %).
    const std::vector<Peak> ch2cl2 = Distribution("CH2Cl2");
    ASSERT_GE(ch2cl2.size(), 5u);
    EXPECT_NEAR(ch2cl2[0].mass, 83.953355, 1e-6);
    EXPECT_EQ(ch2cl2[0].abundance, 100.0);
    EXPECT_NEAR(ch2cl2[1].abundance, 1.105, 0.002);
    EXPECT_NEAR(ch2cl2[2].mass, 83.953355 + 1.99705, 1e-4);
    EXPECT_NEAR(ch2cl2[2].abundance, 63.99, 0.01);
    EXPECT_NEAR(ch2cl2[4].mass, 83.953355 + 2 * 1.99705, 1e-4);
    EXPECT_NEAR(ch2cl2[4].abundance, 10.24, 0.01);

    // C6H5Br: 79Br and 81Br nearly equal (0.4931 / 0.5069 = 97.28 %), plus two
    // 13C on 79Br at 158 (15 * (0.0107 / 0.9893)^2 = 0.18 %).
    const std::vector<Peak> bromobenzene = Distribution("C6H5Br");
    ASSERT_GE(bromobenzene.size(), 4u);
    EXPECT_NEAR(bromobenzene[0].mass, 155.957463, 1e-6);
    EXPECT_NEAR(bromobenzene[2].abundance, 97.28 + 0.18, 0.02);

    // C2H6O: 47 is 2 * 1.082 (13C) + 6 * 0.0115 (2H) + 0.038 (17O) = 2.27 %;
    // 48 mostly 18O: 0.00205 / 0.99757 = 0.206 %, plus 13C2 0.012 %.
    const std::vector<Peak> ethanol = Distribution("C2H6O");
    ASSERT_EQ(ethanol.size(), 3u);  // the next cluster is about 0.003 %
    EXPECT_NEAR(ethanol[0].mass, 46.041865, 1e-6);
    EXPECT_NEAR(ethanol[1].abundance, 2.27, 0.01);
    EXPECT_NEAR(ethanol[2].abundance, 0.22, 0.01);
}

TEST(CoarseDistribution, ProteinsMatchAnUnprunedAtomByAtomConvolution) {
    for (const char* formula : {"C257H383N65O77S6",               // insulin
                                "C4500H7000N1200O1400S30",        // about 100 kDa
                                "C990H1528N262O300S7"}) {         // myoglobin-sized
        ExpectAgree(Distribution(formula), AtomByAtom(formula), kDefaultPeakThreshold, formula);
    }
    // Bromine and tin spread a spectrum wide and in steps of two.
    ExpectAgree(Distribution("C60H40Br8Sn4Cl6"), AtomByAtom("C60H40Br8Sn4Cl6"),
                kDefaultPeakThreshold, "C60H40Br8Sn4Cl6");
}

// Abundance-weighted mean of every cluster: the average molecular mass.
double AverageMass(const char* formula) {
    double mass = 0;
    for (const auto& [symbol, count] : ParseFormula(formula).formula.counts) {
        double sum = 0, weighted = 0;
        for (const Isotope& isotope : FindElement(symbol)->isotopes) {
            sum += isotope.abundance;
            weighted += isotope.abundance * isotope.mass;
        }
        mass += count * weighted / sum;
    }
    return mass;
}

TEST(CoarseDistribution, InvariantsOfLargeFormulas) {
    for (const char* formula : {"C4500H7000N1200O1400S30", "C10000H20000", "C2000H3000N500O600S20Fe4",
                                "C1000H1000Br100", "C400000H600000N100000O120000S3000"}) {
        const std::vector<Peak> peaks = Distribution(formula, 1e-6);
        ASSERT_GT(peaks.size(), 10u) << formula;
        double top = 0, weight = 0, weightedMass = 0;
        for (std::size_t i = 0; i < peaks.size(); ++i) {
            EXPECT_GE(peaks[i].abundance, 1e-6) << formula;
            EXPECT_LE(peaks[i].abundance, 100.0) << formula;
            top = std::max(top, peaks[i].abundance);
            weight += peaks[i].abundance;
            weightedMass += peaks[i].abundance * peaks[i].mass;
            if (i > 0) {
                // Neighbouring nominal masses: a step of one mass unit, give or
                // take the mass defects of the heavier isotopes.
                const double step = peaks[i].mass - peaks[i - 1].mass;
                EXPECT_GT(step, 0.99) << formula << " at " << peaks[i].mass;
                EXPECT_LT(step, 1.01) << formula << " at " << peaks[i].mass;
            }
        }
        EXPECT_EQ(top, 100.0) << formula;
        EXPECT_NEAR(weightedMass / weight, AverageMass(formula), 1e-4) << formula;

        // Unimodal: rises to the tallest, then falls.
        const auto tallest = std::max_element(peaks.begin(), peaks.end(),
                                              [](const Peak& a, const Peak& b) { return a.abundance < b.abundance; });
        for (auto peak = peaks.begin(); peak + 1 <= tallest; ++peak) EXPECT_LE(peak->abundance, (peak + 1)->abundance);
        for (auto peak = tallest; peak + 1 != peaks.end(); ++peak) EXPECT_GE(peak->abundance, (peak + 1)->abundance);
    }
}

TEST(CoarseDistribution, ThresholdAndDegenerateFormulas) {
    const std::vector<Peak> all = Distribution("CH2Cl2", 0.01);
    const std::vector<Peak> strong = Distribution("CH2Cl2", 50);
    ASSERT_EQ(strong.size(), 2u);
    EXPECT_EQ(strong[0].abundance, 100.0);
    EXPECT_NEAR(strong[1].abundance, 63.99, 0.01);
    EXPECT_EQ(Distribution("CH2Cl2", 100).size(), 1u);
    EXPECT_TRUE(Distribution("CH2Cl2", 101).empty());
    EXPECT_EQ(Distribution("CH2Cl2", std::nan("")).size(), Distribution("CH2Cl2", 0).size());
    EXPECT_GT(Distribution("CH2Cl2", -5).size(), all.size());

    // A pure isotope gives one peak at its own mass.
    const std::vector<Peak> deuterium = Distribution("D2");
    ASSERT_EQ(deuterium.size(), 1u);
    EXPECT_NEAR(deuterium[0].mass, 2 * 2.01410177812, 1e-9);

    EXPECT_TRUE(CoarseDistribution(Formula{}).empty());
    EXPECT_TRUE(CoarseDistribution(Formula{{{"C", 0}}}).empty());
    EXPECT_TRUE(CoarseDistribution(Formula{{{"C", 6}, {"Xx", 1}}}).empty());
    EXPECT_TRUE(CoarseDistribution(Formula{{{"C", -6}}}).empty());
    EXPECT_TRUE(CoarseDistribution(Formula{{{"C", kMaxElementCount + 1}}}).empty());
    EXPECT_EQ(CoarseDistribution(Formula{{{"C", 6}, {"N", 0}}}).size(), Distribution("C6").size());
}

TEST(CoarseDistribution, LargestParsableFormulaStaysWellFormed) {
    const std::vector<Peak> peaks = Distribution("C1000000");
    ASSERT_FALSE(peaks.empty());
    // 1e6 carbons: on average 1e6 * 0.0107 = 10700 13C atoms, with a standard
    // deviation of sqrt(1e6 * 0.0107 * 0.9893) = 103 mass units; 0.01 % of the
    // top lies sqrt(2 ln 1e4) = 4.3 deviations out on either side.
    double weight = 0, weightedMass = 0;
    for (const Peak& peak : peaks) {
        weight += peak.abundance;
        weightedMass += peak.abundance * peak.mass;
    }
    EXPECT_NEAR(weightedMass / weight, AverageMass("C1000000"), 0.01);
    EXPECT_GT(peaks.size(), 2 * 4.2 * 103);
    EXPECT_LT(peaks.size(), 2 * 4.5 * 103);

    EXPECT_FALSE(Distribution("C1000000H1000000").empty());
    EXPECT_TRUE(CoarseDistribution(Formula{{{"C", kMaxElementCount}, {"H", kMaxElementCount}, {"O", 1}}}).empty());
}

}  // namespace
}  // namespace ionsift::chem
