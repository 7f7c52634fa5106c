#include "host/dbtool/synthetic_molecules.h"

#include <algorithm>
#include <string_view>

#include "host/dbtool/valence_rules.h"

namespace ionsift::dbtool {
namespace {

// Carbon counts, drawn by band weight and then uniformly within the band.
// The weights shape the mass distribution (about 17 Da per carbon once the
// heteroatoms are added).
struct CarbonBand {
    long low, high;
    long weight;  // percent
};

constexpr CarbonBand kCarbonBands[] = {
    {1, 5, 3},   {6, 10, 10},  {11, 15, 16}, {16, 20, 19},
    {21, 28, 22}, {29, 40, 17}, {41, 60, 9},  {61, 90, 4},
};

// How often each heteroatom occurs, and at most how many per carbon.
struct Heteroatom {
    std::string_view symbol;
    long percentPresent;
    long perCarbonNumerator, perCarbonDenominator;
    long cap;
};

constexpr Heteroatom kHeteroatoms[] = {
    {"N", 70, 3, 10, 20},
    {"O", 85, 1, 2, 30},
    {"S", 15, 1, 8, 4},
    {"P", 4, 1, 12, 3},
};

}  // namespace

long SyntheticMolecules::Between(long low, long high) {
    // The modulo bias is below 2^-50 for ranges this small.
    const auto span = static_cast<std::uint64_t>(high - low + 1);
    return low + static_cast<long>(random_() % span);
}

chem::Formula SyntheticMolecules::Draw() {
    long pick = Between(1, 100);
    const CarbonBand* band = std::begin(kCarbonBands);
    while (pick > band->weight && band + 1 != std::end(kCarbonBands)) pick -= (band++)->weight;
    const long carbon = Between(band->low, band->high);

    chem::Formula formula;
    formula.counts["C"] = carbon;
    long oddValence = 0;  // N and P: each adds one to 2 * (rings + double bonds) + H
    for (const Heteroatom& atom : kHeteroatoms) {
        if (Between(1, 100) > atom.percentPresent) continue;
        const long most = std::min(atom.cap, std::max(1L, carbon * atom.perCarbonNumerator /
                                                              atom.perCarbonDenominator));
        const long count = Between(1, most);
        formula.counts[std::string(atom.symbol)] = count;
        if (atom.symbol == "N" || atom.symbol == "P") oddValence += count;
    }
    // Hydrogens from the rings plus double bonds: H = 2C + 2 + N + P - 2 RDB,
    // so the valence sum is even by construction.
    const long rdb = Between(0, carbon * 2 / 3 + 1);
    const long hydrogen = 2 * carbon + 2 + oddValence - 2 * rdb;
    if (hydrogen > 0) formula.counts["H"] = hydrogen;
    return formula;
}

SyntheticMolecule SyntheticMolecules::Next() {
    for (;;) {
        chem::Formula formula = Draw();
        if (!RingsPlusDoubleBonds(formula) || !HasPlausibleRatios(formula)) continue;
        const double mass = chem::MonoisotopicMass(formula);
        if (mass > kMaxSyntheticMass) continue;
        SyntheticMolecule molecule;
        molecule.formulaText = chem::HillFormula(formula);
        molecule.formula = std::move(formula);
        molecule.massMI = mass;
        return molecule;
    }
}

std::string SyntheticName(const std::string& formulaText, long long id) {
    return "Synthetic " + formulaText + " #" + std::to_string(id);
}

}  // namespace ionsift::dbtool
