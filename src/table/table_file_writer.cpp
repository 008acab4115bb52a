#include "table/table_file_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/line_writer.h"
#include "table/table_file_format.h"

namespace qv {

namespace {

// Rows are written in blocks: the texts of a block are gathered column by column (a column is
// walked once per block rather than looked up once per cell), then copied row by row. A block
// holds about this many cells, so that what is gathered stays in the processor's cache.
constexpr int32_t kCellsPerBlock = 1 << 14;
// Tables wider than this (a hand-made file can ask for millions of columns) are written cell
// by cell, so that the gathered texts never outgrow the file written.
constexpr int32_t kMaxGatheredColumns = 4096;

constexpr std::string_view kLineEnd = "\r\n";

std::string Header(const TableGrid& grid, const std::string& title, const WindowGeometry& window) {
    LineWriter out;
    out.Line(kTableFileMark);
    out.Line(kTableFileVersion);
    out.Number(window.left);
    out.Number(window.top);
    out.Number(window.width);
    out.Number(window.height);
    out.Line(kTableFileSeparator);
    out.Line(title);
    out.Number(grid.ColCount());
    out.Number(grid.RowCount());
    for (int32_t col = 1; col < grid.ColCount(); ++col) {
        out.Number(grid.ColWidth(col));
    }
    out.Line(kTableFileSeparator);
    return out.Take();
}

// One cell text as gathered for a block.
struct Piece {
    std::string_view text;
    bool followedByLineEnd = false;  // CR LF follow the text where it lies
};

// Copies the lines of a block into the buffer. Texts still in a loaded file's buffer with their
// CR LF after them there are not copied one by one: consecutive lines that lie one after the
// other in that buffer (a table saved as it was loaded) are copied as one run.
// A stretch of the file: `size` bytes at `text` in a loaded file's buffer, or, when `text` is
// null, at `offset` in the bytes built.
struct Stretch {
    const char* text = nullptr;
    std::size_t offset = 0;
    std::size_t size = 0;
};

// Runs at least this long are written from where they lie rather than copied.
constexpr std::size_t kRunLeftInPlace = std::size_t{1} << 16;

class LineCopier {
public:
    // With `stretches`, long runs are not copied but listed there between the built stretches.
    explicit LineCopier(ByteBuffer& buffer, std::vector<Stretch>* stretches = nullptr)
        : buffer_(buffer), stretches_(stretches) {}

    // Room for the run pending and `bytes` more; the block's lines may then be copied.
    void StartBlock(std::size_t bytes) {
        out_ = start_ = buffer_.Reserve(static_cast<std::size_t>(runEnd_ - runBegin_) + bytes);
    }
    void EndBlock() { buffer_.Commit(static_cast<std::size_t>(out_ - start_)); }

    void Line(const Piece& piece) {
        if (!piece.followedByLineEnd) {
            Flush();
            Copy(piece.text.data(), piece.text.size());
            out_[0] = '\r';
            out_[1] = '\n';
            out_ += 2;
            return;
        }
        if (piece.text.data() != runEnd_) {
            Flush();
            runBegin_ = piece.text.data();
        }
        runEnd_ = piece.text.data() + piece.text.size() + kLineEnd.size();
    }

    // Copies (or lists) the run pending; between StartBlock and EndBlock only.
    void Flush() {
        const auto size = static_cast<std::size_t>(runEnd_ - runBegin_);
        if (stretches_ != nullptr && size >= kRunLeftInPlace) {
            const std::size_t here = buffer_.Size() + static_cast<std::size_t>(out_ - start_);
            stretches_->push_back({nullptr, builtFrom_, here - builtFrom_});
            stretches_->push_back({runBegin_, 0, size});
            builtFrom_ = here;
        } else {
            Copy(runBegin_, size);
        }
        runBegin_ = runEnd_ = nullptr;
    }

    // Lists the bytes built since the last run left in place; after the last block.
    void Finish() {
        if (stretches_ != nullptr) {
            stretches_->push_back({nullptr, builtFrom_, buffer_.Size() - builtFrom_});
        }
    }

private:
    void Copy(const char* bytes, std::size_t size) {
        if (size != 0) {
            std::memcpy(out_, bytes, size);
            out_ += size;
        }
    }

    ByteBuffer& buffer_;
    std::vector<Stretch>* stretches_;
    std::size_t builtFrom_ = 0;
    char* out_ = nullptr;
    char* start_ = nullptr;
    const char* runBegin_ = nullptr;
    const char* runEnd_ = nullptr;
};

void WriteCellsOneByOne(ByteBuffer& out, const TableGrid& grid, ProgressSteps& steps) {
    for (int32_t row = 0; row < grid.RowCount(); ++row) {
        for (int32_t col = 1; col < grid.ColCount(); ++col) {
            out.Append(grid.Cell(col, row));
            out.Append(kLineEnd);
        }
        steps.Reach(static_cast<uint64_t>(row) + 1);
    }
}

void WriteCellsByBlocks(ByteBuffer& buffer, const TableGrid& grid, ProgressSteps& steps,
                        std::vector<Stretch>* stretches) {
    const int32_t dataCols = grid.ColCount() - 1;
    const int32_t rowsPerBlock = std::max(1, kCellsPerBlock / dataCols);
    std::vector<Piece> block(static_cast<std::size_t>(dataCols) *
                             static_cast<std::size_t>(rowsPerBlock));
    LineCopier out(buffer, stretches);
    for (int32_t rowBegin = 0; rowBegin < grid.RowCount(); rowBegin += rowsPerBlock) {
        const int32_t rowEnd = std::min(grid.RowCount(), rowBegin + rowsPerBlock);
        const std::size_t cells =
            static_cast<std::size_t>(rowEnd - rowBegin) * static_cast<std::size_t>(dataCols);
        std::size_t bytes = kLineEnd.size() * cells;
        // Row-major within the block: cell (k, j) goes to j * dataCols + k.
        for (int32_t k = 0; k < dataCols; ++k) {
            Piece* slot = block.data() + k;
            grid.VisitColumnInPlace(
                k + 1, rowBegin, rowEnd,
                [&slot, &bytes, dataCols](std::string_view text, bool followedByLineEnd) {
                    *slot = Piece{text, followedByLineEnd};
                    slot += dataCols;
                    bytes += text.size();
                });
        }
        out.StartBlock(bytes);
        for (std::size_t i = 0; i < cells; ++i) {
            out.Line(block[i]);
        }
        if (rowEnd == grid.RowCount()) {
            out.Flush();
        }
        out.EndBlock();
        steps.Reach(static_cast<uint64_t>(rowEnd));
    }
    out.Finish();
}

}  // namespace

namespace {

ByteBuffer Build(const TableGrid& grid, const std::string& title, const WindowGeometry& window,
                 const FileProgress& progress, std::vector<Stretch>* stretches) {
    ByteBuffer file;
    file.Append(Header(grid, title, window));
    if (grid.ColCount() <= 1) {
        return file;  // column 0 only: no cells are stored
    }
    ProgressSteps steps(progress, static_cast<uint64_t>(grid.RowCount()), 1);
    if (grid.ColCount() - 1 > kMaxGatheredColumns) {
        WriteCellsOneByOne(file, grid, steps);
    } else {
        WriteCellsByBlocks(file, grid, steps, stretches);
    }
    return file;
}

}  // namespace

ByteBuffer BuildTableFileBytes(const TableGrid& grid, const std::string& title,
                               const WindowGeometry& window, const FileProgress& progress) {
    return Build(grid, title, window, progress, nullptr);
}

TableFilePieces BuildTableFilePieces(const TableGrid& grid, const std::string& title,
                                     const WindowGeometry& window, const FileProgress& progress) {
    std::vector<Stretch> stretches;
    TableFilePieces file;
    file.built = Build(grid, title, window, progress, &stretches);
    if (stretches.empty()) {
        stretches.push_back({nullptr, 0, file.built.Size()});
    }
    for (const Stretch& stretch : stretches) {
        if (stretch.size != 0) {
            file.pieces.push_back(stretch.text != nullptr
                                      ? std::string_view(stretch.text, stretch.size)
                                      : file.built.View().substr(stretch.offset, stretch.size));
        }
    }
    return file;
}

std::string BuildTableFile(const TableGrid& grid, const std::string& title,
                           const WindowGeometry& window) {
    return std::string(BuildTableFileBytes(grid, title, window).View());
}

}  // namespace qv
