#include "table/delimited_import.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>

#include "platform/cp932.h"
#include "platform/failure.h"
#include "platform/large_buffers.h"
#include "table/bulk_cells.h"
#include "table/delimited_parser.h"
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
// The parser's sink, called directly rather than through DelimitedRecordSink.
class CellBuilder {
public:
    enum class Conversion { None, Utf8ToCp932 };

    // `input`: the bytes to be parsed. With `convert`, they are UTF-8 and each field is
    // converted to CP932 as it is stored, characters CP932 lacks becoming "〓".
    CellBuilder(std::string_view input, FirstRecord firstRecord, Conversion conversion)
        : rowOffset_(firstRecord == FirstRecord::Data ? 1 : 0),
          conversion_(conversion),
          inputBegin_(reinterpret_cast<uintptr_t>(input.data())),
          inputEnd_(inputBegin_ + input.size()) {
        const std::size_t inputSize = input.size();
        // A field's text takes at most twice its input bytes (a byte that is not UTF-8 becomes
        // "〓"), and its delimiter or line end is at least one byte where two are written; the
        // room asked for a field is at most kShortField + 2 bytes beyond that. The buffer never
        // moves once reserved. Its size grows a step at a time ahead of the texts written into it,
        // which never zero-fills much more than the texts take.
        arena_ = std::make_shared<std::string>();
        arena_->reserve(3 * inputSize + 4 * kShortField);
        AdviseLargeBuffer(arena_->data(), arena_->capacity());
        arena_->append("\r\n");  // where padded empty cells point
        out_ = arena_->data() + arena_->size();
        limit_ = out_;
        onReplaced_ = [this](std::size_t, char32_t character) {
            if (unencodable_.size() < kUnencodableListed) {
                unencodable_.push_back({records_, static_cast<int32_t>(fields_.size()), character});
            }
            ++unencodableCount_;
        };
    }

    // A field's bytes; made a cell text (see MakeCellText) once converted.
    void Field(std::string_view text, delimited::FieldBytes bytes) {
        const std::size_t room = std::max<std::size_t>(2 * text.size(), kShortField) + 2;
        if (static_cast<std::size_t>(limit_ - out_) < room) {
            Grow(room);
        }
        char* end = out_;
        if (conversion_ == Conversion::Utf8ToCp932 && !bytes.ascii) {
            end = Utf8ToCp932Into(text, out_, kGetaMarkCp932, onReplaced_);
        } else if (text.size() <= kShortField && InInput(text.data(), kShortField)) {
            // Most fields are short: copied as two words, without a call.
            std::memcpy(out_, text.data(), kShortField / 2);
            std::memcpy(out_ + kShortField / 2, text.data() + kShortField / 2, kShortField / 2);
            end += text.size();
        } else if (!text.empty()) {
            std::memcpy(out_, text.data(), text.size());
            end += text.size();
        }
        if (bytes.needsCellText) {
            end = out_ + delimited::MakeCellText(out_, static_cast<std::size_t>(end - out_));
        }
        fields_.emplace_back(out_, static_cast<std::size_t>(end - out_));
        out_ = end;
        *out_++ = '\r';
        *out_++ = '\n';
    }

    bool Enough() const { return false; }

    void EndRecord() {
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
    std::vector<UnencodableCharacter> TakeUnencodable() { return std::move(unencodable_); }
    std::size_t UnencodableCount() const { return unencodableCount_; }

    void Finish(TableFileContent& content) {
        arena_->resize(static_cast<std::size_t>(out_ - arena_->data()));
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
    // Whether `size` bytes from `p` lie in the input.
    bool InInput(const char* p, std::size_t size) const {
        const auto at = reinterpret_cast<uintptr_t>(p);
        return at >= inputBegin_ && at <= inputEnd_ && inputEnd_ - at >= size;
    }

    void Grow(std::size_t needed) {
        constexpr std::size_t kStep = std::size_t{1} << 20;
        const auto used = static_cast<std::size_t>(out_ - arena_->data());
        if (arena_->capacity() - used < needed) {
            throw std::length_error("cell buffer too small");  // would move the texts
        }
        arena_->resize(std::min(arena_->capacity(), used + std::max(needed, kStep)));
        out_ = arena_->data() + used;
        limit_ = arena_->data() + arena_->size();
    }
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

    static constexpr std::size_t kShortField = 16;

    int64_t rowOffset_;
    Conversion conversion_;
    uintptr_t inputBegin_;  // the input's bytes, where most texts handed on lie
    uintptr_t inputEnd_;
    std::function<void(std::size_t, char32_t)> onReplaced_;
    std::vector<UnencodableCharacter> unencodable_;
    std::size_t unencodableCount_ = 0;
    std::shared_ptr<std::string> arena_;
    char* out_ = nullptr;    // where the next text goes
    char* limit_ = nullptr;  // the end of the arena's size
    std::optional<BulkCells> bulk_;
    std::vector<std::string_view> fields_;
    std::vector<std::size_t> longest_;
    int32_t widest_ = 0;
    int64_t records_ = 0;
};

// The first kDelimiterSample bytes of the text in CP932, where the delimiter is looked for.
std::string DelimiterSample(std::string_view input, bool utf8) {
    if (!utf8) {
        return std::string(input.substr(0, kDelimiterSample));
    }
    // A CP932 byte comes from at most three UTF-8 bytes; the rest of a character cut at the
    // end lands past the sample.
    const std::string converted = Utf8ToCp932Replacing(
        input.substr(0, 3 * kDelimiterSample + 4), kGetaMarkCp932, [](std::size_t, char32_t) {});
    return converted.substr(0, kDelimiterSample);
}

// The main window's place and size as designed, for a table that never had a window.
constexpr WindowGeometry kDesignWindow{294, 211, 276, 247};

}  // namespace

DelimitedImport ImportDelimitedText(std::string bytes, const DelimitedImportOptions& options) {
    DelimitedImport result;
    result.encoding = options.encoding.value_or(DetectTextEncoding(bytes));
    const bool utf8 = result.encoding != TextEncoding::Cp932;
    // The grammar's bytes are ASCII in both encodings and no other character holds one, so
    // UTF-8 is parsed as it is and each field converted on its own, in one pass.
    std::string_view input = bytes;
    if (utf8 && input.starts_with(kUtf8Bom)) {
        input.remove_prefix(kUtf8Bom.size());
    }
    // An end-of-file byte closing an old DOS file is no record.
    if (input.ends_with(kEndOfFileByte)) {
        input.remove_suffix(1);
    }
    result.delimiter = options.delimiter.value_or(
        DetectDelimiter(DelimiterSample(input, utf8), options.preferredDelimiter));

    CellBuilder builder(
        input, options.firstRecord,
        utf8 ? CellBuilder::Conversion::Utf8ToCp932 : CellBuilder::Conversion::None);
    delimited::Parser<CellBuilder, delimited::FieldForm::Bytes>(input, result.delimiter, builder,
                                                                {}, nullptr)
        .Run();
    result.unencodable = builder.TakeUnencodable();
    result.unencodableCount = builder.UnencodableCount();
    result.records = builder.Records();
    result.content.window = kDesignWindow;
    builder.Finish(result.content);
    return result;
}

}  // namespace qv
