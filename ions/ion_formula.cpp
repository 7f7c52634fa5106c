#include "ions/ion_formula.h"

#include "ions/condensed_formula.h"

namespace ionsift {
namespace {

// Far beyond any molecule a database lists, and small enough that a count
// with an adduct's atoms added still has at most seven digits.
constexpr long kMaxCount = 9999999;
constexpr int kMaxCountDigits = 7;

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// n M + added - removed, in place.
IonFormulaOutcome ApplyIon(ElementCounts& counts, const Ion& ion) {
    ElementCounts added, removed;
    ParseElementCounts(ion.added, added);
    ParseElementCounts(ion.removed, removed);
    for (auto& entry : counts) {
        // A count the formula could not be read back with is no formula.
        if (entry.second > kMaxCount / ion.molecules) return IonFormulaOutcome::Unparsable;
        entry.second *= ion.molecules;
    }
    for (const auto& [symbol, count] : added) {
        if ((counts[symbol] += count) > kMaxCount) return IonFormulaOutcome::Unparsable;
    }
    for (const auto& [symbol, count] : removed) {
        const auto found = counts.find(symbol);
        if (found == counts.end() || found->second < count) return IonFormulaOutcome::MissingAtoms;
        found->second -= count;
    }
    // Nothing left (an [M-H]- of H itself) is no formula the host could take.
    for (const auto& entry : counts) {
        if (entry.second > 0) return IonFormulaOutcome::Formula;
    }
    return IonFormulaOutcome::MissingAtoms;
}

}  // namespace

bool ParseElementCounts(std::string_view formula, ElementCounts& counts) {
    counts.clear();
    std::size_t at = 0;
    while (at < formula.size()) {
        if (!IsUpper(formula[at])) return false;
        const std::size_t start = at++;
        while (at < formula.size() && IsLower(formula[at]) && at - start < 3) ++at;
        const std::string symbol(formula.substr(start, at - start));
        long count = 1;
        if (at < formula.size() && IsDigit(formula[at])) {
            if (formula[at] == '0') return false;
            count = 0;
            int digits = 0;
            while (at < formula.size() && IsDigit(formula[at])) {
                if (++digits > kMaxCountDigits) return false;
                count = count * 10 + (formula[at++] - '0');
            }
        }
        long& total = counts[symbol];
        total += count;
        // Repeated symbols could otherwise add up without bound.
        if (total > kMaxCount) return false;
    }
    return true;
}

std::string HillFormula(const ElementCounts& counts) {
    std::string text;
    const auto append = [&text](const std::string& symbol, long count) {
        if (count <= 0) return;
        text += symbol;
        if (count > 1) text += std::to_string(count);
    };
    const auto carbon = counts.find("C");
    const bool hasCarbon = carbon != counts.end() && carbon->second > 0;
    if (hasCarbon) {
        append("C", carbon->second);
        if (const auto hydrogen = counts.find("H"); hydrogen != counts.end()) {
            append("H", hydrogen->second);
        }
    }
    // std::map keeps the symbols in byte order, which is alphabetical for them.
    for (const auto& [symbol, count] : counts) {
        if (hasCarbon && (symbol == "C" || symbol == "H")) continue;
        append(symbol, count);
    }
    return text;
}

IonFormulaOutcome IonFormula(std::string_view molecule, const Ion& ion, std::string& formula) {
    if (IsNeutral(ion)) {
        formula.assign(molecule);
        return IonFormulaOutcome::Formula;
    }
    ElementCounts counts;
    if (!ParseElementCounts(molecule, counts) || counts.empty()) {
        return IonFormulaOutcome::Unparsable;
    }
    const IonFormulaOutcome outcome = ApplyIon(counts, ion);
    if (outcome == IonFormulaOutcome::Formula) formula = HillFormula(counts);
    return outcome;
}

IonFormulaOutcome IsoDistFormula(std::string_view molecule, const Ion& ion, std::string& formula) {
    ExpandedFormula expanded;
    if (!ExpandFormula(molecule, expanded)) return IonFormulaOutcome::Unparsable;
    const IonFormulaOutcome outcome = ApplyIon(expanded.counts, ion);
    if (outcome == IonFormulaOutcome::Formula) formula = HillFormula(expanded.counts);
    return outcome;
}

bool IonCanForm(std::string_view molecule, const Ion& ion) {
    ExpandedFormula expanded;
    if (!ExpandFormula(molecule, expanded)) return true;
    return ApplyIon(expanded.counts, ion) != IonFormulaOutcome::MissingAtoms;
}

}  // namespace ionsift
