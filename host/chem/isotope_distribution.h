// Coarse isotopic distribution: one peak per nominal-mass cluster.
#pragma once

#include <vector>

#include "host/chem/formula.h"

namespace ionsift::chem {

struct Peak {
    double mass;       // abundance-weighted mean mass of the cluster, Da
    double abundance;  // percent of the most intense peak (= 100)
};

constexpr double kDefaultPeakThreshold = 0.01;  // percent

// Peaks in ascending mass; those under the threshold (percent of the
// tallest) are dropped. An empty formula gives no peaks, and so does one that
// ParseFormula would not give (unknown symbol, negative count, over the parser's bounds).
// Thresholds under 1e-6 percent, and NaN, count as 1e-6 percent.
// Example: CH2Cl2 gives about 83.9715 (100), 85.9686 (63.9), 87.9656 (10.2)
// and its 13C and 2H neighbours.
std::vector<Peak> CoarseDistribution(const Formula& formula,
                                     double thresholdPercent = kDefaultPeakThreshold);

}  // namespace ionsift::chem
