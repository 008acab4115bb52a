#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "table/cell_column.h"
#include "table/loaded_runs.h"

namespace qv {

// Cells read in bulk from a file, column by column, for TableGrid::ReplaceCells. Texts appended
// must lie inside `arena` and each must be followed there by a CR byte; they are kept in place,
// not copied, empty texts included (a view of no bytes at their line's CR), so that a loaded
// table's lines stay one run in the buffer for the writer. When every text appended is the next
// line of the arena, in order (a table file's cells), the lines can be indexed: a block of a
// column whose texts are lines at even steps then keeps their first line's number instead of a
// handle a cell. A short table of such lines (fewer rows than a block) is kept as a whole
// until it is taken (TakeRuns), so that a million columns cost no column each.
class BulkCells {
public:
    enum class Texts { Anywhere, EveryLine };
    BulkCells(std::shared_ptr<const std::string> arena, int32_t columns,
              Texts texts = Texts::Anywhere);
    // Keeps room for `count` filled columns, when the reader knows how many will be, and for
    // `lines` texts.
    void ReserveColumns(int32_t count, uint64_t lines = 0);
    // Appends the next text of column `index` (0-based within the bulk, below Columns()).
    void Append(int32_t index, std::string_view text);
    // Appends `rows` whole rows from row `firstRow` on (the rows above it empty) whose texts are
    // the first lines of `text` (the arena from where a line begins), a column each, row after
    // row, when every one of those lines ends in CR LF: the cells appending them one by one
    // gives, but found on two threads and placed a block at a time (a table file as written).
    // Needs Texts::EveryLine and nothing appended before. Returns false, having appended
    // nothing, when some line does not or there are fewer. `passed` is as for
    // LineBounds::AddLines.
    bool AppendLineRows(int32_t firstRow, int32_t rows, std::string_view text,
                        const LineBounds::Passed& passed = {});
    // Appends `count` empty cells to column `index` as one run, which costs no memory per cell
    // (a ragged file's padding).
    void AppendEmpty(int32_t index, int32_t count);
    // The columns declared; only those up to the last that received a text hold any.
    int32_t Columns() const { return declaredColumns_; }
    int32_t FilledColumns() const;
    // Whether the lines are still kept as a whole, for TakeRuns.
    bool HoldsRuns() const { return whole_ && wholeCells_ > 0; }
    // The arena, shared: holding it keeps the index of its lines too.
    std::shared_ptr<const std::string> Arena() const;
    // Hands over the chunks of one filled column; the bulk keeps none of them.
    CellColumn::ChunkList TakeColumn(int32_t index) {
        Unfold();
        return std::move(columns_[static_cast<std::size_t>(index)].second.chunks_);
    }
    // The rows of the longest filled column.
    int32_t LongestColumn() const;
    // Hands over every filled column at once, numbered from `firstCol`, as the grid keeps its
    // columns: a wide table's million columns are then not built twice. The list keeps room
    // for a few more columns before them.
    std::vector<std::pair<int32_t, CellColumn>> TakeColumns(int32_t firstCol);
    static constexpr std::size_t kRoomBefore = 4;
    // Hands over the lines still kept as a whole (HoldsRuns), as runs of columns numbered from
    // `firstCol`; TakeColumns, FilledColumns and TakeColumn then see no column.
    std::vector<LoadedRuns::Run> TakeRuns(int32_t firstCol);

private:
    // Whether the text just added as line `line` continues the lines kept as a whole.
    bool ContinuesRows(int32_t index, int64_t line);
    void ReserveColumnRoom();
    // The lines kept as a whole become columns, as if each had been placed when it came.
    void Unfold();
    // Puts the next text of column `index` into its column; `line` is its line number in the
    // arena's bounds, or -1 when it is not an indexed line.
    void Place(int32_t index, std::string_view text, int64_t line);

    CellColumn::ChunkList& Column(int32_t index);
    // The open block of a column, or a new one when there is none or it is full; `line` says
    // whether the text that goes into it is an indexed line.
    CellColumn::Chunk& OpenBlock(CellColumn::ChunkList& chunks, std::size_t column, int64_t line);

    std::shared_ptr<const std::string> arena_;
    std::shared_ptr<LineBounds> lines_;  // Texts::EveryLine only
    int32_t declaredColumns_;
    // The run of lines being appended row by row: where the next text must begin to continue
    // it, the column expected next, and how often it was broken so far. A chunk keeps its line
    // stride only while no break happens between its first and last text.
    const char* runEnd_ = nullptr;
    int32_t nextIndex_ = 0;
    uint64_t runBreaks_ = 0;
    std::vector<uint64_t> breaksAtChunkStart_;
    // The texts appended so far are the lines from wholeFirstLine_ on, a column each, row after
    // row, and fewer than a block of rows: they are only counted. The columns asked for by
    // ReserveColumns are reserved once they are built.
    bool whole_ = false;
    int64_t wholeCells_ = 0;
    int64_t wholeFirstLine_ = 0;
    int32_t wholeNextIndex_ = 0;
    int32_t reservedColumns_ = 0;
    // Only the columns that received a text, so that a huge declared width costs nothing.
    std::vector<std::pair<int32_t, CellColumn>> columns_;
};

}  // namespace qv
