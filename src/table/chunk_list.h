#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "table/chunk_index.h"
#include "table/handle_list.h"
#include "table/line_bounds.h"

namespace qv {

// A run of rows of one column: empty cells, row labels, stored texts, or texts still as a file
// loaded them, kept as line numbers of its buffer (no memory a cell).
struct CellChunk {
    enum class Kind : uint8_t { Empty, Labels, Texts, Lines };
    Kind kind = Kind::Empty;  // first: ChunkList tells its forms apart by this byte
    int32_t size = 0;
    // Labels: the row number of the first label. Lines: the line number of the first text.
    int32_t firstLabel = 0;
    // Texts read in file order: each cell's line, followed by CR LF, lies this many lines
    // after the previous cell's in one unbroken run of a loaded file's lines; 0 when the
    // cells were not read that way or have been changed since. Lines: always so.
    int32_t lineStride = 0;
    // Texts: one handle per row. Lines: none, and it holds the buffer's LineBounds instead.
    HandleList cells;

    const LineBounds* Bounds() const { return static_cast<const LineBounds*>(cells.Held()); }
    // Lines: the text of row `offset` of the chunk.
    std::string_view Line(int32_t offset) const { return Line(Bounds(), offset); }
    std::string_view Line(const LineBounds* bounds, int32_t offset) const {
        return bounds->Line(static_cast<uint64_t>(firstLabel) +
                            static_cast<uint64_t>(offset) * static_cast<uint64_t>(lineStride));
    }
    // Lines: calls f(text) for `count` rows from row `offset` of the chunk.
    template <class F>
    void VisitLines(int32_t offset, int32_t count, F&& f) const {
        Bounds()->VisitLines(static_cast<uint64_t>(firstLabel) +
                                 static_cast<uint64_t>(offset) * static_cast<uint64_t>(lineStride),
                             static_cast<uint64_t>(lineStride), count, f);
    }
    // Lines: becomes a chunk of Texts holding the same texts, in file order still.
    void LinesToHandles(std::size_t capacity) {
        const LineBounds* bounds = Bounds();
        cells.assign(std::max<std::size_t>(capacity, static_cast<std::size_t>(size)), 0);
        cells.resize(static_cast<std::size_t>(size));
        for (int32_t i = 0; i < size; ++i) {
            cells[static_cast<std::size_t>(i)] = cell_handle::MakeLine(Line(bounds, i));
        }
        kind = Kind::Texts;
    }
};

// A column's chunks, with the vector operations the column uses, and the index that finds a row
// among them. A single chunk is kept in place, without a heap block: most columns of a wide table
// hold one. Two or more live in a heap block with their index. Holds chunks only; freeing the
// texts is the owner's work.
class ChunkList {
public:
    using value_type = CellChunk;

    ChunkList() noexcept { new (&head_) Head{}; }
    // `count` chunks of no rows.
    explicit ChunkList(std::size_t count);
    ChunkList(const ChunkList& other);
    ChunkList(ChunkList&& other) noexcept;
    ChunkList& operator=(const ChunkList& other);
    ChunkList& operator=(ChunkList&& other) noexcept;
    ~ChunkList() { clear(); }

    std::size_t size() const {
        return InPlace() ? 1 : head_.many == nullptr ? 0 : head_.many->chunks.size();
    }
    bool empty() const { return size() == 0; }
    CellChunk* data() {
        return InPlace() ? &one_ : head_.many == nullptr ? nullptr : Vector().data();
    }
    const CellChunk* data() const { return const_cast<ChunkList*>(this)->data(); }
    CellChunk* begin() { return data(); }
    CellChunk* end() { return data() + size(); }
    const CellChunk* begin() const { return data(); }
    const CellChunk* end() const { return data() + size(); }
    CellChunk& operator[](std::size_t i) { return data()[i]; }
    const CellChunk& operator[](std::size_t i) const { return data()[i]; }
    CellChunk& back() { return data()[size() - 1]; }

    void push_back(CellChunk&& chunk) { insert(end(), std::move(chunk)); }
    void insert(const CellChunk* at, CellChunk&& chunk);
    // Moves the chunks [first, last) of another list in before `at`.
    void insert(const CellChunk* at, CellChunk* first, CellChunk* last);
    void erase(const CellChunk* at) { erase(at, at + 1); }
    void erase(const CellChunk* first, const CellChunk* last);
    void clear() noexcept;
    void swap(ChunkList& other) noexcept;

    // The heap memory kept for the chunks (not for their handles), in bytes.
    std::size_t HeapBytes() const;
    // The index of two or more chunks; none for fewer, which need no search. A cache: the
    // owner keeps it in step (see ChunkIndex), even through a const list.
    ChunkIndex* Index() const {
        return InPlace() || head_.many == nullptr ? nullptr : &head_.many->index;
    }

private:
    struct Many {
        std::vector<CellChunk> chunks;
        ChunkIndex index;
    };
    static constexpr auto kNotInPlace = static_cast<CellChunk::Kind>(0xFF);
    // The form of a list of no chunk (`many` null) or of two or more. Its first member shares
    // its type with the chunk's, so that the byte tells the forms apart whichever is stored.
    struct Head {
        CellChunk::Kind mark = kNotInPlace;
        Many* many = nullptr;
    };
    static_assert(std::is_standard_layout_v<CellChunk> && std::is_standard_layout_v<Head>);

    bool InPlace() const { return head_.mark != kNotInPlace; }
    std::vector<CellChunk>& Vector() const { return head_.many->chunks; }
    // Moves the chunks into a heap block, so that the vector operations apply.
    void Spread();
    // Keeps a single chunk in place and no chunk without a heap block.
    void Settle() noexcept;
    // Takes other's chunks, freeing this list's; other is left without any.
    void MoveFrom(ChunkList& other) noexcept;

    union {
        CellChunk one_;
        Head head_;
    };
};

}  // namespace qv
