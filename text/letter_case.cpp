#include "text/letter_case.h"

#include <algorithm>

namespace ionsift {
namespace {

UpperCaseTable& Table() {
    static UpperCaseTable table = AsciiUpperCase();
    return table;
}

}  // namespace

UpperCaseTable AsciiUpperCase() {
    UpperCaseTable table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        const bool lower = byte >= 'a' && byte <= 'z';
        table[byte] = static_cast<unsigned char>(lower ? byte - 'a' + 'A' : byte);
    }
    return table;
}

void SetAnsiUpperCase(const UpperCaseTable& table) { Table() = table; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    const UpperCaseTable& upper = Table();
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&upper](char x, char y) {
               return upper[static_cast<unsigned char>(x)] == upper[static_cast<unsigned char>(y)];
           });
}

}  // namespace ionsift
