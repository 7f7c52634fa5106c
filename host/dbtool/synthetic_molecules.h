// Plausible CHNOPS molecules for scale work: formulas that pass the valence
// and ratio rules of valence_rules.h, with a mass distribution like that of a
// compound library (most between 150 and 600 Da, a tail up to 1,500 Da).
// Deterministic: the same seed gives the same sequence on every platform,
// as std::mt19937_64's output is fixed by the standard and no
// implementation-defined distribution is used.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "host/chem/formula.h"

namespace ionsift::dbtool {

constexpr std::uint64_t kDefaultSyntheticSeed = 20240611;
constexpr double kMaxSyntheticMass = 1500.0;  // Da

struct SyntheticMolecule {
    chem::Formula formula;
    std::string formulaText;  // Hill order
    double massMI = 0;        // monoisotopic, Da
};

class SyntheticMolecules {
public:
    explicit SyntheticMolecules(std::uint64_t seed = kDefaultSyntheticSeed) : random_(seed) {}
    SyntheticMolecule Next();

private:
    long Between(long low, long high);  // inclusive
    chem::Formula Draw();

    std::mt19937_64 random_;
};

// "Synthetic C12H18N2O3 #42": says what the row is and keeps names unique.
std::string SyntheticName(const std::string& formulaText, long long id);

}  // namespace ionsift::dbtool
