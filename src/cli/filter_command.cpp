// quorvane-cli filter IN OUT: a table of the data rows that meet every condition given, as the
// program's filter shows them, written atomically. The item names, widths, title and window
// geometry are kept and the row labels renumbered. A table of which no row matches keeps one
// empty data row, as the program keeps one when the last row is deleted.
#include <algorithm>
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/utf8.h"
#include "table/table_file_format.h"
#include "table/table_file_reader.h"
#include "table/table_file_writer.h"
#include "tools/cell_regex.h"
#include "tools/row_filter.h"
#include "tools/statistics_number.h"

namespace qv::cli {

namespace {

// The first character of a UTF-8 text that Shift-JIS has no code for, in UTF-8; empty when
// there is none.
std::string FirstUnrepresentable(std::string_view utf8) {
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Character c = DecodeUtf8At(utf8, at);
        if (!IsCp932Representable(c.value)) {
            return std::string(utf8.substr(at, c.length));
        }
        at += c.length;
    }
    return {};
}

// Checks a condition's text from the command line: a usage message and false when it is no
// UTF-8 or holds a character Shift-JIS lacks.
bool CheckText(const std::string& utf8, std::ostream& err) {
    if (!IsValidUtf8(utf8)) {
        err << "the text \"" << utf8 << "\" is not valid UTF-8\n";
        return false;
    }
    if (const std::string c = FirstUnrepresentable(utf8); !c.empty()) {
        err << "the character \"" << c << "\" of \"" << utf8
            << "\" cannot be written in Shift-JIS (CP932)\n";
        return false;
    }
    return true;
}

std::optional<FilterTest> NumberTestNamed(const std::string& op) {
    static const std::pair<const char*, FilterTest> kNames[] = {
        {"=", FilterTest::NumberEqual},     {"==", FilterTest::NumberEqual},
        {"!=", FilterTest::NumberNotEqual}, {"≠", FilterTest::NumberNotEqual},
        {">", FilterTest::Greater},         {">=", FilterTest::GreaterOrEqual},
        {"≥", FilterTest::GreaterOrEqual},  {"<", FilterTest::Less},
        {"<=", FilterTest::LessOrEqual},    {"≤", FilterTest::LessOrEqual},
        {"eq", FilterTest::NumberEqual},    {"ne", FilterTest::NumberNotEqual},
        {"gt", FilterTest::Greater},        {"ge", FilterTest::GreaterOrEqual},
        {"lt", FilterTest::Less},           {"le", FilterTest::LessOrEqual}};
    for (const auto& [name, test] : kNames) {
        if (op == name) {
            return test;
        }
    }
    return std::nullopt;
}

// The conditions the arguments give, or nothing after a usage message.
std::optional<std::vector<FilterCondition>> Conditions(const FilterArguments& args,
                                                       std::ostream& err) {
    std::vector<FilterCondition> conditions;
    for (const auto& [test, textUtf8] : args.textTests) {
        if (!CheckText(textUtf8, err)) {
            return std::nullopt;
        }
        conditions.push_back({args.col.value_or(kAnyFilterColumn), test,
                              test == FilterTest::Regex ? textUtf8 : *Utf8ToCp932(textUtf8)});
    }
    if (args.numberOp || args.number) {
        const std::optional<FilterTest> test =
            args.numberOp ? NumberTestNamed(*args.numberOp) : std::nullopt;
        double value = 0;
        std::string buffer;
        if (!test || !args.number ||
            ReadCellNumber(*args.number, buffer, value) != NumberReading::Number) {
            err << "--number-op (=, !=, >, >=, <, <=) and --number (a number) go together\n";
            return std::nullopt;
        }
        conditions.push_back({args.col.value_or(kAnyFilterColumn), *test, *args.number});
    }
    if (conditions.empty()) {
        err << "give at least one condition (--contains, --equals, ..., --number-op)\n";
        return std::nullopt;
    }
    return conditions;
}

// Rows 1 .. of the grid become the `shown` rows, in order; the rest are dropped.
void KeepRows(TableGrid& grid, const std::vector<int32_t>& shown) {
    std::vector<int32_t> sources = shown;
    sources.reserve(static_cast<std::size_t>(grid.RowCount() - 1));
    std::size_t next = 0;
    for (int32_t row = 1; row < grid.RowCount(); ++row) {
        if (next < shown.size() && shown[next] == row) {
            ++next;
        } else {
            sources.push_back(row);
        }
    }
    grid.PermuteRows(1, sources, 1);
    const auto kept = static_cast<int32_t>(shown.size());
    grid.ClearCells(kept + 1, grid.RowCount(), 1, grid.ColCount());
    grid.SetRowCount(std::max(kept, 1) + 1);
    grid.WriteRowLabels(1, grid.RowCount());
}

}  // namespace

int RunFilter(const FilterArguments& args, std::ostream& err) {
    if (args.col && CheckColumnArgument(*args.col, err) != kExitOk) {
        return kExitUsage;
    }
    const std::optional<std::vector<FilterCondition>> conditions = Conditions(args, err);
    if (!conditions) {
        return kExitUsage;
    }
    std::optional<RowFilter> filter;
    try {
        filter.emplace(*conditions, args.loose ? FilterMatching::Loose : FilterMatching::Exact);
    } catch (const Failure& badRegex) {
        err << "--regex: " << badRegex.what() << '\n';
        return kExitUsage;
    }
    try {
        if (IsExistingFile(args.out) && !args.force) {
            throw Failure(args.out + " は既にあります (上書きするには --force)");
        }
        std::optional<TableFileContent> content = ReadTableFile(args.in);
        if (!content) {
            err << kUnusableFileMessage << '\n';
            return kExitFailure;
        }
        LoadedTable table;
        const WindowGeometry window = content->window;
        ApplyTableFile(std::move(*content), table.grid, table.title);
        if (args.col && CheckColumnInTable(*args.col, table.grid, err) != kExitOk) {
            return kExitUsage;
        }
        KeepRows(table.grid, filter->ShownRows(table.grid));
        if (filter->StoppedAny()) {
            err << kRegexStoppedMessage << '\n';
        }
        SaveTableFile(args.out, table.grid, table.title, window);
        return kExitOk;
    } catch (const std::exception& failure) {
        return ReportFailure(failure, err);
    }
}

}  // namespace qv::cli
