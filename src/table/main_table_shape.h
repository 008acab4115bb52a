#pragma once

#include <cstdint>

#include "table/table_grid.h"

namespace qv {

// The main table as a new table has it and as every table file is loaded into it: 3 columns and
// 6 rows, one fixed column (the row labels) and one fixed row (the item names), columns 32 and
// rows 18 pixels by default.
inline constexpr GridShape kMainTableShape{3, 6, 1, 1, 32, 18};
// The widths of its columns as designed: the row labels, then the two data columns.
inline constexpr int32_t kMainTableColWidths[] = {32, 153, 69};

// Gives the main table's columns their designed widths.
inline void SetMainTableColWidths(TableGrid& grid) {
    for (int32_t col = 0; col < kMainTableShape.colCount; ++col) {
        grid.SetColWidth(col, kMainTableColWidths[col]);
    }
}

}  // namespace qv
