#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "table/byte_buffer.h"
#include "table/table_file_progress.h"
#include "table/table_grid.h"
#include "table/window_geometry.h"

namespace qv {

// The bytes of the table file for the grid, the title and the main window's place and size:
// the file mark, the version, the geometry, the title, the counts, the widths of columns 1 and
// up, then the texts of rows 0 .. RowCount - 1, columns 1 .. ColCount - 1, row by row; every
// line ends with CR LF. Texts are written byte for byte: a CR inside one splits it on reading.
// `progress`, when given, hears of every block of rows written (rows done of RowCount); its
// answer is ignored. Raises std::bad_alloc when the file would not fit in memory.
ByteBuffer BuildTableFileBytes(const TableGrid& grid, const std::string& title,
                               const WindowGeometry& window, const FileProgress& progress = {});

// The same bytes handed to `write` a piece at a time as they are built, each valid during its
// call only: about two megabytes are held besides the grid, whatever the file's size (the lines
// of never-written cells are handed over as whole blocks, not built).
void StreamTableFile(const TableGrid& grid, const std::string& title, const WindowGeometry& window,
                     const std::function<void(std::string_view)>& write,
                     const FileProgress& progress = {});

// The table file put at `path` as it is built, replacing any file there atomically (see
// AtomicFileWriter); raises Failure as that does. The two kinds of file that AtomicFileWriter
// rewrites in place (other hard links, a folder that takes no new file) are held whole until
// they are written.
void SaveTableFile(const std::string& path, const TableGrid& grid, const std::string& title,
                   const WindowGeometry& window, const FileProgress& progress = {});

// The same bytes as pieces to write one after the other: long runs of lines that lie unchanged
// in a loaded file's buffer are not copied, and the pieces point into that buffer, into
// `built` and into a lasting block of empty lines. They stay valid whatever the grid does
// afterwards, since `loaded` keeps the grid's loaded buffers; they may be written on another
// thread.
struct TableFilePieces {
    ByteBuffer built;
    std::vector<std::string_view> pieces;
    std::vector<std::shared_ptr<const std::string>> loaded;
};
TableFilePieces BuildTableFilePieces(const TableGrid& grid, const std::string& title,
                                     const WindowGeometry& window,
                                     const FileProgress& progress = {});

// BuildTableFilePieces a stretch of rows at a time, for a caller that must never wait long: the
// file is built by calls of Step between which the caller does other work. The grid must not
// change from the builder's creation to Take (a caller that sees a change starts again).
class TableFilePiecesBuilder {
public:
    TableFilePiecesBuilder(const TableGrid& grid, const std::string& title,
                           const WindowGeometry& window);
    ~TableFilePiecesBuilder();
    TableFilePiecesBuilder(const TableFilePiecesBuilder&) = delete;
    TableFilePiecesBuilder& operator=(const TableFilePiecesBuilder&) = delete;

    // Builds about `rows` more rows (at least one; more to finish a block or a run of loaded
    // lines). Returns true once the whole file is built.
    bool Step(int32_t rows);
    // The pieces, once Step has returned true; once.
    TableFilePieces Take();

    // The builder's own data, shared with BuildTableFilePieces.
    struct State;

private:
    std::unique_ptr<State> state_;
};

// The same bytes as a string.
std::string BuildTableFile(const TableGrid& grid, const std::string& title,
                           const WindowGeometry& window);

}  // namespace qv
