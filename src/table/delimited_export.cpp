#include "table/delimited_export.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <future>
#include <memory>
#include <optional>
#include <thread>

#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/task_threads.h"
#include "table/delimited_text.h"

namespace qv {

namespace {

// Rows are read a block at a time, column by column, which is how the grid stores them; blocks
// are formatted on other threads while the next are read. About a megabyte of text a block.
constexpr std::size_t kBlockCells = std::size_t{1} << 17;

// A buffer that grows without being zero-filled; blocks hand theirs on to later blocks, so that
// the memory is touched once rather than faulted in anew for every block.
struct TextBuffer {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;

    // Makes room for `bytes` more at `out` (nullptr: at the start), in a new buffer when
    // needed; returns where `out` now is.
    char* Grow(char* out, std::size_t bytes) {
        const auto used = out == nullptr ? 0 : static_cast<std::size_t>(out - data.get());
        if (capacity - used >= bytes) {
            return data.get() + used;
        }
        const std::size_t grown = 2 * (used + bytes);
        std::unique_ptr<char[]> larger(new char[grown]);
        if (used > 0) {
            std::memcpy(larger.get(), data.get(), used);
        }
        data = std::move(larger);
        capacity = grown;
        return data.get() + used;
    }
    char* Limit() const { return data.get() + capacity; }
};

// The memory a block is made in: its cells' handles and its text. Blocks hand theirs on to
// later blocks.
struct BlockMemory {
    std::vector<CellHandle> handles;
    TextBuffer text;
};

// A block of rows as text, with what it could not write as it was.
struct FormattedBlock {
    BlockMemory memory;
    std::size_t size = 0;
    int32_t rowEnd = 0;
    DelimitedWriteReport report;
};

// Formats blocks of cells given as handles, each cell written once, straight into the block's
// buffer in the encoding wanted: quoted in CP932 when it needs quotes (the grammar's bytes are
// ASCII in both encodings), converted to UTF-8 as it is copied. Touches no grid, so blocks may
// be formatted on any thread; the buffer is never zero-filled.
class BlockFormatter {
public:
    BlockFormatter(CellRange range, char delimiter, TextEncoding encoding)
        : range_(range), delimiter_(delimiter), encoding_(encoding) {
        for (const char c : {'"', '\r', '\n', delimiter}) {
            kind_[static_cast<unsigned char>(c)] |= kNeedsQuotes;
        }
        quoted_ = {'"', '\r', '\n', static_cast<unsigned char>(delimiter)};
        for (std::size_t byte = 0x80; byte < kind_.size(); ++byte) {
            kind_[byte] |= kNotAscii;
        }
    }

    // `memory.handles` holds the cells of rows rowBegin.. row by row; the text goes to
    // `memory.text`, used again when it is large enough.
    FormattedBlock Format(BlockMemory memory, int32_t rowBegin) const {
        FormattedBlock block;
        block.memory = std::move(memory);
        const std::vector<CellHandle>& handles = block.memory.handles;
        const auto columns = static_cast<std::size_t>(range_.colEnd - range_.colBegin);
        const std::size_t rows = handles.size() / columns;
        block.rowEnd = rowBegin + static_cast<int32_t>(rows);
        // Room for the worst case of a field (quoted, every quote doubled, in UTF-8 three
        // bytes for a CP932 byte but one for a quote) and what follows it.
        const std::size_t perByte = encoding_ == TextEncoding::Cp932 ? 2 : 4;
        constexpr std::size_t kAround = 2 + kGetaMarkUtf8.size() + kDelimitedRecordEnd.size();
        TextBuffer& output = block.memory.text;
        char* out = output.Grow(nullptr, 8 * handles.size() + kAround);
        char* limit = output.Limit();
        const CellHandle* cell = handles.data();
        for (std::size_t r = 0; r < rows; ++r) {
            for (std::size_t k = 0; k < columns; ++k, ++cell) {
                const std::string_view text = cell_handle::Text(*cell);
                if (static_cast<std::size_t>(limit - out) < perByte * text.size() + kAround) {
                    out = output.Grow(out, perByte * text.size() + kAround);
                    limit = output.Limit();
                }
                out = WriteField(
                    out, text,
                    {range_.colBegin + static_cast<int32_t>(k), rowBegin + static_cast<int32_t>(r)},
                    block.report);
                // Every field is followed by the delimiter; the record's last by its end.
                *out++ = delimiter_;
            }
            std::memcpy(out - 1, kDelimitedRecordEnd.data(), kDelimitedRecordEnd.size());
            out += kDelimitedRecordEnd.size() - 1;
        }
        block.size = static_cast<std::size_t>(out - output.data.get());
        return block;
    }

private:
    // What a field's bytes hold, as bits of kind_: bytes that call for quotes, bytes that are
    // not ASCII.
    static constexpr uint8_t kNeedsQuotes = 1;
    static constexpr uint8_t kNotAscii = 2;

    // Writes a field. Most are copied a word at a time while their bytes are looked at (short
    // texts, where a call of memcpy costs more than the copy); only a field that needs quotes,
    // or one that is not ASCII and goes out in UTF-8, is written again.
    char* WriteField(char* out, std::string_view text, GridCell cell,
                     DelimitedWriteReport& report) const {
        const uint8_t kind = CopyAndClassify(out, text);
        const bool keptAsItIs = (kind & kNotAscii) == 0 || encoding_ == TextEncoding::Cp932;
        if ((kind & kNeedsQuotes) == 0 && keptAsItIs) {
            return out + text.size();
        }
        char* end = keptAsItIs                   ? Quoted(out, text)
                    : (kind & kNeedsQuotes) != 0 ? QuotedUtf8(out, text)
                                                 : TryCp932ToUtf8Into(text, out);
        if (end != nullptr) {
            return end;
        }
        // A cell whose bytes are not valid CP932: reported, and written as "〓".
        NoteInvalid(cell, report);
        std::memcpy(out, kGetaMarkUtf8.data(), kGetaMarkUtf8.size());
        return out + kGetaMarkUtf8.size();
    }

    // Copies the text to `out` and says what its bytes hold: eight bytes at a time (the last
    // word, or two half words for a short text, overlapping what went before), the bytes that
    // call for quotes found by the usual test for a zero byte in the word XOR each of them.
    uint8_t CopyAndClassify(char* out, std::string_view text) const {
        const char* in = text.data();
        const std::size_t n = text.size();
        if (n >= 8) {
            uint8_t kind = 0;
            for (std::size_t i = 0; i + 8 <= n; i += 8) {
                kind |= Classify(CopyWord<uint64_t>(in + i, out + i));
            }
            if (n % 8 != 0) {
                kind |= Classify(CopyWord<uint64_t>(in + n - 8, out + n - 8));
            }
            return kind;
        }
        if (n >= 4) {
            // The two halves side by side in one word; OR-ing them would mix their bytes.
            return Classify(CopyWord<uint32_t>(in, out) |
                            CopyWord<uint32_t>(in + n - 4, out + n - 4) << 32);
        }
        uint8_t kind = 0;
        for (std::size_t i = 0; i < n; ++i) {
            out[i] = in[i];
            kind |= kind_[static_cast<unsigned char>(in[i])];
        }
        return kind;
    }

    template <class Word>
    static uint64_t CopyWord(const char* in, char* out) {
        Word word;
        std::memcpy(&word, in, sizeof word);
        std::memcpy(out, &word, sizeof word);
        return word;
    }

    // The kind of the bytes of a word whose bytes are all from the text (zero bytes are ASCII
    // and need no quotes).
    uint8_t Classify(uint64_t word) const {
        constexpr uint64_t kOnes = 0x0101010101010101;
        constexpr uint64_t kHigh = 0x8080808080808080;
        uint64_t special = 0;
        for (const uint64_t c : quoted_) {
            const uint64_t v = word ^ (c * kOnes);
            special |= (v - kOnes) & ~v & kHigh;
        }
        return static_cast<uint8_t>((special != 0 ? kNeedsQuotes : 0) |
                                    ((word & kHigh) != 0 ? kNotAscii : 0));
    }

    // The field in double quotes, its quotes doubled, its bytes as they are.
    static char* Quoted(char* out, std::string_view text) {
        *out++ = '"';
        for (;;) {
            const std::size_t quote = text.find('"');
            const std::size_t piece = std::min(quote, text.size());
            std::memcpy(out, text.data(), piece);
            out += piece;
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

    static void NoteInvalid(GridCell cell, DelimitedWriteReport& report) {
        if (report.invalidCells.size() < kUnencodableListed) {
            report.invalidCells.push_back(cell);
        }
        ++report.invalidCount;
    }

    CellRange range_;
    char delimiter_;
    TextEncoding encoding_;
    std::array<uint8_t, 256> kind_{};
    std::array<uint64_t, 4> quoted_{};  // the bytes that call for quotes
};

// Reads the range's blocks on the calling thread (the grid is not to be read from two threads),
// has them formatted on others and hands their texts to `write` in order.
class RangeWriter {
public:
    RangeWriter(const TableGrid& grid, CellRange range, char delimiter, TextEncoding encoding,
                const std::function<void(std::string_view)>& write,
                const std::function<void(int32_t)>& progress)
        : grid_(grid),
          range_(range),
          formatter_(range, delimiter, encoding),
          encoding_(encoding),
          write_(write),
          progress_(progress) {}

    DelimitedWriteReport Run() {
        if (encoding_ == TextEncoding::Utf8WithBom) {
            write_(kUtf8Bom);
        }
        if (range_.colBegin >= range_.colEnd) {
            return std::move(report_);
        }
        const auto columns = static_cast<std::size_t>(range_.colEnd - range_.colBegin);
        const auto blockRows =
            static_cast<int32_t>(std::max<std::size_t>(1, kBlockCells / columns));
        const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
        // Threads are started only for a range of more than one block.
        const bool parallel = range_.rowEnd - range_.rowBegin > blockRows;
        std::optional<TaskThreads> formatters;
        if (parallel) {
            formatters.emplace(threads);
        }
        std::deque<std::future<FormattedBlock>> pending;
        for (int32_t row = range_.rowBegin; row < range_.rowEnd;) {
            const int32_t end = row + std::min(blockRows, range_.rowEnd - row);
            BlockMemory memory = TakeSpareMemory();
            Gather(row, end, memory.handles);
            if (!parallel) {
                Emit(formatter_.Format(std::move(memory), row));
            } else {
                pending.push_back(
                    formatters->Submit([this, row, given = std::move(memory)]() mutable {
                        return formatter_.Format(std::move(given), row);
                    }));
                // One block waiting for each thread besides those under way.
                if (pending.size() > 2 * threads) {
                    Emit(pending.front().get());
                    pending.pop_front();
                }
            }
            row = end;
        }
        for (; !pending.empty(); pending.pop_front()) {
            Emit(pending.front().get());
        }
        return std::move(report_);
    }

private:
    BlockMemory TakeSpareMemory() {
        if (spare_.empty()) {
            return {};
        }
        BlockMemory memory = std::move(spare_.back());
        spare_.pop_back();
        return memory;
    }

    // The block's cells row by row, read column by column as the grid stores them.
    void Gather(int32_t rowBegin, int32_t rowEnd, std::vector<CellHandle>& handles) const {
        const auto columns = static_cast<std::size_t>(range_.colEnd - range_.colBegin);
        handles.resize(static_cast<std::size_t>(rowEnd - rowBegin) * columns);
        for (std::size_t k = 0; k < columns; ++k) {
            std::size_t at = k;
            grid_.VisitColumnHandles(range_.colBegin + static_cast<int32_t>(k), rowBegin, rowEnd,
                                     [&](CellHandle h) {
                                         handles[at] = h;
                                         at += columns;
                                     });
        }
    }

    void Emit(FormattedBlock block) {
        write_(std::string_view(block.memory.text.data.get(), block.size));
        for (const GridCell& cell : block.report.invalidCells) {
            if (report_.invalidCells.size() < kUnencodableListed) {
                report_.invalidCells.push_back(cell);
            }
        }
        report_.invalidCount += block.report.invalidCount;
        spare_.push_back(std::move(block.memory));
        if (progress_) {
            progress_(block.rowEnd - range_.rowBegin);
        }
    }

    const TableGrid& grid_;
    CellRange range_;
    BlockFormatter formatter_;
    TextEncoding encoding_;
    const std::function<void(std::string_view)>& write_;
    const std::function<void(int32_t)>& progress_;
    DelimitedWriteReport report_;
    std::vector<BlockMemory> spare_;  // of blocks written
};

}  // namespace

DelimitedWriteReport WriteDelimitedCells(const TableGrid& grid, CellRange range, char delimiter,
                                         TextEncoding encoding,
                                         const std::function<void(std::string_view)>& write,
                                         const std::function<void(int32_t)>& progress) {
    return RangeWriter(grid, range, delimiter, encoding, write, progress).Run();
}

DelimitedWriteReport ExportDelimitedFile(const std::string& path, const TableGrid& grid,
                                         CellRange range, char delimiter, TextEncoding encoding,
                                         const std::function<void(int32_t)>& progress) {
    AtomicFileWriter file(path);
    DelimitedWriteReport report = WriteDelimitedCells(
        grid, range, delimiter, encoding, [&file](std::string_view piece) { file.Write(piece); },
        progress);
    file.Commit();
    return report;
}

}  // namespace qv
