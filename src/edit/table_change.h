#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "table/cell_column.h"
#include "table/size_list.h"
#include "table/table_grid.h"

namespace qv {

// What a step of the undo history changes: the main table, its title, and the column count of
// the deleted-row buffer, which follows the table's (the buffer's texts are never touched).
struct EditTarget {
    TableGrid& grid;
    TableGrid& buffer;
    std::string& title;
};

// One change of the table that can be taken back and made again exactly. Undo expects the
// table as the change left it, Redo as the change found it; neither raises Failure then.
class TableChange {
public:
    virtual ~TableChange() = default;
    virtual void Undo(EditTarget& target) = 0;
    virtual void Redo(EditTarget& target) = 0;
    // The memory the step keeps, in bytes, for the history's bound.
    virtual std::size_t Bytes() const = 0;
    // Whether the change reaches the table file; row heights, which are never saved, do not.
    virtual bool Saved() const { return true; }
};

// The shape of the table around a change: counts, sizes, the current cell and the selection's
// anchor, and the buffer's column count.
struct GridFrame {
    int32_t colCount = 1;
    int32_t rowCount = 1;
    SizeList widths{0, 1};
    SizeList heights{0, 1};
    GridCell current;
    GridCell anchor;
    int32_t bufferColCount = 1;

    static GridFrame Of(const EditTarget& target);
    void ApplyTo(EditTarget& target) const;
};

// Texts of single cells: typing in a cell, an item name, a pasted row, the only row emptied.
// Undo and redo make `where`, the current cell when the change was made, current again.
class CellTextsChange final : public TableChange {
public:
    struct Cell {
        int32_t col = 0;
        int32_t row = 0;
        std::string before;
        std::string after;
    };
    CellTextsChange(std::vector<Cell> cells, GridCell where);
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override;

private:
    std::vector<Cell> cells_;
    GridCell where_;
};

// A command that may change the counts, the sizes, the current cell and the title, shift rows,
// empty the table, write blocks of cells and renumber the row labels (insert and delete row, add
// and delete column, clear all, paste, cut and clear cells). The command fills in what it did while
// it runs, then hands the step over.
class ShapeChange final : public TableChange {
public:
    // One row removed from columns [colBegin, colBegin + erased.size()) and one inserted
    // elsewhere (see TableGrid::ShiftRowTexts): `erased` are the texts the removed row had,
    // `inserted` those the inserted row got.
    struct RowShift {
        int32_t eraseRow = 0;
        int32_t insertRow = 0;
        int32_t colBegin = 1;
        std::vector<std::string> erased;
        std::vector<std::string> inserted;
    };
    // Rows [0, rowEnd) of columns [colBegin, colEnd) emptied; the texts are held here while
    // the change stands, and back in the table while it is undone.
    struct Emptied {
        int32_t rowEnd = 0;
        int32_t colBegin = 0;
        int32_t colEnd = 0;
        TableGrid::StoredColumns texts;
    };

    explicit ShapeChange(GridFrame before) : before_(std::move(before)) {}
    void SetRowShift(RowShift shift) { shift_ = std::move(shift); }
    void SetEmptied(Emptied emptied) { emptied_ = std::move(emptied); }
    void SetTitles(std::string before, std::string after) {
        titles_.emplace(std::move(before), std::move(after));
    }
    // Column 0, the row labels, before and after the command renumbered them.
    void SetLabels(CellColumn before, CellColumn after) {
        labels_.emplace(std::move(before), std::move(after));
    }
    void SetAfter(GridFrame after) { after_ = std::move(after); }
    // A block of cells the command exchanged (TableGrid::ExchangeBlock): it holds what the cells
    // held before. Blocks are exchanged again in reverse order to undo, in order to redo.
    void AddBlock(TableGrid::CellBlock block) { blocks_.push_back(std::move(block)); }

    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override { return bytes_; }
    // Counts the memory kept; call once the step is filled in.
    void CountBytes();

private:
    GridFrame before_;
    GridFrame after_;
    std::optional<RowShift> shift_;
    std::optional<Emptied> emptied_;
    std::optional<std::pair<std::string, std::string>> titles_;
    std::optional<std::pair<CellColumn, CellColumn>> labels_;
    std::vector<TableGrid::CellBlock> blocks_;
    std::size_t bytes_ = 0;
};

// Where a position ends up when the row or column at `from` moves to `to` (the content moves,
// and the positions in between shift by one toward `from`).
int32_t FollowMove(int32_t position, int32_t from, int32_t to);

// A row dragged from `from` to `to`, which left the current cell at `current`; the labels were
// renumbered after it.
class RowMoveChange final : public TableChange {
public:
    RowMoveChange(int32_t from, int32_t to, GridCell current, CellColumn labelsBefore,
                  CellColumn labelsAfter);
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override;

private:
    int32_t from_;
    int32_t to_;
    GridCell current_;
    CellColumn labelsBefore_;
    CellColumn labelsAfter_;
};

// A column dragged from `from` to `to`, which left the current cell at `current`.
class ColumnMoveChange final : public TableChange {
public:
    ColumnMoveChange(int32_t from, int32_t to, GridCell current)
        : from_(from), to_(to), current_(current) {}
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override { return sizeof *this; }

private:
    int32_t from_;
    int32_t to_;
    GridCell current_;
};

// A column's width or a row's height set by dragging its line, with `where` the current cell.
class SizeChange final : public TableChange {
public:
    SizeChange(TableGridObserver::Axis axis, int32_t index, int32_t before, int32_t after,
               GridCell where)
        : axis_(axis), index_(index), before_(before), after_(after), where_(where) {}
    void Undo(EditTarget& target) override { Set(target, before_); }
    void Redo(EditTarget& target) override { Set(target, after_); }
    std::size_t Bytes() const override { return sizeof *this; }
    bool Saved() const override { return axis_ == TableGridObserver::Axis::Columns; }

private:
    void Set(EditTarget& target, int32_t size) const;
    TableGridObserver::Axis axis_;
    int32_t index_;
    int32_t before_;
    int32_t after_;
    GridCell where_;
};

// The title typed, with `where` the current cell; typing on extends the same step.
class TitleChange final : public TableChange {
public:
    TitleChange(std::string before, std::string after, GridCell where)
        : before_(std::move(before)), after_(std::move(after)), where_(where) {}
    void Extend(std::string after) { after_ = std::move(after); }
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override { return sizeof *this + before_.size() + after_.size(); }

private:
    std::string before_;
    std::string after_;
    GridCell where_;
};

}  // namespace qv
