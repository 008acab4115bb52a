#include "interchange/delimited_import.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>

#include "interchange/delimited_parser.h"
#include "interchange/delimited_text.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "platform/large_buffers.h"
#include "platform/line_reader.h"
#include "platform/two_threads.h"
#include "platform/utf8.h"
#include "table/bulk_cells.h"
#include "table/table_file_format.h"
#include "table/table_grid.h"

namespace qv {

namespace {

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
    CellBuilder(std::string_view input, FirstRecord firstRecord, Conversion conversion,
                const WorkProgress& progress)
        : rowOffset_(firstRecord == FirstRecord::Data ? 1 : 0),
          conversion_(conversion),
          inputBegin_(reinterpret_cast<uintptr_t>(input.data())),
          inputEnd_(inputBegin_ + input.size()),
          steps_(progress, static_cast<int64_t>(input.size())) {
        const std::size_t inputSize = input.size();
        // A field's text takes at most twice its input bytes (a byte that is not UTF-8 becomes
        // "〓"), and its delimiter or line end is at least one byte where two are written; the
        // room asked for a field is at most kShortField + 2 bytes beyond that. The buffer never
        // moves once reserved. Its size grows a step at a time ahead of the texts written into it,
        // which never zero-fills much more than the texts take.
        arena_ = std::make_shared<std::string>();
        arena_->reserve(3 * inputSize + 4 * kShortField);
        AdviseLargeBuffer(arena_->data(), arena_->capacity());
        roomBegin_ = arena_->data();
        roomSize_ = arena_->capacity();
        out_ = arena_->data() + arena_->size();
        limit_ = out_;
        onReplaced_ = [this](std::size_t, char32_t character) {
            if (unencodable_.size() < kUnencodableListed) {
                unencodable_.push_back({records_, fieldCount_, character});
            }
            ++unencodableCount_;
        };
    }

    // A field's bytes; made a cell text (see MakeCellText) once converted.
    void Field(std::string_view text, delimited::FieldBytes bytes) {
        if (InInput(text.data(), text.size())) {
            readUpTo_ = reinterpret_cast<uintptr_t>(text.data()) + text.size();
        }
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
        if (records_ < kWidthRows) {
            NoteLength(static_cast<std::size_t>(end - out_));
        }
        ++fieldCount_;
        out_ = end;
        *out_++ = '\r';
        *out_++ = '\n';
    }

    bool Enough() const { return false; }

    void EndRecord() {
        const int32_t count = fieldCount_;
        if (count > kGridCountLimit - 2 || Row() >= kGridCountLimit - 1) {
            throw Failure(kGridTooLargeMessage);
        }
        widest_ = std::max(widest_, count);
        AddRecords(count, 1);
        fieldCount_ = 0;
        ++records_;
        steps_.Reach(progressScale_ * static_cast<int64_t>(readUpTo_ - inputBegin_));
    }

    // Its place in the input counts twice in the progress: another builder reads the rest of
    // the input at about the same pace.
    void ReportForBoth() { progressScale_ = 2; }

    // Takes the records `later` read from the input right after the end of this builder's
    // (whose last record ended there), as if this builder had read them as well. Returns false,
    // changing nothing, when this one has too few records to tell the columns' widths (which
    // come from the first records) or too little room for `later`'s texts.
    bool TakeOver(const CellBuilder& later) {
        const auto used = static_cast<std::size_t>(out_ - arena_->data());
        const auto moved = static_cast<std::size_t>(later.out_ - later.arena_->data());
        if (records_ < kWidthRows || arena_->capacity() - used < moved) {
            return false;
        }
        if (Row() + later.records_ >= kGridCountLimit - 1) {
            throw Failure(kGridTooLargeMessage);
        }
        arena_->resize(used + moved);
        std::memcpy(arena_->data() + used, later.arena_->data(), moved);
        out_ = arena_->data() + used + moved;
        limit_ = arena_->data() + arena_->size();
        for (UnencodableCharacter character : later.unencodable_) {
            if (unencodable_.size() == kUnencodableListed) {
                break;
            }
            character.record += records_;
            unencodable_.push_back(character);
        }
        unencodableCount_ += later.unencodableCount_;
        for (const RecordRun& run : later.recordRuns_) {
            AddRecords(run.fields, run.records);
        }
        widest_ = std::max(widest_, later.widest_);
        records_ += later.records_;
        return true;
    }

    // The bytes of cell lines written so far.
    std::size_t TextBytes() const { return static_cast<std::size_t>(out_ - roomBegin_); }
    // Faults in the pages of the arena's room for `size` bytes from `from` (as far as the room
    // goes), leaving what they hold. It touches nothing that the builder changes, so another
    // thread may call it while this one reads.
    void FaultInRoom(std::size_t from, std::size_t size) const {
        if (from < roomSize_) {
            FaultInPages(roomBegin_ + from, std::min(size, roomSize_ - from));
        }
    }

    int64_t Records() const { return records_; }
    std::vector<UnencodableCharacter> TakeUnencodable() { return std::move(unencodable_); }
    std::size_t UnencodableCount() const { return unencodableCount_; }

    void Finish(TableFileContent& content) {
        arena_->resize(static_cast<std::size_t>(out_ - arena_->data()));
        // Room faulted in ahead of texts that did not come is handed back (past the string's
        // closing zero byte).
        const std::size_t kept = arena_->size() + 1;
        if (kept < roomSize_) {
            ReleasePages(roomBegin_ + kept, roomSize_ - kept);
        }
        const int32_t columns = std::max(widest_, 1);
        content.colCount = columns + 1;
        content.rowCount = static_cast<int32_t>(std::max<int64_t>(Row(), 2));
        content.widths = SizeList(0, columns);
        for (int32_t k = 0; k < columns; ++k) {
            const auto column = static_cast<std::size_t>(k);
            const std::size_t longest = column < longest_.size() ? longest_[column] : 0;
            const auto pixels = static_cast<int64_t>(longest) * kPixelsPerByte + 8;
            content.widths.Set(
                k, static_cast<int32_t>(std::clamp<int64_t>(pixels, kMinWidth, kMaxWidth)));
        }
        content.cells = Cells();
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

    void AddRecords(int32_t fields, int64_t records) {
        if (!recordRuns_.empty() && recordRuns_.back().fields == fields) {
            recordRuns_.back().records += records;
        } else {
            recordRuns_.push_back({fields, records});
        }
    }

    // The current field's text, `length` bytes, in its column's width.
    void NoteLength(std::size_t length) {
        const auto column = static_cast<std::size_t>(fieldCount_);
        if (column >= longest_.size()) {
            longest_.resize(column + 1);
        }
        longest_[column] = std::max(longest_[column], length);
    }

    // The cells of the arena's lines, a field each. When every record has the same fields, they
    // are a table file's cell lines and are placed as such, a block of rows at a time.
    BulkCells Cells() const {
        const std::string_view lines(*arena_);
        if (recordRuns_.size() == 1) {
            BulkCells cells(arena_, widest_, BulkCells::Texts::EveryLine);
            if (cells.AppendLineRows(static_cast<int32_t>(rowOffset_),
                                     static_cast<int32_t>(records_), lines)) {
                return cells;
            }
        }
        // Ragged records: each field goes to its column. New columns are empty in the rows
        // above (and in the item-name row when the first record is data), padded when their
        // first text comes; rows after a column's last text are empty anyway.
        BulkCells cells(arena_, std::max(widest_, 1));
        LineReader fields(lines);
        std::vector<int64_t> filled(static_cast<std::size_t>(widest_), 0);
        int64_t row = rowOffset_;
        for (const RecordRun& run : recordRuns_) {
            for (int64_t record = 0; record < run.records; ++record, ++row) {
                for (int32_t k = 0; k < run.fields; ++k) {
                    int64_t& columnFilled = filled[static_cast<std::size_t>(k)];
                    cells.AppendEmpty(k, static_cast<int32_t>(row - columnFilled));
                    cells.Append(k, fields.Next());
                    columnFilled = row + 1;
                }
            }
        }
        return cells;
    }

    static constexpr std::size_t kShortField = 16;

    int64_t rowOffset_;
    int64_t progressScale_ = 1;
    Conversion conversion_;
    uintptr_t inputBegin_;  // the input's bytes, where most texts handed on lie
    uintptr_t inputEnd_;
    uintptr_t readUpTo_ = inputBegin_;  // the end of the last field read from the input
    WorkSteps steps_;
    std::function<void(std::size_t, char32_t)> onReplaced_;
    std::vector<UnencodableCharacter> unencodable_;
    std::size_t unencodableCount_ = 0;
    std::shared_ptr<std::string> arena_;
    char* roomBegin_ = nullptr;  // the arena's reserved memory, which never moves
    std::size_t roomSize_ = 0;
    char* out_ = nullptr;    // where the next text goes
    char* limit_ = nullptr;  // the end of the arena's size
    // The records, in runs of records with as many fields.
    struct RecordRun {
        int32_t fields;
        int64_t records;
    };
    std::vector<RecordRun> recordRuns_;
    int32_t fieldCount_ = 0;  // of the record being read
    std::vector<std::size_t> longest_;
    int32_t widest_ = 0;
    int64_t records_ = 0;
};

// About `bytes` scaled by `to` / `from`: what another part of the text gives, judged from one.
std::size_t Scaled(std::size_t bytes, std::size_t to, std::size_t from) {
    return static_cast<std::size_t>(static_cast<double>(bytes) * static_cast<double>(to) /
                                    static_cast<double>(std::max<std::size_t>(from, 1)));
}

// A text shorter than this is parsed on one thread.
constexpr std::size_t kBytesWorthTwoThreads = std::size_t{4} << 20;

// Parses `input` into a builder. A long text is cut after the first LF from its middle on and
// the part after the cut is parsed on a second thread into a builder of its own, which the first
// then takes over. The cut is a guess: when it falls inside a quoted field (the first part ends
// in quotes), or the first part holds too few records, the whole text is parsed again on this
// thread.
std::unique_ptr<CellBuilder> ParseRecords(std::string_view input, char delimiter, FirstRecord first,
                                          CellBuilder::Conversion conversion,
                                          const WorkProgress& progress) {
    const auto parse = [delimiter](std::string_view text, CellBuilder& builder) {
        delimited::Parser<CellBuilder, delimited::FieldForm::Bytes> parser(text, delimiter, builder,
                                                                           {}, nullptr);
        parser.Run();
        return !parser.EndedInQuotes();
    };
    auto builder = std::make_unique<CellBuilder>(input, first, conversion, progress);
    const std::size_t middle = input.size() / 2;
    const std::size_t lineEnd =
        input.size() < kBytesWorthTwoThreads ? std::string_view::npos : input.find('\n', middle);
    if (lineEnd != std::string_view::npos && lineEnd + 1 < input.size()) {
        const std::string_view before = input.substr(0, lineEnd + 1);
        const std::string_view after = input.substr(lineEnd + 1);
        const WorkProgress none;
        CellBuilder later(after, FirstRecord::Data, conversion, none);
        builder->ReportForBoth();
        bool closed = false;
        bool laterRead = false;
        // The second part's texts are copied right after the first's, into fresh memory whose
        // page faults cost as much as the copy. Whichever thread ends first faults in those
        // pages while the other still reads: the first knows where they begin and guesses how
        // many, the second knows how many and guesses where.
        const auto parseFirst = [&] {
            closed = parse(before, *builder);
            const std::size_t end = builder->TextBytes();
            const std::size_t expected = Scaled(end, after.size(), before.size());
            builder->FaultInRoom(end, expected + expected / 32);
        };
        // What the second part raises is dropped with it: after a wrong cut its records are
        // not the file's, and a reading of the whole text raises what the file really calls for.
        const auto parseLater = [&] {
            try {
                parse(after, later);
                laterRead = true;
            } catch (...) {
                laterRead = false;
                return;
            }
            const std::size_t moved = later.TextBytes();
            const std::size_t end = Scaled(moved, before.size(), after.size());
            builder->FaultInRoom(end - end / 32, moved + end / 16);
        };
        RunOnTwoThreads(parseFirst, parseLater, [&] {
            closed = parse(before, *builder);
            parseLater();
        });
        if (closed && laterRead && builder->TakeOver(later)) {
            return builder;
        }
        builder.reset();  // its texts are not held through the second reading
        builder = std::make_unique<CellBuilder>(input, first, conversion, progress);
    }
    parse(input, *builder);
    return builder;
}

// The main window's place and size as designed, for a table that never had a window.
constexpr WindowGeometry kDesignWindow{294, 211, 276, 247};

// Where the first byte that is not UTF-8 lies, as a place in the grid.
std::string FirstInvalidUtf8Place(std::string_view input, char delimiter, FirstRecord first) {
    std::size_t at = 0;
    while (at < input.size()) {
        const Utf8Character c = DecodeUtf8At(input, at);
        if (c.value == 0xFFFD && input.substr(at, 3) != "\xEF\xBF\xBD") {
            break;
        }
        at += c.length;
    }
    struct NoSink : DelimitedRecordSink {
        void Field(std::string_view) override {}
        void EndRecord() override {}
    } sink;
    std::vector<FieldPosition> place;
    const std::size_t marks[] = {at};
    ParseDelimitedText(input, delimiter, sink, marks, &place);
    return GridPlaceText(place[0].record + RowOfFirstRecord(first), place[0].field + 1);
}

// The text after a BOM and without a closing end-of-file byte.
std::string_view ImportedText(std::string_view bytes, TextEncoding encoding) {
    if (encoding != TextEncoding::Cp932 && bytes.starts_with(kUtf8Bom)) {
        bytes.remove_prefix(kUtf8Bom.size());
    }
    // An end-of-file byte closing an old DOS file is no record.
    if (bytes.ends_with(kEndOfFileByte)) {
        bytes.remove_suffix(1);
    }
    return bytes;
}

// The import in a known encoding.
DelimitedImport ImportIn(std::string_view bytes, TextEncoding encoding,
                         const DelimitedImportOptions& options) {
    DelimitedImport result;
    result.encoding = encoding;
    result.firstRecord = options.firstRecord;
    const bool utf8 = encoding != TextEncoding::Cp932;
    // The grammar's bytes are ASCII in both encodings and no other character holds one (no
    // CP932 second byte is below 0x40), so the bytes are parsed as they are; UTF-8 fields are
    // converted each on its own, in one pass.
    const std::string_view input = ImportedText(bytes, encoding);
    // The whole text is offered, so that a long multi-line cell cannot hide the records after it.
    result.delimiter =
        options.delimiter.value_or(DetectDelimiter(input, options.preferredDelimiter));

    const std::unique_ptr<CellBuilder> builder =
        ParseRecords(input, result.delimiter, options.firstRecord,
                     utf8 ? CellBuilder::Conversion::Utf8ToCp932 : CellBuilder::Conversion::None,
                     options.progress);
    result.unencodable = builder->TakeUnencodable();
    result.unencodableCount = builder->UnencodableCount();
    result.records = builder->Records();
    result.content.window = kDesignWindow;
    builder->Finish(result.content);
    return result;
}

}  // namespace

DelimitedImport ImportDelimitedText(std::string bytes, const DelimitedImportOptions& options) {
    bytes = ConvertUtf16File(std::move(bytes));
    // The first megabyte tells at once; the whole file decides, but only when the UTF-8 reading
    // met something CP932 lacks, which costs nothing in the usual case.
    const TextEncoding guess = options.encoding.value_or(GuessTextEncoding(bytes));
    DelimitedImport result = ImportIn(bytes, guess, options);
    if (result.unencodableCount == 0 || guess == TextEncoding::Cp932) {
        return result;
    }
    if (!options.encoding && PreferCp932ToLossyUtf8(bytes)) {
        result = DelimitedImport();  // its memory is not held through the second reading
        return ImportIn(bytes, TextEncoding::Cp932, options);
    }
    const std::string_view input = ImportedText(bytes, guess);
    if (bytes.starts_with(kUtf8Bom) && !IsValidUtf8(input)) {
        throw Failure(
            "UTF-8 の BOM で始まるファイルですが、UTF-8 として正しくないバイトがあります (" +
            FirstInvalidUtf8Place(input, result.delimiter, options.firstRecord) + ")");
    }
    return result;
}

std::string UnencodableMessage(const DelimitedImport& imported) {
    return UnencodableMessage(imported.unencodable, imported.unencodableCount,
                              RowOfFirstRecord(imported.firstRecord));
}

std::string TitleFromFileName(const std::string& path) {
    return TitleForTableFile(Utf8ToCp932Replacing(std::filesystem::path(path).stem().string(),
                                                  kGetaMarkCp932, [](std::size_t, char32_t) {}));
}

}  // namespace qv
