#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "interchange/text_encoding.h"
#include "platform/work_progress.h"
#include "table/table_file_reader.h"

namespace qv {

// Reading a CSV or TSV file into a new table: the records become rows, their fields the data
// columns 1 and up; the first record gives the item names or is the first data row.

enum class FirstRecord { Data, ItemNames };
// The grid row the first record goes to.
inline int64_t RowOfFirstRecord(FirstRecord first) {
    return first == FirstRecord::Data ? 1 : 0;
}

struct DelimitedImportOptions {
    std::optional<char> delimiter;         // detected when not given
    std::optional<TextEncoding> encoding;  // detected when not given
    char preferredDelimiter = ',';         // wins a tie in the detection (tab for .tsv)
    FirstRecord firstRecord = FirstRecord::Data;
    // Hears how many of the text's bytes have been read; saying stop raises WorkCancelled out
    // of the import, which then holds nothing.
    WorkProgress progress;
};

// The table read, as a table file would give it (title empty, the main window's design place
// and size), with what was detected and the characters that CP932 cannot hold, already
// replaced by "〓" in the cells: the caller decides whether to take the table so.
struct DelimitedImport {
    TableFileContent content;
    FirstRecord firstRecord = FirstRecord::Data;
    char delimiter = ',';
    TextEncoding encoding = TextEncoding::Utf8;
    int64_t records = 0;
    std::vector<UnencodableCharacter> unencodable;  // the first kUnencodableListed
    std::size_t unencodableCount = 0;
};

// Reads the bytes of a whole file (UTF-16 with a BOM is read too, see ConvertUtf16File). The
// table has at least one data column and one data row (ragged records are as wide as the widest,
// their missing cells empty at no cost: only the texts present are stored); columns get widths
// from their first texts. Raises Failure kGridTooLargeMessage when the records or fields reach
// the grid's limit, Failure for UTF-16 without a BOM and for a file that starts with a UTF-8 BOM
// but is not UTF-8 (naming where), std::bad_alloc when memory runs out.
DelimitedImport ImportDelimitedText(std::string bytes, const DelimitedImportOptions& options);

// The message listing the characters CP932 lacks, at the rows and columns the grid shows them.
std::string UnencodableMessage(const DelimitedImport& imported);

// The title of a table imported from `path`: the file's name without its folder and extension,
// in CP932 (characters CP932 lacks become "〓"), as a table file can hold it.
std::string TitleFromFileName(const std::string& path);

}  // namespace qv
