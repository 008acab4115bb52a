#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "edit/table_change.h"
#include "table/cell_column.h"

namespace qv {

// What deleting or inserting one data row needs to be undone: the frame before it, the row
// labels, and the texts of the one row that the shift overwrote.
class RowShiftChange : public TableChange {
public:
    std::size_t Bytes() const override;

protected:
    explicit RowShiftChange(int32_t row) : row_(row) {}
    // Keeps the frame, the labels and the texts of row `overwritten` before the shift.
    void KeepBefore(EditTarget& target, int32_t overwritten);
    // Shifts the rows between `from` and `to` back over the kept row and restores the rest.
    void PutBack(EditTarget& target, int32_t from, int32_t to);

    int32_t row_;
    GridFrame before_;

private:
    CellColumn labels_;
    std::vector<std::string> overwritten_;
};

// The data row `row` deleted: the rows after it move up, the last keeps its texts as well, the
// row count drops by one and the rows are renumbered. Undoing puts the deleted texts back and
// takes the duplicate away again.
class RowDeleteChange final : public RowShiftChange {
public:
    explicit RowDeleteChange(int32_t row) : RowShiftChange(row) {}
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;

private:
    ShownRows::Visibility visibility_ = ShownRows::Visibility::Shown;
};

// An empty data row inserted at `row` (at most the row count): the rows from there move down,
// and the texts stored just beyond the old last row are dropped. The rows are renumbered.
class RowInsertChange final : public RowShiftChange {
public:
    explicit RowInsertChange(int32_t row) : RowShiftChange(row) {}
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
};

// A column added at the end (+1) or the last one taken away (-1); its texts stay stored beyond
// the count. The buffer's column count follows.
class ColumnCountChange final : public TableChange {
public:
    explicit ColumnCountChange(int32_t step) : step_(step) {}
    void Undo(EditTarget& target) override { before_.ApplyTo(target); }
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override { return sizeof *this + before_.Bytes(); }

private:
    int32_t step_;
    GridFrame before_;
};

// Every cell but the row labels emptied, the item names included, and the title. The texts move
// into the step rather than being freed: undoing costs no copy of the table.
class ClearAllChange final : public TableChange {
public:
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override;

private:
    GridFrame before_;
    std::string title_;
    TableGrid::StoredColumns texts_;
};

// A row dragged from `from` to `to`; the rows are renumbered after it. The current cell, the
// anchor and the heights follow the row.
class RowMoveChange final : public TableChange {
public:
    RowMoveChange(int32_t from, int32_t to) : from_(from), to_(to) {}
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override { return sizeof *this + labels_.StoredBytes(); }

private:
    int32_t from_;
    int32_t to_;
    CellColumn labels_;
};

// A column dragged from `from` to `to`; the current cell, the anchor and the widths follow.
class ColumnMoveChange final : public TableChange {
public:
    ColumnMoveChange(int32_t from, int32_t to) : from_(from), to_(to) {}
    void Undo(EditTarget& target) override { target.grid.MoveColumn(to_, from_); }
    void Redo(EditTarget& target) override { target.grid.MoveColumn(from_, to_); }
    std::size_t Bytes() const override { return sizeof *this; }

private:
    int32_t from_;
    int32_t to_;
};

// A column's width or a row's height set by dragging its line, with `where` the current cell.
class SizeChange final : public TableChange {
public:
    SizeChange(TableGridObserver::Axis axis, int32_t index, int32_t size, GridCell where)
        : axis_(axis), index_(index), after_(size), where_(where) {}
    void Undo(EditTarget& target) override { Set(target, before_); }
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override { return sizeof *this; }
    bool Saved() const override { return axis_ == TableGridObserver::Axis::Columns; }
    bool ChangesNothing() const override { return before_ == after_; }

private:
    void Set(EditTarget& target, int32_t size) const;
    TableGridObserver::Axis axis_;
    int32_t index_;
    int32_t before_ = 0;
    int32_t after_;
    GridCell where_;
};

}  // namespace qv
