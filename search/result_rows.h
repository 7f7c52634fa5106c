// The rows of the results list: the candidates of the last search, read
// from the host's answer, in the order the list shows them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace ionsift {

enum ResultColumn { kMassColumn = 0, kFormulaColumn = 1, kNameColumn = 2, kResultColumnCount = 3 };

// Molecule IDs of the rows of the last non-empty answer, one slot per row,
// in the order the rows were read. Sorting moves rows, never slots.
using RowIdTable = std::vector<std::int32_t>;

struct ResultRow {
    // Mass (with the user's decimal separator), formula and name; never null.
    std::array<const char*, kResultColumnCount> cells;
    std::int32_t* id;  // the row's slot in the RowIdTable
    // How many of the cells the answer gave, from the mass on: a short last
    // row ("2;200.25\n") holds the mass alone. The list shows the others
    // empty; the exports write only these.
    std::uint8_t texts = kResultColumnCount;

    std::size_t TextCount() const {
        return texts < kResultColumnCount ? texts : std::size_t{kResultColumnCount};
    }
};

struct ResultRows {
    // The private copy of the host's answer; the cells point into it.
    std::unique_ptr<char[]> text;
    // The copies of the further answers of a search of several windows.
    std::vector<std::unique_ptr<char[]>> moreTexts;
    std::vector<ResultRow> rows;

    void Clear() {
        rows.clear();
        rows.shrink_to_fit();
        text.reset();
        moreTexts.clear();
    }
};

}  // namespace ionsift
