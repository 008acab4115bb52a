#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/delimited_export.h"
#include "interchange/text_encoding.h"
#include "table/table_grid.h"

namespace qv {

// The spreadsheets' clipboard text (LibreOffice Calc and Excel read and write it): cells
// separated by tabs, every row ending in CR LF, a cell holding a tab, a line break or a double
// quote written in double quotes with its quotes doubled. The clipboard holds UTF-8; the table
// CP932.

// The range as clipboard text in UTF-8; a cell that is not valid CP932 becomes "〓" and is
// listed in `report`.
struct ClipboardCopy {
    std::string utf8;
    DelimitedWriteReport report;
};
ClipboardCopy BuildClipboardText(const TableGrid& grid, CellRange range);

// A pasted block read straight into columns of stored texts for TableGrid::ExchangeBlock: the
// block's column k is numbered firstCol + k, its row 0 is row 0 of each column. `width` is the
// widest record's field count, `height` the record count. A paste is all or nothing: characters
// CP932 cannot hold (text that is not UTF-8 counts its bad bytes as U+FFFD) are listed with
// their record and field in the block (0-based) and leave `columns` empty, and the caller
// refuses the paste. Records and fields at or beyond kGridCountLimit are counted but not kept;
// the empty text gives no record.
struct ClipboardColumns {
    int64_t width = 0;
    int64_t height = 0;
    TableGrid::StoredColumns columns;
    std::vector<UnencodableCharacter> unencodable;  // the first kUnencodableListed
    std::size_t unencodableCount = 0;
};
ClipboardColumns ParseClipboardColumns(std::string_view utf8, int32_t firstCol);

}  // namespace qv
