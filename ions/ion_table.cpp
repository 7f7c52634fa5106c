#include "ions/ion_table.h"

#include <cstdlib>
#include <deque>
#include <iterator>
#include <mutex>
#include <vector>

#include "ions/ion_formula.h"
#include "ions/ion_notation.h"

namespace ionsift {
namespace {

// The common ESI ions, positive then negative, after the neutral molecule.
// The first nine (M to [M+HCOO]- below) are the ions of earlier versions:
// settings name them by these notations.
constexpr const char* kNotations[] = {
    "M",
    // Positive.
    "[M]+", "[M+H]+", "[M+NH4]+", "[M+Na]+", "[M+K]+", "[M+Li]+", "[M+H-H2O]+", "[M+H-2H2O]+",
    "[M+H-NH3]+", "[M+CH3OH+H]+", "[M+ACN+H]+", "[M+ACN+Na]+", "[M+2Na-H]+", "[M+2K-H]+",
    "[M+2H]2+", "[M+H+NH4]2+", "[M+H+Na]2+", "[M+H+K]2+", "[M+2Na]2+", "[M+3H]3+", "[M+2H+Na]3+",
    "[2M+H]+", "[2M+NH4]+", "[2M+Na]+", "[2M+K]+", "[2M+ACN+H]+",
    // Negative.
    "[M]-", "[M-H]-", "[M-H2O-H]-", "[M+Cl]-", "[M+Br]-", "[M+HCOO]-", "[M+CH3COO]-", "[M+Na-2H]-",
    "[M+K-2H]-", "[M+TFA-H]-", "[M-2H]2-", "[M-3H]3-", "[2M-H]-", "[2M+HCOO]-", "[2M+CH3COO]-",
    "[3M-H]-",
};

const std::vector<Ion>& Table() {
    static const std::vector<Ion> table = [] {
        std::vector<Ion> ions(std::size(kNotations));
        for (std::size_t i = 0; i < ions.size(); ++i) {
            IonNotationProblem problem;
            // The notations above are fixed; one that did not read is a build fault.
            if (!ParseIonNotation(kNotations[i], ions[i], problem)) std::abort();
        }
        return ions;
    }();
    return table;
}

// Ions of notations outside the table, kept for the life of the process so
// that the addresses KnownIon gives out stay valid.
struct OwnIons {
    std::mutex mutex;
    std::deque<Ion> ions;
};
OwnIons& TheOwnIons() {
    static OwnIons own;
    return own;
}

}  // namespace

IonRows IonTable() {
    const std::vector<Ion>& table = Table();
    return {table.data(), static_cast<int>(table.size())};
}

const Ion& NeutralIon() { return Table()[0]; }

bool IsNeutral(const Ion& ion) { return ion.charge == 0; }

int IonIndex(std::string_view notation) {
    const std::vector<Ion>& table = Table();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (notation == table[i].notation) return static_cast<int>(i);
    }
    return -1;
}

const Ion* KnownIon(std::string_view notation) {
    if (const int index = IonIndex(notation); index >= 0) return &Table()[static_cast<std::size_t>(index)];
    OwnIons& own = TheOwnIons();
    const std::lock_guard<std::mutex> lock(own.mutex);
    for (const Ion& ion : own.ions) {
        if (notation == ion.notation) return &ion;
    }
    Ion ion;
    IonNotationProblem problem;
    if (!ParseIonNotation(notation, ion, problem)) return nullptr;
    own.ions.push_back(std::move(ion));
    return &own.ions.back();
}

long double AtomsMass(std::string_view formula) {
    ElementCounts counts;
    if (!ParseElementCounts(formula, counts)) return -1.0L;
    long double mass = 0.0L;
    for (const auto& [symbol, count] : counts) {
        const Element* element = FindElement(symbol);
        if (!element) return -1.0L;
        mass += static_cast<long double>(element->mostAbundant->mass) * count;
    }
    return mass;
}

long double IonMz(long double neutral, const Ion& ion) {
    if (IsNeutral(ion)) return neutral;
    return (ion.molecules * neutral + ion.netMass - ion.charge * static_cast<long double>(kElectronMass)) /
           std::abs(ion.charge);
}

long double IonNeutral(long double mz, const Ion& ion) {
    if (IsNeutral(ion)) return mz;
    return (mz * std::abs(ion.charge) - ion.netMass + ion.charge * static_cast<long double>(kElectronMass)) /
           ion.molecules;
}

double StickMz(double mass, const Ion& ion) {
    if (IsNeutral(ion)) return mass;
    return (mass - ion.charge * kElectronMass) / std::abs(ion.charge);
}

}  // namespace ionsift
