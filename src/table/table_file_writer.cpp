#include "table/table_file_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/line_writer.h"
#include "table/loaded_lines.h"
#include "table/table_file_format.h"

namespace qv {

namespace {

// Rows are written in blocks: the handles of a block are gathered column by column (a column is
// walked once per block rather than looked up once per cell), then their lines are written row
// by row. A block holds about this many cells, so that what is gathered stays in the
// processor's cache.
constexpr int32_t kCellsPerBlock = 1 << 14;
// Tables wider than this (a hand-made file can ask for millions of columns) are written cell
// by cell, so that the gathered handles never outgrow the file written.
constexpr int32_t kMaxGatheredColumns = 4096;
// Rows written cell by cell go at least this many at a time.
constexpr int32_t kMinimumBlockRows = 64;

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

// A stretch of the file: `size` bytes at `text` in a loaded file's buffer, or, when `text` is
// null, at `offset` in the bytes built.
struct Stretch {
    const char* text = nullptr;
    std::size_t offset = 0;
    std::size_t size = 0;
};

// Runs at least this long are written from where they lie rather than copied.
constexpr std::size_t kRunLeftInPlace = std::size_t{1} << 16;
// The buffer grows by at least this much at a time.
constexpr std::size_t kRoomStep = std::size_t{1} << 20;

// Writes cell lines into the buffer. Texts still in a loaded file's buffer with their CR LF
// after them there are not copied one by one: consecutive lines that lie one after the other in
// that buffer (a table saved as it was loaded) are taken as one run, found by comparing
// addresses only, and copied (or listed, when long) as a whole.
class LineCopier {
public:
    // With `stretches`, long runs are not copied but listed there between the built stretches.
    explicit LineCopier(ByteBuffer& buffer, std::vector<Stretch>* stretches = nullptr)
        : buffer_(buffer), stretches_(stretches) {}

    void Line(CellHandle h) {
        const std::string_view text = cell_handle::Text(h);
        if (cell_handle::FollowedByLineEnd(h)) {
            Lines({text.data(), text.size() + kLineEnd.size()});
            return;
        }
        Text(text);
    }

    // A text that is written as it is, with a line end.
    void Text(std::string_view text) {
        Flush();
        Copy(text);
        Copy(kLineEnd);
    }

    // Lines lying together in a loaded file's buffer, their line ends included.
    void Lines(std::string_view lines) {
        if (lines.data() != runEnd_) {
            Flush();
            runBegin_ = lines.data();
        }
        runEnd_ = lines.data() + lines.size();
    }

    // Writes the run pending and commits everything to the buffer; after the last line.
    void Finish() {
        Flush();
        Commit();
        if (stretches_ != nullptr) {
            stretches_->push_back({nullptr, builtFrom_, buffer_.Size() - builtFrom_});
        }
    }

private:
    // Copies (or lists) the run pending.
    void Flush() {
        const auto size = static_cast<std::size_t>(runEnd_ - runBegin_);
        if (size == 0) {
            return;
        }
        if (stretches_ != nullptr && size >= kRunLeftInPlace) {
            Commit();
            stretches_->push_back({nullptr, builtFrom_, buffer_.Size() - builtFrom_});
            stretches_->push_back({runBegin_, 0, size});
            builtFrom_ = buffer_.Size();
        } else {
            Copy({runBegin_, size});
        }
        runBegin_ = runEnd_ = nullptr;
    }

    void Copy(std::string_view bytes) {
        if (!bytes.empty()) {  // the empty text may have no address at all
            std::memcpy(Room(bytes.size()), bytes.data(), bytes.size());
            out_ += bytes.size();
        }
    }

    // Where `size` more bytes go.
    char* Room(std::size_t size) {
        if (static_cast<std::size_t>(limit_ - out_) < size) {
            Commit();
            const std::size_t room = std::max(size, kRoomStep);
            out_ = start_ = buffer_.Reserve(room);
            limit_ = start_ + room;
        }
        return out_;
    }

    void Commit() {
        buffer_.Commit(static_cast<std::size_t>(out_ - start_));
        out_ = start_ = limit_ = nullptr;
    }

    ByteBuffer& buffer_;
    std::vector<Stretch>* stretches_;
    std::size_t builtFrom_ = 0;  // where the bytes built since the last run listed begin
    char* out_ = nullptr;
    char* start_ = nullptr;
    char* limit_ = nullptr;
    const char* runBegin_ = nullptr;
    const char* runEnd_ = nullptr;
};

// Rows [rowBegin, rowEnd) cell by cell: the handles are gathered column by column, then their
// lines are written row by row.
void WriteBlock(LineCopier& out, const TableGrid& grid, int32_t rowBegin, int32_t rowEnd,
                std::vector<CellHandle>& block) {
    const int32_t dataCols = grid.ColCount() - 1;
    // Row-major within the block: cell (k, j) goes to j * dataCols + k.
    for (int32_t k = 0; k < dataCols; ++k) {
        CellHandle* slot = block.data() + k;
        grid.VisitColumnHandles(k + 1, rowBegin, rowEnd, [&slot, dataCols](CellHandle h) {
            *slot = h;
            slot += dataCols;
        });
    }
    const std::size_t cells =
        static_cast<std::size_t>(rowEnd - rowBegin) * static_cast<std::size_t>(dataCols);
    for (std::size_t i = 0; i < cells; ++i) {
        out.Line(block[i]);
    }
}

// The whole file, built a stretch of rows at a time: the header at once, then the cell lines of
// rows in blocks. Long runs of lines still in a loaded file's buffer are listed in `stretches`,
// when given, instead of being copied.
class FileBuilder {
public:
    FileBuilder(const TableGrid& grid, const std::string& title, const WindowGeometry& window,
                FileProgress progress, std::vector<Stretch>* stretches)
        : grid_(grid),
          progress_(std::move(progress)),
          steps_(progress_, static_cast<uint64_t>(grid.RowCount()), 1),
          rowCount_(grid.RowCount()),
          dataCols_(grid.ColCount() - 1),
          out_(file_, stretches) {
        file_.Append(Header(grid, title, window));
        if (dataCols_ <= 0) {
            row_ = rowCount_;  // column 0 only: no cells are stored
        } else if (dataCols_ <= kMaxGatheredColumns) {
            rowsPerBlock_ = std::max(1, kCellsPerBlock / dataCols_);
            block_.resize(static_cast<std::size_t>(dataCols_) *
                          static_cast<std::size_t>(rowsPerBlock_));
        }
    }

    // Builds the rows up to `rowLimit` (or a little further, to the end of a block or a run of
    // loaded lines); returns true once every row is built.
    bool BuildUpTo(int32_t rowLimit) {
        while (row_ < rowCount_ && row_ < rowLimit) {
            if (block_.empty()) {
                WriteRowOneByOne();
            } else {
                WriteNextBlock();
            }
            steps_.Reach(static_cast<uint64_t>(row_));
        }
        return row_ >= rowCount_;
    }

    int32_t Row() const { return row_; }

    ByteBuffer Finish() {
        out_.Finish();
        return std::move(file_);
    }

private:
    // Tables wider than kMaxGatheredColumns: one row, cell by cell.
    void WriteRowOneByOne() {
        for (int32_t col = 1; col <= dataCols_; ++col) {
            out_.Text(grid_.Cell(col, row_));
        }
        ++row_;
    }

    void WriteNextBlock() {
        const LoadedStretch stretch = FindLoadedStretch(grid_, row_, rowCount_, segments_);
        if (stretch.lines) {
            out_.Lines(*stretch.lines);
            row_ += stretch.rows;
            return;
        }
        // Cell by cell up to where the chunks change, so that loaded rows after them are found
        // again, but in blocks of a useful size where chunks are short.
        const int32_t rowEnd = std::min({rowCount_, row_ + rowsPerBlock_,
                                         std::max(row_ + stretch.rows, row_ + kMinimumBlockRows)});
        WriteBlock(out_, grid_, row_, rowEnd, block_);
        row_ = rowEnd;
    }

    const TableGrid& grid_;
    FileProgress progress_;
    ProgressSteps steps_;
    const int32_t rowCount_;
    const int32_t dataCols_;
    int32_t row_ = 0;
    int32_t rowsPerBlock_ = 0;
    std::vector<CellHandle> block_;
    std::vector<CellColumn::Segment> segments_;
    ByteBuffer file_;
    LineCopier out_;
};

TableFilePieces PiecesOf(ByteBuffer built, std::vector<Stretch>& stretches, const TableGrid& grid) {
    TableFilePieces file;
    file.built = std::move(built);
    file.loaded = grid.Loaded().Shared();
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

}  // namespace

ByteBuffer BuildTableFileBytes(const TableGrid& grid, const std::string& title,
                               const WindowGeometry& window, const FileProgress& progress) {
    FileBuilder builder(grid, title, window, progress, nullptr);
    builder.BuildUpTo(grid.RowCount());
    return builder.Finish();
}

TableFilePieces BuildTableFilePieces(const TableGrid& grid, const std::string& title,
                                     const WindowGeometry& window, const FileProgress& progress) {
    std::vector<Stretch> stretches;
    FileBuilder builder(grid, title, window, progress, &stretches);
    builder.BuildUpTo(grid.RowCount());
    return PiecesOf(builder.Finish(), stretches, grid);
}

struct TableFilePiecesBuilder::State {
    State(const TableGrid& table, const std::string& title, const WindowGeometry& window)
        : grid(table), builder(table, title, window, {}, &stretches) {}
    const TableGrid& grid;
    std::vector<Stretch> stretches;
    FileBuilder builder;
};

TableFilePiecesBuilder::TableFilePiecesBuilder(const TableGrid& grid, const std::string& title,
                                               const WindowGeometry& window)
    : state_(std::make_unique<State>(grid, title, window)) {}

TableFilePiecesBuilder::~TableFilePiecesBuilder() = default;

bool TableFilePiecesBuilder::Step(int32_t rows) {
    return state_->builder.BuildUpTo(state_->builder.Row() + std::max(rows, 1));
}

TableFilePieces TableFilePiecesBuilder::Take() {
    return PiecesOf(state_->builder.Finish(), state_->stretches, state_->grid);
}

std::string BuildTableFile(const TableGrid& grid, const std::string& title,
                           const WindowGeometry& window) {
    return std::string(BuildTableFileBytes(grid, title, window).View());
}

}  // namespace qv
