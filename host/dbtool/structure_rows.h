// One structure file as a database row: formula from its atoms and their
// hydrogen counts (Hill order), monoisotopic mass from host/chem, name from
// the file (or its file name), and the file's text as the structure.
#pragma once

#include <string>
#include <string_view>

#include "host/dbtool/molecule_row.h"

namespace ionsift::dbtool {

struct StructureRow {
    bool ok = false;
    MoleculeRow row;     // without an id
    std::string error;   // why the file cannot be used, when !ok
};

// `fileStem` names the molecule when the file gives no name of its own.
StructureRow RowFromCml(std::string_view text, std::string_view fileStem);

}  // namespace ionsift::dbtool
