#pragma once

#include "table/main_table_shape.h"

namespace qv::test {

// The main table grid as the main window creates it.
inline void MakeInitialTable(TableGrid& grid) {
    SetMainTableColWidths(grid);
}

}  // namespace qv::test
