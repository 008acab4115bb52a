#include "interchange/delimited_export.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <optional>
#include <thread>

#include "interchange/delimited_blocks.h"
#include "platform/files.h"
#include "platform/task_threads.h"
#include "table/loaded_lines.h"

namespace qv {

namespace {

// Rows are read a block at a time, column by column, which is how the grid stores them; blocks
// are formatted on other threads while the next are read. About a megabyte of text a block.
constexpr std::size_t kBlockCells = std::size_t{1} << 17;

// Gathered blocks stop where the chunks change, so that rows still as loaded after them are found
// again, but hold at least this many rows.
constexpr int32_t kMinimumGatheredRows = 64;

// Reads the range's blocks on the calling thread (the grid is not to be read from two threads),
// has them formatted on others and hands their texts to `write` in order.
class RangeWriter {
public:
    RangeWriter(const TableGrid& grid, CellRange range, char delimiter, TextEncoding encoding,
                const std::function<void(std::string_view)>& write,
                const std::function<void(int32_t)>& progress, FieldQuoting quoting)
        : grid_(grid),
          range_(range),
          formatter_(range, delimiter, encoding, quoting),
          encoding_(encoding),
          write_(write),
          progress_(progress),
          // A loaded file's lines hold whole rows, so they serve only a range of whole rows.
          wholeLoadedRows_(range.colBegin == 1 && range.colEnd == grid.ColCount() &&
                           grid.Loaded().Count() > 0) {}

    DelimitedWriteReport Run() {
        if (encoding_ == TextEncoding::Utf8WithBom) {
            write_(kUtf8Bom);
        }
        if (range_.colBegin >= range_.colEnd) {
            return std::move(report_);
        }
        const auto columns = static_cast<std::size_t>(range_.colEnd - range_.colBegin);
        blockRows_ = static_cast<int32_t>(std::max<std::size_t>(1, kBlockCells / columns));
        const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
        // Threads are started only for a range of more than one block.
        const bool parallel = range_.rowEnd - range_.rowBegin > blockRows_;
        std::optional<TaskThreads> formatters;
        if (parallel) {
            formatters.emplace(threads);
        }
        std::deque<std::future<FormattedBlock>> pending;
        for (int32_t row = range_.rowBegin; row < range_.rowEnd;) {
            DelimitedBlock block = NextBlock(row);
            row += block.rows;
            if (!parallel) {
                Emit(formatter_.Format(std::move(block)));
                continue;
            }
            pending.push_back(formatters->Submit([this, given = std::move(block)]() mutable {
                return formatter_.Format(std::move(given));
            }));
            // One block waiting for each thread besides those under way.
            if (pending.size() > 2 * threads) {
                Emit(pending.front().get());
                pending.pop_front();
            }
        }
        for (; !pending.empty(); pending.pop_front()) {
            Emit(pending.front().get());
        }
        return std::move(report_);
    }

private:
    // The block from `row`, in the memory of a block already written when there is one: lines
    // still as loaded (stretches that follow each other in the buffer, up to about a block's
    // rows), or cells gathered from the grid.
    DelimitedBlock NextBlock(int32_t row) {
        DelimitedBlock block = TakeSpareBlock();
        block.rowBegin = row;
        block.rows = std::min(blockRows_, range_.rowEnd - row);
        block.lines = {};
        if (wholeLoadedRows_) {
            const LoadedStretch first = FindLoadedStretch(grid_, row, range_.rowEnd, segments_);
            if (first.lines) {
                block.rows = first.rows;
                block.lines = *first.lines;
                while (block.rows < blockRows_ && row + block.rows < range_.rowEnd) {
                    const LoadedStretch next =
                        FindLoadedStretch(grid_, row + block.rows, range_.rowEnd, segments_);
                    if (!next.lines ||
                        next.lines->data() != block.lines.data() + block.lines.size()) {
                        break;
                    }
                    block.lines = {block.lines.data(), block.lines.size() + next.lines->size()};
                    block.rows += next.rows;
                }
                return block;
            }
            block.rows = std::min(block.rows, std::max(first.rows, kMinimumGatheredRows));
        }
        Gather(block);
        return block;
    }

    DelimitedBlock TakeSpareBlock() {
        if (spare_.empty()) {
            return {};
        }
        DelimitedBlock block = std::move(spare_.back());
        spare_.pop_back();
        return block;
    }

    // The block's cells row by row, read column by column as the grid stores them.
    void Gather(DelimitedBlock& block) const {
        const auto columns = static_cast<std::size_t>(range_.colEnd - range_.colBegin);
        block.handles.resize(static_cast<std::size_t>(block.rows) * columns);
        for (std::size_t k = 0; k < columns; ++k) {
            std::size_t at = k;
            grid_.VisitColumnHandles(range_.colBegin + static_cast<int32_t>(k), block.rowBegin,
                                     block.rowBegin + block.rows, [&](CellHandle h) {
                                         block.handles[at] = h;
                                         at += columns;
                                     });
        }
    }

    void Emit(FormattedBlock formatted) {
        write_(std::string_view(formatted.block.text.data.get(), formatted.size));
        for (const GridCell& cell : formatted.report.invalidCells) {
            if (report_.invalidCells.size() < kUnencodableListed) {
                report_.invalidCells.push_back(cell);
            }
        }
        report_.invalidCount += formatted.report.invalidCount;
        const int32_t rowsWritten =
            formatted.block.rowBegin + formatted.block.rows - range_.rowBegin;
        spare_.push_back(std::move(formatted.block));
        if (progress_) {
            progress_(rowsWritten);
        }
    }

    const TableGrid& grid_;
    CellRange range_;
    BlockFormatter formatter_;
    TextEncoding encoding_;
    const std::function<void(std::string_view)>& write_;
    const std::function<void(int32_t)>& progress_;
    const bool wholeLoadedRows_;
    int32_t blockRows_ = 1;
    std::vector<CellColumn::Segment> segments_;
    DelimitedWriteReport report_;
    std::vector<DelimitedBlock> spare_;  // of blocks written
};

}  // namespace

DelimitedWriteReport WriteDelimitedCells(const TableGrid& grid, CellRange range, char delimiter,
                                         TextEncoding encoding,
                                         const std::function<void(std::string_view)>& write,
                                         const std::function<void(int32_t)>& progress,
                                         FieldQuoting quoting) {
    return RangeWriter(grid, range, delimiter, encoding, write, progress, quoting).Run();
}

DelimitedWriteReport ExportDelimitedFile(const std::string& path, const TableGrid& grid,
                                         CellRange range, char delimiter, TextEncoding encoding,
                                         const std::function<void(int32_t)>& progress) {
    AtomicFileWriter file(path);
    DelimitedWriteReport report = WriteDelimitedCells(
        grid, range, delimiter, encoding, [&file](std::string_view piece) { file.Write(piece); },
        progress, FieldQuoting::AnyDelimiter);
    file.Commit();
    return report;
}

DelimitedWriteReport ExportDelimitedRows(const std::string& path, const TableGrid& grid,
                                         std::span<const int32_t> rows, char delimiter,
                                         TextEncoding encoding) {
    AtomicFileWriter file(path);
    DelimitedWriteReport report;
    const auto write = [&](int32_t begin, int32_t end, TextEncoding runEncoding) {
        const DelimitedWriteReport run = WriteDelimitedCells(
            grid, {1, grid.ColCount(), begin, end}, delimiter, runEncoding,
            [&file](std::string_view piece) { file.Write(piece); }, {}, FieldQuoting::AnyDelimiter);
        report.invalidCount += run.invalidCount;
        report.invalidCells.insert(report.invalidCells.end(), run.invalidCells.begin(),
                                   run.invalidCells.end());
    };
    write(0, 1, encoding);  // the item names, after the BOM when there is one
    // Each run of consecutive rows is one write; only the first may carry the BOM.
    const TextEncoding rest = encoding == TextEncoding::Utf8WithBom ? TextEncoding::Utf8 : encoding;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i + 1;
        while (j < rows.size() && rows[j] == rows[j - 1] + 1) {
            ++j;
        }
        write(rows[i], rows[j - 1] + 1, rest);
        i = j;
    }
    if (report.invalidCells.size() > kUnencodableListed) {
        report.invalidCells.resize(kUnencodableListed);
    }
    file.Commit();
    return report;
}

}  // namespace qv
