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
            kind_[static_cast<unsigned char>(c)] |= kNeedsQuotes;
        }
        for (std::size_t byte = 0x80; byte < kind_.size(); ++byte) {
            kind_[byte] |= kNotAscii;
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
                out = WriteField(out, text, static_cast<int32_t>(k),
                                 rowBegin + static_cast<int32_t>(r));
            }
            std::memcpy(out, kDelimitedRecordEnd.data(), kDelimitedRecordEnd.size());
            out += kDelimitedRecordEnd.size();
        }
        used_ = static_cast<std::size_t>(out - piece_.get());
    }

    // What a field's bytes hold, as bits of kind_: bytes that call for quotes, bytes that are
    // not ASCII.
    static constexpr uint8_t kNeedsQuotes = 1;
    static constexpr uint8_t kNotAscii = 2;

    // Writes a field. Most are copied byte by byte while their bytes are looked at (short
    // texts, where a call of memcpy costs more than the copy); only a field that needs quotes,
    // or one that is not ASCII and goes out in UTF-8, is written again.
    char* WriteField(char* out, std::string_view text, int32_t colIndex, int32_t row) {
        uint8_t kind = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            out[i] = c;
            kind |= kind_[static_cast<unsigned char>(c)];
        }
        if ((kind & kNeedsQuotes) == 0 &&
            ((kind & kNotAscii) == 0 || encoding_ == TextEncoding::Cp932)) {
            return out + text.size();
        }
        if (encoding_ == TextEncoding::Cp932) {
            return WriteDelimitedField(out, text, delimiter_);
        }
        char* end =
            (kind & kNeedsQuotes) != 0 ? QuotedUtf8(out, text) : TryCp932ToUtf8Into(text, out);
        if (end != nullptr) {
            return end;
        }
        // A cell whose bytes are not valid CP932: reported, and written as "〓".
        NoteInvalid({range_.colBegin + colIndex, row});
        std::memcpy(out, kGetaMarkUtf8.data(), kGetaMarkUtf8.size());
        return out + kGetaMarkUtf8.size();
    }

    // The field in double quotes, its quotes doubled, in UTF-8: converted piece by piece
    // between its quotes (no CP932 character holds the quote's byte); nullptr when it is not
    // valid CP932.
    static char* QuotedUtf8(char* out, std::string_view text) {
        *out++ = '"';
        for (;;) {
            const std::size_t quote = text.find('"');
            out = TryCp932ToUtf8Into(text.substr(0, quote), out);
            if (out == nullptr) {
                return nullptr;
            }
            if (quote == std::string_view::npos) {
                break;
            }
            *out++ = '"';
            *out++ = '"';
            text.remove_prefix(quote + 1);
        }
        *out++ = '"';
        return out;
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
    std::array<uint8_t, 256> kind_{};
    TextEncoding encoding_;
    const std::function<void(std::string_view)>& write_;
    std::unique_ptr<char[]> piece_;
    std::size_t used_ = 0;
    char* limit_ = nullptr;
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
