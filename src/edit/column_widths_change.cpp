#include "edit/column_widths_change.h"

namespace qv {

void ColumnWidthsChange::Exchange(EditTarget& target) {
    for (auto& [col, width] : widths_) {
        const int32_t had = target.grid.ColWidth(col);
        target.grid.SetColWidth(col, width);
        width = had;
    }
    target.grid.SetCurrentCell(where_);
}

}  // namespace qv
