// A candidate's isotope pattern as the instrument sees it, from its ion
// formula: the fine structure with the ion's charge, then the centroids (or
// the profile) at the resolving power; and how well measured peaks fit those
// centroids. The ranking and the chart both come here.
//
//   IonFitScore("C6H12NaO6", [M+Na]+, {{203.0526, 100}, {204.0559, 6.6}}, {30000})
//     -> glucose's sodium adduct scored against two measured peaks
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "ions/ion_table.h"
#include "isotopes/fine_structure.h"
#include "isotopes/fit_score.h"
#include "isotopes/instrument_view.h"
#include "isotopes/peak_compare.h"

namespace ionsift {

// The fine structure of an ion formula (IonFormula's result) with the ion's
// charge; false when the formula cannot be taken apart or the engine cannot
// compute it (an element it does not know).
bool IonFineStructure(std::string_view ionFormula, const Ion& ion, std::vector<IsotopeLine>& lines);

// The likelihood score of `measured` against the formula's centroids at
// fit.resolvingPower; nothing when the fine structure or the score cannot be
// computed.
std::optional<double> IonFitScore(std::string_view ionFormula, const Ion& ion,
                                  const std::vector<TPeak>& measured, const FitSettings& fit);

// What the chart draws of a candidate at a resolving power: its profile as a
// line and its centroids as sticks.
struct IonView {
    std::vector<ProfilePoint> profile;
    std::vector<ProfilePoint> centroids;
};
bool IonViewAt(std::string_view ionFormula, const Ion& ion, double resolvingPower, IonView& view);

}  // namespace ionsift
