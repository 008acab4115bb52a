#include "edit/table_change.h"

namespace qv {

namespace {

std::size_t TextBytes(const std::vector<std::string>& texts) {
    std::size_t bytes = texts.capacity() * sizeof(std::string);
    for (const std::string& text : texts) {
        bytes += text.capacity() > 15 ? text.capacity() : 0;  // beyond the short-string buffer
    }
    return bytes;
}

// Both cells must lie inside the counts; the anchor is set first, then the current cell.
void SetCursor(TableGrid& grid, GridCell anchor, GridCell current) {
    grid.SetCurrentCell(anchor);
    grid.SetCurrentCell(current, TableGrid::Selection::Extend);
}

}  // namespace

// --- GridFrame ---

GridFrame GridFrame::Of(const EditTarget& target) {
    const TableGrid& grid = target.grid;
    return GridFrame{grid.ColCount(), grid.RowCount(), grid.ColWidths(),        grid.RowHeights(),
                     grid.Current(),  grid.Anchor(),   target.buffer.ColCount()};
}

void GridFrame::ApplyTo(EditTarget& target) const {
    target.grid.SetColCount(colCount);
    target.grid.SetRowCount(rowCount);
    target.grid.SetSizes(widths, heights);
    target.buffer.SetColCount(bufferColCount);
    SetCursor(target.grid, anchor, current);
}

// --- CellTextsChange ---

CellTextsChange::CellTextsChange(std::vector<Cell> cells, GridCell where)
    : cells_(std::move(cells)), where_(where) {}

void CellTextsChange::Undo(EditTarget& target) {
    for (auto cell = cells_.rbegin(); cell != cells_.rend(); ++cell) {
        target.grid.SetCell(cell->col, cell->row, cell->before);
    }
    target.grid.SetCurrentCell(where_);
}

void CellTextsChange::Redo(EditTarget& target) {
    for (const Cell& cell : cells_) {
        target.grid.SetCell(cell.col, cell.row, cell.after);
    }
    target.grid.SetCurrentCell(where_);
}

std::size_t CellTextsChange::Bytes() const {
    std::size_t bytes = sizeof *this + cells_.capacity() * sizeof(Cell);
    for (const Cell& cell : cells_) {
        bytes += cell.before.capacity() + cell.after.capacity();
    }
    return bytes;
}

// --- ShapeChange ---

void ShapeChange::Undo(EditTarget& target) {
    if (shift_) {
        target.grid.ShiftRowTexts(shift_->insertRow, shift_->eraseRow, shift_->colBegin,
                                  shift_->erased);
    }
    if (emptied_) {
        target.grid.PutRowsBack(std::move(emptied_->texts));
    }
    for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block) {
        target.grid.ExchangeBlock(*block);
    }
    if (labels_) {
        target.grid.ReplaceColumn(0, labels_->first.Clone());
    }
    if (titles_) {
        target.title = titles_->first;
    }
    before_.ApplyTo(target);
}

void ShapeChange::Redo(EditTarget& target) {
    if (shift_) {
        target.grid.ShiftRowTexts(shift_->eraseRow, shift_->insertRow, shift_->colBegin,
                                  shift_->inserted);
    }
    if (emptied_) {
        emptied_->texts =
            target.grid.TakeRows(emptied_->rowEnd, emptied_->colBegin, emptied_->colEnd);
    }
    for (TableGrid::CellBlock& block : blocks_) {
        target.grid.ExchangeBlock(block);
    }
    if (labels_) {
        target.grid.ReplaceColumn(0, labels_->second.Clone());
    }
    if (titles_) {
        target.title = titles_->second;
    }
    after_.ApplyTo(target);
}

void ShapeChange::CountBytes() {
    bytes_ = sizeof *this;
    for (const GridFrame* frame : {&before_, &after_}) {
        bytes_ += frame->widths.StoredBytes() + frame->heights.StoredBytes();
    }
    if (shift_) {
        bytes_ += TextBytes(shift_->erased) + TextBytes(shift_->inserted);
    }
    if (emptied_) {
        for (const auto& [col, texts] : emptied_->texts) {
            bytes_ += texts.StoredBytes();
        }
    }
    for (const TableGrid::CellBlock& block : blocks_) {
        for (const auto& [col, texts] : block.columns) {
            bytes_ += texts.StoredBytes();
        }
    }
    if (titles_) {
        bytes_ += titles_->first.capacity() + titles_->second.capacity();
    }
    if (labels_) {
        bytes_ += labels_->first.StoredBytes() + labels_->second.StoredBytes();
    }
}

// --- Moves ---

int32_t FollowMove(int32_t position, int32_t from, int32_t to) {
    if (position == from) {
        return to;
    }
    if (from < to && position > from && position <= to) {
        return position - 1;
    }
    if (from > to && position >= to && position < from) {
        return position + 1;
    }
    return position;
}

RowMoveChange::RowMoveChange(int32_t from, int32_t to, GridCell current, CellColumn labelsBefore,
                             CellColumn labelsAfter)
    : from_(from),
      to_(to),
      current_(current),
      labelsBefore_(std::move(labelsBefore)),
      labelsAfter_(std::move(labelsAfter)) {}

void RowMoveChange::Undo(EditTarget& target) {
    target.grid.MoveRow(to_, from_);
    target.grid.ReplaceColumn(0, labelsBefore_.Clone());
    target.grid.SetCurrentCell({current_.col, FollowMove(current_.row, to_, from_)});
}

void RowMoveChange::Redo(EditTarget& target) {
    target.grid.MoveRow(from_, to_);
    target.grid.ReplaceColumn(0, labelsAfter_.Clone());
    target.grid.SetCurrentCell(current_);
}

void ColumnMoveChange::Undo(EditTarget& target) {
    target.grid.MoveColumn(to_, from_);
    target.grid.SetCurrentCell({FollowMove(current_.col, to_, from_), current_.row});
}

void ColumnMoveChange::Redo(EditTarget& target) {
    target.grid.MoveColumn(from_, to_);
    target.grid.SetCurrentCell(current_);
}

std::size_t RowMoveChange::Bytes() const {
    return sizeof *this + labelsBefore_.StoredBytes() + labelsAfter_.StoredBytes();
}

// --- SizeChange ---

void SizeChange::Set(EditTarget& target, int32_t size) const {
    if (axis_ == TableGridObserver::Axis::Columns) {
        target.grid.SetColWidth(index_, size);
    } else {
        target.grid.SetRowHeight(index_, size);
    }
    target.grid.SetCurrentCell(where_);
}

// --- TitleChange ---

void TitleChange::Undo(EditTarget& target) {
    target.title = before_;
    target.grid.SetCurrentCell(where_);
}

void TitleChange::Redo(EditTarget& target) {
    target.title = after_;
    target.grid.SetCurrentCell(where_);
}

}  // namespace qv
