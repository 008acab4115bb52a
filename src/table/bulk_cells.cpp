#include "table/bulk_cells.h"

#include <algorithm>
#include <utility>

namespace qv {

BulkCells::BulkCells(std::shared_ptr<const std::string> arena, int32_t columns)
    : arena_(std::move(arena)), declaredColumns_(std::max(columns, 0)) {}

void BulkCells::ReserveColumns(int32_t count) {
    const auto n = static_cast<std::size_t>(std::clamp(count, 0, declaredColumns_));
    columns_.reserve(n);
    breaksAtChunkStart_.reserve(n);
}

void BulkCells::Append(int32_t index, std::string_view text) {
    const CellHandle h = cell_handle::MakeArena(text);
    if (index != nextIndex_ || text.data() != runEnd_) {
        ++runBreaks_;
    }
    runEnd_ = cell_handle::FollowedByLineEnd(h) ? text.data() + text.size() + 2 : nullptr;
    nextIndex_ = index + 1 < declaredColumns_ ? index + 1 : 0;

    CellColumn::ChunkList& chunks = Column(index);
    // The open block is looked up once: this runs for every cell.
    CellColumn::Chunk* open = chunks.empty() ? nullptr : &chunks.back();
    const auto column = static_cast<std::size_t>(index);
    if (open == nullptr || open->kind != CellColumn::Chunk::Kind::Texts ||
        open->size >= CellColumn::kBlockSize) {
        CellColumn::Chunk block;
        block.kind = CellColumn::Chunk::Kind::Texts;
        block.lineStride = declaredColumns_;
        if (open != nullptr && open->kind == CellColumn::Chunk::Kind::Texts) {
            // A column that filled a block is a tall one; one of a wide table holds a few
            // texts, and its first block grows as they come.
            block.cells.reserve(CellColumn::kBlockSize);
        }
        chunks.push_back(std::move(block));
        open = &chunks.back();
        breaksAtChunkStart_[column] = runBreaks_;
    } else if (breaksAtChunkStart_[column] != runBreaks_) {
        open->lineStride = 0;
    }
    open->cells.push_back(h);
    open->size += 1;
}

void BulkCells::AppendEmpty(int32_t index, int32_t count) {
    if (count <= 0) {
        return;
    }
    runEnd_ = nullptr;  // the cells after these are no longer one run of lines
    CellColumn::ChunkList& chunks = Column(index);
    if (chunks.empty() || chunks.back().kind != CellColumn::Chunk::Kind::Empty) {
        chunks.push_back(CellColumn::Chunk{});
    }
    chunks.back().size += count;
}

CellColumn::ChunkList& BulkCells::Column(int32_t index) {
    const auto column = static_cast<std::size_t>(index);
    if (column >= columns_.size()) {
        columns_.resize(column + 1);
        breaksAtChunkStart_.resize(column + 1);
    }
    return columns_[column];
}

}  // namespace qv
