// ParseFormula: one left-to-right pass with an explicit stack of open groups,
// so nesting costs no recursion and is bounded by kMaxFormulaDepth.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/chem/elements.h"
#include "host/chem/formula.h"

namespace ionsift::chem {
namespace {

// Counts are summed in 64 bits: a group total (at most kMaxFormulaAtoms) times
// a multiplier (at most kMaxElementCount) cannot overflow before the check.
using Counts = std::map<std::string, std::int64_t>;

struct Group {
    Counts counts;
    std::int64_t atoms = 0;  // sum of counts
    std::size_t open = 0;    // position of its "(", for the unclosed-group error
};

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Describe(char c) {
    char text[32];
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F) {
        std::snprintf(text, sizeof text, "unexpected character '%c'", c);
    } else {
        std::snprintf(text, sizeof text, "unexpected byte 0x%02X", byte);
    }
    return text;
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    FormulaParse Run() {
        FormulaParse result;
        if (!ParseAll()) {
            result.errorPosition = errorPosition_;
            result.errorReason = std::move(errorReason_);
            return result;
        }
        result.ok = true;
        for (const auto& [symbol, count] : groups_.back().counts) {
            result.formula.counts[symbol] = static_cast<long>(count);
        }
        return result;
    }

private:
    bool ParseAll() {
        if (text_.empty()) return Fail(0, "empty formula");
        groups_.push_back({});
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            const bool ok = c == '(' ? Open()
                            : c == ')' ? Close()
                            : IsUpper(c) ? Atom()
                            : IsDigit(c) ? Fail(pos_, "count without an element before it")
                                         : Fail(pos_, Describe(c));
            if (!ok) return false;
        }
        if (groups_.size() > 1) return Fail(groups_.back().open, "'(' is never closed");
        return true;
    }

    bool Open() {
        if (static_cast<int>(groups_.size()) > kMaxFormulaDepth) {
            return Fail(pos_, "groups nested deeper than " + std::to_string(kMaxFormulaDepth));
        }
        groups_.push_back({{}, 0, pos_});
        ++pos_;
        return true;
    }

    bool Close() {
        const std::size_t at = pos_;
        if (groups_.size() == 1) return Fail(at, "')' without a matching '('");
        if (groups_.back().counts.empty()) return Fail(at, "empty parentheses");
        ++pos_;
        std::int64_t multiplier;
        if (!Count(multiplier)) return false;
        Counts inner = std::move(groups_.back().counts);
        groups_.pop_back();
        for (const auto& [symbol, count] : inner) {
            if (!Add(symbol, count * multiplier, at)) return false;
        }
        return true;
    }

    bool Atom() {
        const std::size_t at = pos_;
        std::size_t length = 1;
        if (at + 1 < text_.size() && IsLower(text_[at + 1])) length = 2;
        const std::string symbol(text_.substr(at, length));
        if (!FindElement(symbol)) return Fail(at, "unknown element " + symbol);
        pos_ += length;
        std::int64_t count;
        return Count(count) && Add(symbol, count, at);
    }

    // Optional decimal count after a symbol or ")"; 1 when absent.
    bool Count(std::int64_t& count) {
        count = 1;
        const std::size_t at = pos_;
        if (pos_ >= text_.size() || !IsDigit(text_[pos_])) return true;
        count = 0;
        while (pos_ < text_.size() && IsDigit(text_[pos_])) {
            count = count * 10 + (text_[pos_] - '0');
            if (count > kMaxElementCount) {
                return Fail(at, "count over " + std::to_string(kMaxElementCount));
            }
            ++pos_;
        }
        if (count == 0) return Fail(at, "count of zero");
        return true;
    }

    bool Add(const std::string& symbol, std::int64_t count, std::size_t at) {
        Group& group = groups_.back();
        std::int64_t& total = group.counts[symbol];
        total += count;
        if (total > kMaxElementCount) {
            return Fail(at, "more than " + std::to_string(kMaxElementCount) + " atoms of " + symbol);
        }
        group.atoms += count;
        if (group.atoms > kMaxFormulaAtoms) {
            return Fail(at, "more than " + std::to_string(kMaxFormulaAtoms) + " atoms in all");
        }
        return true;
    }

    bool Fail(std::size_t at, std::string reason) {
        errorPosition_ = at;
        errorReason_ = std::move(reason);
        return false;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::vector<Group> groups_;
    std::size_t errorPosition_ = 0;
    std::string errorReason_;
};

}  // namespace

FormulaParse ParseFormula(std::string_view text) { return Parser(text).Run(); }

}  // namespace ionsift::chem
