#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/work_progress.h"
#include "table/cell_text_list.h"
#include "table/table_grid.h"

namespace qv {

// Data columns [colBegin, colEnd) over a list of data rows, ascending: the selected block, or
// (under a filter) the rows of it that are shown. Column 0 and row 0 are never part of one.
struct RowSpan {
    int32_t colBegin = 1;
    int32_t colEnd = 1;
    std::span<const int32_t> rows;
};

// Fill down: in each column, every row after the first takes the first row's text. Only the
// cells that change are listed; nothing is written. Bytes are copied as they are, valid CP932
// or not. Each fill hears `progress` by cells and raises WorkCancelled when it says stop.
CellTextList FillDownTexts(const TableGrid& grid, const RowSpan& cells,
                           const WorkProgress& progress = {});

// The same fill over the run of rows [firstRow, rowEnd) as a block of whole columns for
// TableGrid::ExchangeBlock: rows firstRow + 1 .. rowEnd - 1 of each data column of
// [colBegin, colEnd) hold row firstRow's text. For a million rows, so that the step's undo
// exchanges chunks instead of copying a text per cell.
TableGrid::CellBlock FillDownBlock(const TableGrid& grid, int32_t colBegin, int32_t colEnd,
                                   int32_t firstRow, int32_t rowEnd,
                                   const WorkProgress& progress = {});

// The same for Ctrl+Enter over the run of rows [rowBegin, rowEnd): every data cell of columns
// [colBegin, colEnd) takes `text`.
TableGrid::CellBlock FillBlockWithText(int32_t colBegin, int32_t colEnd, int32_t rowBegin,
                                       int32_t rowEnd, std::string_view text,
                                       const WorkProgress& progress = {});

// Every cell takes `text` (the editor's Ctrl+Enter); only the cells that change are listed.
CellTextList FillWithText(const TableGrid& grid, const RowSpan& cells, std::string_view text,
                          const WorkProgress& progress = {});

}  // namespace qv
