#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "table/size_list.h"
#include "table/table_file_progress.h"
#include "table/table_grid.h"
#include "table/window_geometry.h"

namespace qv {

// Everything a table file holds, read and checked completely, ready to be put into the main
// window in one step that cannot fail.
struct TableFileContent {
    WindowGeometry window;  // lines 3 to 6: the main window's Left, Top, Width, Height
    std::string title;      // line 8, CP932 bytes
    // The counts as the grid will have them: a count of 0 or less in the file reads as 1.
    int32_t colCount = 1;
    int32_t rowCount = 1;
    // Columns 1 .. colCount - 1 at 0 .. colCount - 2, unchecked; kept as compactly as the grid
    // keeps them.
    SizeList widths{0, 0};
    // The item names and data cells: columns 1 .. colCount - 1, rows from 0 on, as far as the
    // file goes; the texts stay in the file's buffer.
    BulkCells cells{std::make_shared<const std::string>(), 0};
};

// Reads and checks the table file at `path`. Returns nothing when its first line is not the
// file mark "Quorvane" (decided from the first few bytes, so a huge file that is no table is
// refused without reading it). Raises Failure with the file system's message when the file
// cannot be read, "'<line>' は整数ではありません" for a number line that is not an integer, and
// "ｸﾞﾘｯﾄﾞが大きすぎます" for a count of 134217726 or more. A file that ends early is no
// failure: the lines missing at its end read as empty.
//
// `progress`, when given, hears every megabyte or so (about a hundred times for a big file)
// how many bytes have been read and then parsed, of twice the file's size. When it answers
// false, the read stops with ReadCancelled and nothing is returned.
std::optional<TableFileContent> ReadTableFile(const std::string& path,
                                              const FileProgress& progress = {});

// The same on the file's bytes already in memory (the whole file).
std::optional<TableFileContent> ParseTableFile(std::string bytes);

// Empties the title and the table's item names and data cells (as ClearAll does), then gives
// the grid the file's counts, widths and cells and sets `title`. Cannot fail: everything was
// checked by ReadTableFile. The current cell moves only as the new counts make it. The window
// geometry is left to the caller.
void ApplyTableFile(TableFileContent&& content, TableGrid& grid, std::string& title);

}  // namespace qv
