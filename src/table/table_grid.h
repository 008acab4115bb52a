#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "table/bulk_cells.h"
#include "table/cell_column.h"
#include "table/loaded_buffers.h"
#include "table/loaded_runs.h"
#include "table/size_list.h"

namespace qv {

// Counts at or above this are refused.
inline constexpr int32_t kGridCountLimit = 134217726;
inline constexpr const char* kGridTooLargeMessage = "ｸﾞﾘｯﾄﾞが大きすぎます";
inline constexpr const char* kGridIndexMessage = "ｸﾞﾘｯﾄﾞｲﾝﾃﾞｯｸｽ が範囲を超えています";

class CellTextList;

struct GridCell {
    int32_t col = 0;
    int32_t row = 0;
    bool operator==(const GridCell&) const = default;
};

struct GridShape {
    int32_t colCount = 1;
    int32_t rowCount = 1;
    int32_t fixedCols = 0;
    int32_t fixedRows = 0;
    int32_t defaultColWidth = 64;
    int32_t defaultRowHeight = 24;
};

// Told of every change to a grid. Views repaint from it; the main window's logic listens for
// row moves.
class TableGridObserver {
public:
    virtual ~TableGridObserver() = default;
    // One cell's text was written.
    virtual void CellChanged(int32_t /*col*/, int32_t /*row*/) {}
    // Many texts changed at once (rows shifted, table cleared or loaded).
    virtual void CellsChanged() {}
    // Counts, fixed lines, widths or heights changed.
    virtual void LayoutChanged() {}
    // The current cell or the anchor changed. `previous` is the current cell before; when it
    // differs from the new one an open in-place editor must close.
    virtual void CurrentCellChanged(GridCell /*previous*/) {}
    // A row was moved by MoveRow.
    virtual void RowMoved(int32_t /*from*/, int32_t /*to*/) {}
    // A column was moved by MoveColumn.
    virtual void ColumnMoved(int32_t /*from*/, int32_t /*to*/) {}
    // SetColWidth or SetRowHeight changed one size; `previous` is the size it had.
    enum class Axis { Columns, Rows };
    virtual void SizeChanged(Axis /*axis*/, int32_t /*index*/, int32_t /*previous*/) {}
};

// The table grid: text cells addressed column first, counts, fixed lines, sizes, current cell.
// Texts are stored independently of the counts, and memory follows the texts stored, not
// ColCount x RowCount. Not copyable; one view and any number of observers may watch it.
class TableGrid {
public:
    explicit TableGrid(const GridShape& shape);
    TableGrid(const TableGrid&) = delete;
    TableGrid& operator=(const TableGrid&) = delete;

    // Watching changes nothing of the table, so a reader may watch too.
    void AddObserver(TableGridObserver* observer) const;
    void RemoveObserver(TableGridObserver* observer) const;

    // --- Cells. The counts play no part. ---
    // A never-written cell, or a negative index, reads as "". The view stays valid until the
    // next change of this grid.
    std::string_view Cell(int32_t col, int32_t row) const;
    std::string CellText(int32_t col, int32_t row) const { return std::string(Cell(col, row)); }
    // A negative index raises Failure kGridIndexMessage.
    void SetCell(int32_t col, int32_t row, std::string_view text);

    // Calls f(std::string_view text) for rows [rowBegin, rowEnd) of one column, in order.
    template <class F>
    void VisitColumn(int32_t col, int32_t rowBegin, int32_t rowEnd, F&& f) const;
    // The same with f(CellHandle h), for writers that look at where a text lies (see
    // cell_handle::FollowedByLineEnd). The handles stay the grid's.
    template <class F>
    void VisitColumnHandles(int32_t col, int32_t rowBegin, int32_t rowEnd, F&& f) const;
    // Calls f(int32_t row, CellHandle h) for the rows of [rowBegin, rowEnd) of one column that hold
    // a text, in order; runs of empty cells, and columns never written, cost next to nothing.
    template <class F>
    void VisitColumnTexts(int32_t col, int32_t rowBegin, int32_t rowEnd, F&& f) const;
    // The columns of [colBegin, colEnd) that have ever been written, in order: the others hold
    // only empty texts.
    std::vector<int32_t> StoredColumnNumbers(int32_t colBegin, int32_t colEnd) const;
    // A row at or beyond which every column of [colBegin, colEnd) is empty.
    int32_t StoredRowEnd(int32_t colBegin, int32_t colEnd) const;
    // The rows of one column from `row` (0 <= row < limit) that lie in one stored chunk, for
    // writers (see CellColumn::SegmentAt). Valid until the grid changes.
    CellColumn::Segment ColumnSegment(int32_t col, int32_t row, int32_t limit) const;
    // Whether the bytes [begin, end) lie inside one loaded file's buffer kept by the grid.
    bool InOneLoadedBuffer(const char* begin, const char* end) const {
        return loadedBuffers_.Contain(begin, end);
    }
    const LoadedBuffers& Loaded() const { return loadedBuffers_; }

    // --- Counts (the full rules of setting a count: 0 or less gives 1, the fixed line gives
    // way, kGridCountLimit or more raises Failure kGridTooLargeMessage and changes nothing). ---
    int32_t ColCount() const { return colCount_; }
    int32_t RowCount() const { return rowCount_; }
    void SetColCount(int32_t n);
    void SetRowCount(int32_t n);
    int32_t FixedCols() const { return fixedCols_; }
    int32_t FixedRows() const { return fixedRows_; }

    // --- Sizes. Reading beyond the count gives the default. Setting at or beyond the count (or
    // below 0) raises Failure kGridIndexMessage. ---
    int32_t DefaultColWidth() const { return widths_.DefaultSize(); }
    int32_t DefaultRowHeight() const { return heights_.DefaultSize(); }
    int32_t ColWidth(int32_t col) const;
    int32_t RowHeight(int32_t row) const;
    void SetColWidth(int32_t col, int32_t width);
    void SetRowHeight(int32_t row, int32_t height);
    const SizeList& ColWidths() const { return widths_; }
    const SizeList& RowHeights() const { return heights_; }

    // --- Current cell and selection anchor: the editing commands work on them, so they belong
    // to the table, not to a view (which keeps its own scroll place). ---
    int32_t Col() const { return current_.col; }
    int32_t Row() const { return current_.row; }
    GridCell Current() const { return current_; }
    GridCell Anchor() const { return anchor_; }
    enum class Selection { Collapse, Extend };
    // Moves the current cell to a selectable cell (inside the counts, not fixed). Returns false
    // and changes nothing for any other cell.
    bool SetCurrentCell(GridCell cell, Selection selection = Selection::Collapse);

    // --- Moves made by the user (dragging). Indexes must lie inside the counts, else Failure
    // kGridIndexMessage. The whole stored row (or column) moves, cells beyond the counts
    // included; sizes, current cell and anchor follow. MoveRow then raises RowMoved. ---
    void MoveRow(int32_t from, int32_t to);
    void MoveColumn(int32_t from, int32_t to);

    // --- Bulk operations for the editing commands; each costs in the number of stored chunks,
    // not the number of rows. Columns [colBegin, colEnd) only. ---
    // Rows i .. rowEnd-2 move down by one, row i becomes empty; row rowEnd-1's text is dropped.
    void InsertEmptyRow(int32_t i, int32_t rowEnd, int32_t colBegin, int32_t colEnd);
    // Rows r+1 .. rowEnd-1 move up by one; row rowEnd-1 keeps its text (it is duplicated).
    void RemoveRowShiftingUp(int32_t r, int32_t rowEnd, int32_t colBegin, int32_t colEnd);
    // Writes "" into rows [rowBegin, rowEnd) of columns [colBegin, colEnd).
    void ClearCells(int32_t rowBegin, int32_t rowEnd, int32_t colBegin, int32_t colEnd);
    // Writes the row label of n into cell (0, n) for n in [rowBegin, rowEnd): the last three
    // characters of five blanks followed by the decimal digits of n.
    void WriteRowLabels(int32_t rowBegin, int32_t rowEnd);

    // Row firstRow + i takes the texts of row sources[i], in every stored column from colBegin
    // on, cells beyond ColCount included; `sources` must be a permutation of [firstRow, firstRow +
    // sources.size()), else Failure kGridIndexMessage and nothing changes. Heights, the current
    // cell and the columns before colBegin stay. No text is copied and no allocation is made per
    // row; the permutation's inverse undoes it.
    void PermuteRows(int32_t firstRow, std::span<const int32_t> sources, int32_t colBegin);
    // Writes each text of `list` into its cell and puts what the cell held before into the list in
    // its place, so that a second call undoes the first. A negative index raises Failure
    // kGridIndexMessage before anything changes. Observers hear CellsChanged once.
    void ExchangeCellTexts(CellTextList& list);
    // Removes row eraseRow of columns colBegin .. colBegin + texts.size() - 1 (the rows after it
    // move up), then inserts texts[k] at insertRow (the rows from there move down). Undoes a row
    // shift exactly, given what the shift dropped.
    void ShiftRowTexts(int32_t eraseRow, int32_t insertRow, int32_t colBegin,
                       const std::vector<std::string>& texts);

    // --- Whole stored columns, for undoing changes exactly without copying the table. ---
    using StoredColumns = std::vector<std::pair<int32_t, CellColumn>>;
    // A copy of one column's stored texts, beyond the counts too.
    CellColumn CopyColumn(int32_t col) const;
    // The column's texts become those of `column`, beyond the counts too.
    void ReplaceColumn(int32_t col, CellColumn&& column);
    // Rows [0, rowEnd) of columns [colBegin, colEnd) leave the grid as they are stored and read
    // as "" afterwards; PutRowsBack returns them. Both cost in the number of columns and of the
    // chunks stored beyond rowEnd, not in the number of rows.
    StoredColumns TakeRows(int32_t rowEnd, int32_t colBegin, int32_t colEnd);
    void PutRowsBack(StoredColumns&& rows);
    // A block of cells kept outside the grid: rows [rowBegin, rowEnd) of columns [colBegin,
    // colEnd), each column's rows as a column of its own (its row 0 is rowBegin); the columns it
    // leaves out hold only "".
    struct CellBlock {
        int32_t colBegin = 0;
        int32_t colEnd = 0;
        int32_t rowBegin = 0;
        int32_t rowEnd = 0;
        StoredColumns columns;

        // The memory its texts hold, as CellColumn::StoredBytes counts it.
        std::size_t StoredBytes() const {
            std::size_t bytes = 0;
            for (const auto& [col, column] : columns) {
                bytes += column.StoredBytes();
            }
            return bytes;
        }
    };
    // The block's cells take its texts, and the block takes what they held (only the columns
    // that held a text), so that a second call undoes the first. No text is copied; costs in
    // the number of columns and stored chunks, not of rows. A negative index raises Failure
    // kGridIndexMessage before anything changes.
    void ExchangeBlock(CellBlock& block);
    // Every width and height at once; their counts must be ColCount and RowCount, else Failure
    // kGridIndexMessage and nothing changes.
    void SetSizes(const SizeList& widths, const SizeList& heights);

    // Cells (firstCol + k, rowBegin + j) take the bulk's texts for j below its column's length
    // and "" up to rowEnd. Nothing else changes.
    void ReplaceCells(int32_t firstCol, int32_t rowBegin, int32_t rowEnd, BulkCells&& bulk);

private:
    CellColumn* FindColumn(int32_t col);
    const CellColumn* FindColumn(int32_t col) const;
    CellColumn& ColumnAt(int32_t col);
    // The columns of [colBegin, colEnd) that loaded runs hold become columns of their own, before
    // they change.
    void SpreadRuns(int32_t colBegin, int32_t colEnd);
    void ReleaseUnusedArenas();
    bool AdoptColumns(int32_t firstCol, int32_t rowBegin, int32_t rowEnd, BulkCells& bulk);
    bool AdoptRuns(int32_t firstCol, int32_t rowBegin, int32_t rowEnd, BulkCells& bulk);
    // ClearCells without telling the observers.
    void ClearStored(int32_t rowBegin, int32_t rowEnd, int32_t colBegin, int32_t colEnd);
    void FollowMove(int32_t& position, int32_t from, int32_t to);
    void SetCount(bool columns, int32_t n);
    void NotifyCells();
    void NotifyLayout();
    void NotifyCurrent(GridCell previous);

    std::vector<std::pair<int32_t, CellColumn>> columns_;  // sorted by column number
    LoadedRuns runs_;  // columns still as loaded, none of them among columns_
    LoadedBuffers loadedBuffers_;
    SizeList widths_;
    SizeList heights_;
    int32_t colCount_;
    int32_t rowCount_;
    int32_t fixedCols_;
    int32_t fixedRows_;
    GridCell current_;
    GridCell anchor_;
    mutable std::vector<TableGridObserver*> observers_;
};

template <class F>
void TableGrid::VisitColumnHandles(int32_t col, int32_t rowBegin, int32_t rowEnd, F&& f) const {
    if (rowBegin < 0) {
        rowBegin = 0;
    }
    const CellColumn* column = FindColumn(col);
    if (column == nullptr) {
        int32_t r = rowBegin;
        if (const LoadedRuns::Run* run = runs_.Find(col)) {
            for (; r < std::min(rowEnd, run->rows); ++r) {
                f(cell_handle::MakeLine(run->Text(col, r)));
            }
        }
        for (; r < rowEnd; ++r) {
            f(CellHandle{0});
        }
        return;
    }
    column->VisitHandles(rowBegin, rowEnd, f);
}

template <class F>
void TableGrid::VisitColumnTexts(int32_t col, int32_t rowBegin, int32_t rowEnd, F&& f) const {
    if (const CellColumn* column = FindColumn(col)) {
        column->VisitTexts(rowBegin, rowEnd, f);
    } else if (const LoadedRuns::Run* run = runs_.Find(col)) {
        for (int32_t r = std::max(rowBegin, 0); r < std::min(rowEnd, run->rows); ++r) {
            f(r, cell_handle::MakeLine(run->Text(col, r)));
        }
    }
}

template <class F>
void TableGrid::VisitColumn(int32_t col, int32_t rowBegin, int32_t rowEnd, F&& f) const {
    rowBegin = std::max(rowBegin, 0);
    if (const CellColumn* column = FindColumn(col)) {
        column->Visit(rowBegin, rowEnd, f);  // loaded lines read from their bounds, no handle
        return;
    }
    int32_t r = rowBegin;
    if (const LoadedRuns::Run* run = runs_.Find(col)) {
        for (; r < std::min(rowEnd, run->rows); ++r) {
            f(run->Text(col, r));
        }
    }
    for (; r < rowEnd; ++r) {
        f(std::string_view());
    }
}

}  // namespace qv
