// Reads a molecule from Chemical Markup Language text: its name, atoms (with
// coordinates where the file has them) and bonds. Bounded and forgiving: bad
// text gives an error, never a crash.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/chem/formula.h"

namespace ionsift::chem {

struct CmlAtom {
    std::string id;
    std::string element;      // symbol as the file gives it
    int hydrogenCount = 0;    // implicit hydrogens: the file's hydrogenCount (the
                              // atom's total) less the H atoms bonded to it
    bool hasCoordinates = false;
    double x = 0, y = 0, z = 0;  // x2/y2, or x3/y3/z3
};

struct CmlBond {
    int first = 0;   // indices into atoms
    int second = 0;
    int order = 1;   // 1, 2, 3; aromatic as 4
};

struct CmlMolecule {
    std::string name;
    std::vector<CmlAtom> atoms;
    std::vector<CmlBond> bonds;
};

struct CmlRead {
    bool ok = false;
    CmlMolecule molecule;
    std::string error;  // why the text could not be used, when !ok
};

CmlRead ReadCml(std::string_view text);

// Atoms (and the hydrogen counts they carry) summed into a formula.
Formula FormulaOf(const CmlMolecule& molecule);

}  // namespace ionsift::chem
