#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "table/cell_handle.h"
#include "table/chunk_list.h"

namespace qv {

// The texts of one column by row number, as a list of chunks: runs of empty cells, runs of row
// labels and blocks of stored texts. Inserting or removing a row costs in the size of one block
// and the number of chunks, never in the number of rows. Owns its heap texts. A column of one
// chunk holding one text (a wide table's) is its 40 bytes and the text, no heap block besides.
class CellColumn {
public:
    using Chunk = CellChunk;
    using ChunkList = qv::ChunkList;
    static constexpr int32_t kBlockSize = 1024;

    CellColumn() = default;
    ~CellColumn();
    CellColumn(CellColumn&& other) noexcept;
    CellColumn& operator=(CellColumn&& other) noexcept;
    CellColumn(const CellColumn&) = delete;
    CellColumn& operator=(const CellColumn&) = delete;

    // Rows at or beyond the length are empty.
    int32_t Length() const { return length_; }
    CellHandle Get(int32_t row) const;
    // Stores `h` (taking ownership) and frees the text it replaces.
    void Set(int32_t row, CellHandle h);
    // Rows from `row` on move down by one; `h` (owned) goes into `row`.
    void Insert(int32_t row, CellHandle h);
    // Removes `row`; rows after it move up by one. The caller owns the result.
    CellHandle Detach(int32_t row);
    void Erase(int32_t row) { cell_handle::Free(Detach(row)); }
    // The text at `from` goes to `to`; the rows in between shift by one toward `from`.
    void Move(int32_t from, int32_t to);
    void Clear(int32_t begin, int32_t end);
    void SetLabels(int32_t begin, int32_t end);
    // Rows [begin, end) take the chunks' cells (owned by the column afterwards), then "".
    void Replace(int32_t begin, int32_t end, ChunkList&& chunks);
    // Rows [begin, end) take the texts of `rows` (row 0 of `rows` goes to `begin`; "" beyond its
    // length, which must not exceed end - begin) and leave `rows` empty; what they held is
    // returned as a column of its own, moved, not copied. Costs in the number of chunks.
    CellColumn ExchangeRows(int32_t begin, int32_t end, CellColumn&& rows);
    // Whether every row is empty.
    bool Empty() const;
    // Row begin + i takes the text that row sources[i] held, for every i; `sources` must be a
    // permutation of [begin, begin + sources.size()). The texts move, none is copied; labels
    // become stored labels, and loaded lines stay lines: in file order again where the new
    // order makes them so, else in a LineOrder that the columns permuted with the same `room`
    // share. Costs an allocation per block of rows, not per row; on a long column the rows are
    // shared between two threads. A column whose chunks hold the same rows of loaded lines as
    // the first column of lines permuted with `room`, at one distance, costs in its chunks only.
    class PermuteRoom;
    void Permute(int32_t begin, std::span<const int32_t> sources, PermuteRoom& room);

    // A copy of every stored text (owned texts are copied, loaded ones shared with the buffer).
    CellColumn Clone() const;
    // A column of loaded lines: its rows [0, rows) are the lines firstLine, firstLine +
    // lineStride, ... of `bounds`, in blocks as a reader builds them.
    static CellColumn OfLines(const LineBounds* bounds, int32_t firstLine, int32_t lineStride,
                              int32_t rows);
    // Rows [0, end) leave this column as they are stored, into the column returned (whose
    // length is `end`); here they read as "" afterwards. Costs in the chunks beyond `end` only.
    CellColumn TakeHead(int32_t end);
    // Rows [0, head.Length()) become head's rows, which leave `head` empty. Costs in the chunks
    // here, not in head's.
    void PutHead(CellColumn&& head);

    // Calls f(std::string_view text) for rows [begin, end), in order.
    template <class F>
    void Visit(int32_t begin, int32_t end, F&& f) const;
    // Calls f(CellHandle h) for rows [begin, end), in order, for writers that look at where a
    // text lies. The handles stay the column's: 0 for an empty cell, a label handle for a label.
    template <class F>
    void VisitHandles(int32_t begin, int32_t end, F&& f) const;
    // Calls f(int32_t row, CellHandle h) for the rows of [begin, end) that hold a text, in order:
    // a run of empty cells costs one step, however long.
    template <class F>
    void VisitTexts(int32_t begin, int32_t end, F&& f) const;

    // The rows from `row` up to the end of the chunk holding it, at most up to `limit`; rows at
    // or beyond the length make one segment of empty cells up to `limit`. Needs row < limit.
    struct Segment {
        int32_t rows = 0;
        int32_t lineStride = 0;             // the chunk's
        const CellHandle* cells = nullptr;  // Texts: the handles of these rows
        const Chunk* lines = nullptr;       // Lines: the chunk
        int32_t offset = 0;                 // Lines: the first row's place in it
        // Whether the rows hold stored texts (of either form); else empty cells or labels.
        bool Stored() const { return cells != nullptr || lines != nullptr; }
        // The handle of row i of the segment, for one that holds stored texts.
        CellHandle At(int32_t i) const {
            return cells != nullptr ? cells[i] : cell_handle::MakeLine(lines->Line(offset + i));
        }
    };
    Segment SegmentAt(int32_t row, int32_t limit) const;

    // The memory this column keeps for its chunks and owned texts, in bytes (loaded texts count
    // their handle only: the loaded file's buffer is the grid's).
    std::size_t StoredBytes() const;

    // Adds every arena pointer stored here to `out`.
    void CollectArenaPointers(std::vector<const char*>& out) const;

private:
    friend class BulkCells;  // builds loaded columns chunk by chunk
    using Place = ChunkIndex::Place;
    Place Locate(int32_t row) const;
    // Chunk `chunk` grew by `delta` rows (negative: shrank); the chunks stayed the same.
    void Grew(std::size_t chunk, int32_t delta) {
        if (ChunkIndex* index = chunks_.Index()) {
            index->Grew(chunk, delta);
        }
    }
    std::size_t SplitAt(int32_t row);
    std::size_t SplitAt(Place place);
    // SplitAt, finding the chunk from the end: costs in the chunks beyond `row`.
    std::size_t SplitFromBackAt(int32_t row);
    void AppendEmpty(int32_t count);
    void AppendHandle(CellHandle h);
    void FreeChunks(std::size_t first, std::size_t last);
    // Whether the texts of the rows replaced by Splice are freed or have been moved elsewhere.
    enum class OldTexts { Free, Moved };
    void Splice(int32_t begin, int32_t end, ChunkList&& chunks, OldTexts old = OldTexts::Free);
    // Permute's steps: the rows [from, to) read into `out` (starting at `place`), and the chunk
    // of block `block` of the new order.
    void ReadForPermute(Place place, int32_t from, int32_t to, const LineBounds* bounds,
                        uint32_t* out, std::vector<CellHandle>& aside) const;
    Chunk PermutedBlock(std::size_t block, int32_t begin, std::span<const int32_t> sources,
                        int32_t middle, const LineBounds* bounds, PermuteRoom& room) const;
    // The chunks of rows [begin, begin + sources.size()) in the new order, every row read.
    ChunkList PermutedChunks(int32_t begin, std::span<const int32_t> sources,
                             PermuteRoom& room) const;
    // The new chunks of chunks [first, last), when they hold the rows of the room's leader at one
    // distance of lines: the leader's new chunks at that distance, no row read.
    bool FollowLeader(std::size_t first, std::size_t last, const PermuteRoom& room,
                      ChunkList& out) const;
    bool AllLinesOfOneBuffer(std::size_t first, std::size_t last) const;
    // The bounds of the first chunk of loaded lines among rows [begin, end), or null.
    const LineBounds* FirstBounds(int32_t begin, int32_t end) const;
    static void MakeTexts(Chunk& chunk);
    // Chunks were added, removed or resized in ways Grew does not follow: rebuild the index.
    void Changed() {
        if (ChunkIndex* index = chunks_.Index()) {
            index->Forget();
        }
    }

    ChunkList chunks_;
    int32_t length_ = 0;
};

// The working room of permuting the columns of one grid with one order, a column after
// another: every row's line number or text read before the rows move (4 bytes a row, and 8
// for each text that is not a line), and for every block of rows the order of lines made
// first, which the columns whose lines moved alike share.
class CellColumn::PermuteRoom {
public:
    PermuteRoom() = default;
    ~PermuteRoom();
    PermuteRoom(const PermuteRoom&) = delete;
    PermuteRoom& operator=(const PermuteRoom&) = delete;

    // A row's entry: a line number below kAside, else kNoText or kAside and the place of its
    // text among those put aside.
    static constexpr uint32_t kNoText = 0xFFFFFFFF;
    static constexpr uint32_t kAside = 0x80000000;

private:
    friend class CellColumn;
    std::vector<uint32_t> rows_;
    std::vector<CellHandle> aside_[2];  // the texts that are not lines, of each half of the rows
    std::vector<LineOrder*> orders_;    // a share of each, or null
    // The first column permuted whose rows were all loaded lines of one buffer (the leader):
    // its chunks before and after. The other columns of a loaded table hold the same rows at
    // their own distance of lines, so they take its new chunks at that distance.
    bool hasLeader_ = false;
    ChunkList leaderBefore_;
    ChunkList leaderAfter_;
};

template <class F>
void CellColumn::VisitHandles(int32_t begin, int32_t end, F&& f) const {
    int32_t row = begin;
    if (row < length_ && row < end) {
        Place place = Locate(row);
        for (std::size_t c = place.chunk; c < chunks_.size() && row < end; ++c) {
            const Chunk& chunk = chunks_[c];
            int32_t offset = c == place.chunk ? place.offset : 0;
            const int32_t stop = std::min(chunk.size, offset + (end - row));
            switch (chunk.kind) {
                case Chunk::Kind::Empty:
                    for (int32_t i = offset; i < stop; ++i) {
                        f(CellHandle{0});
                    }
                    break;
                case Chunk::Kind::Labels:
                    for (int32_t i = offset; i < stop; ++i) {
                        f(cell_handle::MakeLabel(chunk.firstLabel + i));
                    }
                    break;
                case Chunk::Kind::Texts:
                    for (int32_t i = offset; i < stop; ++i) {
                        f(chunk.cells[static_cast<std::size_t>(i)]);
                    }
                    break;
                case Chunk::Kind::Lines:
                case Chunk::Kind::Reordered:
                    chunk.VisitLines(offset, stop - offset, [&f](std::string_view text) {
                        f(cell_handle::MakeLine(text));
                    });
                    break;
            }
            row += stop - offset;
        }
    }
    for (; row < end; ++row) {
        f(CellHandle{0});
    }
}

template <class F>
void CellColumn::VisitTexts(int32_t begin, int32_t end, F&& f) const {
    end = std::min(end, length_);
    if (begin < 0) {
        begin = 0;
    }
    if (begin >= end) {
        return;
    }
    const Place place = Locate(begin);
    int32_t row = begin - place.offset;  // the first row of the chunk
    for (std::size_t c = place.chunk; c < chunks_.size() && row < end; ++c) {
        const Chunk& chunk = chunks_[c];
        const int32_t first = std::max(begin, row);
        const int32_t stop = std::min(end, row + chunk.size);
        switch (chunk.kind) {
            case Chunk::Kind::Empty:
                break;
            case Chunk::Kind::Labels:
                for (int32_t r = first; r < stop; ++r) {
                    f(r, cell_handle::MakeLabel(chunk.firstLabel + (r - row)));
                }
                break;
            case Chunk::Kind::Texts:
                for (int32_t r = first; r < stop; ++r) {
                    const CellHandle h = chunk.cells[static_cast<std::size_t>(r - row)];
                    if (h != 0) {
                        f(r, h);
                    }
                }
                break;
            case Chunk::Kind::Lines:
            case Chunk::Kind::Reordered: {
                int32_t r = first;
                chunk.VisitLines(first - row, stop - first, [&f, &r](std::string_view text) {
                    f(r++, cell_handle::MakeLine(text));
                });
                break;
            }
        }
        row += chunk.size;
    }
}

template <class F>
void CellColumn::Visit(int32_t begin, int32_t end, F&& f) const {
    int32_t row = begin;
    // Loaded lines are read from their bounds, not through a handle: this is the hot loop of
    // statistics and searches.
    while (row < end && row < length_) {
        const Segment segment = SegmentAt(row, end);
        if (segment.lines != nullptr) {
            segment.lines->VisitLines(segment.offset, segment.rows, f);
        } else {
            VisitHandles(row, row + segment.rows, [&f](CellHandle h) { f(cell_handle::Text(h)); });
        }
        row += segment.rows;
    }
    for (; row < end; ++row) {
        f(std::string_view());
    }
}

}  // namespace qv
