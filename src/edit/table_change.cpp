#include "edit/table_change.h"

#include <memory>

namespace qv {

// --- GridFrame ---

GridFrame GridFrame::Of(const EditTarget& target) {
    const TableGrid& grid = target.grid;
    return GridFrame{grid.ColCount(), grid.RowCount(), grid.ColWidths(),        grid.RowHeights(),
                     grid.Current(),  grid.Anchor(),   target.buffer.ColCount()};
}

void GridFrame::ApplyTo(EditTarget& target) const {
    target.grid.SetColCount(colCount);
    target.grid.SetRowCount(rowCount);
    target.grid.SetSizes(widths, heights);
    target.buffer.SetColCount(bufferColCount);
    GridCursor{current, anchor}.ApplyTo(target.grid);
}

// Both cells lie inside the counts; the anchor is set first, then the current cell.
void GridCursor::ApplyTo(TableGrid& grid) const {
    grid.SetCurrentCell(anchor);
    grid.SetCurrentCell(current, TableGrid::Selection::Extend);
}

void RefreshCurrentCell(TableGrid& grid) {
    const std::string text = grid.CellText(grid.Col(), grid.Row());
    grid.SetCell(grid.Col(), grid.Row(), text);
}

// --- CellTextsChange ---

CellTextsChange::CellTextsChange(std::vector<Cell> cells, GridCell where)
    : cells_(std::move(cells)), where_(where) {}

std::unique_ptr<CellTextsChange> CellTextsChange::Typed(const TableGrid& grid, GridCell cell,
                                                        std::string after) {
    std::vector<Cell> cells{
        {cell.col, cell.row, grid.CellText(cell.col, cell.row), std::move(after)}};
    return std::make_unique<CellTextsChange>(std::move(cells), grid.Current());
}

// Typing leaves the current cell, and a selection around it, as they are.
void CellTextsChange::Undo(EditTarget& target) {
    for (auto cell = cells_.rbegin(); cell != cells_.rend(); ++cell) {
        target.grid.SetCell(cell->col, cell->row, cell->before);
    }
    if (target.grid.Current() != where_) {
        target.grid.SetCurrentCell(where_);
    }
}

void CellTextsChange::Redo(EditTarget& target) {
    for (const Cell& cell : cells_) {
        target.grid.SetCell(cell.col, cell.row, cell.after);
    }
    if (target.grid.Current() != where_) {
        target.grid.SetCurrentCell(where_);
    }
}

std::size_t CellTextsChange::Bytes() const {
    std::size_t bytes = sizeof *this + cells_.capacity() * sizeof(Cell);
    for (const Cell& cell : cells_) {
        bytes += cell.before.capacity() + cell.after.capacity();
    }
    return bytes;
}

bool CellTextsChange::ChangesNothing() const {
    for (const Cell& cell : cells_) {
        if (cell.before != cell.after) {
            return false;
        }
    }
    return true;
}

bool CellTextsChange::JoinTyping(const TableChange& next) {
    const auto* typed = dynamic_cast<const CellTextsChange*>(&next);
    if (typed == nullptr || cells_.size() != 1 || typed->cells_.size() != 1 ||
        typed->cells_[0].col != cells_[0].col || typed->cells_[0].row != cells_[0].row) {
        return false;
    }
    cells_[0].after = typed->cells_[0].after;
    return true;
}

// --- TitleChange ---

void TitleChange::Undo(EditTarget& target) {
    target.title = before_;
    target.grid.SetCurrentCell(where_);
}

void TitleChange::Redo(EditTarget& target) {
    target.title = after_;
    target.grid.SetCurrentCell(where_);
}

bool TitleChange::JoinTyping(const TableChange& next) {
    const auto* typed = dynamic_cast<const TitleChange*>(&next);
    if (typed == nullptr) {
        return false;
    }
    after_ = typed->after_;
    return true;
}

}  // namespace qv
