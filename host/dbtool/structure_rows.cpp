#include "host/dbtool/structure_rows.h"

#include <cmath>

#include "host/chem/cml_reader.h"
#include "host/chem/formula.h"

namespace ionsift::dbtool {

StructureRow RowFromCml(std::string_view text, std::string_view fileStem) {
    StructureRow result;
    const chem::CmlRead read = chem::ReadCml(text);
    if (!read.ok) {
        result.error = read.error;
        return result;
    }
    // Reading the Hill text back checks every symbol against the element
    // table: a dummy atom ("Du") or a typo has no mass.
    const std::string hill = chem::HillFormula(chem::FormulaOf(read.molecule));
    const chem::FormulaParse parsed = chem::ParseFormula(hill);
    if (!parsed.ok) {
        result.error = "formula " + hill + ": " + parsed.errorReason;
        return result;
    }
    const double mass = chem::MonoisotopicMass(parsed.formula);
    if (!std::isfinite(mass) || mass <= 0) {
        result.error = "formula " + hill + " has no usable mass";
        return result;
    }
    result.ok = true;
    result.row.massMI = mass;
    result.row.formula = hill;
    result.row.name = read.molecule.name.empty() ? std::string(fileStem) : read.molecule.name;
    result.row.structure = std::string(text);
    return result;
}

}  // namespace ionsift::dbtool
