// The molecule in the host's workspace pane, as DbGetRowId loads it.
#pragma once

#include <string>

#include "host/app/sqlite_database.h"
#include "host/chem/cml_reader.h"

namespace ionsift::host {

struct WorkspaceMolecule {
    std::string name;
    std::string formula;
    std::string mass;                // monoisotopic mass, six decimals; empty when unknown
    chem::CmlMolecule structure;     // atoms and bonds when the row stores readable CML
    std::string structureNote;       // why there are no atoms, when there are none
};

// Reads the Structure column as CML; a row without one, or with one that
// cannot be expanded or read, still shows its name, formula and mass.
WorkspaceMolecule MoleculeFromRow(const MoleculeRow& row);

}  // namespace ionsift::host
