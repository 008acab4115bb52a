#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/work_progress.h"
#include "table/cell_text_list.h"
#include "table/table_grid.h"

namespace qv {

enum class SplitAt { EverySeparator, FirstSeparator };

// The pieces of a CP932 text between its separators (matched on character boundaries, so the
// second byte of a double-byte character never splits a text); the text whole when the
// separator is empty or absent.
std::vector<std::string_view> SplitText(std::string_view text, std::string_view separator,
                                        SplitAt at);

// A column split into new ones: how many columns the pieces need (0 when no cell of the rows
// holds the separator) and their cells as a block of whole columns standing at col + 1,
// col + 2, ... (for TableGrid::ExchangeBlock once they are inserted): the item names "<name>1",
// "<name>2", ... in row 0 and the pieces of each listed row; a text without the separator goes
// whole into the first. The column itself keeps its texts. Hears `progress` by rows (each row
// twice) and raises WorkCancelled when it says stop.
struct SplitColumns {
    int32_t count = 0;
    TableGrid::CellBlock block;
};
SplitColumns SplitColumn(const TableGrid& grid, int32_t col, std::span<const int32_t> rows,
                         std::string_view separator, SplitAt at, const WorkProgress& progress = {});

// The cells of columns [colBegin, colEnd) in each listed row joined with `separator` into the
// text of column colBegin; empty cells are left out. Only the cells that change are listed.
// Hears `progress` by rows and raises WorkCancelled when it says stop.
CellTextList JoinedTexts(const TableGrid& grid, int32_t colBegin, int32_t colEnd,
                         std::span<const int32_t> rows, std::string_view separator,
                         const WorkProgress& progress = {});

}  // namespace qv
