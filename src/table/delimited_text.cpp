// The reading side rests on libcsv, a small streaming RFC 4180 parser; what it leaves to its
// caller (blank lines as records, a CR LF counted once, blanks kept) is settled here.
#include "table/delimited_text.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <new>

#include "table/table_file_format.h"

namespace qv {

namespace {

// libcsv trims the bytes this calls blanks from unquoted fields; the program keeps them.
int NoBlanks(unsigned char) {
    return 0;
}

// Turns a field as libcsv hands it (its own buffer, which it lets the caller change) into a
// cell text in place: CR LF and lone CR become LF, 0x1A goes. Returns the new length.
std::size_t MakeCellText(char* text, std::size_t length) {
    if (std::memchr(text, '\r', length) == nullptr &&
        std::memchr(text, kEndOfFileByte, length) == nullptr) {
        return length;
    }
    std::size_t out = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c == kEndOfFileByte) {
            continue;
        }
        if (c == '\r') {
            text[out++] = '\n';
            if (i + 1 < length && text[i + 1] == '\n') {
                ++i;
            }
            continue;
        }
        text[out++] = c;
    }
    return out;
}

// The bookkeeping between libcsv's callbacks and the sink. libcsv is C: no exception may cross
// it, so a failure of the sink is kept and raised again between pieces of input.
class Parser {
public:
    Parser(char delimiter, DelimitedRecordSink& sink) : sink_(sink) {
        if (csv_init(&parser_, CSV_REPALL_NL) != 0) {
            throw std::bad_alloc();
        }
        csv_set_delim(&parser_, static_cast<unsigned char>(delimiter));
        csv_set_space_func(&parser_, NoBlanks);
    }
    ~Parser() { csv_free(&parser_); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    void Feed(std::string_view bytes) {
        // Pieces of a megabyte let the sink stop a long read early.
        constexpr std::size_t kPiece = std::size_t{1} << 20;
        while (!bytes.empty() && !sink_.Enough()) {
            const std::string_view piece = bytes.substr(0, kPiece);
            if (csv_parse(&parser_, piece.data(), piece.size(), OnField, OnRecordEnd, this) !=
                piece.size()) {
                Check();
                throw std::bad_alloc();
            }
            Check();
            bytes.remove_prefix(piece.size());
        }
    }
    void Finish() {
        if (!sink_.Enough()) {
            csv_fini(&parser_, OnField, OnRecordEnd, this);
            Check();
        }
    }
    FieldPosition Position() const { return {records_, fields_}; }

private:
    void Check() {
        if (failure_) {
            std::rethrow_exception(failure_);
        }
    }
    static void OnField(void* data, std::size_t length, void* self) {
        auto& parser = *static_cast<Parser*>(self);
        parser.Guard([&] {
            const std::size_t cellLength =
                data == nullptr ? 0 : MakeCellText(static_cast<char*>(data), length);
            parser.sink_.Field(std::string_view(static_cast<const char*>(data), cellLength));
            ++parser.fields_;
        });
    }
    static void OnRecordEnd(int terminator, void* self) {
        auto& parser = *static_cast<Parser*>(self);
        parser.Guard([&] {
            if (parser.fields_ == 0) {
                // With every line end reported, the LF of a CR LF comes alone: it ends nothing.
                if (terminator == '\n' && parser.lastTerminator_ == '\r') {
                    parser.lastTerminator_ = 0;
                    return;
                }
                parser.sink_.Field({});  // a blank line
            }
            parser.sink_.EndRecord();
            parser.fields_ = 0;
            ++parser.records_;
            parser.lastTerminator_ = terminator;
        });
    }
    template <class F>
    void Guard(F&& f) {
        if (failure_) {
            return;
        }
        try {
            f();
        } catch (...) {
            failure_ = std::current_exception();
        }
    }

    csv_parser parser_{};
    DelimitedRecordSink& sink_;
    std::exception_ptr failure_;
    int64_t records_ = 0;
    int32_t fields_ = 0;
    int lastTerminator_ = 0;
};

class RecordCollector : public DelimitedRecordSink {
public:
    explicit RecordCollector(std::size_t maxRecords) : maxRecords_(maxRecords) {}
    void Field(std::string_view text) override { current_.emplace_back(text); }
    void EndRecord() override {
        if (records_.size() < maxRecords_) {
            widest_ = std::max(widest_, current_.size());
            records_.push_back(std::move(current_));
        }
        current_.clear();
    }
    bool Enough() const override { return records_.size() >= maxRecords_; }
    std::vector<std::vector<std::string>> Take() {
        for (auto& record : records_) {
            record.resize(widest_);
        }
        return std::move(records_);
    }

private:
    std::size_t maxRecords_;
    std::size_t widest_ = 0;
    std::vector<std::string> current_;
    std::vector<std::vector<std::string>> records_;
};

// Counts the fields of the first records.
class FieldCounter : public DelimitedRecordSink {
public:
    void Field(std::string_view) override { ++fields_; }
    void EndRecord() override {
        counts.push_back(fields_);
        fields_ = 0;
    }
    bool Enough() const override { return counts.size() >= kRecords; }
    static constexpr std::size_t kRecords = 50;
    std::vector<int32_t> counts;

private:
    int32_t fields_ = 0;
};

}  // namespace

void ParseDelimitedText(std::string_view bytes, char delimiter, DelimitedRecordSink& sink,
                        std::span<const std::size_t> marks,
                        std::vector<FieldPosition>* markPositions) {
    Parser parser(delimiter, sink);
    std::size_t done = 0;
    for (const std::size_t mark : marks) {
        const std::size_t at = std::clamp(mark, done, bytes.size());
        parser.Feed(bytes.substr(done, at - done));
        done = at;
        if (markPositions != nullptr) {
            markPositions->push_back(parser.Position());
        }
    }
    parser.Feed(bytes.substr(done));
    parser.Finish();
}

std::vector<std::vector<std::string>> ParseDelimitedRecords(
    std::string_view bytes, char delimiter, std::size_t maxRecords,
    std::span<const std::size_t> marks, std::vector<FieldPosition>* markPositions) {
    RecordCollector collector(maxRecords);
    ParseDelimitedText(bytes, delimiter, collector, marks, markPositions);
    return collector.Take();
}

char DetectDelimiter(std::string_view sample, char preferred) {
    std::array<char, 4> candidates = {preferred, kCommaDelimiter, kTabDelimiter,
                                      kSemicolonDelimiter};
    char best = kCommaDelimiter;
    std::ptrdiff_t bestScore = 0;
    for (const char candidate : candidates) {
        FieldCounter counter;
        ParseDelimitedText(sample, candidate, counter);
        if (counter.counts.empty() || counter.counts.front() < 2) {
            continue;
        }
        const std::ptrdiff_t score =
            std::count(counter.counts.begin(), counter.counts.end(), counter.counts.front());
        if (score > bestScore) {
            best = candidate;
            bestScore = score;
        }
    }
    return best;
}

char* WriteDelimitedField(char* out, std::string_view field, char delimiter) {
    // Every byte that calls for quotes is below 64: one bit each, tested without branches.
    const auto bit = [](char c) { return uint64_t{1} << static_cast<unsigned char>(c); };
    const uint64_t special = bit('"') | bit('\r') | bit('\n') |
                             (static_cast<unsigned char>(delimiter) < 64 ? bit(delimiter) : 0);
    bool needsQuotes = false;
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        needsQuotes |= (byte < 64 && ((special >> byte) & 1) != 0) || c == delimiter;
    }
    if (!needsQuotes) {
        if (!field.empty()) {
            std::memcpy(out, field.data(), field.size());
        }
        return out + field.size();
    }
    *out++ = '"';
    for (const char c : field) {
        if (c == '"') {
            *out++ = '"';
        }
        *out++ = c;
    }
    *out++ = '"';
    return out;
}

void AppendDelimitedField(std::string& out, std::string_view field, char delimiter) {
    const std::size_t used = out.size();
    out.resize(used + MaxDelimitedFieldSize(field.size()));
    char* end = WriteDelimitedField(out.data() + used, field, delimiter);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

}  // namespace qv
