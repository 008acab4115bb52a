#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "table/shown_rows.h"
#include "table/size_list.h"
#include "table/table_grid.h"

namespace qv {

// What a step of the undo history changes: the main table, its title, and the column count of
// the deleted-row buffer, which follows the table's (the buffer's texts are never touched). The
// rows a filter shows follow the steps that insert, delete or reorder rows.
struct EditTarget {
    TableGrid& grid;
    TableGrid& buffer;
    std::string& title;
    ShownRows& shown;
};

// One change of the table. It is made by applying it: Redo performs it, the first time as every
// time after an undo, keeping what it needs to take itself back; Undo is its exact inverse. Redo
// raises Failure only before it changed anything (a table grown beyond the grid's limit); Undo,
// and Redo after an Undo, never do.
class TableChange {
public:
    virtual ~TableChange() = default;
    virtual void Undo(EditTarget& target) = 0;
    virtual void Redo(EditTarget& target) = 0;
    // The memory the step keeps, in bytes, for the history's bound.
    virtual std::size_t Bytes() const = 0;
    // Whether the change reaches the table file; row heights, which are never saved, do not.
    virtual bool Saved() const { return true; }
    // Whether, once applied, the step left everything as it found it: it is not kept.
    virtual bool ChangesNothing() const { return false; }
    // Typing goes on: `next`, applied just after this step, becomes part of it when it is the
    // same kind of typing (the same cell, the title). Returns whether it did.
    virtual bool JoinTyping(const TableChange& /*next*/) { return false; }
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
    std::size_t Bytes() const { return widths.StoredBytes() + heights.StoredBytes(); }
};

// The current cell and the selection's anchor.
struct GridCursor {
    GridCell current;
    GridCell anchor;

    static GridCursor Of(const TableGrid& grid) { return {grid.Current(), grid.Anchor()}; }
    void ApplyTo(TableGrid& grid) const;
};

// Writes the current cell's text back into it: it is repainted and an open in-place editor
// shows what is stored there now, after a bulk change that moved texts under it.
void RefreshCurrentCell(TableGrid& grid);

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
    // One cell, typed or set, from what it holds now to `after`.
    static std::unique_ptr<CellTextsChange> Typed(const TableGrid& grid, GridCell cell,
                                                  std::string after);
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override;
    bool ChangesNothing() const override;
    bool JoinTyping(const TableChange& next) override;

private:
    std::vector<Cell> cells_;
    GridCell where_;
};

// The title typed, with `where` the current cell; typing on extends the same step.
class TitleChange final : public TableChange {
public:
    TitleChange(std::string before, std::string after, GridCell where)
        : before_(std::move(before)), after_(std::move(after)), where_(where) {}
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override { return sizeof *this + before_.size() + after_.size(); }
    bool JoinTyping(const TableChange& next) override;

private:
    std::string before_;
    std::string after_;
    GridCell where_;
};

}  // namespace qv
