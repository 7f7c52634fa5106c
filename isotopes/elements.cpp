// Groups the isotope rows into elements once, sorted by symbol for lookup.
#include "isotopes/isotope_table.h"

#include <algorithm>
#include <vector>

namespace ionsift {
namespace {

std::vector<Element> GroupIntoElements() {
    std::vector<Element> elements;
    const IsotopeRows rows = IsotopeTable();
    for (const Isotope* row = rows.begin(); row != rows.end();) {
        const Isotope* last = row;
        while (last != rows.end() && last->symbol == row->symbol) ++last;
        const Isotope* top = std::max_element(row, last, [](const Isotope& a, const Isotope& b) {
            return a.abundance < b.abundance;
        });
        elements.push_back({row->symbol, {row, static_cast<std::size_t>(last - row)}, top});
        row = last;
    }
    std::sort(elements.begin(), elements.end(),
              [](const Element& a, const Element& b) { return a.symbol < b.symbol; });
    return elements;
}

}  // namespace

const Element* FindElement(std::string_view symbol) {
    static const std::vector<Element> elements = GroupIntoElements();
    const auto found = std::lower_bound(
        elements.begin(), elements.end(), symbol,
        [](const Element& element, std::string_view key) { return element.symbol < key; });
    return found != elements.end() && found->symbol == symbol ? &*found : nullptr;
}

}  // namespace ionsift
