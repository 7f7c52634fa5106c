// The rows of several mass-window queries made one list, each row tagged
// with the query it came from (a search for several ions sends one query
// per ion, and a molecule found in two windows gives two rows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "search/result_rows.h"

namespace ionsift {

// One query's rows as ReadResultsAnswer left them: the cells point into
// rows.text, the IDs into ids.
struct ResultPart {
    RowIdTable ids;
    ResultRows rows;
    std::size_t newlines = 0;  // the answer's count of rows
};

// Per slot of the merged RowIdTable: the index of the part it came from.
using SlotTags = std::vector<std::uint16_t>;

// Moves the parts' rows, slots and answer copies into one list: slots in
// the order of the parts, rows ordered by mass (CaptionMass in `separator`),
// equal masses by part, then as each part had them. The parts are left
// empty. Throws std::bad_alloc with the outputs cleared.
// O(rows log rows).
void MergeResultParts(std::vector<ResultPart>& parts, char separator, RowIdTable& ids,
                      ResultRows& rows, SlotTags& tags);

}  // namespace ionsift
