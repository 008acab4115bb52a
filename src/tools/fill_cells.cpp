#include "tools/fill_cells.h"

#include <algorithm>

#include "table/cell_handle.h"

namespace qv {

namespace {

// The rows a fill may write, as the span lists them, and its columns past the label column.
int32_t FirstDataCol(const RowSpan& cells) {
    return std::max(cells.colBegin, 1);
}

template <class TextOf>
CellTextList FillColumns(const TableGrid& grid, const RowSpan& cells, std::size_t firstTarget,
                         const WorkProgress& progress, TextOf textOf) {
    CellTextList texts;
    const int32_t firstCol = FirstDataCol(cells);
    WorkSteps steps(progress, int64_t{std::max(cells.colEnd - firstCol, 0)} *
                                  static_cast<int64_t>(cells.rows.size()));
    for (int32_t col = firstCol; col < cells.colEnd; ++col) {
        const std::string_view text = textOf(col);
        for (std::size_t i = firstTarget; i < cells.rows.size(); ++i) {
            steps.Advance();
            const int32_t row = cells.rows[i];
            if (row >= 1 && grid.Cell(col, row) != text) {
                texts.Add(GridCell{col, row}, text);
            }
        }
    }
    return texts;
}

}  // namespace

CellTextList FillDownTexts(const TableGrid& grid, const RowSpan& cells,
                           const WorkProgress& progress) {
    if (cells.rows.size() < 2 || cells.rows.front() < 1) {
        return {};
    }
    const int32_t top = cells.rows.front();
    return FillColumns(grid, cells, 1, progress, [&](int32_t col) { return grid.Cell(col, top); });
}

namespace {

// Rows [rowBegin, rowEnd) of the data columns of [colBegin, colEnd) as a block of whole columns,
// each cell holding its column's text.
template <class TextOf>
TableGrid::CellBlock FilledBlock(int32_t colBegin, int32_t colEnd, int32_t rowBegin, int32_t rowEnd,
                                 const WorkProgress& progress, TextOf textOf) {
    TableGrid::CellBlock block{std::max(colBegin, 1), colEnd, rowBegin, rowEnd, {}};
    if (rowBegin < 1 || block.colBegin >= colEnd || rowBegin >= rowEnd) {
        return block;
    }
    const int32_t rows = rowEnd - rowBegin;
    WorkSteps steps(progress, int64_t{colEnd - block.colBegin} * rows);
    for (int32_t col = block.colBegin; col < colEnd; ++col) {
        const std::string_view text = textOf(col);
        steps.Reach(int64_t{col - block.colBegin} * rows);
        if (text.empty()) {
            continue;  // a column the block leaves out is written empty
        }
        CellColumn& column = block.columns.emplace_back(col, CellColumn()).second;
        for (int32_t row = 0; row < rows; ++row) {
            steps.Advance();
            column.Set(row, cell_handle::MakeOwned(text));
        }
    }
    return block;
}

}  // namespace

TableGrid::CellBlock FillDownBlock(const TableGrid& grid, int32_t colBegin, int32_t colEnd,
                                   int32_t firstRow, int32_t rowEnd, const WorkProgress& progress) {
    if (firstRow < 1) {
        return {std::max(colBegin, 1), colEnd, firstRow + 1, rowEnd, {}};
    }
    return FilledBlock(colBegin, colEnd, firstRow + 1, rowEnd, progress,
                       [&](int32_t col) { return grid.Cell(col, firstRow); });
}

TableGrid::CellBlock FillBlockWithText(int32_t colBegin, int32_t colEnd, int32_t rowBegin,
                                       int32_t rowEnd, std::string_view text,
                                       const WorkProgress& progress) {
    return FilledBlock(colBegin, colEnd, rowBegin, rowEnd, progress,
                       [&](int32_t /*col*/) { return text; });
}

CellTextList FillWithText(const TableGrid& grid, const RowSpan& cells, std::string_view text,
                          const WorkProgress& progress) {
    return FillColumns(grid, cells, 0, progress, [&](int32_t /*col*/) { return text; });
}

}  // namespace qv
