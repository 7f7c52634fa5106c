// Coarse isotopic distribution by convolution over nominal-mass bins.
//
// A spectrum is a run of consecutive nominal masses; each bin carries the
// probability p of its cluster and the probability-weighted mass pm, so that a
// convolution keeps both the abundance and the mean mass of every cluster:
//   p(k)  = sum over i+j=k of  pa(i) pb(j)
//   pm(k) = sum over i+j=k of  pma(i) pb(j) + pa(i) pmb(j)
// An element with n atoms is raised to the n-th power by repeated squaring,
// then the elements are convolved together. After every convolution the
// spectrum is rescaled to a tallest bin of 1 (no underflow however many atoms)
// and both tails are cut where they fall under kPruneLevel of the tallest.
//
// Cost: n atoms of an element keep W ~ sqrt(n) bins (the width follows the
// standard deviation), so a squaring costs O(W^2) = O(n) and the whole power
// O(n), the squarings forming a geometric series; joining the elements costs
// O(W_element * W_total) each. A 100 kDa protein stays near a hundred bins.
//
// Accuracy: a cut removes less than W * kPruneLevel of the tallest bin. An
// element takes at most 40 convolutions (a million atoms) and the widest
// spectra the formula bounds allow keep W ~ 3e4 bins, so an element loses
// about 1e-6 of the tallest at worst, and a protein far less: well under the
// 1e-4 (0.01 %) of a reported abundance. Every term added is positive, so the
// sums lose nothing to cancellation and the mean masses keep about 13
// significant digits.
#include "host/chem/isotope_distribution.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "host/chem/elements.h"

namespace ionsift::chem {
namespace {

constexpr double kPruneLevel = 1e-12;
// Thresholds under this (percent) would report bins the pruning has touched.
constexpr double kLowestThreshold = 1e-6;

struct Spectrum {
    std::int64_t first = 0;  // nominal mass of bin 0
    std::vector<double> p;
    std::vector<double> pm;
};

Spectrum Unit() { return {0, {1.0}, {0.0}}; }

Spectrum OfElement(const Element& element) {
    const IsotopeRows rows = element.isotopes;  // in rising mass
    Spectrum spectrum;
    spectrum.first = rows.begin()->massNumber;
    const std::size_t width = (rows.end() - 1)->massNumber - spectrum.first + 1;
    spectrum.p.assign(width, 0.0);
    spectrum.pm.assign(width, 0.0);
    for (const Isotope& isotope : rows) {
        const std::size_t bin = isotope.massNumber - spectrum.first;
        spectrum.p[bin] += isotope.abundance;
        spectrum.pm[bin] += isotope.abundance * isotope.mass;
    }
    return spectrum;
}

// Rescales to a tallest bin of exactly 1 and cuts both negligible tails.
void Normalize(Spectrum& spectrum) {
    std::vector<double>& p = spectrum.p;
    const double top = *std::max_element(p.begin(), p.end());
    const double cut = top * kPruneLevel;
    std::size_t low = 0;
    while (p[low] < cut) ++low;
    std::size_t high = p.size();
    while (p[high - 1] < cut) --high;
    for (std::size_t bin = low; bin < high; ++bin) {
        p[bin - low] = p[bin] / top;
        spectrum.pm[bin - low] = spectrum.pm[bin] / top;
    }
    p.resize(high - low);
    spectrum.pm.resize(high - low);
    spectrum.first += static_cast<std::int64_t>(low);
}

Spectrum Convolve(const Spectrum& a, const Spectrum& b) {
    Spectrum c;
    c.first = a.first + b.first;
    c.p.assign(a.p.size() + b.p.size() - 1, 0.0);
    c.pm.assign(c.p.size(), 0.0);
    const std::size_t widthB = b.p.size();
    // Outer over a, inner over b: the inner loop reads and writes contiguous
    // runs, which the compiler vectorises.
    for (std::size_t i = 0; i < a.p.size(); ++i) {
        const double ap = a.p[i];
        const double apm = a.pm[i];
        if (ap == 0) continue;  // gaps between isotopes, as at mass 36 of Cl
        double* cp = &c.p[i];
        double* cpm = &c.pm[i];
        for (std::size_t j = 0; j < widthB; ++j) {
            cp[j] += ap * b.p[j];
            cpm[j] += apm * b.p[j] + ap * b.pm[j];
        }
    }
    Normalize(c);
    return c;
}

Spectrum Power(Spectrum base, long atoms) {
    Spectrum result = Unit();
    for (;;) {
        if (atoms & 1) result = Convolve(result, base);
        atoms >>= 1;
        if (atoms == 0) return result;
        base = Convolve(base, base);
    }
}

}  // namespace

std::vector<Peak> CoarseDistribution(const Formula& formula, double thresholdPercent) {
    // The parser's bounds, again for formulas built by hand: they keep the
    // work to seconds even for a million atoms of an element with ten isotopes.
    long atoms = 0;
    for (const auto& [symbol, count] : formula.counts) {
        if (!FindElement(symbol) || count < 0 || count > kMaxElementCount) return {};
        atoms += count;
        if (atoms > kMaxFormulaAtoms) return {};
    }
    if (atoms == 0) return {};

    Spectrum total = Unit();
    for (const auto& [symbol, count] : formula.counts) {
        if (count > 0) total = Convolve(total, Power(OfElement(*FindElement(symbol)), count));
    }

    if (!(thresholdPercent >= kLowestThreshold)) thresholdPercent = kLowestThreshold;  // also NaN
    const double level = thresholdPercent / 100;
    std::vector<Peak> peaks;
    for (std::size_t bin = 0; bin < total.p.size(); ++bin) {
        const double p = total.p[bin];
        if (p >= level && p > 0) peaks.push_back({total.pm[bin] / p, 100 * p});
    }
    return peaks;
}

}  // namespace ionsift::chem
