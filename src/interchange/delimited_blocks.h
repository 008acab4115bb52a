#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "interchange/delimited_export.h"
#include "interchange/text_encoding.h"
#include "table/cell_handle.h"

namespace qv {

// The blocks of rows a delimited write is made of, and their formatting (see WriteDelimitedCells).

// A buffer that grows without being zero-filled; blocks hand theirs on to later blocks, so that
// the memory is touched once rather than faulted in anew for every block.
struct TextBuffer {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;

    // Makes room for `bytes` more at `out` (nullptr: at the start), in a new buffer when
    // needed; returns where `out` now is.
    char* Grow(char* out, std::size_t bytes);
    char* Limit() const { return data.get() + capacity; }
};

// Rows [rowBegin, rowBegin + rows) of a range, given either as their cells' handles, gathered
// row by row, or, for rows still as a table file loaded them (whole rows only), as their lines
// in the loaded buffer (see FindLoadedStretch); with the memory their text is made in.
struct DelimitedBlock {
    int32_t rowBegin = 0;
    int32_t rows = 0;
    std::vector<CellHandle> handles;  // unused when `lines` holds the rows
    std::string_view lines;
    TextBuffer text;
};

// A block of rows as text, with what it could not write as it was.
struct FormattedBlock {
    DelimitedBlock block;  // its text in block.text
    std::size_t size = 0;
    DelimitedWriteReport report;
};

// Formats blocks, each cell written once, straight into the block's buffer in the encoding
// wanted: quoted in CP932 when it needs quotes (the grammar's bytes are ASCII in both
// encodings), converted to UTF-8 as it is copied. Touches no grid, only the texts the block
// points to, so blocks may be formatted on any thread.
class BlockFormatter {
public:
    BlockFormatter(CellRange range, char delimiter, TextEncoding encoding, FieldQuoting quoting);

    FormattedBlock Format(DelimitedBlock block) const;

private:
    // What a field's bytes hold, as bits of kind_: bytes that call for quotes, bytes that are
    // not ASCII.
    static constexpr uint8_t kNeedsQuotes = 1;
    static constexpr uint8_t kNotAscii = 2;

    // Where a line of loaded text ends, and what its text's bytes hold (bits of kind_).
    struct LineEnd {
        const char* cr;
        uint8_t kind;
    };

    char* FormatCells(FormattedBlock& formatted, char* out) const;
    char* FormatLines(FormattedBlock& formatted, char* out) const;
    LineEnd FindLineEnd(const char* p, const char* end) const;
    char* WriteField(char* out, std::string_view text, GridCell cell,
                     DelimitedWriteReport& report) const;
    char* WriteConverted(char* out, std::string_view text, uint8_t kind, GridCell cell,
                         DelimitedWriteReport& report) const;
    uint8_t CopyAndClassify(char* out, std::string_view text) const;
    uint8_t Classify(uint64_t word) const;

    CellRange range_;
    char delimiter_;
    TextEncoding encoding_;
    std::array<uint8_t, 256> kind_{};
    std::array<uint64_t, 6> quoted_{};  // the bytes that call for quotes (some maybe twice)
    // The kinds that keep a line of loaded text from being copied as it is.
    uint8_t notPlain_ = kNeedsQuotes;
};

}  // namespace qv
