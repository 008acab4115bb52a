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
#include "table/line_order.h"

namespace qv {

// A run of rows of one column: empty cells, row labels, stored texts, texts still as a file
// loaded them, kept as line numbers of its buffer (no memory a cell), or such texts whose rows
// were sorted, kept as a shared order of their lines (see LineOrder).
struct CellChunk {
    enum class Kind : uint8_t { Empty, Labels, Texts, Lines, Reordered };
    Kind kind = Kind::Empty;  // first: ChunkList tells its forms apart by this byte
    int32_t size = 0;
    // Labels: the row number of the first label. Lines: the line number of the first text.
    // Reordered: the first row's place in the order.
    int32_t firstLabel = 0;
    // Texts read in file order: each cell's line, followed by CR LF, lies this many lines
    // after the previous cell's in one unbroken run of a loaded file's lines; 0 when the
    // cells were not read that way or have been changed since. Lines: always so. Reordered:
    // not a stride but the distance of this column's lines from the order's (see LineShift).
    int32_t lineStride = 0;
    // Texts: one handle per row. Lines: none, and it holds the buffer's LineBounds instead.
    // Reordered: none, and it holds its share of the LineOrder.
    HandleList cells;

    CellChunk() = default;
    CellChunk(const CellChunk& other)
        : kind(other.kind),
          size(other.size),
          firstLabel(other.firstLabel),
          lineStride(other.lineStride),
          cells(other.cells) {
        if (LineOrder* order = Order()) {
            order->Share();
        }
    }
    CellChunk(CellChunk&& other) noexcept = default;  // the order's share moves along
    CellChunk& operator=(const CellChunk& other) {
        if (this != &other) {
            *this = CellChunk(other);
        }
        return *this;
    }
    CellChunk& operator=(CellChunk&& other) noexcept {
        if (this != &other) {
            LetGoOfOrder();
            kind = other.kind;
            size = other.size;
            firstLabel = other.firstLabel;
            lineStride = other.lineStride;
            cells = std::move(other.cells);
        }
        return *this;
    }
    ~CellChunk() { LetGoOfOrder(); }

    // Lines and Reordered: the buffer's bounds.
    const LineBounds* Bounds() const {
        const LineOrder* order = Order();
        return order != nullptr ? order->Bounds() : static_cast<const LineBounds*>(cells.Held());
    }
    // Reordered: the order shared, while the chunk holds one.
    LineOrder* Order() const {
        return kind == Kind::Reordered ? static_cast<LineOrder*>(const_cast<void*>(cells.Held()))
                                       : nullptr;
    }
    int32_t LineShift() const { return lineStride; }
    // Lines and Reordered: the line number of row `offset` of the chunk.
    uint32_t LineNumber(int32_t offset) const {
        if (const LineOrder* order = Order()) {
            return static_cast<uint32_t>(int64_t{order->LineAt(Place(offset))} + LineShift());
        }
        return static_cast<uint32_t>(static_cast<uint64_t>(firstLabel) +
                                     static_cast<uint64_t>(offset) *
                                         static_cast<uint64_t>(lineStride));
    }
    // Lines and Reordered: the text of row `offset` of the chunk.
    std::string_view Line(int32_t offset) const { return Line(Bounds(), offset); }
    std::string_view Line(const LineBounds* bounds, int32_t offset) const {
        return bounds->Line(LineNumber(offset));
    }
    // Lines and Reordered: calls f(text) for `count` rows from row `offset` of the chunk.
    template <class F>
    void VisitLines(int32_t offset, int32_t count, F&& f) const {
        if (const LineOrder* order = Order()) {
            order->VisitTexts(Place(offset), count, LineShift(), f);
            return;
        }
        Bounds()->VisitLines(static_cast<uint64_t>(firstLabel) +
                                 static_cast<uint64_t>(offset) * static_cast<uint64_t>(lineStride),
                             static_cast<uint64_t>(lineStride), count, f);
    }
    // Lines and Reordered: becomes a chunk of Texts holding the same texts, in the same order.
    void LinesToHandles(std::size_t capacity) {
        const LineBounds* bounds = Bounds();
        HandleList handles;
        handles.reserve(std::max<std::size_t>(capacity, static_cast<std::size_t>(size)));
        for (int32_t i = 0; i < size; ++i) {
            handles.push_back(cell_handle::MakeLine(Line(bounds, i)));
        }
        LetGoOfOrder();
        cells = std::move(handles);
        kind = Kind::Texts;
    }

private:
    std::size_t Place(int32_t offset) const {
        return static_cast<std::size_t>(firstLabel + offset);
    }
    void LetGoOfOrder() {
        if (LineOrder* order = Order()) {
            order->Release();
            cells.Hold(nullptr);
        }
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
