#include "ions/ion_fit.h"

#include <string>

#include "ions/ion_formula.h"

namespace ionsift {

bool IonFineStructure(std::string_view ionFormula, const Ion& ion, std::vector<IsotopeLine>& lines) {
    lines.clear();
    ElementCounts counts;
    if (!ParseElementCounts(ionFormula, counts) || counts.empty()) return false;
    std::string problem;
    return FineStructure(counts, ion.charge, lines, problem) && !lines.empty();
}

std::optional<double> IonFitScore(std::string_view ionFormula, const Ion& ion,
                                  const std::vector<TPeak>& measured, const FitSettings& fit) {
    std::vector<IsotopeLine> lines;
    if (!IonFineStructure(ionFormula, ion, lines)) return std::nullopt;
    return FitScore(measured, Centroids(lines, fit.resolvingPower), fit);
}

bool IonViewAt(std::string_view ionFormula, const Ion& ion, double resolvingPower, IonView& view) {
    std::vector<IsotopeLine> lines;
    if (!IonFineStructure(ionFormula, ion, lines)) return false;
    view.profile = Profile(lines, resolvingPower);
    view.centroids = Centroids(lines, resolvingPower);
    return true;
}

}  // namespace ionsift
