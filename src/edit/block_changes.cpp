#include "edit/block_changes.h"

#include <algorithm>

namespace qv {

std::size_t ClearBlockChange::Bytes() const {
    return sizeof *this + block_.StoredBytes();
}

PasteBlockChange::PasteBlockChange(GridCell at, int32_t width, int32_t height,
                                   TableGrid::StoredColumns texts, std::vector<int32_t> addedWidths)
    : pasted_{at.col, at.col + width, at.row, at.row + height, std::move(texts)},
      addedWidths_(std::move(addedWidths)) {}

void PasteBlockChange::Redo(EditTarget& target) {
    TableGrid& grid = target.grid;
    before_ = GridFrame::Of(target);
    const int32_t oldCols = grid.ColCount();
    const int32_t oldRows = grid.RowCount();
    const int32_t newCols = std::max(oldCols, pasted_.colEnd);
    const int32_t newRows = std::max(oldRows, pasted_.rowEnd);
    if (newCols > oldCols) {
        const int32_t lastWidth = grid.ColWidth(oldCols - 1);
        grid.SetColCount(newCols);
        // Growing gave the former last column the default width; it gets its own back.
        grid.SetColWidth(oldCols - 1, lastWidth);
        // Set at once rather than one by one, which would lay the grid out anew for each.
        SizeList widths = grid.ColWidths();
        for (int32_t col = oldCols; col < newCols; ++col) {
            const auto i = static_cast<std::size_t>(col - oldCols);
            if (i < addedWidths_.size()) {
                widths.Set(col, addedWidths_[i]);
            }
        }
        grid.SetSizes(widths, grid.RowHeights());
        newColumns_ = {oldCols, newCols, 0, newRows, std::move(newColumns_.columns)};
        grid.ExchangeBlock(newColumns_);
    }
    if (newRows > oldRows) {
        grid.SetRowCount(newRows);
        newRows_ = {1, oldCols, oldRows, newRows, std::move(newRows_.columns)};
        grid.ExchangeBlock(newRows_);
        labels_ = grid.CopyColumn(0);
        grid.WriteRowLabels(1, newRows);
    }
    grid.ExchangeBlock(pasted_);
    grid.SetCurrentCell(GridCell{pasted_.colEnd - 1, pasted_.rowEnd - 1});
    grid.SetCurrentCell(GridCell{pasted_.colBegin, pasted_.rowBegin}, TableGrid::Selection::Extend);
}

void PasteBlockChange::Undo(EditTarget& target) {
    TableGrid& grid = target.grid;
    grid.ExchangeBlock(pasted_);
    if (pasted_.rowEnd > before_.rowCount) {
        grid.ExchangeBlock(newRows_);
        grid.ReplaceColumn(0, labels_.Clone());
    }
    if (pasted_.colEnd > before_.colCount) {
        grid.ExchangeBlock(newColumns_);
    }
    before_.ApplyTo(target);
}

std::size_t PasteBlockChange::Bytes() const {
    return sizeof *this + before_.Bytes() + pasted_.StoredBytes() + newColumns_.StoredBytes() +
           newRows_.StoredBytes() + labels_.StoredBytes() +
           addedWidths_.capacity() * sizeof(int32_t);
}

void BlockWriteChange::Exchange(EditTarget& target) {
    target.grid.ExchangeBlock(block_);
    where_.ApplyTo(target.grid);
}

std::size_t BlockWriteChange::Bytes() const {
    return sizeof *this + block_.StoredBytes();
}

}  // namespace qv
