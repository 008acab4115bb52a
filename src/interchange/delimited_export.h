#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/text_encoding.h"
#include "table/table_grid.h"

namespace qv {

// Writing cells as delimited text: CSV and TSV files and the clipboard's tab-separated text.

// A block of cells: columns [colBegin, colEnd), rows [rowBegin, rowEnd).
struct CellRange {
    int32_t colBegin = 0;
    int32_t colEnd = 0;
    int32_t rowBegin = 0;
    int32_t rowEnd = 0;
};

// What a write could not take as it was: cells whose bytes are not valid CP932, written as
// "〓" in the UTF-8 encodings (the first kUnencodableListed of them, and the count).
struct DelimitedWriteReport {
    std::vector<GridCell> invalidCells;
    std::size_t invalidCount = 0;
};

// Which fields a write puts in double quotes: those that need them (the delimiter, a quote or a
// line break), or also those that hold a comma, a tab or a semicolon, so that a reader can tell
// the file's delimiter from its text alone (under a wrong one, quotes fall out of place).
enum class FieldQuoting { WhereNeeded, AnyDelimiter };

// Writes the range row by row, fields quoted as `quoting` says (see AppendDelimitedField), every
// record ending in CR LF, in the encoding (a BOM first for Utf8WithBom; CP932 bytes as the table
// holds them). The text goes to `write` in pieces of about a megabyte that end at a record's end,
// after each of which `progress` (when given) hears how many rows of the range are written;
// both are called on the calling thread, which alone reads the grid (a range of more than one
// piece is formatted on other threads meanwhile). An empty range writes the BOM at most.
// Raises what `write` or `progress` raises, std::bad_alloc when memory runs out.
DelimitedWriteReport WriteDelimitedCells(const TableGrid& grid, CellRange range, char delimiter,
                                         TextEncoding encoding,
                                         const std::function<void(std::string_view)>& write,
                                         const std::function<void(int32_t)>& progress = {},
                                         FieldQuoting quoting = FieldQuoting::WhereNeeded);

// Writes the range as WriteDelimitedCells does into the file at `path`, replaced atomically
// (see AtomicFileWriter), quoting any field that holds a delimiter: the file is written while
// the text is made. On a failure Failure is
// raised and the old file is left as it was.
DelimitedWriteReport ExportDelimitedFile(const std::string& path, const TableGrid& grid,
                                         CellRange range, char delimiter, TextEncoding encoding,
                                         const std::function<void(int32_t)>& progress = {});

// The same for the item names and the data rows `rows` (ascending) only: the rows a filter
// shows. The report's cells are the table's.
DelimitedWriteReport ExportDelimitedRows(const std::string& path, const TableGrid& grid,
                                         std::span<const int32_t> rows, char delimiter,
                                         TextEncoding encoding);

// The item names and data cells of a table: rows 0 .. RowCount - 1, columns 1 .. ColCount - 1
// (not the row labels).
inline CellRange TableCellRange(const TableGrid& grid) {
    return {1, grid.ColCount(), 0, grid.RowCount()};
}

}  // namespace qv
