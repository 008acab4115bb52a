#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "table/cell_column.h"
#include "table/table_grid.h"

namespace qv {

// Rows from `row` that every data column (1 .. ColCount - 1) holds in one stored chunk, up to
// `limit` (row < limit <= RowCount), and, when those rows are still as a table file loaded
// them, their cell lines as they lie in the loaded buffer: each cell's text followed by its
// line end, row after row. Writers copy or rewrite such lines as a whole instead of visiting
// every cell. A table of column 0 only has no stretches. `segments` is working room, kept by
// the caller between calls.
struct LoadedStretch {
    int32_t rows = 0;
    std::optional<std::string_view> lines;
};
LoadedStretch FindLoadedStretch(const TableGrid& grid, int32_t row, int32_t limit,
                                std::vector<CellColumn::Segment>& segments);

}  // namespace qv
