#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "edit/table_change.h"
#include "table/cell_column.h"
#include "table/cell_text_list.h"

namespace qv {

// Texts of many cells written at once (a replace, a replace-all, a fill): `texts` holds, for each
// cell to change, its new text. Applying, undoing and redoing exchange them with the table's, so
// the step keeps one text per cell whichever way it stands, and make `where` current again (with
// the selection's anchor, when given one: a filled selection stays selected).
class CellListChange final : public TableChange {
public:
    CellListChange(CellTextList texts, GridCell where)
        : texts_(std::move(texts)), where_{where, where} {}
    CellListChange(CellTextList texts, GridCursor where)
        : texts_(std::move(texts)), where_(where) {}
    void Undo(EditTarget& target) override { Exchange(target); }
    void Redo(EditTarget& target) override { Exchange(target); }
    std::size_t Bytes() const override { return sizeof *this + texts_.StoredBytes(); }
    bool ChangesNothing() const override { return texts_.Empty(); }

private:
    void Exchange(EditTarget& target);
    CellTextList texts_;
    GridCursor where_;
};

// The data rows put in a new order (a sort): row firstRow + i took the row that stood at
// sources[i], in every column but the labels; a source outside the order's rows raises Failure
// kGridIndexMessage. The step keeps the order and its inverse, eight bytes a row, never the
// texts, so that undoing costs no more than moving the rows. The rows are renumbered after the
// move and their labels kept for the undo; `where` is the current cell, which the rows' moving
// leaves in place.
class RowOrderChange final : public TableChange {
public:
    RowOrderChange(int32_t firstRow, std::vector<int32_t> sources, GridCell where);
    void Undo(EditTarget& target) override;
    void Redo(EditTarget& target) override;
    std::size_t Bytes() const override;

private:
    int32_t firstRow_;
    std::vector<int32_t> sources_;
    std::vector<int32_t> inverse_;
    GridCell where_;
    CellColumn labels_;
};

}  // namespace qv
