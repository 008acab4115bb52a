#include "table/table_grid.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/failure.h"
#include "table/cell_text_list.h"

namespace qv {

TableGrid::TableGrid(const GridShape& shape)
    : widths_(shape.defaultColWidth, std::max(shape.colCount, 1)),
      heights_(shape.defaultRowHeight, std::max(shape.rowCount, 1)),
      colCount_(std::max(shape.colCount, 1)),
      rowCount_(std::max(shape.rowCount, 1)),
      fixedCols_(std::clamp(shape.fixedCols, 0, colCount_ - 1)),
      fixedRows_(std::clamp(shape.fixedRows, 0, rowCount_ - 1)),
      current_{fixedCols_, fixedRows_},
      anchor_(current_) {}

void TableGrid::AddObserver(TableGridObserver* observer) const {
    observers_.push_back(observer);
}

void TableGrid::RemoveObserver(TableGridObserver* observer) const {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

// --- Cells ---

const CellColumn* TableGrid::FindColumn(int32_t col) const {
    auto it = std::lower_bound(columns_.begin(), columns_.end(), col,
                               [](const auto& entry, int32_t c) { return entry.first < c; });
    return it != columns_.end() && it->first == col ? &it->second : nullptr;
}

CellColumn* TableGrid::FindColumn(int32_t col) {
    SpreadRuns(col, col + 1);
    return const_cast<CellColumn*>(std::as_const(*this).FindColumn(col));
}

CellColumn& TableGrid::ColumnAt(int32_t col) {
    SpreadRuns(col, col + 1);
    auto it = std::lower_bound(columns_.begin(), columns_.end(), col,
                               [](const auto& entry, int32_t c) { return entry.first < c; });
    if (it == columns_.end() || it->first != col) {
        if (columns_.size() == columns_.capacity()) {
            // Grown by an eighth rather than doubled: a wide table typed column by column keeps
            // little room unused.
            const auto at = it - columns_.begin();
            columns_.reserve(columns_.size() + columns_.size() / 8 + 4);
            it = columns_.begin() + at;
        }
        it = columns_.emplace(it, col, CellColumn());
    }
    return it->second;
}

std::string_view TableGrid::Cell(int32_t col, int32_t row) const {
    if (const CellColumn* column = FindColumn(col)) {
        return cell_handle::Text(column->Get(row));
    }
    const LoadedRuns::Run* run = runs_.Find(col);
    return run != nullptr && row >= 0 && row < run->rows ? run->Text(col, row) : std::string_view();
}

void TableGrid::SetCell(int32_t col, int32_t row, std::string_view text) {
    if (col < 0 || row < 0) {
        throw Failure(kGridIndexMessage);
    }
    if (text.empty()) {
        if (CellColumn* column = FindColumn(col)) {
            column->Set(row, 0);
        }
    } else {
        ColumnAt(col).Set(row, cell_handle::MakeOwned(text));
    }
    for (TableGridObserver* observer : observers_) {
        observer->CellChanged(col, row);
    }
}

// --- Counts ---

void TableGrid::SetColCount(int32_t n) {
    SetCount(true, n);
}

void TableGrid::SetRowCount(int32_t n) {
    SetCount(false, n);
}

void TableGrid::SetCount(bool columns, int32_t n) {
    int32_t& count = columns ? colCount_ : rowCount_;
    if (n == count) {
        return;
    }
    if (n <= 0) {
        n = 1;
    }
    if (n >= kGridCountLimit) {
        throw Failure(kGridTooLargeMessage);
    }
    const GridCell previous = current_;
    int32_t& fixed = columns ? fixedCols_ : fixedRows_;
    if (fixed >= n) {
        // The fixed line gives way for good; the table keeps no fixed line on that side.
        fixed = n - 1;
        current_ = anchor_ = GridCell{fixedCols_, fixedRows_};
    }
    const bool changed = count != n;
    count = n;
    (columns ? widths_ : heights_).Resize(n);
    if (columns) {
        current_.col = std::min(current_.col, n - 1);
    } else {
        current_.row = std::min(current_.row, n - 1);
    }
    if (changed) {
        anchor_ = current_;
    }
    NotifyLayout();
    NotifyCurrent(previous);
}

// --- Sizes ---

int32_t TableGrid::ColWidth(int32_t col) const {
    return widths_.Get(col);
}

int32_t TableGrid::RowHeight(int32_t row) const {
    return heights_.Get(row);
}

void TableGrid::SetColWidth(int32_t col, int32_t width) {
    if (col < 0 || col >= colCount_) {
        throw Failure(kGridIndexMessage);
    }
    const int32_t previous = widths_.Get(col);
    if (previous != width) {
        widths_.Set(col, width);
        NotifyLayout();
        for (TableGridObserver* observer : observers_) {
            observer->SizeChanged(TableGridObserver::Axis::Columns, col, previous);
        }
    }
}

void TableGrid::SetRowHeight(int32_t row, int32_t height) {
    if (row < 0 || row >= rowCount_) {
        throw Failure(kGridIndexMessage);
    }
    const int32_t previous = heights_.Get(row);
    if (previous != height) {
        heights_.Set(row, height);
        NotifyLayout();
        for (TableGridObserver* observer : observers_) {
            observer->SizeChanged(TableGridObserver::Axis::Rows, row, previous);
        }
    }
}

// --- Current cell ---

bool TableGrid::SetCurrentCell(GridCell cell, Selection selection) {
    if (cell.col < fixedCols_ || cell.col >= colCount_ || cell.row < fixedRows_ ||
        cell.row >= rowCount_) {
        return false;
    }
    const GridCell previous = current_;
    current_ = cell;
    if (selection == Selection::Collapse) {
        anchor_ = cell;
    }
    NotifyCurrent(previous);
    return true;
}

// --- Moves ---

void TableGrid::FollowMove(int32_t& position, int32_t from, int32_t to) {
    if (position == from) {
        position = to;
    } else if (from < to && position > from && position <= to) {
        position -= 1;
    } else if (from > to && position >= to && position < from) {
        position += 1;
    }
}

void TableGrid::MoveRow(int32_t from, int32_t to) {
    if (from < 0 || to < 0 || from >= rowCount_ || to >= rowCount_) {
        throw Failure(kGridIndexMessage);
    }
    if (from == to) {
        return;
    }
    if (runs_.Any(0, kGridCountLimit, std::min(from, to))) {
        SpreadRuns(0, kGridCountLimit);
    }
    for (auto& [col, column] : columns_) {
        column.Move(from, to);
    }
    heights_.Move(from, to);
    const GridCell previous = current_;
    FollowMove(current_.row, from, to);
    FollowMove(anchor_.row, from, to);
    NotifyCells();
    NotifyLayout();
    NotifyCurrent(previous);
    for (TableGridObserver* observer : observers_) {
        observer->RowMoved(from, to);
    }
}

void TableGrid::MoveColumn(int32_t from, int32_t to) {
    if (from < 0 || to < 0 || from >= colCount_ || to >= colCount_) {
        throw Failure(kGridIndexMessage);
    }
    if (from == to) {
        return;
    }
    for (auto& entry : columns_) {
        FollowMove(entry.first, from, to);
    }
    std::stable_sort(columns_.begin(), columns_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    runs_.Move(from, to);
    widths_.Move(from, to);
    const GridCell previous = current_;
    FollowMove(current_.col, from, to);
    FollowMove(anchor_.col, from, to);
    NotifyCells();
    NotifyLayout();
    NotifyCurrent(previous);
    for (TableGridObserver* observer : observers_) {
        observer->ColumnMoved(from, to);
    }
}

void TableGrid::ReplaceCells(int32_t firstCol, int32_t rowBegin, int32_t rowEnd, BulkCells&& bulk) {
    loadedBuffers_.Add(bulk.Arena());
    if (AdoptRuns(firstCol, rowBegin, rowEnd, bulk) ||
        AdoptColumns(firstCol, rowBegin, rowEnd, bulk)) {
        ReleaseUnusedArenas();
        NotifyCells();
        return;
    }
    SpreadRuns(firstCol, firstCol + bulk.Columns());
    const int32_t filled = bulk.FilledColumns();
    columns_.reserve(columns_.size() + static_cast<std::size_t>(filled));  // no slack in a wide one
    for (int32_t k = 0; k < filled; ++k) {
        ColumnAt(firstCol + k).Replace(rowBegin, rowEnd, bulk.TakeColumn(k));
    }
    // Columns the bulk declares but holds no text for are emptied where anything is stored.
    for (auto& [col, column] : columns_) {
        if (col >= firstCol + filled && col - firstCol < bulk.Columns()) {
            column.Clear(rowBegin, rowEnd);
        }
    }
    ReleaseUnusedArenas();
    NotifyCells();
}

// Takes the bulk's columns as they are when nothing is stored from firstCol on (a table loaded
// into a cleared grid), instead of moving their chunks into columns of its own: for a moment
// that would hold every column twice.
bool TableGrid::AdoptColumns(int32_t firstCol, int32_t rowBegin, int32_t rowEnd, BulkCells& bulk) {
    auto tail = std::lower_bound(columns_.begin(), columns_.end(), firstCol,
                                 [](const auto& entry, int32_t c) { return entry.first < c; });
    const bool nothingStored =
        std::all_of(tail, columns_.end(), [](const auto& entry) { return entry.second.Empty(); }) &&
        !runs_.Any(firstCol, kGridCountLimit);
    if (rowBegin != 0 || !nothingStored || bulk.LongestColumn() > rowEnd) {
        return false;
    }
    std::vector<std::pair<int32_t, CellColumn>> adopted = bulk.TakeColumns(firstCol);
    columns_.erase(tail, columns_.end());
    adopted.insert(adopted.begin(), std::make_move_iterator(columns_.begin()),
                   std::make_move_iterator(columns_.end()));
    columns_ = std::move(adopted);
    return true;
}

CellColumn::Segment TableGrid::ColumnSegment(int32_t col, int32_t row, int32_t limit) const {
    if (const CellColumn* column = FindColumn(col)) {
        return column->SegmentAt(row, limit);
    }
    if (const LoadedRuns::Run* run = runs_.Find(col)) {
        return LoadedRuns::SegmentAt(*run, col, row, limit);
    }
    return {limit - row, 0, nullptr};
}

// Drops the loaded buffers that no cell points into any more.
void TableGrid::ReleaseUnusedArenas() {
    if (loadedBuffers_.Count() < 2) {
        return;
    }
    std::vector<const char*> used;
    for (const auto& [col, column] : columns_) {
        column.CollectArenaPointers(used);
    }
    runs_.CollectArenaPointers(used);
    loadedBuffers_.KeepOnlyUsed(used);
}

void TableGrid::NotifyCells() {
    for (TableGridObserver* observer : observers_) {
        observer->CellsChanged();
    }
}

void TableGrid::NotifyLayout() {
    for (TableGridObserver* observer : observers_) {
        observer->LayoutChanged();
    }
}

void TableGrid::NotifyCurrent(GridCell previous) {
    for (TableGridObserver* observer : observers_) {
        observer->CurrentCellChanged(previous);
    }
}

}  // namespace qv
