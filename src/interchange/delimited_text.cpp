// The reading side is the loop of delimited_parser.h; this file gives it its virtual sink.
#include "interchange/delimited_text.h"

#include <algorithm>
#include <cstring>

#include "interchange/delimited_parser.h"
#include "table/table_file_format.h"

namespace qv {

namespace delimited {

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

}  // namespace delimited

namespace {

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

}  // namespace

void ParseDelimitedText(std::string_view bytes, char delimiter, DelimitedRecordSink& sink,
                        std::span<const std::size_t> marks,
                        std::vector<FieldPosition>* markPositions) {
    delimited::Parser<DelimitedRecordSink>(bytes, delimiter, sink, marks, markPositions).Run();
}

std::vector<std::vector<std::string>> ParseDelimitedRecords(
    std::string_view bytes, char delimiter, std::size_t maxRecords,
    std::span<const std::size_t> marks, std::vector<FieldPosition>* markPositions) {
    RecordCollector collector(maxRecords);
    ParseDelimitedText(bytes, delimiter, collector, marks, markPositions);
    return collector.Take();
}

namespace {

// How a delimiter splits a sample: whether every record read has the same number of fields,
// how many the first has, and whether the quotes sit where a writer puts them (a field that
// opens with one, closed before a delimiter or a line end; none inside an unquoted field).
// A wrong delimiter cuts quoted fields apart, which leaves quotes out of place.
struct SampleShape {
    bool clean = true;
    bool consistent = true;
    int32_t firstFields = 0;
    int64_t records = 0;
    int64_t recordsLikeFirst = 0;
};

class ShapeReader {
public:
    ShapeReader(std::string_view sample, char delimiter)
        : p_(sample.data()), end_(sample.data() + sample.size()), delimiter_(delimiter) {}

    // A cut sample's last record is left out: it may be cut short.
    SampleShape Read(SampleEnd end) {
        std::vector<int32_t> counts;
        while (p_ != end_ && counts.size() < kDelimiterRecordsRead) {
            counts.push_back(ReadRecord());
        }
        if (end == SampleEnd::Cut && counts.size() > 1) {
            counts.pop_back();
        }
        if (!counts.empty()) {
            shape_.firstFields = counts.front();
            shape_.records = static_cast<int64_t>(counts.size());
            shape_.recordsLikeFirst = std::count(counts.begin(), counts.end(), counts.front());
            shape_.consistent = shape_.recordsLikeFirst == shape_.records;
        }
        return shape_;
    }

private:
    bool AtLineEnd() const { return p_ == end_ || *p_ == '\r' || *p_ == '\n'; }

    int32_t ReadRecord() {
        int32_t fields = 1;
        for (;;) {
            if (p_ != end_ && *p_ == '"') {
                ReadQuoted();
            } else {
                while (!AtLineEnd() && *p_ != delimiter_) {
                    shape_.clean &= *p_ != '"';
                    ++p_;
                }
            }
            if (p_ == end_ || *p_ != delimiter_) {
                break;
            }
            ++p_;
            ++fields;
        }
        if (p_ != end_) {
            p_ += *p_ == '\r' && p_ + 1 != end_ && p_[1] == '\n' ? 2 : 1;
        }
        return fields;
    }

    void ReadQuoted() {
        for (++p_; p_ != end_; ++p_) {
            if (*p_ != '"') {
                continue;
            }
            if (p_ + 1 != end_ && p_[1] == '"') {
                ++p_;
                continue;
            }
            ++p_;
            if (AtLineEnd() || *p_ == delimiter_) {
                return;
            }
            shape_.clean = false;  // a closing quote followed by data: the field goes on
        }
    }

    const char* p_;
    const char* end_;
    char delimiter_;
    SampleShape shape_;
};

}  // namespace

char DetectDelimiter(std::string_view sample, char preferred, SampleEnd end) {
    std::vector<char> candidates = {preferred};
    for (const char c : {kCommaDelimiter, kTabDelimiter, kSemicolonDelimiter}) {
        if (c != preferred) {
            candidates.push_back(c);
        }
    }
    std::vector<SampleShape> shapes;
    for (const char candidate : candidates) {
        shapes.push_back(ShapeReader(sample, candidate).Read(end));
    }
    // The first candidate, in order of preference, that splits every record alike into more
    // than one field with its quotes in place; then one that does so with stray quotes.
    for (const bool needClean : {true, false}) {
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const SampleShape& shape = shapes[i];
            if (shape.consistent && shape.records > 0 && shape.firstFields > 1 &&
                (shape.clean || !needClean)) {
                return candidates[i];
            }
        }
    }
    // A ragged file: the one whose field count of the first record recurs most often.
    char best = preferred;
    int64_t bestScore = 0;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (shapes[i].firstFields > 1 && shapes[i].recordsLikeFirst > bestScore) {
            best = candidates[i];
            bestScore = shapes[i].recordsLikeFirst;
        }
    }
    return best;
}

bool DelimitedFieldNeedsQuotes(std::string_view field, char delimiter) {
    // Every byte that calls for quotes is below 64: one bit each, tested without branches.
    const auto bit = [](char c) { return uint64_t{1} << static_cast<unsigned char>(c); };
    const uint64_t special = bit('"') | bit('\r') | bit('\n') |
                             (static_cast<unsigned char>(delimiter) < 64 ? bit(delimiter) : 0);
    bool needsQuotes = false;
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        needsQuotes |= (byte < 64 && ((special >> byte) & 1) != 0) || c == delimiter;
    }
    return needsQuotes;
}

char* WriteDelimitedField(char* out, std::string_view field, char delimiter) {
    const bool needsQuotes = DelimitedFieldNeedsQuotes(field, delimiter);
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
