#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "table/cell_column.h"

namespace qv {

// Cells read in bulk from a file, column by column, for TableGrid::ReplaceCells. Texts appended
// must lie inside `arena` and each must be followed there by a CR byte; they are kept in place,
// not copied, empty texts included (a view of no bytes at their line's CR), so that a loaded
// table's lines stay one run in the buffer for the writer.
class BulkCells {
public:
    BulkCells(std::shared_ptr<const std::string> arena, int32_t columns);
    // Keeps room for `count` filled columns, when the reader knows how many will be.
    void ReserveColumns(int32_t count);
    // Appends the next text of column `index` (0-based within the bulk, below Columns()).
    void Append(int32_t index, std::string_view text);
    // Appends `count` empty cells to column `index` as one run, which costs no memory per cell
    // (a ragged file's padding).
    void AppendEmpty(int32_t index, int32_t count);
    // The columns declared; only those up to the last that received a text hold any.
    int32_t Columns() const { return declaredColumns_; }
    int32_t FilledColumns() const { return static_cast<int32_t>(columns_.size()); }
    const std::shared_ptr<const std::string>& Arena() const { return arena_; }
    // Hands over the chunks of one filled column; the bulk keeps none of them.
    CellColumn::ChunkList TakeColumn(int32_t index) {
        return std::move(columns_[static_cast<std::size_t>(index)]);
    }

private:
    CellColumn::ChunkList& Column(int32_t index);

    std::shared_ptr<const std::string> arena_;
    int32_t declaredColumns_;
    // The run of lines being appended row by row: where the next text must begin to continue
    // it, the column expected next, and how often it was broken so far. A chunk keeps its line
    // stride only while no break happens between its first and last text.
    const char* runEnd_ = nullptr;
    int32_t nextIndex_ = 0;
    uint64_t runBreaks_ = 0;
    std::vector<uint64_t> breaksAtChunkStart_;
    // Only the columns that received a text, so that a huge declared width costs nothing.
    std::vector<CellColumn::ChunkList> columns_;
};

}  // namespace qv
