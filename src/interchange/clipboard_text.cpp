#include "interchange/clipboard_text.h"

#include <algorithm>

#include "interchange/delimited_text.h"

namespace qv {

namespace {

// Stores each field of a delimited text in a column of its own as it is read.
class ColumnSink final : public DelimitedRecordSink {
public:
    void Field(std::string_view text) override {
        if (!text.empty() && field_ < kGridCountLimit && record_ < kGridCountLimit) {
            if (static_cast<std::size_t>(field_) >= columns_.size()) {
                columns_.resize(static_cast<std::size_t>(field_) + 1);
            }
            columns_[static_cast<std::size_t>(field_)].Set(static_cast<int32_t>(record_),
                                                           cell_handle::MakeOwned(text));
        }
        ++field_;
    }
    void EndRecord() override {
        width_ = std::max(width_, field_);
        field_ = 0;
        ++record_;
    }
    void TakeInto(ClipboardColumns& block, int32_t firstCol) {
        block.width = width_;
        block.height = record_;
        for (std::size_t k = 0; k < columns_.size(); ++k) {
            if (columns_[k].Length() > 0) {
                block.columns.emplace_back(firstCol + static_cast<int32_t>(k),
                                           std::move(columns_[k]));
            }
        }
    }

private:
    std::vector<CellColumn> columns_;
    int64_t field_ = 0;
    int64_t record_ = 0;
    int64_t width_ = 0;
};

// Where the characters CP932 cannot hold stand in the block, by record and field: the text is
// read once more only for a paste that is refused.
void ListRefusedCharacters(const Cp932Text& text, ClipboardColumns& block) {
    std::vector<std::size_t> marks;
    for (const Cp932Text::Replacement& replaced : text.replaced) {
        marks.push_back(replaced.offset);
    }
    std::vector<FieldPosition> positions;
    ParseDelimitedRecords(text.cp932, kTabDelimiter, SIZE_MAX, marks, &positions);
    for (std::size_t i = 0; i < positions.size(); ++i) {
        block.unencodable.push_back(
            {positions[i].record, positions[i].field, text.replaced[i].character});
    }
    block.unencodableCount = text.replacedCount;
}

}  // namespace

ClipboardCopy BuildClipboardText(const TableGrid& grid, CellRange range) {
    ClipboardCopy copy;
    copy.report = WriteDelimitedCells(grid, range, kTabDelimiter, TextEncoding::Utf8,
                                      [&](std::string_view piece) { copy.utf8 += piece; });
    return copy;
}

ClipboardColumns ParseClipboardColumns(std::string_view utf8, int32_t firstCol) {
    ClipboardColumns block;
    Cp932Text text = ToCp932(std::string(utf8), TextEncoding::Utf8);
    if (text.replacedCount > 0) {
        ListRefusedCharacters(text, block);
        return block;
    }
    ColumnSink sink;
    ParseDelimitedText(text.cp932, kTabDelimiter, sink);
    sink.TakeInto(block, firstCol);
    return block;
}

}  // namespace qv
