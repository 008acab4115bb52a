// The grid's operations that move or replace whole rows and columns at once: the editing
// commands' row shifts, clearing, sorting and the undo history's steps. Each costs in the number
// of stored chunks, not of rows.
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/failure.h"
#include "platform/large_buffers.h"
#include "table/cell_text_list.h"
#include "table/table_grid.h"

namespace qv {

namespace {

// From this many rows moved, the memory a move frees is handed back to the system.
constexpr int64_t kRowsWorthReturningMemory = int64_t{1} << 16;

}  // namespace

void TableGrid::InsertEmptyRow(int32_t i, int32_t rowEnd, int32_t colBegin, int32_t colEnd) {
    if (i < 0 || i >= rowEnd) {
        return;
    }
    if (runs_.Any(colBegin, colEnd, i)) {
        SpreadRuns(colBegin, colEnd);
    }
    for (auto& [col, column] : columns_) {
        if (col >= colBegin && col < colEnd) {
            column.Erase(rowEnd - 1);
            column.Insert(i, 0);
        }
    }
    NotifyCells();
}

void TableGrid::RemoveRowShiftingUp(int32_t r, int32_t rowEnd, int32_t colBegin, int32_t colEnd) {
    if (r < 0 || r >= rowEnd) {
        return;
    }
    if (runs_.Any(colBegin, colEnd, r)) {
        SpreadRuns(colBegin, colEnd);
    }
    for (auto& [col, column] : columns_) {
        if (col >= colBegin && col < colEnd) {
            const CellHandle last = cell_handle::Copy(column.Get(rowEnd - 1));
            column.Erase(r);
            column.Insert(rowEnd - 1, last);
        }
    }
    NotifyCells();
}

void TableGrid::ClearCells(int32_t rowBegin, int32_t rowEnd, int32_t colBegin, int32_t colEnd) {
    ClearStored(rowBegin, rowEnd, colBegin, colEnd);
    NotifyCells();
}

void TableGrid::ClearStored(int32_t rowBegin, int32_t rowEnd, int32_t colBegin, int32_t colEnd) {
    // Loaded runs cleared whole are dropped: a wide table is not spread to be emptied.
    const int32_t begin = std::max(rowBegin, 0);
    if (begin == 0 && begin < rowEnd && !runs_.Any(colBegin, colEnd, rowEnd)) {
        runs_.Drop(colBegin, colEnd);
    } else if (begin < rowEnd && runs_.Any(colBegin, colEnd, begin)) {
        SpreadRuns(colBegin, colEnd);
    }
    for (auto& [col, column] : columns_) {
        if (col >= colBegin && col < colEnd) {
            column.Clear(std::max(rowBegin, 0), rowEnd);
        }
    }
}

void TableGrid::WriteRowLabels(int32_t rowBegin, int32_t rowEnd) {
    if (rowBegin >= rowEnd) {
        return;
    }
    ColumnAt(0).SetLabels(std::max(rowBegin, 0), rowEnd);
    NotifyCells();
}

void TableGrid::PermuteRows(int32_t firstRow, std::span<const int32_t> sources, int32_t colBegin) {
    if (sources.empty()) {
        return;
    }
    const auto count = static_cast<int64_t>(sources.size());
    if (firstRow < 0 || firstRow + count > kGridCountLimit) {
        throw Failure(kGridIndexMessage);
    }
    std::vector<bool> seen(sources.size(), false);
    for (int32_t source : sources) {
        const int64_t i = int64_t{source} - firstRow;
        if (i < 0 || i >= count || seen[static_cast<std::size_t>(i)]) {
            throw Failure(kGridIndexMessage);
        }
        seen[static_cast<std::size_t>(i)] = true;
    }
    if (runs_.Any(colBegin, kGridCountLimit, firstRow)) {
        SpreadRuns(colBegin, kGridCountLimit);
    }
    // One column after another, sharing the room: the second and later columns of a loaded
    // table share the first one's orders of lines.
    {
        CellColumn::PermuteRoom room;
        for (auto& [col, column] : columns_) {
            if (col >= colBegin) {
                column.Permute(firstRow, sources, room);
            }
        }
    }
    // The blocks' old orders of lines and the room, in many pieces, are freed now: a large
    // table's many would otherwise stay with the allocator beside the next sort's keys.
    if (count >= kRowsWorthReturningMemory) {
        ReturnFreeMemory();
    }
    NotifyCells();
}

void TableGrid::ExchangeCellTexts(CellTextList& list) {
    for (std::size_t i = 0; i < list.Size(); ++i) {
        if (list.CellAt(i).col < 0 || list.CellAt(i).row < 0) {
            throw Failure(kGridIndexMessage);
        }
    }
    if (list.Size() > 1) {
        // At once: spreading column by column would move the grid's columns for every cell.
        int32_t colBegin = kGridCountLimit, colEnd = 0;
        for (std::size_t i = 0; i < list.Size(); ++i) {
            colBegin = std::min(colBegin, list.CellAt(i).col);
            colEnd = std::max(colEnd, list.CellAt(i).col + 1);
        }
        SpreadRuns(colBegin, colEnd);
    }
    CellTextList before;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        const GridCell cell = list.CellAt(i);
        before.Add(cell, Cell(cell.col, cell.row));
        const std::string_view text = list.TextAt(i);
        if (!text.empty()) {
            ColumnAt(cell.col).Set(cell.row, cell_handle::MakeOwned(text));
        } else if (CellColumn* column = FindColumn(cell.col)) {
            column->Set(cell.row, 0);
        }
    }
    list = std::move(before);
    NotifyCells();
}

std::vector<int32_t> TableGrid::StoredColumnNumbers(int32_t colBegin, int32_t colEnd) const {
    std::vector<int32_t> stored;
    for (const auto& [col, column] : columns_) {
        if (col >= colBegin && col < colEnd) {
            stored.push_back(col);
        }
    }
    if (runs_.Any(colBegin, colEnd)) {
        std::vector<int32_t> loaded = runs_.ColumnNumbers(colBegin, colEnd);
        std::vector<int32_t> both(stored.size() + loaded.size());
        std::merge(stored.begin(), stored.end(), loaded.begin(), loaded.end(), both.begin());
        stored = std::move(both);
    }
    return stored;
}

int32_t TableGrid::StoredRowEnd(int32_t colBegin, int32_t colEnd) const {
    int32_t end = 0;
    for (const auto& [col, column] : columns_) {
        if (col >= colBegin && col < colEnd) {
            end = std::max(end, column.Length());
        }
    }
    return std::max(end, runs_.RowEnd(colBegin, colEnd));
}

void TableGrid::ShiftRowTexts(int32_t eraseRow, int32_t insertRow, int32_t colBegin,
                              const std::vector<std::string>& texts) {
    SpreadRuns(colBegin, colBegin + static_cast<int32_t>(texts.size()));
    for (std::size_t k = 0; k < texts.size(); ++k) {
        const int32_t col = colBegin + static_cast<int32_t>(k);
        CellColumn* column = texts[k].empty() ? FindColumn(col) : &ColumnAt(col);
        if (column != nullptr) {
            column->Erase(eraseRow);
            column->Insert(insertRow, cell_handle::MakeOwned(texts[k]));
        }
    }
    NotifyCells();
}

CellColumn TableGrid::CopyColumn(int32_t col) const {
    if (const CellColumn* column = FindColumn(col)) {
        return column->Clone();
    }
    const LoadedRuns::Run* run = runs_.Find(col);
    return run == nullptr ? CellColumn() : LoadedRuns::ColumnOf(*run, col);
}

void TableGrid::ReplaceColumn(int32_t col, CellColumn&& column) {
    if (column.Length() == 0 && FindColumn(col) == nullptr) {
        return;
    }
    ColumnAt(col) = std::move(column);
    NotifyCells();
}

TableGrid::StoredColumns TableGrid::TakeRows(int32_t rowEnd, int32_t colBegin, int32_t colEnd) {
    SpreadRuns(colBegin, colEnd);
    StoredColumns taken;
    for (auto& [col, column] : columns_) {
        if (col >= colBegin && col < colEnd) {
            taken.emplace_back(col, column.TakeHead(rowEnd));
        }
    }
    NotifyCells();
    return taken;
}

void TableGrid::ExchangeBlock(CellBlock& block) {
    if (block.colBegin < 0 || block.rowBegin < 0) {
        throw Failure(kGridIndexMessage);
    }
    SpreadRuns(block.colBegin, block.colEnd);
    std::vector<int32_t> cols = StoredColumnNumbers(block.colBegin, block.colEnd);
    for (const auto& [col, rows] : block.columns) {
        cols.push_back(col);
    }
    std::sort(cols.begin(), cols.end());
    cols.erase(std::unique(cols.begin(), cols.end()), cols.end());
    StoredColumns incoming = std::move(block.columns);
    block.columns.clear();
    std::sort(incoming.begin(), incoming.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    auto given = incoming.begin();
    for (const int32_t col : cols) {
        CellColumn rows;
        if (given != incoming.end() && given->first == col) {
            rows = std::move((given++)->second);
        }
        CellColumn held = ColumnAt(col).ExchangeRows(block.rowBegin, block.rowEnd, std::move(rows));
        if (!held.Empty()) {
            block.columns.emplace_back(col, std::move(held));
        }
    }
    NotifyCells();
}

void TableGrid::PutRowsBack(StoredColumns&& rows) {
    if (!rows.empty()) {
        SpreadRuns(rows.front().first, rows.back().first + 1);  // they come in column order
    }
    for (auto& [col, head] : rows) {
        ColumnAt(col).PutHead(std::move(head));
    }
    rows.clear();
    NotifyCells();
}

void TableGrid::SetSizes(const SizeList& widths, const SizeList& heights) {
    if (widths.Count() != colCount_ || heights.Count() != rowCount_) {
        throw Failure(kGridIndexMessage);
    }
    widths_ = widths;
    heights_ = heights;
    NotifyLayout();
}

}  // namespace qv
