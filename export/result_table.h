// The results list as the exports see it: the column captions and the rows
// in the order shown, every cell exactly as displayed.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "search/result_rows.h"

namespace ionsift {

using ColumnTitles = std::array<std::string, kResultColumnCount>;

struct ResultTable {
    ColumnTitles titles;
    const std::vector<ResultRow>& rows;
};

}  // namespace ionsift
