#include "edit/bulk_changes.h"

#include "platform/failure.h"

namespace qv {

void CellListChange::Exchange(EditTarget& target) {
    target.grid.ExchangeCellTexts(texts_);
    where_.ApplyTo(target.grid);
}

RowOrderChange::RowOrderChange(int32_t firstRow, std::vector<int32_t> sources, GridCell where)
    : firstRow_(firstRow), sources_(std::move(sources)), inverse_(sources_.size()), where_(where) {
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        const int64_t at = int64_t{sources_[i]} - firstRow_;
        if (at < 0 || at >= static_cast<int64_t>(sources_.size())) {
            throw Failure(kGridIndexMessage);
        }
        inverse_[static_cast<std::size_t>(at)] = firstRow_ + static_cast<int32_t>(i);
    }
}

void RowOrderChange::Undo(EditTarget& target) {
    target.shown.RowsPermuted(firstRow_, inverse_);
    target.grid.PermuteRows(firstRow_, inverse_, 1);
    target.grid.ReplaceColumn(0, labels_.Clone());
    target.grid.SetCurrentCell(where_);
}

void RowOrderChange::Redo(EditTarget& target) {
    labels_ = target.grid.CopyColumn(0);
    target.shown.RowsPermuted(firstRow_, sources_);
    target.grid.PermuteRows(firstRow_, sources_, 1);
    target.grid.WriteRowLabels(1, target.grid.RowCount());
    target.grid.SetCurrentCell(where_);
}

std::size_t RowOrderChange::Bytes() const {
    return sizeof *this + (sources_.capacity() + inverse_.capacity()) * sizeof(int32_t) +
           labels_.StoredBytes();
}

}  // namespace qv
