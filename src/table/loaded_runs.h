#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "table/cell_column.h"

namespace qv {

// The cell lines of a loaded table file, row after row: column k of row r is line firstLine + r *
// lineStride + k of the file's buffer. Shared by the runs of columns cut from one load.
struct LoadedLineRows {
    LoadedLineRows(const LineBounds* bounds, int32_t firstLine, int32_t lineStride, int32_t rows);

    const LineBounds* bounds;
    int32_t firstLine;
    int32_t lineStride;
    // Row r's lines as a chunk of lines one column apart, so that a segment of one row of any
    // column can point into it (CellColumn::Segment reads a chunk's lines).
    std::vector<CellChunk> rows;
};

// Runs of adjacent columns still as a table file loaded them, each kept as one object: a table of
// a few rows in a million columns would otherwise cost a column (48 bytes) for each. A column
// leaves its run (Take) before it is written. Runs are kept in column order; the grid never
// keeps a column of its own that a run holds too.
class LoadedRuns {
public:
    struct Run {
        int32_t firstCol = 0;
        int32_t cols = 0;
        int32_t rows = 0;    // rows [0, rows) hold lines, the rows below them are empty
        int32_t origin = 0;  // the column of `lines` that firstCol holds
        std::shared_ptr<const LoadedLineRows> lines;

        int32_t EndCol() const { return firstCol + cols; }
        // The text of a row below `rows` of a column of the run.
        std::string_view Text(int32_t col, int32_t row) const {
            return lines->rows[static_cast<std::size_t>(row)].Line(origin + col - firstCol);
        }
    };

    bool Empty() const { return runs_.empty(); }
    // The run holding column `col`, or none.
    const Run* Find(int32_t col) const;
    // Adds runs, none of whose columns a run holds already.
    void Add(std::vector<Run>&& runs);
    std::vector<Run> TakeAll() {
        std::vector<Run> taken;
        taken.swap(runs_);
        return taken;
    }
    // The columns of [colBegin, colEnd) leave their runs, as columns of their own in order.
    std::vector<std::pair<int32_t, CellColumn>> Take(int32_t colBegin, int32_t colEnd);
    // The columns of [colBegin, colEnd) leave their runs and are dropped.
    void Drop(int32_t colBegin, int32_t colEnd);
    // Whether a run holds a column of [colBegin, colEnd) and, when `rowEnd` is given, a row at
    // or beyond it.
    bool Any(int32_t colBegin, int32_t colEnd, int32_t rowEnd = 0) const;
    // A row at or beyond which every column of [colBegin, colEnd) that a run holds is empty.
    int32_t RowEnd(int32_t colBegin, int32_t colEnd) const;
    // How many columns of [colBegin, colEnd) runs hold.
    std::size_t ColumnCount(int32_t colBegin, int32_t colEnd) const;
    // The columns of [colBegin, colEnd) that runs hold, in order.
    std::vector<int32_t> ColumnNumbers(int32_t colBegin, int32_t colEnd) const;
    // Column `from` moves to `to`, the columns between them shift by one toward `from`.
    void Move(int32_t from, int32_t to);
    void CollectArenaPointers(std::vector<const char*>& out) const;

    // A column of a run: its rows from `row` (row < limit), as CellColumn::SegmentAt gives them.
    static CellColumn::Segment SegmentAt(const Run& run, int32_t col, int32_t row, int32_t limit);
    // A column of a run as a column of its own, as a reader builds it.
    static CellColumn ColumnOf(const Run& run, int32_t col);

private:
    // Cuts the run holding `col` so that a run begins there; returns the first run at or after
    // `col`.
    std::size_t SplitAt(int32_t col);
    // Joins neighbouring runs that continue each other's lines.
    void Join();

    std::vector<Run> runs_;
};

}  // namespace qv
