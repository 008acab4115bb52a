#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The grammar of delimited text as spreadsheets write it (RFC 4180, with a choice of
// delimiter): CSV files, TSV files and the clipboard's tab-separated text. It works on bytes
// whose structural characters are ASCII, so CP932 text is parsed as it is (no CP932 second byte
// is a delimiter, a quote or a line end).
//
// Reading: a field in double quotes may hold delimiters, line breaks and doubled quotes; a
// record ends at CR LF, CR or LF outside quotes; a blank line is a record of one empty field;
// blanks and tabs around an unquoted field are data; the last record needs no line end. A
// quote that closes a field but is followed by anything other than a delimiter or a line end
// is taken as data and the field stays quoted (as the library reads it). The texts handed on
// are cell texts: a CR LF or a lone CR inside a field becomes LF and the byte 0x1A is dropped,
// since the table file can store neither.

inline constexpr char kCommaDelimiter = ',';
inline constexpr char kTabDelimiter = '\t';
inline constexpr char kSemicolonDelimiter = ';';

// Hears the records of a delimited text in order.
class DelimitedRecordSink {
public:
    virtual ~DelimitedRecordSink() = default;
    // The next field of the current record, valid only during the call.
    virtual void Field(std::string_view text) = 0;
    virtual void EndRecord() = 0;
    // Answering true stops the reading after the current piece of input.
    virtual bool Enough() const { return false; }
};

// Where a byte of the input lies: 0-based record and field.
struct FieldPosition {
    int64_t record = 0;
    int32_t field = 0;
};

// Parses `bytes` with the delimiter and tells `sink`. Each offset of `marks` (ascending, into
// `bytes`) gets the position of the field that holds it, in order, in `markPositions`.
// Exceptions thrown by the sink stop the reading and reach the caller. Raises std::bad_alloc
// when a field does not fit in memory, std::invalid_argument when the delimiter is a double
// quote, a CR or an LF.
void ParseDelimitedText(std::string_view bytes, char delimiter, DelimitedRecordSink& sink,
                        std::span<const std::size_t> marks = {},
                        std::vector<FieldPosition>* markPositions = nullptr);

// The records of `bytes` (at most `maxRecords` of them), each padded with empty fields to the
// widest one read; for previews and pasted blocks. `marks` as for ParseDelimitedText.
std::vector<std::vector<std::string>> ParseDelimitedRecords(
    std::string_view bytes, char delimiter, std::size_t maxRecords = SIZE_MAX,
    std::span<const std::size_t> marks = {}, std::vector<FieldPosition>* markPositions = nullptr);

// How many records the delimiter's detection reads at most.
inline constexpr std::size_t kDelimiterRecordsRead = 1000;

// Whether a sample is the whole text, or stops inside it (its last record may be cut short).
enum class SampleEnd { Whole, Cut };

// Comma, tab or semicolon: the one that splits every record read from `sample` (the first
// kDelimiterRecordsRead) into the same number of fields, more than one, with its quotes where a
// writer puts them (quoted fields respected: a wrong delimiter cuts them apart and leaves quotes
// inside unquoted fields); the preferred delimiter (tab for a .tsv file) when several do, then
// comma, tab, semicolon. When none does, the one whose first record's field count recurs most
// often, or the preferred one.
char DetectDelimiter(std::string_view sample, char preferred = kCommaDelimiter,
                     SampleEnd end = SampleEnd::Whole);

// Whether the field holds the delimiter, a double quote, a CR or an LF.
bool DelimitedFieldNeedsQuotes(std::string_view field, char delimiter);
// Appends the field as a delimited text writes it: in double quotes with its quotes doubled
// when it holds the delimiter, a double quote, a CR or an LF; as it is otherwise.
void AppendDelimitedField(std::string& out, std::string_view field, char delimiter);
// The same into a buffer with room for MaxDelimitedFieldSize bytes; returns the end written.
char* WriteDelimitedField(char* out, std::string_view field, char delimiter);
inline std::size_t MaxDelimitedFieldSize(std::size_t fieldSize) {
    return 2 * fieldSize + 2;
}

// The record end a delimited text is written with.
inline constexpr std::string_view kDelimitedRecordEnd = "\r\n";

}  // namespace qv
