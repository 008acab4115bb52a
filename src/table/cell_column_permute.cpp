// Moving a column's rows into a new order (sorting, and its undo). Loaded lines are moved as line
// numbers, so a sorted loaded table keeps its texts in the file's buffer.
#include <algorithm>
#include <optional>
#include <utility>

#include "platform/parallel_sort.h"
#include "platform/two_threads.h"
#include "table/cell_column.h"

namespace qv {

using Kind = CellColumn::Chunk::Kind;
using Room = CellColumn::PermuteRoom;

CellColumn::PermuteRoom::~PermuteRoom() {
    for (LineOrder* order : orders_) {
        if (order != nullptr) {
            order->Release();
        }
    }
}

namespace {

uint32_t PutAside(CellHandle h, std::vector<CellHandle>& aside) {
    aside.push_back(h);
    return Room::kAside | static_cast<uint32_t>(aside.size() - 1);
}

// Whether `lines` follow each other at one positive stride, which it gives.
bool EvenlySpaced(std::span<const uint32_t> lines, int32_t& stride) {
    if (lines.size() < 2) {
        stride = 1;
        return true;
    }
    const int64_t step = int64_t{lines[1]} - int64_t{lines[0]};
    for (std::size_t i = 2; i < lines.size(); ++i) {
        if (int64_t{lines[i]} - int64_t{lines[i - 1]} != step) {
            return false;
        }
    }
    stride = static_cast<int32_t>(step);
    return step > 0;
}

// Where the next loaded line down a column probably is: one stride after the last one.
struct NextLineGuess {
    uint64_t last = 0;
    uint64_t stride = 1;

    uint64_t Next() const { return last + stride; }
    void Found(uint64_t line) {
        stride = line > last ? line - last : stride;
        last = line;
    }
};

// A loaded line's handle (a block of lines turns into handles when one of its cells is written)
// as its line number, so that the rows it moves with can stay lines; other texts put aside.
uint32_t LineOrAside(CellHandle h, const LineBounds* bounds, NextLineGuess& guess,
                     std::vector<CellHandle>& aside) {
    if (bounds != nullptr && cell_handle::FollowedByLineEnd(h)) {
        if (const std::optional<uint32_t> line = bounds->Find(cell_handle::Text(h), guess.Next())) {
            guess.Found(*line);
            return *line;
        }
    }
    return PutAside(h, aside);
}

// How many lines `chunk` lies after `leader`, when both hold the same rows of loaded lines (the
// same stride, or the same places of one order) at one distance.
std::optional<int32_t> LineDistance(const CellChunk& leader, const CellChunk& chunk) {
    if (leader.kind != chunk.kind || leader.size != chunk.size ||
        leader.Bounds() != chunk.Bounds()) {
        return std::nullopt;
    }
    if (chunk.kind == Kind::Lines && chunk.lineStride == leader.lineStride) {
        return chunk.firstLabel - leader.firstLabel;
    }
    if (chunk.kind == Kind::Reordered && chunk.Order() == leader.Order() &&
        chunk.firstLabel == leader.firstLabel) {
        return chunk.LineShift() - leader.LineShift();
    }
    return std::nullopt;
}

// A copy of a chunk of loaded lines whose every line lies `distance` lines further on.
CellChunk LinesShifted(const CellChunk& chunk, int32_t distance) {
    CellChunk shifted(chunk);
    if (shifted.kind == Kind::Lines) {
        shifted.firstLabel += distance;
    } else {
        shifted.lineStride += distance;
    }
    return shifted;
}

}  // namespace

const LineBounds* CellColumn::FirstBounds(int32_t begin, int32_t end) const {
    const LineBounds* found = nullptr;
    int32_t row = 0;
    for (const Chunk& chunk : chunks_) {
        if (row >= end) {
            break;
        }
        if (row + chunk.size > begin &&
            (chunk.kind == Kind::Lines || chunk.kind == Kind::Reordered)) {
            found = chunk.Bounds();
            break;
        }
        row += chunk.size;
    }
    return found;
}

void CellColumn::ReadForPermute(Place place, int32_t from, int32_t to, const LineBounds* bounds,
                                uint32_t* out, std::vector<CellHandle>& aside) const {
    NextLineGuess guess;
    int32_t offset = place.offset;
    for (std::size_t c = place.chunk; from < to; ++c, offset = 0) {
        const Chunk& chunk = chunks_[c];
        const int32_t rows = std::min(chunk.size - offset, to - from);
        switch (chunk.kind) {
            case Kind::Empty:
                std::fill(out, out + rows, Room::kNoText);
                break;
            case Kind::Labels:
                for (int32_t i = 0; i < rows; ++i) {
                    out[i] = PutAside(cell_handle::MakeLabel(chunk.firstLabel + offset + i), aside);
                }
                break;
            case Kind::Texts:
                for (int32_t i = 0; i < rows; ++i) {
                    const CellHandle h = chunk.cells[static_cast<std::size_t>(offset + i)];
                    out[i] = h == 0 ? Room::kNoText : LineOrAside(h, bounds, guess, aside);
                }
                break;
            case Kind::Lines:
            case Kind::Reordered:
                for (int32_t i = 0; i < rows; ++i) {
                    out[i] = chunk.Bounds() == bounds
                                 ? chunk.LineNumber(offset + i)
                                 : PutAside(cell_handle::MakeLine(chunk.Line(offset + i)), aside);
                }
                break;
        }
        out += rows;
        from += rows;
    }
}

CellColumn::Chunk CellColumn::PermutedBlock(std::size_t block, int32_t begin,
                                            std::span<const int32_t> sources, int32_t middle,
                                            const LineBounds* bounds, PermuteRoom& room) const {
    const std::size_t first = block * kBlockSize;
    const std::size_t rows = std::min<std::size_t>(kBlockSize, sources.size() - first);
    // The rows are read in the new order, which is random: those a few rows ahead are fetched
    // early.
    constexpr std::size_t kAhead = 16;
    uint32_t values[kBlockSize];
    CellHandle handles[kBlockSize];
    std::size_t lines = 0, empty = 0;
    for (std::size_t i = 0; i < rows; ++i) {
        if (first + i + kAhead < sources.size()) {
            __builtin_prefetch(room.rows_.data() + (sources[first + i + kAhead] - begin));
        }
        const int32_t source = sources[first + i] - begin;
        const uint32_t value = room.rows_[static_cast<std::size_t>(source)];
        values[i] = value;
        if (value == Room::kNoText) {
            ++empty;
        } else if ((value & Room::kAside) == 0) {
            ++lines;
        } else {
            handles[i] = room.aside_[source < middle ? 0 : 1][value & ~Room::kAside];
        }
    }
    Chunk chunk;
    chunk.size = static_cast<int32_t>(rows);
    if (empty == rows) {
        return chunk;
    }
    const std::span<const uint32_t> lineNumbers(values, rows);
    if (lines == rows) {
        int32_t stride = 0;
        if (EvenlySpaced(lineNumbers, stride)) {
            chunk.kind = Kind::Lines;
            chunk.firstLabel = static_cast<int32_t>(values[0]);
            chunk.lineStride = stride;
            chunk.cells.Hold(bounds);
            return chunk;
        }
        chunk.kind = Kind::Reordered;
        LineOrder*& shared = room.orders_[block];
        int32_t shift = 0;
        LineOrder* order = nullptr;
        if (shared != nullptr && shared->Bounds() == bounds &&
            shared->ShiftTo(lineNumbers, shift)) {
            order = shared;
            order->Share();
        } else {
            order = LineOrder::Make(bounds, lineNumbers);
            if (shared == nullptr) {
                order->Share();
                shared = order;
            }
        }
        chunk.cells.Hold(order);
        chunk.lineStride = shift;
        return chunk;
    }
    chunk.kind = Kind::Texts;
    chunk.cells.resize(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        const uint32_t value = values[i];
        chunk.cells[i] = value == Room::kNoText        ? CellHandle{0}
                         : (value & Room::kAside) == 0 ? cell_handle::MakeLine(bounds->Line(value))
                                                       : handles[i];
    }
    return chunk;
}

void CellColumn::Permute(int32_t begin, std::span<const int32_t> sources, PermuteRoom& room) {
    const auto count = static_cast<int32_t>(sources.size());
    if (count == 0 || begin >= length_) {
        return;  // only empty rows
    }
    const int32_t end = begin + count;
    AppendEmpty(end - length_);
    const std::size_t first = SplitAt(begin);
    const std::size_t last = SplitAt(end);
    ChunkList chunks;
    if (!FollowLeader(first, last, room, chunks)) {
        const bool leads = !room.hasLeader_ && AllLinesOfOneBuffer(first, last);
        chunks = PermutedChunks(begin, sources, room);
        if (leads) {
            for (std::size_t c = first; c < last; ++c) {
                room.leaderBefore_.push_back(Chunk(chunks_[c]));
            }
            room.leaderAfter_ = chunks;
            room.hasLeader_ = true;
        }
    }
    Splice(begin, end, std::move(chunks), OldTexts::Moved);
}

bool CellColumn::AllLinesOfOneBuffer(std::size_t first, std::size_t last) const {
    for (std::size_t c = first; c < last; ++c) {
        const Chunk& chunk = chunks_[c];
        if ((chunk.kind != Kind::Lines && chunk.kind != Kind::Reordered) ||
            chunk.Bounds() != chunks_[first].Bounds()) {
            return false;
        }
    }
    return first < last;
}

bool CellColumn::FollowLeader(std::size_t first, std::size_t last, const PermuteRoom& room,
                              ChunkList& out) const {
    const ChunkList& before = room.leaderBefore_;
    if (!room.hasLeader_ || last - first != before.size()) {
        return false;
    }
    std::optional<int32_t> distance;
    for (std::size_t i = 0; i < before.size(); ++i) {
        const std::optional<int32_t> d = LineDistance(before[i], chunks_[first + i]);
        if (!d || (distance && *d != *distance)) {
            return false;
        }
        distance = d;
    }
    for (const Chunk& chunk : room.leaderAfter_) {
        out.push_back(LinesShifted(chunk, *distance));
    }
    return true;
}

ChunkList CellColumn::PermutedChunks(int32_t begin, std::span<const int32_t> sources,
                                     PermuteRoom& room) const {
    const auto count = static_cast<int32_t>(sources.size());
    const int32_t end = begin + count;
    const LineBounds* bounds = FirstBounds(begin, end);
    const std::size_t blocks = (sources.size() + kBlockSize - 1) / kBlockSize;
    room.rows_.resize(sources.size());
    room.orders_.resize(blocks, nullptr);
    room.aside_[0].clear();
    room.aside_[1].clear();
    // Rows are found here, on this thread: finding one may update the column's index.
    const int32_t middle = count / 2;
    const Place starts[2] = {Locate(begin), Locate(begin + middle)};
    std::vector<Chunk> moved(blocks);
    const auto readHalf = [&](int half) {
        const int32_t from = half == 0 ? begin : begin + middle;
        const int32_t to = half == 0 ? begin + middle : end;
        ReadForPermute(starts[half], from, to, bounds, room.rows_.data() + (from - begin),
                       room.aside_[half]);
    };
    const auto moveBlocks = [&](std::size_t first, std::size_t last) {
        for (std::size_t b = first; b < last; ++b) {
            moved[b] = PermutedBlock(b, begin, sources, middle, bounds, room);
        }
    };
    // Each thread makes the same half of the blocks for every column, so that a block's shared
    // order is only ever touched by one of them.
    if (sources.size() < kItemsWorthTwoThreads) {
        readHalf(0);
        readHalf(1);
        moveBlocks(0, blocks);
    } else {
        RunOnTwoThreads([&] { readHalf(0); }, [&] { readHalf(1); },
                        [&] {
                            readHalf(0);
                            readHalf(1);
                        });
        RunOnTwoThreads([&] { moveBlocks(0, blocks / 2); }, [&] { moveBlocks(blocks / 2, blocks); },
                        [&] { moveBlocks(0, blocks); });
    }
    ChunkList chunks;
    for (Chunk& chunk : moved) {
        if (chunk.kind == Kind::Empty && !chunks.empty() && chunks.back().kind == Kind::Empty) {
            chunks.back().size += chunk.size;
        } else {
            chunks.push_back(std::move(chunk));
        }
    }
    return chunks;
}

}  // namespace qv
