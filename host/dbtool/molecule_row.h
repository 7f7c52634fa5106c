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
// writes). Reads as its CML text either way.
struct StoredStructure {
    enum class Form { kText, kPacked };

    StoredStructure(std::string text, Form how = Form::kText) : cml(std::move(text)), form(how) {}
    operator std::string_view() const { return cml; }

    std::string cml;
    Form form;
};

struct MoleculeRow {
    long long id = 0;
    double massMI = 0;  // monoisotopic mass, Da
    std::string formula;
    std::string name;
    std::optional<StoredStructure> structure;  // when known
};

}  // namespace ionsift::dbtool
