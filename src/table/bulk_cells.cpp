#include "table/bulk_cells.h"

#include <algorithm>
#include <utility>

namespace qv {

BulkCells::BulkCells(std::shared_ptr<const std::string> arena, int32_t columns, Texts texts)
    : arena_(std::move(arena)), declaredColumns_(std::max(columns, 0)) {
    if (texts == Texts::EveryLine) {
        lines_ = std::make_shared<LineBounds>(arena_);
        whole_ = declaredColumns_ > 0;
    }
}

std::shared_ptr<const std::string> BulkCells::Arena() const {
    if (lines_ == nullptr) {
        return arena_;
    }
    return std::shared_ptr<const std::string>(lines_, arena_.get());
}

void BulkCells::ReserveColumns(int32_t count, uint64_t lines) {
    reservedColumns_ = std::clamp(count, 0, declaredColumns_);
    if (!whole_) {
        ReserveColumnRoom();
    }
    if (lines_ != nullptr) {
        lines_->Reserve(lines);
    }
}

void BulkCells::ReserveColumnRoom() {
    const auto n = static_cast<std::size_t>(reservedColumns_);
    columns_.reserve(n + kRoomBefore);
    breaksAtChunkStart_.reserve(n);
}

void BulkCells::Append(int32_t index, std::string_view text) {
    const bool line = lines_ != nullptr && lines_->Add(text);
    const int64_t number = line ? static_cast<int64_t>(lines_->Count()) - 1 : -1;
    if (whole_) {
        if (ContinuesRows(index, number)) {
            return;
        }
        Unfold();
    }
    Place(index, text, number);
}

bool BulkCells::AppendLineRows(int32_t firstRow, int32_t rows, std::string_view text,
                               const LineBounds::Passed& passed) {
    const bool fresh = lines_ != nullptr && lines_->Count() == 0 && columns_.empty() &&
                       wholeCells_ == 0 && runBreaks_ == 0;
    const uint64_t cells = uint64_t{static_cast<uint32_t>(std::max(rows, 0))} *
                           static_cast<uint32_t>(declaredColumns_);
    if (!fresh || firstRow < 0 || cells == 0 || !lines_->AddLines(text, cells, passed)) {
        return false;
    }
    // As appending one by one would: a short table's lines stay whole, a tall one's columns
    // are blocks of lines, each line a row after the one before.
    if (whole_ && firstRow == 0 &&
        cells <= uint64_t{CellColumn::kBlockSize} * static_cast<uint32_t>(declaredColumns_)) {
        wholeCells_ = static_cast<int64_t>(cells);
        return true;
    }
    whole_ = false;
    reservedColumns_ = declaredColumns_;
    ReserveColumnRoom();
    columns_.resize(static_cast<std::size_t>(declaredColumns_));
    for (int32_t col = 0; col < declaredColumns_; ++col) {
        CellColumn::ChunkList& chunks = columns_[static_cast<std::size_t>(col)].second.chunks_;
        if (firstRow > 0) {
            CellColumn::Chunk rowsAbove;
            rowsAbove.size = firstRow;
            chunks.push_back(std::move(rowsAbove));
        }
        for (int32_t row = 0; row < rows; row += CellColumn::kBlockSize) {
            CellColumn::Chunk block;
            block.kind = CellColumn::Chunk::Kind::Lines;
            block.size = std::min(CellColumn::kBlockSize, rows - row);
            block.firstLabel = row * declaredColumns_ + col;
            block.lineStride = declaredColumns_;
            block.cells.Hold(lines_.get());
            chunks.push_back(std::move(block));
        }
    }
    runBreaks_ = 1;
    breaksAtChunkStart_.assign(static_cast<std::size_t>(declaredColumns_), runBreaks_);
    const std::string_view last = lines_->Line(lines_->Count() - 1);
    runEnd_ = last.data() + last.size() + 2;
    nextIndex_ = 0;
    return true;
}

bool BulkCells::ContinuesRows(int32_t index, int64_t line) {
    const int64_t blockCells = int64_t{CellColumn::kBlockSize} * declaredColumns_;
    if (line < 0 || index != wholeNextIndex_ || wholeCells_ >= blockCells) {
        return false;
    }
    if (wholeCells_ == 0) {
        wholeFirstLine_ = line;
    } else if (line != wholeFirstLine_ + wholeCells_) {
        return false;
    }
    ++wholeCells_;
    wholeNextIndex_ = index + 1 < declaredColumns_ ? index + 1 : 0;
    return true;
}

void BulkCells::Unfold() {
    if (!whole_) {
        return;
    }
    whole_ = false;
    ReserveColumnRoom();
    for (int64_t cell = 0; cell < wholeCells_; ++cell) {
        const int64_t line = wholeFirstLine_ + cell;
        Place(static_cast<int32_t>(cell % declaredColumns_),
              lines_->Line(static_cast<uint64_t>(line)), line);
    }
    wholeCells_ = 0;
}

void BulkCells::Place(int32_t index, std::string_view text, int64_t line) {
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
        if (line >= 0 && line == open.firstLabel + int64_t{open.size} * open.lineStride) {
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
                                        int64_t line) {
    // The open block is looked up once: this runs for every cell.
    CellColumn::Chunk* open = chunks.empty() ? nullptr : &chunks.back();
    const bool stored = open != nullptr && open->kind != CellColumn::Chunk::Kind::Empty;
    if (stored && open->size < CellColumn::kBlockSize) {
        return *open;
    }
    CellColumn::Chunk block;
    block.lineStride = declaredColumns_;
    if (line >= 0) {
        block.kind = CellColumn::Chunk::Kind::Lines;
        block.cells.Hold(lines_.get());
        block.firstLabel = static_cast<int32_t>(line);
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
    Unfold();
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

int32_t BulkCells::FilledColumns() const {
    if (whole_) {
        return static_cast<int32_t>(std::min<int64_t>(wholeCells_, declaredColumns_));
    }
    return static_cast<int32_t>(columns_.size());
}

int32_t BulkCells::LongestColumn() const {
    if (whole_) {
        return static_cast<int32_t>((wholeCells_ + declaredColumns_ - 1) / declaredColumns_);
    }
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
    Unfold();
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

std::vector<LoadedRuns::Run> BulkCells::TakeRuns(int32_t firstCol) {
    std::vector<LoadedRuns::Run> runs;
    if (!whole_ || wholeCells_ == 0) {
        return runs;
    }
    // The last row may be cut short by the file's end: the columns it reaches hold a row more.
    const auto fullRows = static_cast<int32_t>(wholeCells_ / declaredColumns_);
    const auto lastRowCells = static_cast<int32_t>(wholeCells_ % declaredColumns_);
    auto lines = std::make_shared<const LoadedLineRows>(
        lines_.get(), static_cast<int32_t>(wholeFirstLine_), declaredColumns_,
        fullRows + (lastRowCells > 0 ? 1 : 0));
    if (lastRowCells > 0) {
        runs.push_back({firstCol, lastRowCells, fullRows + 1, 0, lines});
    }
    if (fullRows > 0) {
        runs.push_back({firstCol + lastRowCells, declaredColumns_ - lastRowCells, fullRows,
                        lastRowCells, lines});
    }
    wholeCells_ = 0;
    return runs;
}

}  // namespace qv
