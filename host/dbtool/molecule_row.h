// One row of a molecule database's table Molecules.
#pragma once

#include <optional>
#include <string>

namespace ionsift::dbtool {

struct MoleculeRow {
    long long id = 0;
    double massMI = 0;  // monoisotopic mass, Da
    std::string formula;
    std::string name;
    std::optional<std::string> structure;  // the source CML text, when known
};

}  // namespace ionsift::dbtool
