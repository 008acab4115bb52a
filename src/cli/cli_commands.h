#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "interchange/text_encoding.h"
#include "tools/character_conversion.h"
#include "tools/row_filter.h"
#include "view/print_layout.h"

namespace qv::cli {

// Exit codes of quorvane-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the failure box's text went to stderr
inline constexpr int kExitUsage = 2;

// Written to stderr when the output cannot be written (a full disk, a closed pipe).
inline constexpr char kOutputFailedMessage[] = "結果を出力できませんでした。";
// Written for an exception that is no failure of the program's own; nothing escapes main.
inline constexpr char kUnexpectedFailureMessage[] = "予期しないエラーが発生しました。";

// Each command loads FILE through the program's own table reader and writes its result to
// `out`; a failure is written to `err` as the failure box would show it (message and ".").
int RunDump(const std::string& file, std::ostream& out, std::ostream& err);
int RunStats(const std::string& file, int32_t col, std::ostream& out, std::ostream& err);
int RunCount(const std::string& file, int32_t col, const std::string& textUtf8, std::ostream& out,
             std::ostream& err);

// export: the table's item names and data cells as delimited text on standard output.
int RunExport(const std::string& file, char delimiter, TextEncoding encoding, std::ostream& err);

// import: a CSV or TSV file as a new table file.
struct ImportArguments {
    std::string csv;
    std::string out;
    std::optional<std::string> title;  // UTF-8; the file's base name when not given
    std::optional<TextEncoding> encoding;
    std::optional<char> delimiter;  // detected when not given
    bool header = false;
    bool replaceUnencodable = false;
    bool force = false;
};
int RunImport(const ImportArguments& args, std::ostream& err);

// pdf: the table's printed pages as a PDF file.
struct PdfArguments {
    std::string in;
    std::string out;
    PrintChoices choices;
    bool force = false;
};
int RunPdf(const PdfArguments& args, std::ostream& err);

// sort: the data rows sorted by the keys, "N[:desc][:number|:date|:reading|:reading=M]" each.
struct SortArguments {
    std::string in;
    std::string out;
    std::vector<std::string> keys;
    bool force = false;
};
int RunSort(const SortArguments& args, std::ostream& err);

// convert: the data cells of the columns (all when none given) converted; the count of changed
// cells goes to `err`.
struct ConvertArguments {
    std::string in;
    std::string out;
    CharacterConversion conversion = CharacterConversion::TrimBlanks;
    std::vector<int32_t> cols;
    bool force = false;
};
int RunConvert(const ConvertArguments& args, std::ostream& err);
// dedupe: the table without the rows whose key cells an earlier row has, written to OUT.
struct DedupeArguments {
    std::string in;
    std::string out;
    std::vector<int32_t> cols;  // the key columns; every data column when empty
    bool loose = false;
    bool force = false;
};
int RunDedupe(const DedupeArguments& args, std::ostream& err);

// find: every data cell that matches, as "row<TAB>col<TAB>text" lines (UTF-8); 0 when some cell
// matched, 1 when none did, 2 for bad usage and for a failure.
struct FindArguments {
    std::string file;
    std::string pattern;  // UTF-8
    int32_t col = 0;      // 0: every data column
    bool whole = false;
    bool caseSensitive = false;
    bool regex = false;
    bool loose = false;
};
int RunFind(const FindArguments& args, std::ostream& out, std::ostream& err);

// diff: the differences between two table files (see diff_command.cpp); exit 0 for the same
// cells, 1 when they differ, 2 for bad usage or a failure.
struct DiffArguments {
    std::string a;
    std::string b;
    std::vector<int32_t> keys;  // grid columns; empty: rows pair by position
    bool loose = false;         // width, kana and case folded before cells are compared
};
int RunDiff(const DiffArguments& args, std::ostream& out, std::ostream& err);

// filter: the data rows that meet every condition, as a new table file.
struct FilterArguments {
    std::string in;
    std::string out;
    std::optional<int32_t> col;  // a grid column; every data column when not given
    std::vector<std::pair<FilterTest, std::string>> textTests;  // UTF-8 texts
    std::optional<std::string> numberOp;
    std::optional<std::string> number;
    bool loose = false;
    bool force = false;
};
int RunFilter(const FilterArguments& args, std::ostream& err);

}  // namespace qv::cli
