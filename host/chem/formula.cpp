// Hill-order text and monoisotopic mass of a parsed formula.
#include "host/chem/formula.h"

#include <limits>

#include "host/chem/elements.h"

namespace ionsift::chem {
namespace {

void AppendElement(std::string& text, const std::string& symbol, long count) {
    if (count <= 0) return;  // an element with no atoms is not part of the formula
    text += symbol;
    if (count != 1) text += std::to_string(count);
}

}  // namespace

std::string HillFormula(const Formula& formula) {
    std::string text;
    const auto carbon = formula.counts.find("C");
    const bool hasCarbon = carbon != formula.counts.end() && carbon->second > 0;
    if (hasCarbon) {
        AppendElement(text, "C", carbon->second);
        const auto hydrogen = formula.counts.find("H");
        if (hydrogen != formula.counts.end()) AppendElement(text, "H", hydrogen->second);
    }
    // The map's byte order is alphabetical for symbols: one capital, then lower case.
    for (const auto& [symbol, count] : formula.counts) {
        if (hasCarbon && (symbol == "C" || symbol == "H")) continue;
        AppendElement(text, symbol, count);
    }
    return text;
}

double MonoisotopicMass(const Formula& formula) {
    double mass = 0;
    for (const auto& [symbol, count] : formula.counts) {
        const Element* element = FindElement(symbol);
        if (!element || count < 0) return std::numeric_limits<double>::quiet_NaN();
        mass += static_cast<double>(count) * element->mostAbundant->mass;
    }
    return mass;
}

}  // namespace ionsift::chem
