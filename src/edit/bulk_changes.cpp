#include "edit/bulk_changes.h"

namespace qv {

void CellListChange::Exchange(EditTarget& target) {
    target.grid.ExchangeCellTexts(texts_);
    target.grid.SetCurrentCell(where_);
}

void RowOrderChange::Undo(EditTarget& target) {
    // The inverse is made when needed rather than kept: a million rows take a few milliseconds.
    std::vector<int32_t> inverse(sources_.size());
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        inverse[static_cast<std::size_t>(sources_[i] - firstRow_)] =
            firstRow_ + static_cast<int32_t>(i);
    }
    target.grid.PermuteRows(firstRow_, inverse, 1);
    if (labels_) {
        target.grid.ReplaceColumn(0, labels_->first.Clone());
    }
    target.grid.SetCurrentCell(where_);
}

void RowOrderChange::Redo(EditTarget& target) {
    target.grid.PermuteRows(firstRow_, sources_, 1);
    if (labels_) {
        target.grid.ReplaceColumn(0, labels_->second.Clone());
    }
    target.grid.SetCurrentCell(where_);
}

std::size_t RowOrderChange::Bytes() const {
    std::size_t bytes = sizeof *this + sources_.capacity() * sizeof(int32_t);
    if (labels_) {
        bytes += labels_->first.StoredBytes() + labels_->second.StoredBytes();
    }
    return bytes;
}

}  // namespace qv
