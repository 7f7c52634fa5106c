#include "ions/ion_notation.h"

#include <iterator>

#include "ions/ion_formula.h"

namespace ionsift {

// What an ion parsed at run time owns; Ion's texts point into it.
struct IonTexts {
    std::string notation, added, removed;
};

namespace {

// Solvents and acids that travel with ions under their usual abbreviations,
// as the published ESI adduct tables write them.
constexpr NamedIonGroup kNamedGroups[] = {
    {"ACN", "C2H3N"},     // acetonitrile
    {"FA", "CH2O2"},      // formic acid
    {"HAc", "C2H4O2"},    // acetic acid
    {"Hac", "C2H4O2"},    // the same, as some tables spell it
    {"TFA", "C2HF3O2"},   // trifluoroacetic acid
    {"MeOH", "CH4O"},     // methanol
    {"IsoProp", "C3H8O"}, // 2-propanol
    {"DMSO", "C2H6OS"},   // dimethyl sulfoxide
};

// As ParseElementCounts bounds a formula's counts.
constexpr long long kMaxAtoms = 9999999;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The elements of a group: a named one, or a formula of symbols the isotope
// table knows.
bool GroupCounts(std::string_view group, ElementCounts& counts) {
    for (const NamedIonGroup& named : kNamedGroups) {
        if (group == named.name) return ParseElementCounts(named.formula, counts);
    }
    if (!ParseElementCounts(group, counts) || counts.empty()) return false;
    for (const auto& entry : counts) {
        if (!FindElement(entry.first)) return false;
    }
    return true;
}

long double CountsMass(const ElementCounts& counts) {
    long double mass = 0.0L;
    for (const auto& [symbol, count] : counts) {
        mass += static_cast<long double>(FindElement(symbol)->mostAbundant->mass) * count;
    }
    return mass;
}

// Reads the notation from left to right; each step either moves on or
// records the first fault.
class NotationReader {
public:
    explicit NotationReader(std::string_view text) : text_(text) {}

    bool Read(Ion& ion, IonNotationProblem& problem) {
        const bool read = ReadAll();
        if (!read) {
            problem = problem_;
            return false;
        }
        auto texts = std::make_shared<IonTexts>();
        texts->notation.assign(text_);
        texts->added = HillFormula(added_);
        texts->removed = HillFormula(removed_);
        Ion made;
        made.notation = texts->notation.c_str();
        made.added = texts->added.c_str();
        made.removed = texts->removed.c_str();
        made.charge = charge_;
        made.molecules = molecules_;
        made.netMass = CountsMass(added_) - CountsMass(removed_);
        made.texts = std::move(texts);
        ion = std::move(made);
        return true;
    }

private:
    bool ReadAll() {
        if (text_.empty()) return Fail(IonNotationFault::Empty, 0);
        if (text_.size() > kMaxIonNotationLength) return Fail(IonNotationFault::TooLong, kMaxIonNotationLength);
        if (text_ == "M") return true;  // the neutral molecule
        if (!Take('[')) return Fail(IonNotationFault::NoOpeningBracket, 0);
        if (!ReadNumber(molecules_, kMaxIonMultiplier, IonNotationFault::BadMultiplier)) return false;
        if (!Take('M')) return Fail(IonNotationFault::NoMolecule, at_);
        while (!Take(']')) {
            if (AtEnd()) return Fail(IonNotationFault::NoClosingBracket, at_);
            if (!ReadGroup()) return false;
        }
        const std::size_t chargeAt = at_;
        int magnitude = 1;
        if (!ReadNumber(magnitude, kMaxIonCharge, IonNotationFault::BadCharge)) return false;
        if (Take('+')) {
            charge_ = magnitude;
        } else if (Take('-')) {
            charge_ = -magnitude;
        } else {
            return Fail(IonNotationFault::NoCharge, chargeAt, std::string(text_.substr(chargeAt)));
        }
        if (!AtEnd()) return Fail(IonNotationFault::TrailingText, at_, std::string(text_.substr(at_)));
        return true;
    }

    // (+|-) k? group, up to the next sign or "]".
    bool ReadGroup() {
        const bool adds = text_[at_] == '+';
        if (!Take('+') && !Take('-')) {
            return Fail(IonNotationFault::NoSign, at_, std::string(1, text_[at_]));
        }
        int times = 1;
        if (!ReadNumber(times, kMaxIonMultiplier, IonNotationFault::BadMultiplier)) return false;
        const std::size_t start = at_;
        while (!AtEnd() && text_[at_] != '+' && text_[at_] != '-' && text_[at_] != ']') ++at_;
        const std::string_view group = text_.substr(start, at_ - start);
        if (group.empty()) return Fail(IonNotationFault::NoGroup, start);
        ElementCounts counts;
        if (!GroupCounts(group, counts)) return Fail(IonNotationFault::UnknownGroup, start, std::string(group));
        ElementCounts& side = adds ? added_ : removed_;
        for (const auto& [symbol, count] : counts) {
            long& total = side[symbol];
            if (total + static_cast<long long>(count) * times > kMaxAtoms) {
                return Fail(IonNotationFault::TooManyAtoms, start, std::string(group));
            }
            total += count * times;
        }
        return true;
    }

    // Digits, if any, as 1 to `limit` without a leading 0; `value` kept when none.
    bool ReadNumber(int& value, int limit, IonNotationFault fault) {
        const std::size_t start = at_;
        long long number = 0;
        while (!AtEnd() && IsDigit(text_[at_])) {
            number = number * 10 + (text_[at_++] - '0');
            if (number > limit) break;
        }
        while (!AtEnd() && IsDigit(text_[at_])) ++at_;
        if (at_ == start) return true;
        const std::string_view digits = text_.substr(start, at_ - start);
        if (digits[0] == '0' || number > limit) return Fail(fault, start, std::string(digits));
        value = static_cast<int>(number);
        return true;
    }

    bool Take(char c) {
        if (AtEnd() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool AtEnd() const { return at_ >= text_.size(); }
    bool Fail(IonNotationFault fault, std::size_t position, std::string part = {}) {
        problem_ = {fault, position, std::move(part)};
        return false;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int molecules_ = 1;
    int charge_ = 0;
    ElementCounts added_, removed_;
    IonNotationProblem problem_;
};

// English wording of each fault; "%s" stands for the offending text.
struct FaultText {
    IonNotationFault fault;
    const char* text;
};
constexpr FaultText kFaultTexts[] = {
    {IonNotationFault::Empty, "no ion given"},
    {IonNotationFault::TooLong, "longer than 64 characters"},
    {IonNotationFault::NoOpeningBracket, "an ion starts with \"[\" (or is M, the neutral molecule)"},
    {IonNotationFault::NoMolecule, "\"M\" expected (as in [M+H]+ or [2M+H]+)"},
    {IonNotationFault::BadMultiplier, "multiplier \"%s\" is not a whole number from 1 to 99"},
    {IonNotationFault::NoSign, "\"+\", \"-\" or \"]\" expected, not \"%s\""},
    {IonNotationFault::NoGroup, "a group expected after the sign"},
    {IonNotationFault::UnknownGroup,
     "unknown group \"%s\" (an element formula such as H2O or NH4, or a name such as ACN, FA, TFA)"},
    {IonNotationFault::TooManyAtoms, "group \"%s\" brings too many atoms"},
    {IonNotationFault::NoClosingBracket, "\"]\" missing"},
    {IonNotationFault::NoCharge, "charge expected after \"]\" (as in ]+, ]2+, ]-)"},
    {IonNotationFault::BadCharge, "charge \"%s\" is not a whole number from 1 to 9"},
    {IonNotationFault::TrailingText, "\"%s\" after the charge"},
};

}  // namespace

bool ParseIonNotation(std::string_view text, Ion& ion, IonNotationProblem& problem) {
    return NotationReader(text).Read(ion, problem);
}

std::string IonNotationMessage(std::string_view text, const IonNotationProblem& problem) {
    std::string message = "invalid ion";
    for (const FaultText& entry : kFaultTexts) {
        if (entry.fault != problem.fault) continue;
        message = entry.text;
        if (const std::size_t mark = message.find("%s"); mark != std::string::npos) {
            message.replace(mark, 2, problem.part);
        }
    }
    // Long input is not repeated: it may be anything.
    if (problem.fault == IonNotationFault::Empty || problem.fault == IonNotationFault::TooLong) {
        return message;
    }
    return message + " at character " + std::to_string(problem.position + 1) + " of \"" + std::string(text) +
           "\"";
}

NamedIonGroups IonGroupNames() { return {kNamedGroups, std::size(kNamedGroups)}; }

}  // namespace ionsift
