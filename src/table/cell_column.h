#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A stored cell text in eight bytes. The two top bits say what the rest is:
//  - 0 with value 0: the empty text;
//  - heap: a pointer to an owned block holding the length and the bytes;
//  - arena: a pointer into a shared read-only buffer (a loaded file) where the text runs up to
//    the next CR byte; loaded tables cost no allocation per cell;
//  - label: a row label, stored as the row number it was written for.
using CellHandle = uint64_t;

// Read-only buffers that arena handles point into, kept alive by the grid holding them.
using ArenaTable = std::vector<std::shared_ptr<const std::string>>;

namespace cell_handle {
inline constexpr uint64_t kTagMask = uint64_t{3} << 62;
inline constexpr uint64_t kHeap = 0;
inline constexpr uint64_t kArena = uint64_t{1} << 62;
inline constexpr uint64_t kLabel = uint64_t{2} << 62;

inline uint64_t Tag(CellHandle h) { return h & kTagMask; }
// An owned copy of `text`; the empty text gives the empty handle.
CellHandle MakeOwned(std::string_view text);
// A handle to a text inside an arena buffer; the byte after the text there must be CR.
CellHandle MakeArena(const char* text);
CellHandle MakeLabel(int32_t rowNumber);
// A handle of the same text that can be stored separately (owned blocks are copied).
CellHandle Copy(CellHandle h);
void Free(CellHandle h);
std::string_view Text(CellHandle h);
// The text of the row label of n: the last three characters of five blanks and n's digits.
std::string_view LabelText(int32_t n);
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
        int32_t firstLabel = 0;          // Labels: the row number of the first label
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

    template <class F>
    void Visit(int32_t begin, int32_t end, F&& f) const;

    // Adds every arena pointer stored here to `out`.
    void CollectArenaPointers(std::vector<const char*>& out) const;

private:
    struct Place {
        std::size_t chunk;
        int32_t offset;
    };
    Place Locate(int32_t row) const;
    void Reindex() const;
    std::size_t SplitAt(int32_t row);
    void AppendEmpty(int32_t count);
    void AppendHandle(CellHandle h);
    void FreeChunks(std::size_t first, std::size_t last);
    static void MakeTexts(Chunk& chunk);
    void Changed() { indexed_ = false; }

    ChunkList chunks_;
    int32_t length_ = 0;
    mutable std::vector<int32_t> starts_;  // first row of each chunk, rebuilt after changes
    mutable bool indexed_ = true;
    mutable std::size_t hint_ = 0;
};

template <class F>
void CellColumn::Visit(int32_t begin, int32_t end, F&& f) const {
    int32_t row = begin;
    if (row < length_ && row < end) {
        Place place = Locate(row);
        for (std::size_t c = place.chunk; c < chunks_.size() && row < end; ++c) {
            const Chunk& chunk = chunks_[c];
            int32_t offset = c == place.chunk ? place.offset : 0;
            for (; offset < chunk.size && row < end; ++offset, ++row) {
                switch (chunk.kind) {
                    case Chunk::Kind::Empty:
                        f(std::string_view());
                        break;
                    case Chunk::Kind::Labels:
                        f(cell_handle::LabelText(chunk.firstLabel + offset));
                        break;
                    case Chunk::Kind::Texts:
                        f(cell_handle::Text(chunk.cells[static_cast<std::size_t>(offset)]));
                        break;
                }
            }
        }
    }
    for (; row < end; ++row) {
        f(std::string_view());
    }
}

}  // namespace qv
