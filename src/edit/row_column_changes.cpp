// Row and column changes. Every row shift goes through the grid's bulk operations, so inserting
// or deleting near the top of a table with a million rows, and undoing it, costs no more than
// near its end.
#include "edit/row_column_changes.h"

#include <algorithm>

namespace qv {

namespace {

// The texts of one row in columns [colBegin, colEnd).
std::vector<std::string> RowTexts(const TableGrid& grid, int32_t row, int32_t colBegin,
                                  int32_t colEnd) {
    std::vector<std::string> texts;
    for (int32_t c = colBegin; c < colEnd; ++c) {
        texts.emplace_back(grid.Cell(c, row));
    }
    return texts;
}

std::size_t TextBytes(const std::vector<std::string>& texts) {
    std::size_t bytes = texts.capacity() * sizeof(std::string);
    for (const std::string& text : texts) {
        bytes += text.capacity() > 15 ? text.capacity() : 0;  // beyond the short-string buffer
    }
    return bytes;
}

void Renumber(TableGrid& grid) {
    grid.WriteRowLabels(1, grid.RowCount());
}

// Raises or lowers the buffer's column count along with the table's. The buffer's count never
// limits what it holds, so it is kept inside the grid's range rather than allowed to fail after
// the table has already changed.
void StepBufferColCount(TableGrid& buffer, int32_t step) {
    const int32_t wanted = buffer.ColCount() + step;
    buffer.SetColCount(std::clamp(wanted, 1, kGridCountLimit - 1));
}

}  // namespace

// --- Deleting and inserting rows ---

void RowShiftChange::KeepBefore(EditTarget& target, int32_t overwritten) {
    before_ = GridFrame::Of(target);
    labels_ = target.grid.CopyColumn(0);
    overwritten_ = RowTexts(target.grid, overwritten, 1, target.grid.ColCount());
}

void RowShiftChange::PutBack(EditTarget& target, int32_t from, int32_t to) {
    target.grid.ShiftRowTexts(from, to, 1, overwritten_);
    target.grid.ReplaceColumn(0, labels_.Clone());
    before_.ApplyTo(target);
}

std::size_t RowShiftChange::Bytes() const {
    return sizeof *this + before_.Bytes() + labels_.StoredBytes() + TextBytes(overwritten_);
}

void RowDeleteChange::Undo(EditTarget& target) {
    target.shown.RowInserted(row_, visibility_);
    PutBack(target, before_.rowCount - 1, row_);
}

void RowDeleteChange::Redo(EditTarget& target) {
    visibility_ = target.shown.RowRemoved(row_);
    TableGrid& grid = target.grid;
    const int32_t rowCount = grid.RowCount();
    const int32_t colCount = grid.ColCount();
    KeepBefore(target, row_);
    grid.RemoveRowShiftingUp(row_, rowCount, 1, colCount);
    // The grid moves the current cell up when the deleted row was the last one.
    grid.SetRowCount(rowCount - 1);
    RefreshCurrentCell(grid);
    Renumber(grid);
}

void RowInsertChange::Redo(EditTarget& target) {
    TableGrid& grid = target.grid;
    const int32_t rowCount = grid.RowCount();
    const int32_t colCount = grid.ColCount();
    KeepBefore(target, rowCount);
    // Setting the count first: a table at the grid's limit fails here, before any text moved.
    grid.SetRowCount(rowCount + 1);
    target.shown.RowInserted(row_);
    grid.InsertEmptyRow(row_, rowCount + 1, 1, colCount);
    RefreshCurrentCell(grid);
    Renumber(grid);
}

void RowInsertChange::Undo(EditTarget& target) {
    target.shown.RowRemoved(row_);
    PutBack(target, row_, before_.rowCount);
}

// --- Columns ---

void ColumnCountChange::Redo(EditTarget& target) {
    TableGrid& grid = target.grid;
    before_ = GridFrame::Of(target);
    const int32_t colCount = grid.ColCount();
    const int32_t lastWidth = grid.ColWidth(colCount - 1);
    grid.SetColCount(colCount + step_);
    StepBufferColCount(target.buffer, step_);
    if (step_ > 0) {
        // Growing gave the former last column the default width; it gets its own back.
        grid.SetColWidth(colCount - 1, lastWidth);
    }
}

// --- Clearing everything ---

void ClearAllChange::Redo(EditTarget& target) {
    TableGrid& grid = target.grid;
    before_ = GridFrame::Of(target);
    title_ = std::move(target.title);
    target.title.clear();
    texts_ = grid.TakeRows(grid.RowCount(), 1, grid.ColCount());
    RefreshCurrentCell(grid);
}

void ClearAllChange::Undo(EditTarget& target) {
    target.grid.PutRowsBack(std::move(texts_));
    target.title = title_;
    before_.ApplyTo(target);
}

std::size_t ClearAllChange::Bytes() const {
    std::size_t bytes = sizeof *this + before_.Bytes() + title_.capacity();
    for (const auto& [col, texts] : texts_) {
        bytes += texts.StoredBytes();
    }
    return bytes;
}

// --- Moves ---

void RowMoveChange::Redo(EditTarget& target) {
    labels_ = target.grid.CopyColumn(0);
    target.shown.RowInserted(to_, target.shown.RowRemoved(from_));
    target.grid.MoveRow(from_, to_);
    Renumber(target.grid);
}

void RowMoveChange::Undo(EditTarget& target) {
    target.shown.RowInserted(from_, target.shown.RowRemoved(to_));
    target.grid.MoveRow(to_, from_);
    target.grid.ReplaceColumn(0, labels_.Clone());
}

// --- Sizes ---

void SizeChange::Redo(EditTarget& target) {
    const bool columns = axis_ == TableGridObserver::Axis::Columns;
    before_ = columns ? target.grid.ColWidth(index_) : target.grid.RowHeight(index_);
    Set(target, after_);
}

void SizeChange::Set(EditTarget& target, int32_t size) const {
    if (axis_ == TableGridObserver::Axis::Columns) {
        target.grid.SetColWidth(index_, size);
    } else {
        target.grid.SetRowHeight(index_, size);
    }
    target.grid.SetCurrentCell(where_);
}

}  // namespace qv
