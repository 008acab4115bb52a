#include "table/delimited_export.h"

#include <cstring>
#include <optional>

#include "platform/cp932.h"
#include "table/delimited_text.h"

namespace qv {

namespace {

constexpr std::size_t kPieceSize = std::size_t{1} << 20;
// Rows are read a block at a time, column by column, which is how the grid stores them.
constexpr int32_t kRowBlock = 1024;

class RangeWriter {
public:
    RangeWriter(const TableGrid& grid, CellRange range, char delimiter, TextEncoding encoding,
                const std::function<void(std::string_view)>& write)
        : grid_(grid), range_(range), delimiter_(delimiter), encoding_(encoding), write_(write) {
        piece_.reserve(kPieceSize + kPieceSize / 4);
    }

    DelimitedWriteReport Run() {
        if (encoding_ == TextEncoding::Utf8WithBom) {
            write_(kUtf8Bom);
        }
        if (range_.colBegin >= range_.colEnd) {
            return std::move(report_);
        }
        int32_t pieceStart = range_.rowBegin;
        for (int32_t row = range_.rowBegin; row < range_.rowEnd;) {
            const int32_t end = row + std::min(kRowBlock, range_.rowEnd - row);
            AppendRows(row, end, Check::None);
            row = end;
            if (piece_.size() >= kPieceSize || row == range_.rowEnd) {
                Flush(pieceStart, row);
                pieceStart = row;
            }
        }
        return std::move(report_);
    }

private:
    enum class Check { None, EachCell };

    void AppendRows(int32_t rowBegin, int32_t rowEnd, Check check) {
        const auto columns = static_cast<std::size_t>(range_.colEnd - range_.colBegin);
        block_.resize(columns);
        // Room for the worst case (every field quoted, every quote doubled), written in place.
        std::size_t room = static_cast<std::size_t>(rowEnd - rowBegin) *
                           (columns + kDelimitedRecordEnd.size() + kGetaMarkCp932.size() * columns);
        for (std::size_t k = 0; k < columns; ++k) {
            block_[k].clear();
            grid_.VisitColumn(range_.colBegin + static_cast<int32_t>(k), rowBegin, rowEnd,
                              [&](std::string_view text) {
                                  block_[k].push_back(text);
                                  room += MaxDelimitedFieldSize(text.size());
                              });
        }
        const std::size_t used = piece_.size();
        piece_.resize(used + room);
        char* out = piece_.data() + used;
        for (int32_t r = 0; r < rowEnd - rowBegin; ++r) {
            for (std::size_t k = 0; k < columns; ++k) {
                if (k > 0) {
                    *out++ = delimiter_;
                }
                std::string_view text = block_[k][static_cast<std::size_t>(r)];
                if (check == Check::EachCell && !TryCp932ToUtf8(text)) {
                    NoteInvalid({range_.colBegin + static_cast<int32_t>(k), rowBegin + r});
                    text = kGetaMarkCp932;
                }
                out = WriteDelimitedField(out, text, delimiter_);
            }
            std::memcpy(out, kDelimitedRecordEnd.data(), kDelimitedRecordEnd.size());
            out += kDelimitedRecordEnd.size();
        }
        piece_.resize(static_cast<std::size_t>(out - piece_.data()));
    }

    void NoteInvalid(GridCell cell) {
        if (report_.invalidCells.size() < kUnencodableListed) {
            report_.invalidCells.push_back(cell);
        }
        ++report_.invalidCount;
    }

    // Hands the piece on; in UTF-8 the whole piece is converted at once, and only when it
    // holds a byte that is not CP932 are its rows written again cell by cell.
    void Flush(int32_t rowBegin, int32_t rowEnd) {
        if (encoding_ == TextEncoding::Cp932) {
            write_(piece_);
        } else {
            std::optional<std::string> utf8 = TryCp932ToUtf8(piece_);
            if (!utf8) {
                piece_.clear();
                AppendRows(rowBegin, rowEnd, Check::EachCell);
                utf8 = TryCp932ToUtf8(piece_);
            }
            write_(utf8.value());
        }
        piece_.clear();
    }

    const TableGrid& grid_;
    CellRange range_;
    char delimiter_;
    TextEncoding encoding_;
    const std::function<void(std::string_view)>& write_;
    std::string piece_;
    std::vector<std::vector<std::string_view>> block_;
    DelimitedWriteReport report_;
};

}  // namespace

DelimitedWriteReport WriteDelimitedCells(const TableGrid& grid, CellRange range, char delimiter,
                                         TextEncoding encoding,
                                         const std::function<void(std::string_view)>& write) {
    return RangeWriter(grid, range, delimiter, encoding, write).Run();
}

}  // namespace qv
