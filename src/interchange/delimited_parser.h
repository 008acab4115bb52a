#pragma once
// The grammar of delimited text (see delimited_text.h) as one loop over the bytes, a template
// over its sink so that the import's cell builder is called without a virtual call per field.
// It reads as libcsv (non-strict, every line end reported, no blanks trimmed) did before it,
// which spent a byte-by-byte state machine and a copy on every field: here an unquoted field,
// and a quoted one without doubled quotes, is handed on as a view of the input.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/delimited_text.h"
#include "table/table_file_format.h"

namespace qv::delimited {

// Turns a field's bytes into a cell text in place: CR LF and lone CR become LF, 0x1A goes.
// Returns the new length.
std::size_t MakeCellText(char* text, std::size_t length);

// Which bytes end a run of plain field bytes, for the given delimiter.
class ByteClasses {
public:
    static constexpr uint8_t kEndsUnquoted = 1;  // the delimiter, CR, LF, 0x1A
    static constexpr uint8_t kEndsQuoted = 2;    // the quote, CR, 0x1A

    explicit ByteClasses(char delimiter) {
        if (delimiter == '"' || delimiter == '\r' || delimiter == '\n') {
            throw std::invalid_argument("a quote or a line end cannot be the delimiter");
        }
        flags_[Index(delimiter)] |= kEndsUnquoted;
        flags_[Index('\r')] |= kEndsUnquoted | kEndsQuoted;
        flags_[Index('\n')] |= kEndsUnquoted;
        flags_[Index(kEndOfFileByte)] |= kEndsUnquoted | kEndsQuoted;
        flags_[Index('"')] |= kEndsQuoted;
    }
    bool Ends(char c, uint8_t kind) const { return (flags_[Index(c)] & kind) != 0; }

private:
    static std::size_t Index(char c) { return static_cast<unsigned char>(c); }
    uint8_t flags_[256] = {};
};

// What the parser hands on: cell texts, or a field's bytes as the file holds them inside its
// quotes (doubled quotes made single) and whether MakeCellText has anything to do there, for a
// sink that converts them first (a 0x1A dropped before the conversion could join the bytes
// around it into a character).
enum class FieldForm { CellText, Bytes };
struct FieldBytes {
    bool needsCellText = false;  // it holds a CR or a 0x1A
    bool ascii = false;          // it is known to hold only ASCII bytes
};

// Parses `bytes` for `sink`, which has Field(std::string_view) (for FieldForm::Bytes,
// Field(std::string_view, FieldBytes)), EndRecord() and Enough() as
// DelimitedRecordSink describes them; marks as ParseDelimitedText describes them.
template <class Sink, FieldForm kForm = FieldForm::CellText>
class Parser {
public:
    Parser(std::string_view bytes, char delimiter, Sink& sink, std::span<const std::size_t> marks,
           std::vector<FieldPosition>* markPositions)
        : classes_(delimiter),
          delimiter_(delimiter),
          begin_(bytes.data()),
          end_(bytes.data() + bytes.size()),
          sink_(sink),
          marks_(marks),
          markPositions_(markPositions) {}

    // Whether the text ended inside a quoted field, its closing quote missing.
    bool EndedInQuotes() const { return endedInQuotes_; }

    void Run() {
        const char* p = begin_;
        if (!sink_.Enough()) {
            while (p != end_ && ReadRecord(p)) {
            }
        }
        // Marks at or past the end lie where the reading stopped.
        while (nextMark_ < marks_.size()) {
            NoteMark({record_, field_});
        }
    }

private:
    // Pieces of input after which the sink is asked whether it has had enough.
    static constexpr std::ptrdiff_t kPiece = std::ptrdiff_t{1} << 20;

    // Reads the record at `p` and moves `p` past its line end; false when the sink had enough.
    bool ReadRecord(const char*& p) {
        field_ = 0;
        if (*p == '\r' || *p == '\n') {  // a blank line: a record of one empty field
            MarksUpTo(p);
            if constexpr (kForm == FieldForm::CellText) {
                sink_.Field({});
            } else {
                sink_.Field({}, FieldBytes{false, true});
            }
            return EndRecordAt(p);
        }
        for (;;) {
            const char* stop = nullptr;
            const std::string_view text =
                p != end_ && *p == '"' ? Quoted(p, stop) : Unquoted(p, stop);
            if (stop == end_ && sink_.Enough()) {
                return false;  // the last record, unfinished, is left as the reader left it
            }
            MarksUpTo(stop);
            if constexpr (kForm == FieldForm::CellText) {
                sink_.Field(text);
            } else {
                sink_.Field(text, FieldBytes{needsCellText_, ascii_});
            }
            if (stop == end_) {
                p = end_;
                sink_.EndRecord();
                ++record_;
                field_ = 0;
                return true;
            }
            if (*stop != delimiter_) {
                p = stop;
                return EndRecordAt(p);
            }
            ++field_;
            p = stop + 1;
        }
    }

    // Ends the record at the line end `p`, a CR LF counting once.
    bool EndRecordAt(const char*& p) {
        sink_.EndRecord();
        ++record_;
        field_ = 0;
        p += *p == '\r' && p + 1 != end_ && p[1] == '\n' ? 2 : 1;
        if (p - begin_ >= nextCheck_) {
            nextCheck_ = p - begin_ + kPiece;
            return !sink_.Enough();
        }
        return true;
    }

    static constexpr uint64_t kLowBits = 0x0101010101010101;
    static constexpr uint64_t kHighBits = 0x8080808080808080;

    // The high bit of each byte of `word` that equals the byte `c`, and maybe of bytes after
    // the first such one: a borrow never runs below a byte that matches, so the lowest bit set
    // marks the first match exactly.
    static uint64_t Matches(uint64_t word, uint64_t c) {
        const uint64_t x = word ^ (c * kLowBits);
        return (x - kLowBits) & ~x & kHighBits;
    }

    // The first byte from `q` that ends an unquoted run, eight bytes at a time while eight are
    // left (fields are short, and a word test costs about what a byte test does); the bytes
    // passed are ORed into `highBits`.
    const char* SkipPlain(const char* q, uint64_t& highBits) const {
        while (end_ - q >= 8) {
            uint64_t word = 0;
            std::memcpy(&word, q, sizeof word);
            const uint64_t found = Matches(word, static_cast<unsigned char>(delimiter_)) |
                                   Matches(word, '\r') | Matches(word, '\n') |
                                   Matches(word, static_cast<unsigned char>(kEndOfFileByte));
            if (found != 0) {
                const int bits = std::countr_zero(found) - 7;  // the bits of the bytes before
                highBits |= word & ((uint64_t{1} << bits) - 1);
                return q + bits / 8;
            }
            highBits |= word;
            q += 8;
        }
        while (q != end_ && !classes_.Ends(*q, ByteClasses::kEndsUnquoted)) {
            highBits |= static_cast<unsigned char>(*q);
            ++q;
        }
        return q;
    }

    // An unquoted field from `p`: its text, and in `stop` the delimiter or line end after it
    // (or the end). Quotes are data; 0x1A is dropped.
    std::string_view Unquoted(const char* p, const char*& stop) {
        const char* q = p;
        needsCellText_ = false;
        uint64_t highBits = 0;
        for (;;) {
            q = SkipPlain(q, highBits);
            if (kForm == FieldForm::CellText || q == end_ || *q != kEndOfFileByte ||
                delimiter_ == kEndOfFileByte) {
                break;
            }
            needsCellText_ = true;  // a 0x1A, left for the sink
            ++q;
        }
        if (q == end_ || *q != kEndOfFileByte || delimiter_ == kEndOfFileByte) {
            stop = q;
            ascii_ = (highBits & kHighBits) == 0;
            return {p, static_cast<std::size_t>(q - p)};
        }
        scratch_.assign(p, q);
        while (q != end_ &&
               (*q == kEndOfFileByte || !classes_.Ends(*q, ByteClasses::kEndsUnquoted))) {
            if (*q != kEndOfFileByte) {
                scratch_ += *q;
            }
            ++q;
        }
        stop = q;
        return scratch_;
    }

    // A quoted field from its opening quote `p`, as Unquoted. A doubled quote is one quote; a
    // closing quote followed by anything but a delimiter or a line end is data, and the field
    // goes on; a field the input ends in holds everything up to the end.
    std::string_view Quoted(const char* p, const char*& stop) {
        const char* run = p + 1;
        const char* q = run;
        const char* textEnd = nullptr;
        bool copied = false;
        bool& needsCellText = needsCellText_;
        needsCellText = false;
        ascii_ = false;
        for (;;) {
            while (q != end_ && !classes_.Ends(*q, ByteClasses::kEndsQuoted)) {
                ++q;
            }
            if (q == end_) {
                textEnd = stop = end_;
                endedInQuotes_ = true;
                break;
            }
            if (*q != '"') {  // CR or 0x1A
                needsCellText = true;
                ++q;
                continue;
            }
            const char* after = q + 1;
            if (after == end_ || *after == delimiter_ || *after == '\r' || *after == '\n') {
                textEnd = q;
                stop = after;
                break;
            }
            if (*after == '"') {
                if (!copied) {
                    scratch_.clear();
                    copied = true;
                }
                scratch_.append(run, after);
                run = q = after + 1;
                continue;
            }
            q = after;
        }
        if (!copied && (!needsCellText || kForm == FieldForm::Bytes)) {
            return {run, static_cast<std::size_t>(textEnd - run)};
        }
        if (!copied) {
            scratch_.clear();
        }
        scratch_.append(run, textEnd);
        if (needsCellText && kForm == FieldForm::CellText) {
            scratch_.resize(MakeCellText(scratch_.data(), scratch_.size()));
        }
        return scratch_;
    }

    // Every mark before or at `stop` lies in the current field; marks past the end lie at it.
    void MarksUpTo(const char* stop) {
        const auto size = static_cast<std::size_t>(end_ - begin_);
        while (nextMark_ < marks_.size() &&
               std::min(marks_[nextMark_], size) <= static_cast<std::size_t>(stop - begin_)) {
            NoteMark({record_, field_});
        }
    }
    void NoteMark(FieldPosition position) {
        if (markPositions_ != nullptr) {
            markPositions_->push_back(position);
        }
        ++nextMark_;
    }

    ByteClasses classes_;
    char delimiter_;
    const char* begin_;
    const char* end_;
    Sink& sink_;
    std::span<const std::size_t> marks_;
    std::vector<FieldPosition>* markPositions_;
    std::size_t nextMark_ = 0;
    std::ptrdiff_t nextCheck_ = kPiece;
    std::string scratch_;
    bool needsCellText_ = false;  // of the last field read, in FieldForm::Bytes
    bool ascii_ = false;          // the same: known to be ASCII (an unquoted field)
    bool endedInQuotes_ = false;
    int64_t record_ = 0;
    int32_t field_ = 0;
};

}  // namespace qv::delimited
