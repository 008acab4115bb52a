// The reading side is the loop of delimited_parser.h; this file gives it its virtual sink.
#include "table/delimited_text.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "table/delimited_parser.h"
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
    delimited::Parser<DelimitedRecordSink>(bytes, delimiter, sink, marks, markPositions).Run();
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
