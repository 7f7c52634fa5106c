// Arbitrary bytes as a formula. A failure must name a byte of the text and a
// reason; a success must hold only known elements within the count bounds,
// survive a round trip through its Hill text, and (for modest sizes, to keep
// each run fast) give a well-formed distribution between the lightest and the
// heaviest combination of isotopes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/chem/elements.h"
#include "host/chem/formula.h"
#include "host/chem/isotope_distribution.h"

namespace {

using namespace ionsift::chem;

void CheckDistribution(const Formula& formula) {
    double lightest = 0, heaviest = 0;
    for (const auto& [symbol, count] : formula.counts) {
        const IsotopeRows isotopes = FindElement(symbol)->isotopes;
        lightest += count * isotopes.begin()->mass;
        heaviest += count * (isotopes.end() - 1)->mass;
    }
    const std::vector<Peak> peaks = CoarseDistribution(formula);
    if (peaks.empty()) std::abort();
    bool tallestSeen = false;
    for (std::size_t i = 0; i < peaks.size(); ++i) {
        const Peak& peak = peaks[i];
        if (!(peak.abundance >= kDefaultPeakThreshold && peak.abundance <= 100)) std::abort();
        if (peak.abundance == 100) tallestSeen = true;
        if (!(peak.mass >= lightest - 1e-6 && peak.mass <= heaviest + 1e-6)) std::abort();
        if (i > 0 && !(peak.mass > peaks[i - 1].mass)) std::abort();
    }
    if (!tallestSeen) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const FormulaParse parse = ParseFormula(text);
    if (!parse.ok) {
        if (parse.errorReason.empty() || !parse.formula.Empty()) std::abort();
        if (parse.errorPosition >= size && size > 0) std::abort();
        return 0;
    }
    long atoms = 0;
    for (const auto& [symbol, count] : parse.formula.counts) {
        if (!FindElement(symbol) || count < 1 || count > kMaxElementCount) std::abort();
        atoms += count;
    }
    const FormulaParse again = ParseFormula(HillFormula(parse.formula));
    if (!again.ok || again.formula.counts != parse.formula.counts) std::abort();
    if (!std::isfinite(MonoisotopicMass(parse.formula))) std::abort();

    if (atoms <= 2000) CheckDistribution(parse.formula);
    return 0;
}
