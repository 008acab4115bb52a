#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "edit/table_change.h"
#include "table/cell_column.h"
#include "table/table_grid.h"

namespace qv {

// Blocks of cells go in and out of the grid whole (TableGrid::ExchangeBlock), so that neither a
// paste, a cut or a clear nor its undo copies a text per cell: each exchange is its own inverse.

// Rows [rowBegin, rowEnd) of columns [colBegin, colEnd) emptied (a cut, a clear).
class ClearBlockChange final : public TableChange {
public:
    ClearBlockChange(int32_t colBegin, int32_t colEnd, int32_t rowBegin, int32_t rowEnd)
        : block_{colBegin, colEnd, rowBegin, rowEnd, {}} {}
    void Undo(EditTarget& target) override { target.grid.ExchangeBlock(block_); }
    void Redo(EditTarget& target) override { target.grid.ExchangeBlock(block_); }
    std::size_t Bytes() const override;
    // The cells were empty already: nothing to undo.
    bool ChangesNothing() const override { return block_.columns.empty(); }

private:
    TableGrid::CellBlock block_;
};

// A block of texts prepared outside the grid written over its cells (a fill): exchanging the
// block is its own inverse, so neither undoing nor redoing copies a text. `where` (the current
// cell and the anchor) is put back around it.
class BlockWriteChange final : public TableChange {
public:
    BlockWriteChange(TableGrid::CellBlock block, GridCursor where)
        : block_(std::move(block)), where_(where) {}
    void Undo(EditTarget& target) override { Exchange(target); }
    void Redo(EditTarget& target) override { Exchange(target); }
    std::size_t Bytes() const override;

private:
    void Exchange(EditTarget& target);
    TableGrid::CellBlock block_;
    GridCursor where_;
};

// A block of texts pasted with its top-left at `at`, adding the rows and columns it needs, and
// selected afterwards. Rows and columns it adds come up empty but for what was pasted: texts
// stored beyond the old counts (a deleted row's leftovers) are taken into the step rather than
// shown; added rows are numbered, added columns take `addedWidths` (the first, the first added).
class PasteBlockChange final : public TableChange {
public:
    PasteBlockChange(GridCell at, int32_t width, int32_t height, TableGrid::StoredColumns texts,
                     std::vector<int32_t> addedWidths);
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override;

private:
    GridFrame before_;
    TableGrid::CellBlock pasted_;
    TableGrid::CellBlock newColumns_;
    TableGrid::CellBlock newRows_;
    CellColumn labels_;
    std::vector<int32_t> addedWidths_;
};

}  // namespace qv
