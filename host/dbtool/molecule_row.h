// One row of a molecule database's table Molecules.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace ionsift::dbtool {

// A structure's CML text and how the database stores it: as TEXT (the form
// every database had before compact structures, and what `dbtool build`
// writes) or packed into a BLOB (host/chem/cml_blob.h, what `dbtool import`
// writes; packed by the import's workers, side by side). Reads as its CML
// text either way.
struct StoredStructure {
    StoredStructure(std::string text, std::string packedBytes = {})
        : cml(std::move(text)), packed(std::move(packedBytes)) {}
    operator std::string_view() const { return cml; }

    std::string cml;
    std::string packed;  // the BLOB to store; empty: the CML is stored as TEXT
};

struct MoleculeRow {
    long long id = 0;
    double massMI = 0;  // monoisotopic mass, Da
    std::string formula;
    std::string name;
    std::optional<StoredStructure> structure;  // when known
};

}  // namespace ionsift::dbtool
