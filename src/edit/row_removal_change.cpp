#include "edit/row_removal_change.h"

#include <algorithm>
#include <utility>

namespace qv {

RowsRemovedChange::RowsRemovedChange(std::vector<int32_t> sources, int32_t keptRowCount,
                                     int32_t colCount, GridCell where)
    : removed_(1, colCount, keptRowCount, 1 + static_cast<int32_t>(sources.size())),
      order_(1, std::move(sources), where),
      keptRowCount_(keptRowCount) {}

void RowsRemovedChange::Redo(EditTarget& target) {
    before_ = GridFrame::Of(target);
    order_.Redo(target);
    removed_.Redo(target);
    target.grid.SetRowCount(keptRowCount_);
    const GridCell current = before_.current;
    target.grid.SetCurrentCell({current.col, std::min(current.row, keptRowCount_ - 1)});
}

void RowsRemovedChange::Undo(EditTarget& target) {
    before_.ApplyTo(target);
    removed_.Undo(target);
    order_.Undo(target);
    GridCursor{before_.current, before_.anchor}.ApplyTo(target.grid);
}

std::size_t RowsRemovedChange::Bytes() const {
    return sizeof *this + order_.Bytes() + removed_.Bytes() + before_.Bytes();
}

}  // namespace qv
