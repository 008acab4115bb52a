#pragma once

#include <cstdint>
#include <string>

#include "table/table_grid.h"

namespace qv {

// The status bar's texts (UTF-8).

// "100000" as "100,000": long row numbers and counts are read at a glance.
std::string GroupedNumber(int64_t value);

// Where the current cell is: "行 12,345 / 100,000  列 3", row r of the RowCount - 1 data rows
// (row 0 holds the item names) and column c (column 0 the row labels).
std::string PositionStatusText(const TableGrid& grid);

// The range between the current cell and the anchor, when it holds two cells or more: its cell
// count and, read as the column statistics read cells, the count of numbers, their sum and
// average ("個数 8  数値 5  合計 1234  平均 246.8"); empty for a single cell.
std::string SelectionStatusText(const TableGrid& grid, std::string_view decimalSeparator);

// The range as [first, last] cells, current cell and anchor in any corner.
struct CellRange {
    GridCell first;
    GridCell last;
    bool operator==(const CellRange&) const = default;
};
CellRange SelectedRange(const TableGrid& grid);

}  // namespace qv
