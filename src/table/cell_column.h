#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A stored cell text in eight bytes. The two top bits say what the rest is:
//  - 0 with value 0: the empty text;
//  - heap: a pointer to an owned block holding the length and the bytes;
//  - arena: a pointer into a shared read-only buffer (a loaded file) where the text runs up to
//    the next CR byte; loaded tables cost no allocation per cell. The pointer takes the low 48
//    bits, the text's length plus one the 13 bits above (0 there: a text too long for the field,
//    measured up to its CR), and the bit above those says that the text's CR is followed by an
//    LF in the buffer, so that a writer can copy the line with its end from there;
//  - label: a row label, stored as the row number it was written for.
using CellHandle = uint64_t;

// Read-only buffers that arena handles point into, kept alive by the grid holding them.
using ArenaTable = std::vector<std::shared_ptr<const std::string>>;

namespace cell_handle {
inline constexpr uint64_t kTagMask = uint64_t{3} << 62;
inline constexpr uint64_t kHeap = 0;
inline constexpr uint64_t kArena = uint64_t{1} << 62;
inline constexpr uint64_t kLabel = uint64_t{2} << 62;

// Arena handles: the address, the length plus one, the line-end bit.
inline constexpr int kArenaLengthShift = 48;
inline constexpr uint64_t kArenaAddressLimit = uint64_t{1} << kArenaLengthShift;
inline constexpr uint64_t kArenaAddressMask = kArenaAddressLimit - 1;
inline constexpr uint64_t kArenaLengthMask = 0x1FFF;  // after the shift
inline constexpr uint64_t kArenaCrLf = uint64_t{1} << 61;

inline uint64_t Tag(CellHandle h) {
    return h & kTagMask;
}
// An owned copy of `text`; the empty text gives the empty handle.
CellHandle MakeOwned(std::string_view text);
// A handle to a text inside an arena buffer; the byte after the text there must be CR, and the
// byte after that must be readable too. The empty text gets a handle of its own, so that a
// loaded table's lines stay one run in the buffer (see FollowedByLineEnd). An address above the
// 48 bits a handle keeps gives an owned copy instead.
CellHandle MakeArena(std::string_view text);
CellHandle MakeLabel(int32_t rowNumber);
// A handle of the same text that can be stored separately (owned blocks are copied).
CellHandle Copy(CellHandle h);
void Free(CellHandle h);
// The text of the row label of n: the last three characters of five blanks and n's digits.
std::string_view LabelText(int32_t n);
// The text of an arena handle whose length did not fit its field.
std::string_view LongArenaText(const char* text);

// Whether the text lies in an arena buffer followed there by CR LF: the text and its line end
// as a file holds them are the bytes [Text(h).data(), Text(h).data() + Text(h).size() + 2).
inline bool FollowedByLineEnd(CellHandle h) {
    return (h & (kTagMask | kArenaCrLf)) == (kArena | kArenaCrLf);
}

inline std::string_view Text(CellHandle h) {
    switch (Tag(h)) {
        case kHeap: {
            if (h == 0) {
                return {};
            }
            const char* block = reinterpret_cast<const char*>(h);
            std::size_t size = 0;
            std::memcpy(&size, block, sizeof size);
            return {block + sizeof size, size};
        }
        case kArena: {
            const char* text = reinterpret_cast<const char*>(h & kArenaAddressMask);
            const uint64_t length = (h >> kArenaLengthShift) & kArenaLengthMask;
            if (length == 0) {
                return LongArenaText(text);
            }
            return {text, static_cast<std::size_t>(length - 1)};
        }
        default:
            return LabelText(static_cast<int32_t>(h & 0xFFFFFFFFu));
    }
}
}  // namespace cell_handle

// The texts of one column by row number, as a list of chunks: runs of empty cells, runs of row
// labels and blocks of stored texts. Inserting or removing a row costs in the size of one block
// and the number of chunks, never in the number of rows. Owns its heap texts.
class CellColumn {
public:
    struct Chunk {
        enum class Kind : uint8_t { Empty, Labels, Texts };
        Kind kind = Kind::Empty;
        int32_t size = 0;
        int32_t firstLabel = 0;  // Labels: the row number of the first label
        // Texts read in file order: each cell's line, followed by CR LF, lies this many lines
        // after the previous cell's in one unbroken run of a loaded file's lines; 0 when the
        // cells were not read that way or have been changed since.
        int32_t lineStride = 0;
        std::vector<CellHandle> cells;  // Texts: one handle per row
    };
    using ChunkList = std::vector<Chunk>;
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
    // Row begin + i takes the text that row sources[i] held, for every i; `sources` must be a
    // permutation of [begin, begin + sources.size()). The texts move, none is copied; labels
    // become stored labels. Costs an allocation per block of rows, not per row; `scratch` is
    // reused from call to call.
    void Permute(int32_t begin, std::span<const int32_t> sources, std::vector<CellHandle>& scratch);

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
        const CellHandle* cells = nullptr;  // Texts: the handles of these rows; else none
    };
    Segment SegmentAt(int32_t row, int32_t limit) const;

    // Adds every arena pointer stored here to `out`.
    void CollectArenaPointers(std::vector<const char*>& out) const;

private:
    struct Place {
        std::size_t chunk;
        int32_t offset;
    };
    Place Locate(int32_t row) const;
    void Reindex() const;
    // Chunk `chunk` grew by `delta` rows (negative: shrank); the chunks stayed the same.
    void Grew(std::size_t chunk, int32_t delta);
    std::size_t SplitAt(int32_t row);
    void AppendEmpty(int32_t count);
    void AppendHandle(CellHandle h);
    void FreeChunks(std::size_t first, std::size_t last);
    // Whether the texts of the rows replaced by Splice are freed or have been moved elsewhere.
    enum class OldTexts { Free, Moved };
    void Splice(int32_t begin, int32_t end, ChunkList&& chunks, OldTexts old = OldTexts::Free);
    static void MakeTexts(Chunk& chunk);
    // Chunks were added, removed or resized in ways Grew does not follow: rebuild the index.
    void Changed() {
        indexed_ = false;
        hint_ = kNoHint;
    }

    static constexpr std::size_t kNoHint = ~std::size_t{0};

    ChunkList chunks_;
    int32_t length_ = 0;
    // The index from rows to chunks: a Fenwick tree over the chunk sizes (1-based), so that
    // finding a row and growing or shrinking one chunk cost in the logarithm of the number of
    // chunks. Inserting a row near the top of a long column then costs no more than in a short
    // one. Rebuilt only after chunks were added or removed.
    mutable std::vector<int32_t> tree_;
    mutable bool indexed_ = false;
    // The chunk found last and its first row: rows read one after another skip the search.
    mutable std::size_t hint_ = kNoHint;
    mutable int32_t hintStart_ = 0;
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
        }
        row += chunk.size;
    }
}

template <class F>
void CellColumn::Visit(int32_t begin, int32_t end, F&& f) const {
    VisitHandles(begin, end, [&f](CellHandle h) { f(cell_handle::Text(h)); });
}

}  // namespace qv
