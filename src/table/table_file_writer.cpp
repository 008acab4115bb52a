#include "table/table_file_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <queue>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files.h"
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
// Tables with more stored columns than this (a hand-made file can hold millions) are written
// cell by cell, so that the gathered handles never outgrow the file written.
constexpr int32_t kMaxGatheredColumns = 4096;
// Rows written cell by cell go at least this many at a time.
constexpr int32_t kMinimumBlockRows = 64;
// Rows below every text are written this many cells at a time.
constexpr int32_t kEmptyCellsPerStep = 1 << 24;

constexpr std::string_view kLineEnd = "\r\n";

// The lines before the widths, which are written one by one (a table may have millions).
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
    return out.Take();
}

// Where the built bytes go, as the builder hands them over.
class PieceSink {
public:
    virtual ~PieceSink() = default;
    // The bytes of `buffer` from `from` to its end are built; the sink may empty the buffer.
    virtual void Built(ByteBuffer& buffer, std::size_t from) = 0;
    // Bytes that stay where they are as long as the grid's loaded buffers, or for good.
    virtual void Kept(std::string_view bytes) = 0;
    // Bytes that stay where they are during this call only (a long text of the grid's); the
    // sink may append them to `buffer`.
    virtual void Passing(ByteBuffer& buffer, std::string_view bytes) = 0;
};

// Runs at least this long are handed over from where they lie rather than copied.
constexpr std::size_t kRunLeftInPlace = std::size_t{1} << 16;
// The buffer grows by at least this much at a time, and what is built is handed over once this
// much has gathered, so that a sink that writes at once holds about twice this at most.
constexpr std::size_t kRoomStep = std::size_t{1} << 20;

// CR LF pairs, for the lines of empty cells: a table padded by an import can hold billions of
// them, which are handed over as whole stretches of this block rather than line by line.
constexpr std::size_t kEmptyLinesInBlock = std::size_t{1} << 16;
std::string_view EmptyLines(std::size_t count) {
    static const std::string block = [] {
        std::string lines;
        lines.reserve(kEmptyLinesInBlock * kLineEnd.size());
        for (std::size_t i = 0; i < kEmptyLinesInBlock; ++i) {
            lines += kLineEnd;
        }
        return lines;
    }();
    return std::string_view(block).substr(0, count * kLineEnd.size());
}

// Writes cell lines into the buffer, handing what is built to the sink as it grows. Texts still
// in a loaded file's buffer with their CR LF after them there are not copied one by one:
// consecutive lines that lie one after the other in that buffer (a table saved as it was
// loaded) are taken as one run, found by comparing addresses only, and copied (or handed over
// where they lie, when long) as a whole.
class LineCopier {
public:
    LineCopier(ByteBuffer& buffer, PieceSink& sink) : buffer_(buffer), sink_(sink) {}

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
        if (text.size() >= kRunLeftInPlace) {
            HandOver(text, Lasting::ThisCall);
        } else {
            Copy(text);
        }
        Copy(kLineEnd);
    }

    void Number(int64_t value) {
        Flush();
        char* room = Room(kLongestNumber);
        out_ = std::to_chars(room, room + kLongestNumber, value).ptr;
        Copy(kLineEnd);
    }

    // The lines of `count` empty cells.
    void EmptyCells(uint64_t count) {
        if (count == 0) {
            return;  // a run of loaded lines may go on
        }
        Flush();
        for (; count >= kEmptyLinesInBlock; count -= kEmptyLinesInBlock) {
            HandOver(EmptyLines(kEmptyLinesInBlock), Lasting::Kept);
        }
        Copy(EmptyLines(count));
    }

    // Lines lying together in a loaded file's buffer, their line ends included.
    void Lines(std::string_view lines) {
        if (lines.data() != runEnd_) {
            Flush();
            runBegin_ = lines.data();
        }
        runEnd_ = lines.data() + lines.size();
    }

    // Writes the run pending and hands everything over; after the last line.
    void Finish() {
        Flush();
        HandOverBuilt();
    }

private:
    static constexpr std::size_t kLongestNumber = 24;

    // Copies (or hands over) the run pending.
    void Flush() {
        const auto size = static_cast<std::size_t>(runEnd_ - runBegin_);
        if (size == 0) {
            return;
        }
        if (size >= kRunLeftInPlace) {
            HandOver({runBegin_, size}, Lasting::Kept);
        } else {
            Copy({runBegin_, size});
        }
        runBegin_ = runEnd_ = nullptr;
    }

    enum class Lasting { Kept, ThisCall };
    // Hands over what is built, then `bytes` from where they lie.
    void HandOver(std::string_view bytes, Lasting lasting) {
        HandOverBuilt();
        if (lasting == Lasting::Kept) {
            sink_.Kept(bytes);
        } else {
            sink_.Passing(buffer_, bytes);
        }
        builtFrom_ = buffer_.Size();  // a sink may have copied the bytes into the buffer
    }

    void HandOverBuilt() {
        Commit();
        if (buffer_.Size() > builtFrom_) {
            sink_.Built(buffer_, builtFrom_);
        }
        builtFrom_ = buffer_.Size();
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
            if (buffer_.Size() - builtFrom_ >= kRoomStep) {
                HandOverBuilt();
            }
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
    PieceSink& sink_;
    std::size_t builtFrom_ = 0;  // where the bytes not yet handed over begin
    char* out_ = nullptr;
    char* start_ = nullptr;
    char* limit_ = nullptr;
    const char* runBegin_ = nullptr;
    const char* runEnd_ = nullptr;
};

// The rows of a table with more stored columns than are gathered at once, written row by row.
// Each stored column is followed a chunk at a time, and a row looks only at the columns whose
// chunk there holds texts, so that a long run of empty cells (an import's padding) costs a step
// per column, not one per cell.
class SparseRows {
public:
    SparseRows(const TableGrid& grid, const std::vector<int32_t>& cols)
        : grid_(grid), cols_(cols), cursors_(cols.size()) {
        // Made at once rather than pushed one by one: a table may have millions of columns.
        std::vector<End> ends;
        ends.reserve(cols.size());
        for (uint32_t k = 0; k < cols.size(); ++k) {
            ends.push_back(EndOf(k, Follow(k, 0)));
        }
        ends_ = EndQueue(std::greater<>(), std::move(ends));
        FindActive();
    }

    // Writes the row's lines; rows come in order from 0.
    void Write(LineCopier& out, int32_t row, int32_t dataCols) {
        FollowChunks(row);
        int32_t col = 1;
        for (const uint32_t k : active_) {
            const Cursor& cursor = cursors_[k];
            out.EmptyCells(static_cast<uint64_t>(cols_[k] - col));
            if (cursor.texts.Stored()) {
                out.Line(cursor.texts.At(row - cursor.begin));
            } else {
                out.Text(grid_.Cell(cols_[k], row));
            }
            col = cols_[k] + 1;
        }
        out.EmptyCells(static_cast<uint64_t>(dataCols + 1 - col));
    }

private:
    // The chunk of a column that holds `row`: its stored texts; none for a run of empty cells,
    // or for one of row labels, whose texts are looked up (`lookUp`).
    struct Cursor {
        CellColumn::Segment texts;
        int32_t begin = 0;
        bool lookUp = false;
        bool Active() const { return texts.Stored() || lookUp; }
    };

    // Moves the cursors whose chunk ended to the chunk holding `row`.
    void FollowChunks(int32_t row) {
        bool changed = false;
        while (!ends_.empty() && ends_.top() >> 32 <= static_cast<uint64_t>(row)) {
            const auto k = static_cast<uint32_t>(ends_.top());
            ends_.pop();
            const bool wasActive = cursors_[k].Active();
            ends_.push(EndOf(k, Follow(k, row)));
            changed = changed || cursors_[k].Active() != wasActive;
        }
        if (changed) {
            FindActive();
        }
    }

    // Puts cursor k on the chunk holding `row`; returns where that chunk ends.
    int32_t Follow(uint32_t k, int32_t row) {
        const CellColumn::Segment segment = grid_.ColumnSegment(cols_[k], row, kGridCountLimit);
        Cursor& cursor = cursors_[k];
        cursor.begin = row;
        cursor.texts = segment;
        // A run of labels is told from a run of empty cells by its text, never empty.
        cursor.lookUp = !segment.Stored() && !grid_.Cell(cols_[k], row).empty();
        return row + segment.rows;
    }

    void FindActive() {
        active_.clear();
        for (uint32_t k = 0; k < cursors_.size(); ++k) {
            if (cursors_[k].Active()) {
                active_.push_back(k);
            }
        }
    }

    // Where a cursor's chunk ends (the high half), and the cursor (the low half).
    using End = uint64_t;
    using EndQueue = std::priority_queue<End, std::vector<End>, std::greater<>>;
    static End EndOf(uint32_t k, int32_t end) { return static_cast<uint64_t>(end) << 32 | k; }

    const TableGrid& grid_;
    const std::vector<int32_t>& cols_;
    std::vector<Cursor> cursors_;
    std::vector<uint32_t> active_;  // the cursors with texts in the row, by column
    EndQueue ends_;                 // the nearest end first
};

// The whole file, built a stretch of rows at a time: the header at once, then the cell lines of
// rows in blocks, handed to the sink as they are built. Only the columns that were ever written
// are looked at; the others, and the rows below every text, are written as runs of empty lines.
class FileBuilder {
public:
    FileBuilder(const TableGrid& grid, const std::string& title, const WindowGeometry& window,
                FileProgress progress, PieceSink& sink)
        : grid_(grid),
          progress_(std::move(progress)),
          steps_(progress_, static_cast<uint64_t>(grid.RowCount()), 1),
          rowCount_(grid.RowCount()),
          dataCols_(grid.ColCount() - 1),
          out_(buffer_, sink) {
        buffer_.Append(Header(grid, title, window));
        for (int32_t col = 1; col < grid.ColCount(); ++col) {
            out_.Number(grid.ColWidth(col));
        }
        out_.Text(kTableFileSeparator);
        if (dataCols_ <= 0) {
            row_ = rowCount_;  // column 0 only: no cells are stored
            return;
        }
        storedCols_ = grid.StoredColumnNumbers(1, grid.ColCount());
        storedRowEnd_ = std::min(rowCount_, grid.StoredRowEnd(1, grid.ColCount()));
        const auto stored = static_cast<int32_t>(storedCols_.size());
        if (stored <= kMaxGatheredColumns) {
            rowsPerBlock_ = std::max(1, kCellsPerBlock / std::max(1, stored));
            block_.resize(storedCols_.size() * static_cast<std::size_t>(rowsPerBlock_));
        }
    }

    // Builds the rows up to `rowLimit` (or a little further, to the end of a block or a run of
    // loaded lines); returns true once every row is built.
    bool BuildUpTo(int32_t rowLimit) {
        while (row_ < rowCount_ && row_ < rowLimit) {
            if (row_ >= storedRowEnd_) {
                WriteEmptyRows();
            } else if (rowsPerBlock_ == 0) {
                WriteSparseRow();
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
        return std::move(buffer_);
    }

private:
    // Rows below every stored text, a few million cells at a time.
    void WriteEmptyRows() {
        const int32_t rows =
            std::min(rowCount_ - row_, std::max(1, kEmptyCellsPerStep / dataCols_));
        out_.EmptyCells(static_cast<uint64_t>(rows) * static_cast<uint64_t>(dataCols_));
        row_ += rows;
    }

    // Tables with more stored columns than kMaxGatheredColumns: one row at a time.
    void WriteSparseRow() {
        if (!sparseRows_) {
            sparseRows_.emplace(grid_, storedCols_);
        }
        sparseRows_->Write(out_, row_, dataCols_);
        ++row_;
    }

    void WriteNextBlock() {
        int32_t rowEnd = std::min(storedRowEnd_, row_ + rowsPerBlock_);
        if (dataCols_ <= kMaxGatheredColumns) {
            const LoadedStretch stretch = FindLoadedStretch(grid_, row_, rowCount_, segments_);
            if (stretch.lines) {
                out_.Lines(*stretch.lines);
                row_ += stretch.rows;
                return;
            }
            // Cell by cell up to where the chunks change, so that loaded rows after them are
            // found again, but in blocks of a useful size where chunks are short.
            rowEnd = std::min(rowEnd, std::max(row_ + stretch.rows, row_ + kMinimumBlockRows));
        }
        WriteBlock(rowEnd);
        row_ = rowEnd;
    }

    // Rows [row_, rowEnd): the handles of the stored columns are gathered column by column,
    // then their lines are written row by row, with the empty lines of the other columns.
    void WriteBlock(int32_t rowEnd) {
        const std::size_t stored = storedCols_.size();
        // Row-major within the block: cell (k, j) goes to j * stored + k.
        for (std::size_t k = 0; k < stored; ++k) {
            CellHandle* slot = block_.data() + k;
            grid_.VisitColumnHandles(storedCols_[k], row_, rowEnd, [&slot, stored](CellHandle h) {
                *slot = h;
                slot += stored;
            });
        }
        const std::size_t cells = static_cast<std::size_t>(rowEnd - row_) * stored;
        if (stored == static_cast<std::size_t>(dataCols_)) {
            for (std::size_t i = 0; i < cells; ++i) {
                out_.Line(block_[i]);
            }
            return;
        }
        for (std::size_t i = 0; i < cells; i += stored) {
            int32_t col = 1;
            for (std::size_t k = 0; k < stored; ++k) {
                out_.EmptyCells(static_cast<uint64_t>(storedCols_[k] - col));
                out_.Line(block_[i + k]);
                col = storedCols_[k] + 1;
            }
            out_.EmptyCells(static_cast<uint64_t>(dataCols_ + 1 - col));
        }
    }

    const TableGrid& grid_;
    FileProgress progress_;
    ProgressSteps steps_;
    const int32_t rowCount_;
    const int32_t dataCols_;
    int32_t row_ = 0;
    int32_t storedRowEnd_ = 0;
    std::vector<int32_t> storedCols_;
    int32_t rowsPerBlock_ = 0;  // 0: too many stored columns to gather
    std::vector<CellHandle> block_;
    std::vector<CellColumn::Segment> segments_;
    std::optional<SparseRows> sparseRows_;
    ByteBuffer buffer_;
    LineCopier out_;
};

// Hands the bytes to a function as they come: what is built is then dropped, so that no more
// than a megabyte or two is ever held.
class WritingSink : public PieceSink {
public:
    explicit WritingSink(const std::function<void(std::string_view)>& write) : write_(write) {}
    void Built(ByteBuffer& buffer, std::size_t from) override {
        write_(buffer.View().substr(from));
        buffer.Clear();
    }
    void Kept(std::string_view bytes) override { write_(bytes); }
    void Passing(ByteBuffer& /*buffer*/, std::string_view bytes) override { write_(bytes); }

private:
    const std::function<void(std::string_view)>& write_;
};

// A stretch of the file: `size` bytes at `text` where they lie, or, when `text` is null, at
// `offset` in the bytes built.
struct Stretch {
    const char* text = nullptr;
    std::size_t offset = 0;
    std::size_t size = 0;
};

// Lists the file's stretches, to be written later: what is built stays in the buffer, and
// texts that are only passing are copied there.
class ListingSink : public PieceSink {
public:
    void Built(ByteBuffer& buffer, std::size_t from) override {
        if (!stretches.empty() && stretches.back().text == nullptr &&
            stretches.back().offset + stretches.back().size == from) {
            stretches.back().size += buffer.Size() - from;
        } else {
            stretches.push_back({nullptr, from, buffer.Size() - from});
        }
    }
    void Kept(std::string_view bytes) override {
        stretches.push_back({bytes.data(), 0, bytes.size()});
    }
    void Passing(ByteBuffer& buffer, std::string_view bytes) override {
        const std::size_t from = buffer.Size();
        buffer.Append(bytes);
        Built(buffer, from);
    }

    std::vector<Stretch> stretches;
};

TableFilePieces PiecesOf(ByteBuffer built, const std::vector<Stretch>& stretches,
                         const TableGrid& grid) {
    TableFilePieces file;
    file.built = std::move(built);
    file.loaded = grid.Loaded().Shared();
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

void StreamTableFile(const TableGrid& grid, const std::string& title, const WindowGeometry& window,
                     const std::function<void(std::string_view)>& write,
                     const FileProgress& progress) {
    WritingSink sink(write);
    FileBuilder builder(grid, title, window, progress, sink);
    builder.BuildUpTo(grid.RowCount());
    builder.Finish();
}

void SaveTableFile(const std::string& path, const TableGrid& grid, const std::string& title,
                   const WindowGeometry& window, const FileProgress& progress) {
    AtomicFileWriter file(path);
    StreamTableFile(
        grid, title, window, [&file](std::string_view piece) { file.Write(piece); }, progress);
    file.Commit();
}

ByteBuffer BuildTableFileBytes(const TableGrid& grid, const std::string& title,
                               const WindowGeometry& window, const FileProgress& progress) {
    ByteBuffer file;
    StreamTableFile(
        grid, title, window, [&file](std::string_view piece) { file.Append(piece); }, progress);
    return file;
}

struct TableFilePiecesBuilder::State {
    State(const TableGrid& table, const std::string& title, const WindowGeometry& window,
          const FileProgress& progress)
        : grid(table), builder(table, title, window, progress, sink) {}

    TableFilePieces Take() { return PiecesOf(builder.Finish(), sink.stretches, grid); }

    const TableGrid& grid;
    ListingSink sink;
    FileBuilder builder;
};

TableFilePieces BuildTableFilePieces(const TableGrid& grid, const std::string& title,
                                     const WindowGeometry& window, const FileProgress& progress) {
    TableFilePiecesBuilder::State state(grid, title, window, progress);
    state.builder.BuildUpTo(grid.RowCount());
    return state.Take();
}

TableFilePiecesBuilder::TableFilePiecesBuilder(const TableGrid& grid, const std::string& title,
                                               const WindowGeometry& window)
    : state_(std::make_unique<State>(grid, title, window, FileProgress{})) {}

TableFilePiecesBuilder::~TableFilePiecesBuilder() = default;

bool TableFilePiecesBuilder::Step(int32_t rows) {
    return state_->builder.BuildUpTo(state_->builder.Row() + std::max(rows, 1));
}

TableFilePieces TableFilePiecesBuilder::Take() {
    return state_->Take();
}

std::string BuildTableFile(const TableGrid& grid, const std::string& title,
                           const WindowGeometry& window) {
    return std::string(BuildTableFileBytes(grid, title, window).View());
}

}  // namespace qv
