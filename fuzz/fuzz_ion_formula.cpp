// Arbitrary bytes as a database's formula, made into each ion's formula. A
// formula that comes out must read back into the same elements, n times, with
// the ion's atoms added and taken, and be in Hill order already; a neutral
// molecule's formula passes unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ions/ion_formula.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ionsift;
    const std::string_view molecule(reinterpret_cast<const char*>(data), size);
    ElementCounts counts;
    const bool parsed = ParseElementCounts(molecule, counts);
    for (const Ion& ion : IonTable()) {
        std::string formula;
        const IonFormulaOutcome outcome = IonFormula(molecule, ion, formula);
        if (IsNeutral(ion)) {
            if (outcome != IonFormulaOutcome::Formula || formula != molecule) std::abort();
            continue;
        }
        if (outcome != IonFormulaOutcome::Formula) continue;
        if (!parsed) std::abort();  // only a formula that parses makes an ion
        ElementCounts ionCounts, added, removed;
        if (!ParseElementCounts(formula, ionCounts) || HillFormula(ionCounts) != formula) std::abort();
        ParseElementCounts(ion.added, added);
        ParseElementCounts(ion.removed, removed);
        ElementCounts expected = counts;
        for (auto& entry : expected) entry.second *= ion.molecules;
        for (const auto& [symbol, count] : added) expected[symbol] += count;
        for (const auto& [symbol, count] : removed) expected[symbol] -= count;
        for (auto it = expected.begin(); it != expected.end();) {
            if (it->second < 0) std::abort();
            it = it->second == 0 ? expected.erase(it) : std::next(it);
        }
        if (expected != ionCounts) std::abort();
    }
    return 0;
}
