#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "table/table_file_reader.h"
#include "table/text_encoding.h"

namespace qv {

// Reading a CSV or TSV file into a new table: the records become rows, their fields the data
// columns 1 and up; the first record gives the item names or is the first data row.

enum class FirstRecord { Data, ItemNames };

struct DelimitedImportOptions {
    std::optional<char> delimiter;         // detected when not given
    std::optional<TextEncoding> encoding;  // detected when not given
    char preferredDelimiter = ',';         // wins a tie in the detection (tab for .tsv)
    FirstRecord firstRecord = FirstRecord::Data;
};

// The table read, as a table file would give it (title empty, the main window's design place
// and size), with what was detected and the characters that CP932 cannot hold, already
// replaced by "〓" in the cells: the caller decides whether to take the table so.
struct DelimitedImport {
    TableFileContent content;
    char delimiter = ',';
    TextEncoding encoding = TextEncoding::Utf8;
    int64_t records = 0;
    std::vector<UnencodableCharacter> unencodable;  // the first kUnencodableListed
    std::size_t unencodableCount = 0;
};

// Reads the bytes of a whole file. The table has at least one data column and one data row
// (ragged records are padded with empty cells to the widest); columns get widths from their
// first texts. Raises Failure kGridTooLargeMessage when the records or fields reach the
// grid's limit, std::bad_alloc when memory runs out. Never fails on the text itself.
DelimitedImport ImportDelimitedText(std::string bytes, const DelimitedImportOptions& options);

}  // namespace qv
