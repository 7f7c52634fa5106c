// The CML the stand-in host draws, written from a toolkit molecule: one
// <molecule> with its name, an <atom> per atom (elementType, formalCharge
// unless 0, hydrogenCount as the atom's total of hydrogens, isotopeNumber where set,
// x2/y2 or x3/y3/z3 where the molecule has coordinates, four decimals without
// trailing zeros) and a <bond> per bond (atomRefs2, order 1, 2, 3 or A). The
// toolkit's own CML writer is about a hundred times slower, which matters at
// tens of millions of records.
#pragma once

#include <string>
#include <string_view>

#include "host/dbtool/molecule_row.h"

namespace RDKit {
class ROMol;
}

namespace ionsift::dbtool {

// `confId`: the conformer whose coordinates to write, -1 for none.
std::string CmlText(const RDKit::ROMol& molecule, std::string_view name, int confId);

// The same text as an import stores it: packed (compact structures are what
// makes a library of millions of molecules fit on a laptop). Never throws.
StoredStructure StructureCml(const RDKit::ROMol& molecule, std::string_view name, int confId);

// Text made safe for XML character data and attribute values: markup
// characters as references, control characters (which XML 1.0 forbids) as blanks.
std::string XmlEscaped(std::string_view text);

}  // namespace ionsift::dbtool
