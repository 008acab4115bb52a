#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "edit/table_change.h"
#include "table/cell_column.h"
#include "table/cell_text_list.h"
#include "table/table_grid.h"

namespace qv {

// Differences taken over from another table, in this table's rows as they stand before: texts
// of cells in rows that stay, rows removed, and rows added with their texts.
struct TakenOverRows {
    CellTextList cells;                // new texts of cells of rows that stay
    std::vector<int32_t> removedRows;  // data rows, ascending
    // Each added row goes before this data row (the row count: after the last), in order.
    std::vector<int32_t> addedBefore;
    // The texts of the added rows, the k-th at row RowCount() + k (just beyond the table).
    CellTextList addedCells;
};

// The differences taken over as one step. The added rows are written beyond the last row, the
// rows are put in their new order (the removed ones last) and the removed rows' texts, with what
// stood beyond the table before, move into the step: neither redo nor undo copies a text, and
// the undo puts back every text beyond the counts too. The rows are renumbered and their labels
// kept for the undo; `where` becomes the current cell.
class TakeOverChange final : public TableChange {
public:
    TakeOverChange(TakenOverRows rows, GridCell where);
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override;
    bool ChangesNothing() const override;

private:
    // Whether rows are added or removed; otherwise the step only exchanges texts.
    bool MovesRows() const;
    // Row firstRow + i of the new order takes row sources[i] of the grid with the added rows
    // beyond its end; the removed rows come last.
    std::vector<int32_t> NewOrder(int32_t rowCount) const;

    TakenOverRows rows_;
    GridCell where_;
    GridFrame before_;
    CellColumn labels_;
    std::vector<int32_t> sources_;
    std::vector<int32_t> inverse_;
    TableGrid::CellBlock beyondEnd_;  // what stood where the added rows were written
    TableGrid::CellBlock removed_;    // the removed rows' texts
};

}  // namespace qv
