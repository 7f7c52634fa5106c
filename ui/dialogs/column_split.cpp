#include "ui/dialogs/column_split.h"

#include "ui/form/placement.h"

namespace ionsift {

ColumnSplit SplitColumns(int outerWidth, const ColumnBase& base) {
    const int d = FloorHalf(outerWidth - base.formWidth);
    return {base.rightLeft + d, base.rightWidth + d, base.leftWidth + d};
}

}  // namespace ionsift
