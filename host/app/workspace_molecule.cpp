#include "host/app/workspace_molecule.h"

#include "host/app/sql_answer.h"

namespace ionsift::host {

WorkspaceMolecule MoleculeFromRow(const MoleculeRow& row) {
    WorkspaceMolecule molecule;
    molecule.name = row.name;
    molecule.formula = row.formula;
    if (row.hasMass) molecule.mass = AnswerReal(row.massMI);
    if (!row.structureProblem.empty()) {
        molecule.structureNote = "structure not readable: " + row.structureProblem;
        return molecule;
    }
    if (row.structure.empty()) {
        molecule.structureNote = "no structure stored";
        return molecule;
    }
    chem::CmlRead read = chem::ReadCml(row.structure);
    if (!read.ok) {
        molecule.structureNote = "structure not readable: " + read.error;
    } else if (read.molecule.atoms.empty()) {
        molecule.structureNote = "structure without atoms";
    } else {
        molecule.structure = std::move(read.molecule);
    }
    return molecule;
}

}  // namespace ionsift::host
