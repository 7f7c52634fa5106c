// Arbitrary bytes as an ion notation typed by a user, and as a formula a
// database holds. A notation that reads must give a charged ion (or M) whose
// m/z and neutral mass convert back, and read again the same; a refused one
// must have a message naming a place inside it. A formula that expands must
// rebuild into a formula that expands to the same elements.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ions/condensed_formula.h"
#include "ions/ion_formula.h"
#include "ions/ion_notation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ionsift;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Ion ion;
    IonNotationProblem problem;
    if (ParseIonNotation(text, ion, problem)) {
        if (text.size() > kMaxIonNotationLength || ion.notation != text) std::abort();
        if (ion.molecules < 1 || ion.molecules > kMaxIonMultiplier) std::abort();
        if (std::abs(ion.charge) > kMaxIonCharge || (ion.charge == 0) != (text == "M")) std::abort();
        const long double mz = IonMz(500.0L, ion);
        if (std::isfinite(static_cast<double>(mz)) &&
            std::fabs(static_cast<double>(IonNeutral(mz, ion)) - 500.0) > 1e-6) {
            std::abort();
        }
        Ion again;
        if (!ParseIonNotation(ion.notation, again, problem) || std::string(again.added) != ion.added ||
            std::string(again.removed) != ion.removed) {
            std::abort();
        }
        std::string formula;
        IsoDistFormula("C6H12O6", ion, formula);
    } else {
        if (problem.fault == IonNotationFault::None || problem.position > text.size()) std::abort();
        IonNotationMessage(text, problem);
    }

    ExpandedFormula expanded;
    if (ExpandFormula(text, expanded)) {
        const std::string hill = HillFormula(expanded.counts);
        ExpandedFormula again;
        if (!ExpandFormula(hill, again) || again.counts != expanded.counts) std::abort();
    }
    return 0;
}
