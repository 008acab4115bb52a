#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/work_progress.h"
#include "table/table_grid.h"
#include "tools/row_sort.h"

namespace qv {

// How the key cells of two rows are compared: byte for byte, or loosely (tools/loose_text.h).
enum class KeyComparison { Exact, Loose };

// The rows of `rows` (ascending data rows) whose cells in `keyCols` equal those of an earlier row
// of the list, ascending: the rows that removing duplicates takes away, the first of each kept.
// No key column means no duplicates. Hears `progress` by rows and raises WorkCancelled when it
// says stop.
std::vector<int32_t> DuplicateRows(const TableGrid& grid, std::span<const int32_t> keyCols,
                                   std::span<const int32_t> rows, KeyComparison comparison,
                                   const WorkProgress& progress = {});

// The order of the data rows 1 .. rowCount-1 that keeps the rows not in `removed` (ascending)
// in their order and puts the removed ones after them, in theirs.
RowOrder OrderMovingRowsToEnd(int32_t rowCount, std::span<const int32_t> removed);

}  // namespace qv
