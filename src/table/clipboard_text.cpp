#include "table/clipboard_text.h"

#include "table/delimited_text.h"

namespace qv {

ClipboardCopy BuildClipboardText(const TableGrid& grid, CellRange range) {
    ClipboardCopy copy;
    copy.report = WriteDelimitedCells(grid, range, kTabDelimiter, TextEncoding::Utf8,
                                      [&](std::string_view piece) { copy.utf8 += piece; });
    return copy;
}

ClipboardBlock ParseClipboardText(std::string_view utf8) {
    ClipboardBlock block;
    const Cp932Text text = ToCp932(std::string(utf8), TextEncoding::Utf8);
    std::vector<std::size_t> marks;
    for (const Cp932Text::Replacement& replaced : text.replaced) {
        marks.push_back(replaced.offset);
    }
    std::vector<FieldPosition> positions;
    block.rows = ParseDelimitedRecords(text.cp932, kTabDelimiter, SIZE_MAX, marks, &positions);
    for (std::size_t i = 0; i < positions.size(); ++i) {
        block.unencodable.push_back(
            {positions[i].record, positions[i].field, text.replaced[i].character});
    }
    block.unencodableCount = text.replacedCount;
    return block;
}

}  // namespace qv
