#pragma once

#include <string>

#include "app/window_geometry.h"
#include "table/table_grid.h"

namespace qv {

// The bytes of the table file for the grid, the title and the main window's place and size:
// the file mark, the version, the geometry, the title, the counts, the widths of columns 1 and
// up, then the texts of rows 0 .. RowCount - 1, columns 1 .. ColCount - 1, row by row; every
// line ends with CR LF. Texts are written byte for byte: a CR inside one splits it on reading.
std::string BuildTableFile(const TableGrid& grid, const std::string& title,
                           const WindowGeometry& window);

}  // namespace qv
