#include "table/bulk_cells.h"

#include <algorithm>
#include <utility>

namespace qv {

BulkCells::BulkCells(std::shared_ptr<const std::string> arena, int32_t columns, Texts texts)
    : arena_(std::move(arena)), declaredColumns_(std::max(columns, 0)) {
    if (texts == Texts::EveryLine) {
        lines_ = std::make_shared<LineBounds>(arena_);
    }
}

std::shared_ptr<const std::string> BulkCells::Arena() const {
    if (lines_ == nullptr) {
        return arena_;
    }
    return std::shared_ptr<const std::string>(lines_, arena_.get());
}

void BulkCells::ReserveColumns(int32_t count, uint64_t lines) {
    const auto n = static_cast<std::size_t>(std::clamp(count, 0, declaredColumns_));
    columns_.reserve(n + kRoomBefore);
    breaksAtChunkStart_.reserve(n);
    if (lines_ != nullptr) {
        lines_->Reserve(lines);
    }
}

void BulkCells::Append(int32_t index, std::string_view text) {
    const bool line = lines_ != nullptr && lines_->Add(text);
    if (index != nextIndex_ || text.data() != runEnd_) {
        ++runBreaks_;
    }
    const bool followedByLineEnd = text.data()[text.size() + 1] == '\n';
    runEnd_ = followedByLineEnd ? text.data() + text.size() + 2 : nullptr;
    nextIndex_ = index + 1 < declaredColumns_ ? index + 1 : 0;

    CellColumn::ChunkList& chunks = Column(index);
    const auto column = static_cast<std::size_t>(index);
    CellColumn::Chunk& open = OpenBlock(chunks, column, line);
    if (open.kind == CellColumn::Chunk::Kind::Lines) {
        const auto number = static_cast<int64_t>(lines_->Count()) - 1;
        if (line && number == open.firstLabel + int64_t{open.size} * open.lineStride) {
            open.size += 1;
            return;
        }
        // Not the next line of the block's: its lines become handles, as any text's.
        open.LinesToHandles(CellColumn::kBlockSize);
    }
    if (breaksAtChunkStart_[column] != runBreaks_) {
        open.lineStride = 0;
    }
    open.cells.push_back(cell_handle::MakeArena(text));
    open.size += 1;
}

CellColumn::Chunk& BulkCells::OpenBlock(CellColumn::ChunkList& chunks, std::size_t column,
                                        bool line) {
    // The open block is looked up once: this runs for every cell.
    CellColumn::Chunk* open = chunks.empty() ? nullptr : &chunks.back();
    const bool stored = open != nullptr && open->kind != CellColumn::Chunk::Kind::Empty;
    if (stored && open->size < CellColumn::kBlockSize) {
        return *open;
    }
    CellColumn::Chunk block;
    block.lineStride = declaredColumns_;
    if (line) {
        block.kind = CellColumn::Chunk::Kind::Lines;
        block.cells.Hold(lines_.get());
        block.firstLabel = static_cast<int32_t>(lines_->Count() - 1);
    } else {
        block.kind = CellColumn::Chunk::Kind::Texts;
        if (stored) {
            // A column that filled a block is a tall one; one of a wide table holds a few
            // texts, and its first block grows as they come.
            block.cells.reserve(CellColumn::kBlockSize);
        }
    }
    chunks.push_back(std::move(block));
    breaksAtChunkStart_[column] = runBreaks_;
    return chunks.back();
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
    return columns_[column].second.chunks_;
}

int32_t BulkCells::LongestColumn() const {
    int32_t longest = 0;
    for (const auto& [index, column] : columns_) {
        int32_t rows = 0;
        for (const CellColumn::Chunk& chunk : column.chunks_) {
            rows += chunk.size;
        }
        longest = std::max(longest, rows);
    }
    return longest;
}

std::vector<std::pair<int32_t, CellColumn>> BulkCells::TakeColumns(int32_t firstCol) {
    int32_t col = firstCol;
    for (auto& [number, column] : columns_) {
        number = col++;
        column.length_ = 0;
        for (const CellColumn::Chunk& chunk : column.chunks_) {
            column.length_ += chunk.size;
        }
        column.Changed();
    }
    std::vector<uint64_t>().swap(breaksAtChunkStart_);  // its room too: no more appends
    return std::move(columns_);
}

}  // namespace qv
