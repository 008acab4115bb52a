#include "table/table_file_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/line_writer.h"
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

void WriteCellsOneByOne(ByteBuffer& out, const TableGrid& grid, ProgressSteps& steps) {
    for (int32_t row = 0; row < grid.RowCount(); ++row) {
        for (int32_t col = 1; col < grid.ColCount(); ++col) {
            out.Append(grid.Cell(col, row));
            out.Append(kLineEnd);
        }
        steps.Reach(static_cast<uint64_t>(row) + 1);
    }
}

// The lines of rows [row, row + rows) as they lie in a loaded file's buffer, or nothing. They
// are found without visiting every cell: every column must hold these rows in one chunk read in
// file order from a table of this width, and the lines of the first and of the last row must
// follow each other in one buffer. The rows were then read together and not changed since, so
// their lines are one run of that buffer.
std::optional<std::string_view> LoadedLines(const TableGrid& grid, int32_t rows,
                                            const std::vector<CellColumn::Segment>& segments) {
    const auto dataCols = static_cast<int32_t>(segments.size());
    const char* begin = cell_handle::Text(segments[0].cells[0]).data();
    const char* end = nullptr;
    for (const int32_t at : {0, rows - 1}) {
        const char* expected = nullptr;
        for (int32_t k = 0; k < dataCols; ++k) {
            const CellHandle h = segments[static_cast<std::size_t>(k)].cells[at];
            const std::string_view text = cell_handle::Text(h);
            if (!cell_handle::FollowedByLineEnd(h) || (k > 0 && text.data() != expected)) {
                return std::nullopt;
            }
            expected = text.data() + text.size() + kLineEnd.size();
        }
        end = expected;
    }
    if (!grid.InOneLoadedBuffer(begin, end)) {
        return std::nullopt;
    }
    return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

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

void WriteCellsByBlocks(ByteBuffer& buffer, const TableGrid& grid, ProgressSteps& steps,
                        std::vector<Stretch>* stretches) {
    const int32_t rowCount = grid.RowCount();
    const int32_t dataCols = grid.ColCount() - 1;
    const int32_t rowsPerBlock = std::max(1, kCellsPerBlock / dataCols);
    std::vector<CellHandle> block(static_cast<std::size_t>(dataCols) *
                                  static_cast<std::size_t>(rowsPerBlock));
    std::vector<CellColumn::Segment> segments(static_cast<std::size_t>(dataCols));
    LineCopier out(buffer, stretches);
    for (int32_t row = 0; row < rowCount;) {
        // The rows from here that every column holds in one chunk.
        int32_t rows = rowCount - row;
        bool inFileOrder = true;
        for (int32_t k = 0; k < dataCols; ++k) {
            CellColumn::Segment& segment = segments[static_cast<std::size_t>(k)];
            segment = grid.ColumnSegment(k + 1, row, rowCount);
            rows = std::min(rows, segment.rows);
            inFileOrder = inFileOrder && segment.lineStride == dataCols;
        }
        if (inFileOrder) {
            if (std::optional<std::string_view> lines = LoadedLines(grid, rows, segments)) {
                out.Lines(*lines);
                row += rows;
                steps.Reach(static_cast<uint64_t>(row));
                continue;
            }
        }
        // Cell by cell up to where the chunks change, so that loaded rows after them are found
        // again, but in blocks of a useful size where chunks are short.
        const int32_t rowEnd =
            std::min({rowCount, row + rowsPerBlock, std::max(row + rows, row + kMinimumBlockRows)});
        WriteBlock(out, grid, row, rowEnd, block);
        row = rowEnd;
        steps.Reach(static_cast<uint64_t>(row));
    }
    out.Finish();
}

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

std::string BuildTableFile(const TableGrid& grid, const std::string& title,
                           const WindowGeometry& window) {
    return std::string(BuildTableFileBytes(grid, title, window).View());
}

}  // namespace qv
