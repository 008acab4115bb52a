// Differences taken over from a compared table: one step, however many rows and cells.
#include "edit/take_over_changes.h"

#include <algorithm>

#include <utility>

namespace qv {

namespace {

// One past the last column that holds a text anywhere: the blocks below cover every stored
// column, those beyond the count included.
int32_t StoredColumnEnd(const TableGrid& grid) {
    const std::vector<int32_t> stored = grid.StoredColumnNumbers(1, kGridCountLimit);
    return stored.empty() ? 1 : stored.back() + 1;
}

}  // namespace

TakeOverChange::TakeOverChange(TakenOverRows rows, GridCell where)
    : rows_(std::move(rows)), where_(where) {}

std::vector<int32_t> TakeOverChange::NewOrder(int32_t rowCount) const {
    std::vector<int32_t> sources;
    sources.reserve(static_cast<std::size_t>(rowCount - 1) + rows_.addedBefore.size());
    std::size_t added = 0;
    auto removed = rows_.removedRows.begin();
    for (int32_t row = 1; row <= rowCount; ++row) {
        for (; added < rows_.addedBefore.size() && rows_.addedBefore[added] <= row; ++added) {
            sources.push_back(rowCount + static_cast<int32_t>(added));
        }
        if (row == rowCount) {
            break;
        }
        if (removed != rows_.removedRows.end() && *removed == row) {
            ++removed;
        } else {
            sources.push_back(row);
        }
    }
    sources.insert(sources.end(), rows_.removedRows.begin(), rows_.removedRows.end());
    return sources;
}

void TakeOverChange::Redo(EditTarget& target) {
    TableGrid& grid = target.grid;
    before_ = GridFrame::Of(target);
    if (!MovesRows()) {
        grid.ExchangeCellTexts(rows_.cells);
        grid.SetCurrentCell(where_);
        return;
    }
    const int32_t rowCount = grid.RowCount();
    const int32_t grown = rowCount + static_cast<int32_t>(rows_.addedBefore.size());
    const int32_t kept = grown - static_cast<int32_t>(rows_.removedRows.size());
    grid.SetRowCount(grown);  // the one step that may fail: the table would grow too large
    labels_ = grid.CopyColumn(0);
    if (sources_.empty()) {
        sources_ = NewOrder(rowCount);
        inverse_.resize(sources_.size());
        for (std::size_t i = 0; i < sources_.size(); ++i) {
            inverse_[static_cast<std::size_t>(sources_[i] - 1)] = static_cast<int32_t>(i) + 1;
        }
    }
    const int32_t colEnd = StoredColumnEnd(grid);
    beyondEnd_ = {1, colEnd, rowCount, grown, {}};
    grid.ExchangeBlock(beyondEnd_);
    grid.ExchangeCellTexts(rows_.addedCells);
    grid.ExchangeCellTexts(rows_.cells);
    grid.PermuteRows(1, sources_, 1);
    removed_ = {1, colEnd, kept, grown, {}};
    grid.ExchangeBlock(removed_);
    // A table keeps one data row: taking over the removal of every row leaves one empty row.
    const int32_t rowsLeft = std::max(kept, 2);
    grid.SetRowCount(rowsLeft);
    grid.WriteRowLabels(1, rowsLeft);
    grid.SetCurrentCell(where_);
}

void TakeOverChange::Undo(EditTarget& target) {
    TableGrid& grid = target.grid;
    if (!MovesRows()) {
        grid.ExchangeCellTexts(rows_.cells);
        before_.ApplyTo(target);
        return;
    }
    grid.SetRowCount(before_.rowCount + static_cast<int32_t>(rows_.addedBefore.size()));
    grid.ExchangeBlock(removed_);
    grid.PermuteRows(1, inverse_, 1);
    grid.ExchangeCellTexts(rows_.cells);
    grid.ExchangeCellTexts(rows_.addedCells);
    grid.ExchangeBlock(beyondEnd_);
    grid.ReplaceColumn(0, labels_.Clone());
    before_.ApplyTo(target);
}

std::size_t TakeOverChange::Bytes() const {
    return sizeof *this + rows_.cells.StoredBytes() + rows_.addedCells.StoredBytes() +
           (rows_.removedRows.capacity() + rows_.addedBefore.capacity() + sources_.capacity() +
            inverse_.capacity()) *
               sizeof(int32_t) +
           labels_.StoredBytes() + before_.Bytes() + beyondEnd_.StoredBytes() +
           removed_.StoredBytes();
}

bool TakeOverChange::MovesRows() const {
    return !rows_.removedRows.empty() || !rows_.addedBefore.empty();
}

bool TakeOverChange::ChangesNothing() const {
    return rows_.cells.Empty() && !MovesRows();
}

}  // namespace qv
