#include "edit/column_span_changes.h"

#include <algorithm>

namespace qv {

namespace {

// The deleted-row buffer keeps one column per table column (see ColumnCountChange).
void StepBufferColCount(TableGrid& buffer, int32_t step) {
    buffer.SetColCount(std::clamp(buffer.ColCount() + step, 1, kGridCountLimit - 1));
}

}  // namespace

void ColumnsInsertChange::Redo(EditTarget& target) {
    TableGrid& grid = target.grid;
    before_ = GridFrame::Of(target);
    const int32_t old = grid.ColCount();
    grid.SetColCount(old + count_);  // first: it alone may fail (a grid too large)
    beyond_ = {old, old + count_, 0, grid.StoredRowEnd(old, old + count_), {}};
    grid.ExchangeBlock(beyond_);
    StepBufferColCount(target.buffer, count_);
    // Growing gives the former last column the default width; it gets its own back.
    grid.SetColWidth(old - 1, before_.widths.Get(old - 1));
    for (int32_t i = 0; i < count_; ++i) {
        grid.SetColWidth(old + i, width_);
        grid.MoveColumn(old + i, at_ + i);
    }
    GridCursor{before_.current, before_.anchor}.ApplyTo(grid);
}

void ColumnsInsertChange::Undo(EditTarget& target) {
    const int32_t old = before_.colCount;
    for (int32_t i = count_ - 1; i >= 0; --i) {
        target.grid.MoveColumn(at_ + i, old + i);
    }
    before_.ApplyTo(target);
    target.grid.ExchangeBlock(beyond_);
}

std::size_t ColumnsInsertChange::Bytes() const {
    return sizeof *this + before_.Bytes() + beyond_.StoredBytes();
}

void ColumnsRemoveChange::Redo(EditTarget& target) {
    TableGrid& grid = target.grid;
    before_ = GridFrame::Of(target);
    const int32_t old = grid.ColCount();
    for (int32_t i = 0; i < count_; ++i) {
        grid.MoveColumn(at_, old - 1);
    }
    removed_ = {old - count_, old, 0, grid.StoredRowEnd(old - count_, old), {}};
    grid.ExchangeBlock(removed_);
    grid.SetColCount(old - count_);
    StepBufferColCount(target.buffer, -count_);
    const GridCell current = before_.current;
    grid.SetCurrentCell({std::min(current.col, old - count_ - 1), current.row});
}

// The columns come back at the end, move to their places, and the frame then puts back every
// width exactly (moving carried widths along, growing reset one).
void ColumnsRemoveChange::Undo(EditTarget& target) {
    TableGrid& grid = target.grid;
    const int32_t old = before_.colCount;
    grid.SetColCount(old);
    grid.ExchangeBlock(removed_);
    for (int32_t i = 0; i < count_; ++i) {
        grid.MoveColumn(old - 1, at_);
    }
    before_.ApplyTo(target);
}

std::size_t ColumnsRemoveChange::Bytes() const {
    return sizeof *this + before_.Bytes() + removed_.StoredBytes();
}

}  // namespace qv
