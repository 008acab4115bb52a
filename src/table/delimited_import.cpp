#include "table/delimited_import.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "platform/failure.h"
#include "table/bulk_cells.h"
#include "table/delimited_text.h"
#include "table/table_file_format.h"
#include "table/table_grid.h"

namespace qv {

namespace {

constexpr std::size_t kDelimiterSample = 64 * 1024;
// Widths follow the longest text of a column's first rows: 7 pixels a byte (a CP932 double-byte
// character is about twice as wide as a single-byte one) within these limits.
constexpr int64_t kWidthRows = 1000;
constexpr int32_t kMinWidth = 40;
constexpr int32_t kMaxWidth = 320;
constexpr int32_t kPixelsPerByte = 7;

// Builds the cells in one buffer laid out as a table file's cell lines (each text followed by
// CR LF), so that the grid keeps them in place and a later save writes them straight from it.
class CellBuilder : public DelimitedRecordSink {
public:
    CellBuilder(std::size_t inputSize, FirstRecord firstRecord)
        : rowOffset_(firstRecord == FirstRecord::Data ? 1 : 0) {
        // Every field costs at most its input bytes plus the delimiter or line end after it,
        // and two bytes of line end: the buffer never moves once reserved.
        arena_ = std::make_shared<std::string>();
        arena_->reserve(3 * inputSize + 16);
        arena_->append("\r\n");  // where padded empty cells point
    }

    void Field(std::string_view text) override {
        if (arena_->capacity() - arena_->size() < text.size() + 2) {
            throw std::length_error("cell buffer too small");  // would move the texts
        }
        const std::size_t at = arena_->size();
        arena_->append(text);
        arena_->append("\r\n");
        fields_.emplace_back(arena_->data() + at, text.size());
    }

    void EndRecord() override {
        const auto count = static_cast<int32_t>(fields_.size());
        if (!bulk_) {
            bulk_.emplace(arena_, count);
        }
        if (count > kGridCountLimit - 2 || Row() >= kGridCountLimit - 1) {
            throw Failure(kGridTooLargeMessage);
        }
        if (count > widest_) {
            Widen(count);
        }
        for (int32_t k = 0; k < widest_; ++k) {
            const std::string_view text =
                k < count ? fields_[static_cast<std::size_t>(k)] : Padding();
            bulk_->Append(k, text);
            if (records_ < kWidthRows) {
                auto& longest = longest_[static_cast<std::size_t>(k)];
                longest = std::max(longest, text.size());
            }
        }
        fields_.clear();
        ++records_;
    }

    int64_t Records() const { return records_; }

    void Finish(TableFileContent& content) {
        if (!bulk_) {
            bulk_.emplace(arena_, 1);
        }
        const int32_t columns = std::max(widest_, 1);
        content.colCount = columns + 1;
        content.rowCount = static_cast<int32_t>(std::max<int64_t>(Row(), 2));
        content.widths.clear();
        for (int32_t k = 0; k < columns; ++k) {
            const std::size_t longest =
                k < widest_ ? longest_[static_cast<std::size_t>(k)] : std::size_t{0};
            const auto pixels = static_cast<int64_t>(longest) * kPixelsPerByte + 8;
            content.widths.push_back(
                static_cast<int32_t>(std::clamp<int64_t>(pixels, kMinWidth, kMaxWidth)));
        }
        content.cells = std::move(*bulk_);
    }

private:
    int64_t Row() const { return records_ + rowOffset_; }
    std::string_view Padding() const { return std::string_view(arena_->data(), 0); }

    // New columns get empty cells in the rows above (and in the item-name row when the first
    // record is data).
    void Widen(int32_t count) {
        for (int32_t k = widest_; k < count; ++k) {
            for (int64_t row = 0; row < Row(); ++row) {
                bulk_->Append(k, Padding());
            }
        }
        widest_ = count;
        longest_.resize(static_cast<std::size_t>(count));
    }

    int64_t rowOffset_;
    std::shared_ptr<std::string> arena_;
    std::optional<BulkCells> bulk_;
    std::vector<std::string_view> fields_;
    std::vector<std::size_t> longest_;
    int32_t widest_ = 0;
    int64_t records_ = 0;
};

// The main window's place and size as designed, for a table that never had a window.
constexpr WindowGeometry kDesignWindow{294, 211, 276, 247};

}  // namespace

DelimitedImport ImportDelimitedText(std::string bytes, const DelimitedImportOptions& options) {
    DelimitedImport result;
    result.encoding = options.encoding.value_or(DetectTextEncoding(bytes));
    Cp932Text text = ToCp932(std::move(bytes), result.encoding);
    std::string_view cp932 = text.cp932;
    // An end-of-file byte closing an old DOS file is no record.
    if (cp932.ends_with(kEndOfFileByte)) {
        cp932.remove_suffix(1);
    }
    result.delimiter = options.delimiter.value_or(
        DetectDelimiter(cp932.substr(0, kDelimiterSample), options.preferredDelimiter));

    CellBuilder builder(cp932.size(), options.firstRecord);
    std::vector<std::size_t> marks;
    for (const Cp932Text::Replacement& replaced : text.replaced) {
        marks.push_back(replaced.offset);
    }
    std::vector<FieldPosition> positions;
    ParseDelimitedText(cp932, result.delimiter, builder, marks, &positions);
    for (std::size_t i = 0; i < positions.size(); ++i) {
        result.unencodable.push_back(
            {positions[i].record, positions[i].field, text.replaced[i].character});
    }
    result.unencodableCount = text.replacedCount;
    result.records = builder.Records();
    result.content.window = kDesignWindow;
    builder.Finish(result.content);
    return result;
}

}  // namespace qv
