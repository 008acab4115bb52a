#pragma once

#include "table/table_grid.h"

namespace qv::test {

// The main table grid as the main window creates it: 3 columns, 6 rows, one fixed column and
// row, widths 32, 153, 69, rows 18 high.
inline void MakeInitialTable(TableGrid& grid) {
    grid.SetColWidth(1, 153);
    grid.SetColWidth(2, 69);
}

inline GridShape MainGridShape() {
    return GridShape{3, 6, 1, 1, 32, 18};
}

inline GridShape BufferGridShape() {
    return GridShape{2, 1, 0, 0, 48, 10};
}

}  // namespace qv::test
