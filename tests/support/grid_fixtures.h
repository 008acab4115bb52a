#pragma once

#include "table/main_table_shape.h"

namespace qv::test {

// The main table grid as the main window creates it.
inline void MakeInitialTable(TableGrid& grid) {
    SetMainTableColWidths(grid);
}

inline GridShape BufferGridShape() {
    return GridShape{2, 1, 0, 0, 48, 10};
}

}  // namespace qv::test
