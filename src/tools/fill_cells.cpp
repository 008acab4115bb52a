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
                         TextOf textOf) {
    CellTextList texts;
    for (int32_t col = FirstDataCol(cells); col < cells.colEnd; ++col) {
        const std::string_view text = textOf(col);
        for (std::size_t i = firstTarget; i < cells.rows.size(); ++i) {
            const int32_t row = cells.rows[i];
            if (row >= 1 && grid.Cell(col, row) != text) {
                texts.Add(GridCell{col, row}, text);
            }
        }
    }
    return texts;
}

}  // namespace

CellTextList FillDownTexts(const TableGrid& grid, const RowSpan& cells) {
    if (cells.rows.size() < 2 || cells.rows.front() < 1) {
        return {};
    }
    const int32_t top = cells.rows.front();
    return FillColumns(grid, cells, 1, [&](int32_t col) { return grid.Cell(col, top); });
}

TableGrid::CellBlock FillDownBlock(const TableGrid& grid, int32_t colBegin, int32_t colEnd,
                                   int32_t firstRow, int32_t rowEnd) {
    TableGrid::CellBlock block{std::max(colBegin, 1), colEnd, firstRow + 1, rowEnd, {}};
    if (firstRow < 1 || block.colBegin >= colEnd || block.rowBegin >= rowEnd) {
        return block;
    }
    for (int32_t col = block.colBegin; col < colEnd; ++col) {
        const std::string_view top = grid.Cell(col, firstRow);
        if (top.empty()) {
            continue;  // a column the block leaves out is written empty
        }
        CellColumn& column = block.columns.emplace_back(col, CellColumn()).second;
        for (int32_t row = 0; row < rowEnd - block.rowBegin; ++row) {
            column.Set(row, cell_handle::MakeOwned(top));
        }
    }
    return block;
}

CellTextList FillWithText(const TableGrid& grid, const RowSpan& cells, std::string_view text) {
    return FillColumns(grid, cells, 0, [&](int32_t /*col*/) { return text; });
}

}  // namespace qv
