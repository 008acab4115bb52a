#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "interchange/text_encoding.h"
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
