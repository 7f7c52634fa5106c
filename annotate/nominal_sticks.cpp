#include "annotate/nominal_sticks.h"

#include "host/chem/formula.h"
#include "host/chem/isotope_distribution.h"

namespace ionsift::annotate {

std::vector<TPeak> HostNominalSticks(const std::string& formula) {
    std::vector<TPeak> sticks;
    const chem::FormulaParse parse = chem::ParseFormula(formula);
    if (!parse.ok) return sticks;
    for (const chem::Peak& peak : chem::CoarseDistribution(parse.formula)) {
        sticks.push_back({false, peak.mass, peak.abundance});
    }
    return sticks;
}

}  // namespace ionsift::annotate
