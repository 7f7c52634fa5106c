// How the main tool window shares extra width between its two columns.
#pragma once

namespace ionsift {

// Sizes after creation: the right column's left and width, the left
// column's width, and the window's outer width.
struct ColumnBase {
    int rightLeft = 0;
    int rightWidth = 0;
    int leftWidth = 0;
    int formWidth = 0;
};

struct ColumnSplit {
    int rightLeft = 0;   // left of the experimental-data and chart groups
    int rightWidth = 0;  // their width
    int leftWidth = 0;   // width of the search-options and results groups
};

// Half the extra outer width (rounded toward minus infinity) goes to each
// column; an odd pixel stays over at the right. Example: base {384, 305,
// 369, 721}, 822 wide: d = 50, so {434, 355, 419}.
ColumnSplit SplitColumns(int outerWidth, const ColumnBase& base);

}  // namespace ionsift
