#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "table/table_grid.h"

namespace qv {

// The widest a fitted column becomes: a long text would otherwise push every other column out
// of sight (600 pixels at 100% scale).
inline constexpr int32_t kFittedWidthCap = 600;
// The narrowest: an empty column stays wide enough to be seen and grabbed.
inline constexpr int32_t kFittedWidthFloor = 16;

// The width column `col` needs to show its widest text, the item name included, in the grid's
// design font (view/cell_text_extent.h), within [kFittedWidthFloor, kFittedWidthCap]. Only the
// texts longest in bytes are measured: in that font a character is never narrower than 7.5
// pixels a byte nor wider than 8, so no shorter text can be much wider.
int32_t FittedColumnWidth(const TableGrid& grid, int32_t col);

// The fitted widths of `cols` (data columns inside the count; others are left out) that differ
// from the widths they have, as (column, width).
std::vector<std::pair<int32_t, int32_t>> FittedWidths(const TableGrid& grid,
                                                      std::span<const int32_t> cols);

}  // namespace qv
