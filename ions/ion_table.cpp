#include "ions/ion_table.h"

#include <array>
#include <cstdlib>
#include <iterator>

#include "ions/ion_formula.h"

namespace ionsift {
namespace {

// Monoisotopic masses of the few elements the adducts are made of, in Da:
// the most abundant isotope of each, from NIST's "Atomic Weights and Isotopic
// Compositions for All Elements" (Coursey, Schwab, Tsai, Dragoset; masses of
// the 2016 Atomic Mass Evaluation), the values the host computes with.
struct ElementMass {
    const char* symbol;
    long double mass;
};
constexpr ElementMass kElementMasses[] = {
    {"H", 1.00782503223L},   {"C", 12.0L},           {"N", 14.00307400443L},
    {"O", 15.99491461957L},  {"Na", 22.9897692820L}, {"Cl", 34.968852682L},
    {"K", 38.9637064864L},
};

Ion Row(const char* notation, const char* added, const char* removed, int charge) {
    Ion ion;
    ion.notation = notation;
    ion.added = added;
    ion.removed = removed;
    ion.charge = charge;
    return ion;
}

const Ion kIons[] = {
    Row("M", "", "", 0),
    Row("[M+H]+", "H", "", 1),
    Row("[M+Na]+", "Na", "", 1),
    Row("[M+K]+", "K", "", 1),
    Row("[M+NH4]+", "NH4", "", 1),
    Row("[M+2H]2+", "H2", "", 2),
    Row("[M-H]-", "", "H", -1),
    Row("[M+Cl]-", "Cl", "", -1),
    Row("[M+HCOO]-", "CHO2", "", -1),
};

const long double* MassOf(const std::string& symbol) {
    for (const ElementMass& element : kElementMasses) {
        if (symbol == element.symbol) return &element.mass;
    }
    return nullptr;
}

// Added less removed atoms: worked out once per row of the table, since a
// list of thousands of rows asks for it once per row.
long double NetAtomsMass(const Ion& ion) {
    static const std::array<long double, std::size(kIons)> kNet = [] {
        std::array<long double, std::size(kIons)> net{};
        for (std::size_t i = 0; i < net.size(); ++i) {
            net[i] = AtomsMass(kIons[i].added) - AtomsMass(kIons[i].removed);
        }
        return net;
    }();
    const std::size_t row = static_cast<std::size_t>(&ion - kIons);
    if (&ion >= kIons && row < kNet.size()) return kNet[row];
    return AtomsMass(ion.added) - AtomsMass(ion.removed);
}

}  // namespace

IonRows IonTable() { return {kIons, static_cast<int>(std::size(kIons))}; }

const Ion& NeutralIon() { return kIons[0]; }

bool IsNeutral(const Ion& ion) { return ion.charge == 0; }

int IonIndex(std::string_view notation) {
    for (int i = 0; i < static_cast<int>(std::size(kIons)); ++i) {
        if (notation == kIons[i].notation) return i;
    }
    return -1;
}

long double AtomsMass(std::string_view formula) {
    ElementCounts counts;
    if (!ParseElementCounts(formula, counts)) return -1.0L;
    long double mass = 0.0L;
    for (const auto& [symbol, count] : counts) {
        const long double* element = MassOf(symbol);
        if (!element) return -1.0L;
        mass += *element * count;
    }
    return mass;
}

long double IonMz(long double neutral, const Ion& ion) {
    if (IsNeutral(ion)) return neutral;
    return (neutral + NetAtomsMass(ion) - ion.charge * static_cast<long double>(kElectronMass)) /
           std::abs(ion.charge);
}

long double IonNeutral(long double mz, const Ion& ion) {
    if (IsNeutral(ion)) return mz;
    return mz * std::abs(ion.charge) - NetAtomsMass(ion) +
           ion.charge * static_cast<long double>(kElectronMass);
}

double StickMz(double mass, const Ion& ion) {
    if (IsNeutral(ion)) return mass;
    return (mass - ion.charge * kElectronMass) / std::abs(ion.charge);
}

}  // namespace ionsift
