#include "ions/condensed_formula.h"

#include <string>
#include <vector>

#include "isotopes/isotope_table.h"

namespace ionsift {
namespace {

// As ParseElementCounts bounds a formula's counts.
constexpr long long kMaxAtoms = 9999999;
constexpr int kMaxCharge = 99;

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsSign(char c) { return c == '+' || c == '-'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Digits at `at` as 1 to `limit`, no leading 0; 1 when there are none;
// 0 for digits that are no such count.
long long ReadCount(std::string_view text, std::size_t& at, long long limit) {
    if (at >= text.size() || !IsDigit(text[at])) return 1;
    if (text[at] == '0') return 0;
    long long count = 0;
    while (at < text.size() && IsDigit(text[at])) {
        count = count * 10 + (text[at++] - '0');
        if (count > limit) return 0;
    }
    return count;
}

// The matching closer of the bracket at `open`, or npos.
std::size_t MatchingBracket(std::string_view text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (text[i] == '(' || text[i] == '[') ++depth;
        if (text[i] == ')' || text[i] == ']') {
            if (--depth == 0) return i;
        }
    }
    return std::string_view::npos;
}

// Takes a trailing charge off `body`: "+", "-", a run of one sign ("++"),
// a sign with digits ("+2"), or after a closing bracket digits with a sign
// ("[SO4]2-"). Digits before a sign elsewhere are an element's count
// ("C2H6N2+" is N2 with one charge). False for a charge out of bounds.
bool TakeCharge(std::string_view& body, int& charge) {
    charge = 0;
    const std::size_t end = body.size();
    std::size_t digitsFrom = end;
    while (digitsFrom > 0 && IsDigit(body[digitsFrom - 1])) --digitsFrom;
    if (digitsFrom == 0 || !IsSign(body[digitsFrom - 1])) return true;  // no charge written
    const char sign = body[digitsFrom - 1];
    std::size_t signsFrom = digitsFrom - 1;
    while (signsFrom > 0 && body[signsFrom - 1] == sign) --signsFrom;
    long long magnitude = static_cast<long long>(digitsFrom - signsFrom);
    if (digitsFrom != end) {  // "+2"
        if (magnitude != 1) return false;
        std::size_t at = digitsFrom;
        magnitude = ReadCount(body, at, kMaxCharge);
    } else if (magnitude == 1 && signsFrom > 0 && IsDigit(body[signsFrom - 1])) {
        // "[SO4]2-": digits right after the closing bracket of a bracketed whole.
        std::size_t digitsAt = signsFrom;
        while (digitsAt > 0 && IsDigit(body[digitsAt - 1])) --digitsAt;
        if (digitsAt > 0 && body[digitsAt - 1] == ']' && body.front() == '[' &&
            MatchingBracket(body, 0) == digitsAt - 1) {
            std::size_t at = digitsAt;
            magnitude = ReadCount(body, at, kMaxCharge);
            if (at != signsFrom) return false;
            signsFrom = digitsAt;
        }
    }
    if (magnitude < 1 || magnitude > kMaxCharge) return false;
    charge = static_cast<int>(sign == '+' ? magnitude : -magnitude);
    body = Trimmed(body.substr(0, signsFrom));
    // A bracketed whole before a charge is the charged species itself.
    if (!body.empty() && body.front() == '[' && MatchingBracket(body, 0) == body.size() - 1) {
        body = Trimmed(body.substr(1, body.size() - 2));
    }
    return true;
}

// One level of groups; brackets recurse, each level's counts multiplied in
// by its caller.
class FormulaReader {
public:
    explicit FormulaReader(std::string_view text) : text_(text) {}

    bool Read(ElementCounts& counts) {
        if (!ReadLevel(counts, 0)) return false;
        return at_ == text_.size() && !counts.empty();
    }

private:
    bool ReadLevel(ElementCounts& counts, int depth) {
        if (depth > kMaxFormulaNesting) return false;
        bool any = false;
        while (true) {
            while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
            if (at_ >= text_.size()) return depth == 0 && any;
            const char c = text_[at_];
            if (c == ')' || c == ']') return depth > 0 && any;
            ElementCounts group;
            if (IsUpper(c)) {
                const std::size_t start = at_++;
                while (at_ < text_.size() && IsLower(text_[at_]) && at_ - start < 3) ++at_;
                const std::string_view symbol = text_.substr(start, at_ - start);
                if (!FindElement(symbol)) return false;
                group[std::string(symbol)] = 1;
            } else if (c == '(' || c == '[') {
                const char closer = c == '(' ? ')' : ']';
                ++at_;
                if (!ReadLevel(group, depth + 1)) return false;
                if (at_ >= text_.size() || text_[at_] != closer) return false;
                ++at_;
            } else {
                return false;
            }
            const long long times = ReadCount(text_, at_, kMaxAtoms);
            if (times == 0) return false;
            for (const auto& [symbol, count] : group) {
                long& total = counts[symbol];
                const long long sum = total + count * times;
                if (sum > kMaxAtoms) return false;
                total = static_cast<long>(sum);
            }
            any = true;
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

bool ExpandFormula(std::string_view text, ExpandedFormula& formula) {
    if (text.size() > kMaxCondensedFormulaLength) return false;
    std::string_view body = Trimmed(text);
    int charge = 0;
    if (!TakeCharge(body, charge)) return false;
    ElementCounts counts;
    if (!FormulaReader(body).Read(counts)) return false;
    formula.counts = std::move(counts);
    formula.charge = charge;
    return true;
}

}  // namespace ionsift
