// One column's chunks and every operation on them. They stay in one file because each operation
// is a few lines over the same two steps, splitting the chunks at a row and splicing new ones in,
// and reads best beside them.
#include "table/cell_column.h"

#include <algorithm>
#include <utility>

namespace qv {

using Kind = CellColumn::Chunk::Kind;

namespace {

// How far a chunk's stored position moves from one row to the next: a label's number by one,
// a loaded text's line by the stride.
int32_t RowStep(const CellChunk& chunk) {
    return chunk.kind == Kind::Lines ? chunk.lineStride : 1;
}

// Whether the chunk keeps its texts as lines of a loaded buffer, in file order or another.
bool HoldsLines(const CellChunk& chunk) {
    return chunk.kind == Kind::Lines || chunk.kind == Kind::Reordered;
}

}  // namespace

CellColumn::~CellColumn() {
    FreeChunks(0, chunks_.size());
}

CellColumn::CellColumn(CellColumn&& other) noexcept
    : chunks_(std::move(other.chunks_)), length_(other.length_) {
    other.chunks_.clear();
    other.length_ = 0;
    other.Changed();
    Changed();
}

CellColumn& CellColumn::operator=(CellColumn&& other) noexcept {
    if (this != &other) {
        FreeChunks(0, chunks_.size());
        chunks_ = std::move(other.chunks_);
        length_ = other.length_;
        other.chunks_.clear();
        other.length_ = 0;
        other.Changed();
        Changed();
    }
    return *this;
}

void CellColumn::FreeChunks(std::size_t first, std::size_t last) {
    for (std::size_t c = first; c < last; ++c) {
        for (CellHandle h : chunks_[c].cells) {
            cell_handle::Free(h);
        }
    }
}

CellColumn::Place CellColumn::Locate(int32_t row) const {
    if (chunks_.size() == 1) {
        return {0, row};  // most columns of a wide table: no index needed
    }
    return chunks_.Index()->Find(row, chunks_.size(),
                                 [this](std::size_t chunk) { return chunks_[chunk].size; });
}

CellHandle CellColumn::Get(int32_t row) const {
    if (row < 0 || row >= length_) {
        return 0;
    }
    const Place place = Locate(row);
    const Chunk& chunk = chunks_[place.chunk];
    switch (chunk.kind) {
        case Kind::Empty:
            return 0;
        case Kind::Labels:
            return cell_handle::MakeLabel(chunk.firstLabel + place.offset);
        case Kind::Texts:
            break;
        case Kind::Lines:
        case Kind::Reordered:
            return cell_handle::MakeLine(chunk.Line(place.offset));
    }
    return chunk.cells[static_cast<std::size_t>(place.offset)];
}

void CellColumn::MakeTexts(Chunk& chunk) {
    if (chunk.kind == Kind::Texts) {
        return;
    }
    if (chunk.kind == Kind::Lines || chunk.kind == Kind::Reordered) {
        chunk.LinesToHandles(0);
        chunk.lineStride = 0;
        return;
    }
    chunk.cells.assign(static_cast<std::size_t>(chunk.size), 0);
    if (chunk.kind == Kind::Labels) {
        for (int32_t i = 0; i < chunk.size; ++i) {
            chunk.cells[static_cast<std::size_t>(i)] = cell_handle::MakeLabel(chunk.firstLabel + i);
        }
    }
    chunk.lineStride = 0;
    chunk.kind = Kind::Texts;
}

// Makes a chunk start at `row` (row <= length) and returns its index.
std::size_t CellColumn::SplitAt(int32_t row) {
    if (row >= length_) {
        return chunks_.size();
    }
    return SplitAt(Locate(row));
}

std::size_t CellColumn::SplitFromBackAt(int32_t row) {
    if (row >= length_) {
        return chunks_.size();
    }
    std::size_t chunk = chunks_.size();
    int32_t start = length_;
    while (start > row) {
        --chunk;
        start -= chunks_[chunk].size;
    }
    return SplitAt(Place{chunk, row - start});
}

// Splits the chunk at `place` so that a chunk starts there.
std::size_t CellColumn::SplitAt(Place place) {
    if (place.offset == 0) {
        return place.chunk;
    }
    Chunk& head = chunks_[place.chunk];
    Chunk tail;
    tail.kind = head.kind;
    tail.size = head.size - place.offset;
    tail.firstLabel = head.firstLabel + place.offset * RowStep(head);
    tail.lineStride = head.lineStride;
    if (head.kind == Kind::Lines) {
        tail.cells.Hold(head.Bounds());
    }
    if (LineOrder* order = head.Order()) {
        order->Share();
        tail.cells.Hold(order);
    }
    if (head.kind == Kind::Texts) {
        tail.cells.assign(head.cells.begin() + place.offset, head.cells.end());
        head.cells.resize(static_cast<std::size_t>(place.offset));
    }
    head.size = place.offset;
    chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(place.chunk) + 1, std::move(tail));
    Changed();
    return place.chunk + 1;
}

void CellColumn::AppendEmpty(int32_t count) {
    if (count <= 0) {
        return;
    }
    if (!chunks_.empty() && chunks_.back().kind == Kind::Empty) {
        chunks_.back().size += count;
        Grew(chunks_.size() - 1, count);
    } else {
        Chunk gap;
        gap.size = count;
        chunks_.push_back(std::move(gap));
        Changed();
    }
    length_ += count;
}

void CellColumn::AppendHandle(CellHandle h) {
    // A last block of loaded lines with room takes the text as a handle: a chunk of its own
    // would make the index be built again, and moving rows up appends a row every time.
    if (!chunks_.empty() && HoldsLines(chunks_.back()) && chunks_.back().size < kBlockSize) {
        MakeTexts(chunks_.back());
    }
    if (chunks_.empty() || chunks_.back().kind != Kind::Texts ||
        chunks_.back().size >= kBlockSize) {
        Chunk block;
        block.kind = Kind::Texts;
        chunks_.push_back(std::move(block));
        Changed();
    }
    chunks_.back().cells.push_back(h);
    chunks_.back().size += 1;
    chunks_.back().lineStride = 0;
    Grew(chunks_.size() - 1, 1);
    length_ += 1;
}

void CellColumn::Set(int32_t row, CellHandle h) {
    if (row >= length_) {
        if (h != 0) {
            AppendEmpty(row - length_);
            AppendHandle(h);
        }
        return;
    }
    const Place place = Locate(row);
    Chunk& chunk = chunks_[place.chunk];
    const std::size_t offset = static_cast<std::size_t>(place.offset);
    if (chunk.kind == Kind::Texts) {
        cell_handle::Free(chunk.cells[offset]);
        chunk.cells[offset] = h;
        chunk.lineStride = 0;
        return;
    }
    if (h == 0 && chunk.kind == Kind::Empty) {
        return;
    }
    if (chunk.size <= kBlockSize) {
        MakeTexts(chunk);
        chunk.cells[offset] = h;
        return;
    }
    // A long run: take the row off its front or back into a neighbouring block when there is
    // room (rows written one after another), or else cut the run around it.
    if (place.offset == 0 && place.chunk > 0) {
        Chunk& before = chunks_[place.chunk - 1];
        if (before.kind == Kind::Texts && before.size < kBlockSize) {
            before.cells.push_back(h);
            before.size += 1;
            before.lineStride = 0;
            chunk.size -= 1;
            chunk.firstLabel += RowStep(chunk);
            Grew(place.chunk - 1, 1);
            Grew(place.chunk, -1);
            return;
        }
    }
    const std::size_t at = SplitAt(row);
    SplitAt(row + 1);
    MakeTexts(chunks_[at]);
    chunks_[at].cells[0] = h;
}

void CellColumn::Insert(int32_t row, CellHandle h) {
    if (row >= length_) {
        Set(row, h);
        return;
    }
    const Place place = Locate(row);
    Chunk& chunk = chunks_[place.chunk];
    if (HoldsLines(chunk) && chunk.size <= 2 * kBlockSize) {
        // A block of loaded lines takes the row as handles, rather than being cut around it:
        // a new chunk would cost a move of the column's whole chunk list for every insertion.
        MakeTexts(chunk);
    }
    if (chunk.kind == Kind::Texts) {
        chunk.cells.insert(chunk.cells.begin() + place.offset, h);
        chunk.size += 1;
        chunk.lineStride = 0;
        length_ += 1;
        Grew(place.chunk, 1);
        if (chunk.size > 2 * kBlockSize) {
            SplitAt(row - place.offset + kBlockSize);
        }
        return;
    }
    if (chunk.kind == Kind::Empty && h == 0) {
        chunk.size += 1;
        length_ += 1;
        Grew(place.chunk, 1);
        return;
    }
    const std::size_t at = SplitAt(row);
    if (at > 0 && chunks_[at - 1].kind == Kind::Texts && chunks_[at - 1].size < kBlockSize) {
        chunks_[at - 1].cells.push_back(h);
        chunks_[at - 1].size += 1;
        chunks_[at - 1].lineStride = 0;
        Grew(at - 1, 1);
    } else {
        Chunk block;
        block.kind = Kind::Texts;
        block.size = 1;
        block.cells.push_back(h);
        chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(at), std::move(block));
        Changed();
    }
    length_ += 1;
}

CellHandle CellColumn::Detach(int32_t row) {
    if (row < 0 || row >= length_) {
        return 0;
    }
    Place place = Locate(row);
    CellHandle h = 0;
    Chunk* chunk = &chunks_[place.chunk];
    switch (chunk->kind) {
        case Kind::Empty:
            break;
        case Kind::Texts:
            h = chunk->cells[static_cast<std::size_t>(place.offset)];
            chunk->cells.erase(chunk->cells.begin() + place.offset);
            chunk->lineStride = 0;
            break;
        case Kind::Labels:
        case Kind::Lines:
        case Kind::Reordered:
            h = chunk->kind == Kind::Labels
                    ? cell_handle::MakeLabel(chunk->firstLabel + place.offset)
                    : cell_handle::MakeLine(chunk->Line(place.offset));
            if (place.offset != 0 && place.offset != chunk->size - 1) {
                place = {SplitAt(row), 0};
                chunk = &chunks_[place.chunk];
            }
            if (place.offset == 0) {
                chunk->firstLabel += RowStep(*chunk);
            }
            break;
    }
    chunk->size -= 1;
    length_ -= 1;
    if (chunk->size == 0) {
        chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(place.chunk));
        Changed();
    } else {
        Grew(place.chunk, -1);
    }
    return h;
}

void CellColumn::Move(int32_t from, int32_t to) {
    if (from == to) {
        return;
    }
    Insert(to, Detach(from));
}

void CellColumn::Clear(int32_t begin, int32_t end) {
    end = std::min(end, length_);
    if (begin >= end) {
        return;
    }
    ChunkList gap(1);
    gap[0].size = end - begin;
    Splice(begin, end, std::move(gap));
}

void CellColumn::SetLabels(int32_t begin, int32_t end) {
    if (begin >= end) {
        return;
    }
    if (begin < length_) {
        const Place place = Locate(begin);
        const Chunk& chunk = chunks_[place.chunk];
        if (chunk.kind == Kind::Labels && place.offset == 0 && chunk.firstLabel == begin &&
            chunk.size == end - begin) {
            return;  // already numbered: renumbering every activation costs nothing
        }
    }
    ChunkList labels(1);
    labels[0].kind = Kind::Labels;
    labels[0].size = end - begin;
    labels[0].firstLabel = begin;
    Splice(begin, end, std::move(labels));
}

void CellColumn::Replace(int32_t begin, int32_t end, ChunkList&& chunks) {
    if (begin >= end) {
        return;
    }
    int32_t filled = 0;
    for (const Chunk& chunk : chunks) {
        filled += chunk.size;
    }
    if (filled < end - begin) {
        Chunk gap;
        gap.size = end - begin - filled;
        chunks.push_back(std::move(gap));
    }
    Splice(begin, end, std::move(chunks));
}

// Rows [begin, end) become the chunks given, which cover exactly that many rows.
void CellColumn::Splice(int32_t begin, int32_t end, ChunkList&& chunks, OldTexts old) {
    AppendEmpty(end - length_);
    const std::size_t first = SplitAt(begin);
    const std::size_t last = SplitAt(end);
    if (old == OldTexts::Free) {
        FreeChunks(first, last);
    }
    chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(first),
                  chunks_.begin() + static_cast<std::ptrdiff_t>(last));
    chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(first), chunks.begin(),
                   chunks.end());
    chunks.clear();
    Changed();
}

CellColumn CellColumn::ExchangeRows(int32_t begin, int32_t end, CellColumn&& rows) {
    CellColumn old;
    if (begin >= end) {
        return old;
    }
    rows.AppendEmpty(end - begin - rows.length_);
    AppendEmpty(end - length_);
    const auto first = static_cast<std::ptrdiff_t>(SplitAt(begin));
    const auto last = static_cast<std::ptrdiff_t>(SplitAt(end));
    old.chunks_.insert(old.chunks_.end(), chunks_.begin() + first, chunks_.begin() + last);
    old.length_ = end - begin;
    chunks_.erase(chunks_.begin() + first, chunks_.begin() + last);
    chunks_.insert(chunks_.begin() + first, rows.chunks_.begin(), rows.chunks_.end());
    rows.chunks_.clear();
    rows.length_ = 0;
    rows.Changed();
    old.Changed();
    Changed();
    return old;
}

bool CellColumn::Empty() const {
    return std::all_of(chunks_.begin(), chunks_.end(), [](const Chunk& chunk) {
        switch (chunk.kind) {
            case Kind::Empty:
                return true;
            case Kind::Labels:
                return false;
            case Kind::Texts:
                return std::all_of(chunk.cells.begin(), chunk.cells.end(),
                                   [](CellHandle h) { return h == 0; });
            case Kind::Lines:
            case Kind::Reordered:
                break;
        }
        for (int32_t i = 0; i < chunk.size; ++i) {
            if (!chunk.Line(i).empty()) {
                return false;
            }
        }
        return true;
    });
}

CellColumn CellColumn::Clone() const {
    CellColumn copy;
    copy.chunks_ = chunks_;
    copy.length_ = length_;
    for (Chunk& chunk : copy.chunks_) {
        for (CellHandle& h : chunk.cells) {
            h = cell_handle::Copy(h);
        }
    }
    return copy;
}

CellColumn CellColumn::OfLines(const LineBounds* bounds, int32_t firstLine, int32_t lineStride,
                               int32_t rows) {
    CellColumn column;
    for (int32_t row = 0; row < rows; row += kBlockSize) {
        Chunk block;
        block.kind = Kind::Lines;
        block.size = std::min(kBlockSize, rows - row);
        block.firstLabel = firstLine + row * lineStride;
        block.lineStride = lineStride;
        block.cells.Hold(bounds);
        column.chunks_.push_back(std::move(block));
    }
    column.length_ = std::max(rows, 0);
    column.Changed();
    return column;
}

CellColumn CellColumn::TakeHead(int32_t end) {
    CellColumn head;
    if (end <= 0) {
        return head;
    }
    AppendEmpty(end - length_);
    const std::size_t cut = SplitFromBackAt(end);
    // The whole list changes hands; only the chunks beyond `end` come back one by one.
    head.chunks_.swap(chunks_);
    Chunk gap;
    gap.size = end;
    chunks_.push_back(std::move(gap));
    chunks_.insert(chunks_.end(), head.chunks_.begin() + static_cast<std::ptrdiff_t>(cut),
                   head.chunks_.end());
    head.chunks_.erase(head.chunks_.begin() + static_cast<std::ptrdiff_t>(cut), head.chunks_.end());
    head.length_ = end;
    head.Changed();
    Changed();
    return head;
}

void CellColumn::PutHead(CellColumn&& head) {
    const int32_t end = head.length_;
    if (end <= 0) {
        return;
    }
    AppendEmpty(end - length_);
    const std::size_t cut = SplitFromBackAt(end);
    FreeChunks(0, cut);
    ChunkList joined = std::move(head.chunks_);
    joined.insert(joined.end(), chunks_.begin() + static_cast<std::ptrdiff_t>(cut), chunks_.end());
    chunks_ = std::move(joined);
    head.chunks_.clear();
    head.length_ = 0;
    head.Changed();
    Changed();
}

CellColumn::Segment CellColumn::SegmentAt(int32_t row, int32_t limit) const {
    if (row >= length_) {
        return {limit - row, 0, nullptr};
    }
    const Place place = Locate(row);
    const Chunk& chunk = chunks_[place.chunk];
    const int32_t rows = std::min(chunk.size - place.offset, limit - row);
    switch (chunk.kind) {
        case Kind::Empty:
        case Kind::Labels:
            break;
        case Kind::Texts:
            return {rows, chunk.lineStride, chunk.cells.data() + place.offset};
        case Kind::Lines:
            return {rows, chunk.lineStride, nullptr, &chunk, place.offset};
        case Kind::Reordered:
            return {rows, 0, nullptr, &chunk, place.offset};
    }
    return {rows, 0, nullptr};
}

std::size_t CellColumn::StoredBytes() const {
    std::size_t bytes = sizeof *this + chunks_.HeapBytes();
    for (const Chunk& chunk : chunks_) {
        bytes += chunk.cells.capacity() * sizeof(CellHandle);
        if (const LineOrder* order = chunk.Order()) {
            // its share of the order: the columns sorted alike hold it together
            bytes += order->HeapBytes() / static_cast<std::size_t>(std::max(order->Users(), 1));
        }
        if (chunk.lineStride != 0) {
            continue;  // texts still as loaded: all in the file's buffer
        }
        for (CellHandle h : chunk.cells) {
            if (h != 0 && cell_handle::Tag(h) == cell_handle::kHeap) {
                bytes += sizeof(std::size_t) + cell_handle::Text(h).size();
            }
        }
    }
    return bytes;
}

void CellColumn::CollectArenaPointers(std::vector<const char*>& out) const {
    for (const Chunk& chunk : chunks_) {
        if (HoldsLines(chunk)) {
            out.push_back(chunk.Line(0).data());
        }
        for (CellHandle h : chunk.cells) {
            if (h != 0 && cell_handle::Tag(h) == cell_handle::kArena) {
                out.push_back(cell_handle::Text(h).data());
            }
        }
    }
}

}  // namespace qv
