#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "table/table_grid.h"

namespace qv {

// The status bar's texts (UTF-8).

// "100000" as "100,000": long row numbers and counts are read at a glance.
std::string GroupedNumber(int64_t value, char groupSeparator = ',');
// A number written as the statistics write it ("-1234567.5") with the digits before the
// decimal separator grouped ("-1,234,567.5"; "1.5E20" has one such digit).
std::string GroupedDecimal(std::string_view number, char groupSeparator = ',');

// Where the current cell is: "行 12,345 / 100,000  列 3", row r of the RowCount - 1 data rows
// (row 0 holds the item names) and column c (column 0 the row labels).
std::string PositionStatusText(const TableGrid& grid);

// The range between the current cell and the anchor, when it holds two cells or more: the count
// of its cells that are not empty and, read as the column statistics read cells, the count of
// numbers, their sum and average ("データの個数 8  数値 5  合計 1,234  平均 246.8"), grouped
// by "," (by "." where the decimal separator is ","); empty for a single cell.
std::string SelectionStatusText(const TableGrid& grid, std::string_view decimalSeparator);
// The same text as a job that may run on another thread: the range is taken from `grid` now,
// the cells are read when the job runs (the grid must then be unchanged). When `cancelled`
// becomes true the job stops early and its text means nothing.
using SelectionStatusJob = std::function<std::string(const std::atomic<bool>& cancelled)>;
SelectionStatusJob MakeSelectionStatusJob(const TableGrid& grid, std::string decimalSeparator);
// What the window shows where a count or figures will be once they are made.
inline constexpr const char* kCountingNote = "数えています...";
// What the filter bar shows while the rows to show are being found.
inline constexpr const char* kFilteringNote = "絞り込んでいます...";
// Selections of more cells than this are worth reading away from the window's thread.
inline constexpr int64_t kCellsWorthABackgroundReading = 100'000;

// The range as [first, last] cells, current cell and anchor in any corner.
struct SelectedBlock {
    GridCell first;
    GridCell last;
    bool operator==(const SelectedBlock&) const = default;
};
SelectedBlock SelectedRange(const TableGrid& grid);

}  // namespace qv
