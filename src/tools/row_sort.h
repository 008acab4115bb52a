#pragma once

#include <cstdint>
#include <vector>

#include "platform/work_progress.h"
#include "table/table_grid.h"

namespace qv {

enum class SortOrder { Ascending, Descending };

// A new order of the rows firstRow, firstRow + 1, ...: row firstRow + i takes the row that stood
// at sources[i].
struct RowOrder {
    int32_t firstRow = 1;
    std::vector<int32_t> sources;
};

// The order that sorts the data rows (1 .. RowCount-1) by the texts of column `col`. Texts that
// are numbers by the statistics' rules (a yen mark, commas; see ReadCellNumber) sort by their
// value; the other texts by their bytes, unsigned, so kana and kanji go by their codes; empty
// texts come last. Ascending puts the numbers before the other texts; Descending is the exact
// mirror of that, except that the empty texts stay last. Rows whose texts compare equal keep
// their order (the sort is stable), so sorting by one column and then by another sorts by both.
// A text beyond the range of double sorts as a text. Rows after the last stored text of every
// column stay where they are (they are empty and would stay anyway), so the order may be shorter
// than the table.
// Hears `progress` (reading the keys, sorting them, making the order) and raises WorkCancelled
// when it says stop.
RowOrder SortedRowOrder(const TableGrid& grid, int32_t col, SortOrder order,
                        const WorkProgress& progress = {});

// The order that puts every row back where it stood before `order` was applied. Raises Failure
// kGridIndexMessage for a source outside the order's rows.
RowOrder InverseRowOrder(const RowOrder& order);

// Moves the rows of every stored column from 1 on (cells beyond ColCount included) into `order`;
// the row labels (column 0), the item names (row 0), row heights and the current cell stay. Raises
// Failure kGridIndexMessage, changing nothing, when `order` is no permutation of its rows.
void ApplyRowOrder(TableGrid& grid, const RowOrder& order);

// SortedRowOrder followed by ApplyRowOrder. Returns the order applied; InverseRowOrder of it
// undoes the sort.
RowOrder SortRows(TableGrid& grid, int32_t col, SortOrder order);

}  // namespace qv
