// Feeds arbitrary bytes to the CML reader. A molecule it accepts must be
// consistent: atoms within bounds, bonds between two distinct known atoms,
// finite coordinates and a formula that counts every atom.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/chem/cml_limits.h"
#include "host/chem/cml_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ionsift::chem;
    const CmlRead read = ReadCml(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read.ok) {
        if (read.error.empty()) std::abort();
        return 0;
    }
    const CmlMolecule& molecule = read.molecule;
    const auto atoms = static_cast<int>(molecule.atoms.size());
    if (atoms == 0 || molecule.atoms.size() > kMaxCmlAtoms || molecule.name.size() > kMaxCmlNameBytes) {
        std::abort();
    }
    long expected = 0;
    for (const CmlAtom& atom : molecule.atoms) {
        if (atom.element.empty() || atom.hydrogenCount < 0 || atom.hydrogenCount > kMaxCmlHydrogenCount) {
            std::abort();
        }
        if (!std::isfinite(atom.x) || !std::isfinite(atom.y) || !std::isfinite(atom.z)) std::abort();
        expected += 1 + atom.hydrogenCount;
    }
    for (const CmlBond& bond : molecule.bonds) {
        if (bond.first < 0 || bond.first >= atoms || bond.second < 0 || bond.second >= atoms ||
            bond.first == bond.second || bond.order < 1 || bond.order > 4) {
            std::abort();
        }
    }
    long counted = 0;
    for (const auto& [symbol, count] : FormulaOf(molecule).counts) counted += count;
    if (counted != expected) std::abort();
    return 0;
}
