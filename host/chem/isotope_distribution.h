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
// tallest) are dropped. An empty formula gives no peaks.
std::vector<Peak> CoarseDistribution(const Formula& formula,
                                     double thresholdPercent = kDefaultPeakThreshold);

}  // namespace ionsift::chem
