#include "table/table_file_reader.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/failure.h"
#include "platform/file_system_messages.h"
#include "platform/files.h"
#include "platform/large_buffers.h"
#include "platform/line_reader.h"
#include "platform/text.h"
#include "table/table_file_format.h"

namespace qv {

namespace {

// A big file is read in steps of this size, so that its progress can be shown and the read
// stopped; parsing reports its progress at least this many bytes apart.
constexpr std::size_t kReadStep = std::size_t{8} << 20;
constexpr uint64_t kMinimumProgressStep = uint64_t{1} << 20;

// The whole file as it was when opened, read in steps that report their progress (the bytes
// read of that size) and may be cancelled. One byte more than the file is reserved for the CR
// that PrepareText may append, so that appending never moves the buffer.
std::string ReadWholeFileInSteps(RegularFile& file, ProgressSteps& steps) {
    const std::size_t expected = file.Size();
    std::string bytes = LargeZeroedString(expected + 1);
    std::size_t used = 0;
    while (used < expected) {
        const std::size_t got =
            file.Read(bytes.data() + used, std::min(expected - used, kReadStep));
        if (got == 0) {
            break;  // cut short while it was read
        }
        used += got;
        steps.ReachOrCancel(used);
    }
    bytes.resize(used);
    return bytes;
}

// The file's bytes prepared so that every line the reader hands out is followed by a CR in
// the buffer, which lets the grid keep the cell texts in place: the first end-of-file byte is
// overwritten with CR, and a CR is appended when the last line has no end of its own.
struct PreparedText {
    std::shared_ptr<const std::string> buffer;
    std::string_view text;  // the part before the end of the file
};

PreparedText PrepareText(std::string bytes) {
    std::size_t end = std::string_view(bytes).find(kEndOfFileByte);
    if (end != std::string_view::npos) {
        bytes[end] = '\r';
    } else if (!bytes.empty() && bytes.back() != '\r' &&
               !(bytes.back() == '\n' && bytes.size() >= 2 && bytes[bytes.size() - 2] == '\r')) {
        // Only then: appending to a buffer read to its exact size doubles its capacity.
        bytes.push_back('\r');
    }
    end = std::min(end, bytes.size());
    auto buffer = std::make_shared<const std::string>(std::move(bytes));
    return {buffer, std::string_view(buffer->data(), end)};
}

// A count as the grid will hold it once set.
int32_t ReadCount(LineReader& lines) {
    int32_t count = StrToInt(lines.Next());
    if (count >= kGridCountLimit) {
        throw Failure(kGridTooLargeMessage);
    }
    return count <= 0 ? 1 : count;
}

void ReadHeader(LineReader& lines, TableFileContent& content) {
    lines.Next();  // the format version, not checked
    content.window.left = StrToInt(lines.Next());
    content.window.top = StrToInt(lines.Next());
    content.window.width = StrToInt(lines.Next());
    content.window.height = StrToInt(lines.Next());
    lines.Next();  // separator
    content.title = std::string(lines.Next());
    content.colCount = ReadCount(lines);
    content.rowCount = ReadCount(lines);
    // Costs nothing until read: a file may claim a huge count and end after a few lines.
    content.widths = SizeList(0, content.colCount - 1);
    for (int32_t col = 1; col < content.colCount; ++col) {
        content.widths.Set(col - 1, StrToInt(lines.Next()));
    }
    lines.Next();  // separator
}

// Appends the cells row by row until the table is full or the file has ended; the grid fills
// the rest with the empty text. Progress is the offset in the file, after `offset` units.
void ReadCells(LineReader& lines, TableFileContent& content,
               std::shared_ptr<const std::string> buffer, ProgressSteps& steps, uint64_t offset) {
    const int32_t dataCols = content.colCount - 1;
    if (dataCols == 0) {
        return;  // no cells: the grid need not keep the file's buffer
    }
    const std::size_t bytesLeft = buffer->size() - lines.Position();
    content.cells = BulkCells(std::move(buffer), dataCols, BulkCells::Texts::EveryLine);
    // The first row's lines are counted ahead: a wide table's columns then take no room unused.
    LineReader ahead = lines;
    int32_t firstRowLines = 0;
    for (; firstRowLines < dataCols && content.rowCount > 0 && !ahead.AtEnd(); ++firstRowLines) {
        ahead.Next();
    }
    // Every cell a line, which takes at least its CR LF.
    const uint64_t cells =
        uint64_t{static_cast<uint32_t>(content.rowCount)} * static_cast<uint32_t>(dataCols);
    content.cells.ReserveColumns(firstRowLines, std::min<uint64_t>(cells, bytesLeft / 2));
    // A file as the program writes it, every cell a line of its own, is placed all at once.
    const uint64_t start = offset + lines.Position();
    const std::string_view rest = lines.Rest();
    if (content.cells.AppendLineRows(0, content.rowCount, rest, [&](std::size_t bytes) {
            steps.ReachOrCancel(start + bytes);
        })) {
        steps.ReachOrCancel(start + rest.size());
        return;
    }
    for (int32_t row = 0; row < content.rowCount && !lines.AtEnd(); ++row) {
        for (int32_t col = 0; col < dataCols && !lines.AtEnd(); ++col) {
            content.cells.Append(col, lines.Next());
        }
        steps.ReachOrCancel(offset + lines.Position());
    }
}

std::optional<TableFileContent> Parse(std::string bytes, ProgressSteps& steps, uint64_t offset) {
    PreparedText prepared = PrepareText(std::move(bytes));
    LineReader lines(prepared.text);
    if (lines.Next() != kTableFileMark) {
        return std::nullopt;
    }
    TableFileContent content;
    ReadHeader(lines, content);
    ReadCells(lines, content, std::move(prepared.buffer), steps, offset);
    return content;
}

}  // namespace

std::optional<TableFileContent> ReadTableFile(const std::string& path,
                                              const FileProgress& progress) {
    if (!StartsWithTableFileMark(ReadFilePrefix(path, kTableFileMarkPrefixLength))) {
        return std::nullopt;
    }
    // Progress counts the bytes read, then the bytes parsed, of the size the file has now.
    RegularFile file(path);
    ProgressSteps steps(progress, 2 * static_cast<uint64_t>(file.Size()), kMinimumProgressStep);
    // The file may have changed since its first bytes were looked at: the mark is checked again.
    std::string bytes = ReadWholeFileInSteps(file, steps);
    const uint64_t bytesRead = bytes.size();
    return Parse(std::move(bytes), steps, bytesRead);
}

std::optional<TableFileContent> ParseTableFile(std::string bytes) {
    const FileProgress none;
    ProgressSteps steps(none, 0, 1);
    return Parse(std::move(bytes), steps, 0);
}

void ApplyTableFile(TableFileContent&& content, TableGrid& grid, std::string& title) {
    title.clear();
    grid.ClearCells(0, grid.RowCount(), 1, grid.ColCount());
    grid.SetColCount(content.colCount);
    grid.SetRowCount(content.rowCount);
    // The cells first: the grid takes a wide table's columns from the reader as they are, and
    // the reader's working room is gone before the widths take room of their own.
    grid.ReplaceCells(1, 0, content.rowCount, std::move(content.cells));
    for (int32_t col = 1; col < content.colCount; ++col) {
        grid.SetColWidth(col, content.widths.Get(col - 1));
    }
    title = std::move(content.title);
}

}  // namespace qv
