#include "table/delimited_export.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/cp932.h"
#include "table/delimited_text.h"

namespace qv {

namespace {

constexpr std::size_t kPieceSize = std::size_t{1} << 20;
// Rows are read a block at a time, column by column, which is how the grid stores them.
constexpr int32_t kRowBlock = 1024;

// Writes each cell once, straight into the piece in the encoding wanted: quoted in CP932 when
// it needs quotes (the grammar's bytes are ASCII in both encodings), converted to UTF-8 as it
// is copied. The piece's buffer is never zero-filled.
class RangeWriter {
public:
    RangeWriter(const TableGrid& grid, CellRange range, char delimiter, TextEncoding encoding,
                const std::function<void(std::string_view)>& write)
        : grid_(grid), range_(range), delimiter_(delimiter), encoding_(encoding), write_(write) {
        for (const char c : {'"', '\r', '\n', delimiter}) {
            special_[static_cast<unsigned char>(c)] = 1;
        }
    }

    DelimitedWriteReport Run() {
        if (encoding_ == TextEncoding::Utf8WithBom) {
            write_(kUtf8Bom);
        }
        if (range_.colBegin >= range_.colEnd) {
            return std::move(report_);
        }
        for (int32_t row = range_.rowBegin; row < range_.rowEnd;) {
            const int32_t end = row + std::min(kRowBlock, range_.rowEnd - row);
            AppendRows(row, end);
            row = end;
            if (used_ >= kPieceSize || row == range_.rowEnd) {
                write_(std::string_view(piece_.get(), used_));
                used_ = 0;
            }
        }
        return std::move(report_);
    }

private:
    void AppendRows(int32_t rowBegin, int32_t rowEnd) {
        const auto columns = static_cast<std::size_t>(range_.colEnd - range_.colBegin);
        const auto rows = static_cast<std::size_t>(rowEnd - rowBegin);
        // The block's cells row by row, read column by column as the grid stores them.
        handles_.resize(rows * columns);
        for (std::size_t k = 0; k < columns; ++k) {
            std::size_t at = k;
            grid_.VisitColumnHandles(range_.colBegin + static_cast<int32_t>(k), rowBegin, rowEnd,
                                     [&](CellHandle h) {
                                         handles_[at] = h;
                                         at += columns;
                                     });
        }
        // Room for the worst case of a field (quoted, every quote doubled, in UTF-8 three
        // bytes for a CP932 byte but one for a quote) and what follows it.
        const std::size_t perByte = encoding_ == TextEncoding::Cp932 ? 2 : 4;
        constexpr std::size_t kAround = 2 + kGetaMarkUtf8.size() + kDelimitedRecordEnd.size();
        char* out = piece_.get() + used_;
        const CellHandle* cell = handles_.data();
        for (std::size_t r = 0; r < rows; ++r) {
            for (std::size_t k = 0; k < columns; ++k, ++cell) {
                const std::string_view text = cell_handle::Text(*cell);
                if (static_cast<std::size_t>(limit_ - out) < perByte * text.size() + kAround) {
                    out = Grow(out, perByte * text.size() + kAround);
                }
                if (k > 0) {
                    *out++ = delimiter_;
                }
                out = encoding_ == TextEncoding::Cp932
                          ? WriteCp932Field(out, text)
                          : WriteUtf8Field(out, text,
                                           {range_.colBegin + static_cast<int32_t>(k),
                                            rowBegin + static_cast<int32_t>(r)});
            }
            std::memcpy(out, kDelimitedRecordEnd.data(), kDelimitedRecordEnd.size());
            out += kDelimitedRecordEnd.size();
        }
        used_ = static_cast<std::size_t>(out - piece_.get());
    }

    // Whether the field needs quotes: DelimitedFieldNeedsQuotes with a table made once.
    bool NeedsQuotes(std::string_view text) const {
        uint8_t special = 0;
        for (const char c : text) {
            special |= special_[static_cast<unsigned char>(c)];
        }
        return special != 0;
    }

    // A field in CP932, copied as it is unless it needs quotes.
    char* WriteCp932Field(char* out, std::string_view text) const {
        if (NeedsQuotes(text)) {
            return WriteDelimitedField(out, text, delimiter_);
        }
        if (!text.empty()) {
            std::memcpy(out, text.data(), text.size());
        }
        return out + text.size();
    }

    // A field in UTF-8; a cell that is not valid CP932 is reported and written as "〓".
    char* WriteUtf8Field(char* out, std::string_view text, GridCell cell) {
        if (NeedsQuotes(text)) {
            quoted_.clear();
            AppendDelimitedField(quoted_, text, delimiter_);
            text = quoted_;
        }
        if (char* end = TryCp932ToUtf8Into(text, out)) {
            return end;
        }
        NoteInvalid(cell);
        std::memcpy(out, kGetaMarkUtf8.data(), kGetaMarkUtf8.size());
        return out + kGetaMarkUtf8.size();
    }

    // Makes room for `bytes` more at `out`, in a new buffer when needed; returns where `out`
    // now is.
    char* Grow(char* out, std::size_t bytes) {
        const auto used = static_cast<std::size_t>(out - piece_.get());
        const std::size_t capacity = std::max(2 * (used + bytes), kPieceSize + kPieceSize / 2);
        std::unique_ptr<char[]> grown(new char[capacity]);
        if (used > 0) {
            std::memcpy(grown.get(), piece_.get(), used);
        }
        piece_ = std::move(grown);
        limit_ = piece_.get() + capacity;
        return piece_.get() + used;
    }

    void NoteInvalid(GridCell cell) {
        if (report_.invalidCells.size() < kUnencodableListed) {
            report_.invalidCells.push_back(cell);
        }
        ++report_.invalidCount;
    }

    const TableGrid& grid_;
    CellRange range_;
    char delimiter_;
    std::array<uint8_t, 256> special_{};
    TextEncoding encoding_;
    const std::function<void(std::string_view)>& write_;
    std::unique_ptr<char[]> piece_;
    std::size_t used_ = 0;
    char* limit_ = nullptr;
    std::string quoted_;
    std::vector<CellHandle> handles_;
    DelimitedWriteReport report_;
};

}  // namespace

DelimitedWriteReport WriteDelimitedCells(const TableGrid& grid, CellRange range, char delimiter,
                                         TextEncoding encoding,
                                         const std::function<void(std::string_view)>& write) {
    return RangeWriter(grid, range, delimiter, encoding, write).Run();
}

}  // namespace qv
