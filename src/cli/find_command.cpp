// quorvane-cli find FILE PATTERN: every data cell that matches, in the find bar's order (row by
// row, each from left to right), as "row<TAB>col<TAB>text" in UTF-8. As grep: exit 0 when a cell
// matched, 1 when none did, 2 for bad usage and for every failure (a bad pattern included), so
// that a failure is never taken for "nothing found".
#include <algorithm>
#include <ostream>
#include <utility>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"
#include "platform/cp932.h"
#include "platform/utf8.h"
#include "table/cell_handle.h"
#include "tools/cell_pattern.h"

namespace qv::cli {

namespace {

constexpr int kExitNothingFound = 1;

PatternOptions OptionsOf(const FindArguments& args) {
    PatternOptions options;
    options.syntax = args.regex   ? PatternSyntax::Regex
                     : args.loose ? PatternSyntax::Loose
                                  : PatternSyntax::Plain;
    options.extent = args.whole ? MatchExtent::WholeCell : MatchExtent::PartOfCell;
    options.letterCase = args.caseSensitive ? LetterCase::Sensitive : LetterCase::Insensitive;
    return options;
}

// The matching cells as (row, col), in row order.
std::vector<GridCell> MatchingCells(const TableGrid& grid, const CellPattern& pattern,
                                    const SearchArea& area) {
    std::vector<GridCell> found;
    for (const int32_t col : grid.StoredColumnNumbers(area.colBegin, area.colEnd)) {
        grid.VisitColumnTexts(col, area.rowBegin, area.rowEnd, [&](int32_t row, CellHandle h) {
            if (pattern.Matches(cell_handle::Text(h))) {
                found.push_back(GridCell{col, row});
            }
        });
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const GridCell& a, const GridCell& b) { return a.row < b.row; });
    return found;
}

}  // namespace

int RunFind(const FindArguments& args, std::ostream& out, std::ostream& err) {
    if (args.regex && args.loose) {
        err << "--regex and --loose cannot be used together\n";
        return kExitUsage;
    }
    if (!IsValidUtf8(args.pattern)) {
        err << "PATTERN is not valid UTF-8\n";
        return kExitUsage;
    }
    if (args.col != 0 && CheckColumnArgument(args.col, err) != kExitOk) {
        return kExitUsage;
    }
    try {
        const std::optional<CellPattern> pattern =
            CellPattern::FromUtf8(args.pattern, OptionsOf(args));
        if (!pattern || pattern->FindsNothing()) {
            return kExitNothingFound;  // a text Shift-JIS cannot hold is in no cell
        }
        const std::unique_ptr<LoadedTable> table = LoadTable(args.file, err);
        if (!table) {
            return kExitUsage;
        }
        if (args.col != 0 && CheckColumnInTable(args.col, table->grid, err) != kExitOk) {
            return kExitUsage;
        }
        const TableGrid& grid = table->grid;
        const SearchArea area = args.col != 0 ? ColumnArea(grid, args.col) : WholeTableArea(grid);
        const std::vector<GridCell> found = MatchingCells(grid, *pattern, area);
        for (const GridCell cell : found) {
            out << cell.row << '\t' << cell.col << '\t'
                << Cp932ToUtf8(grid.Cell(cell.col, cell.row)) << '\n';
        }
        out.flush();
        if (!out) {
            err << kOutputFailedMessage << '\n';
            return kExitUsage;
        }
        return found.empty() ? kExitNothingFound : kExitOk;
    } catch (const std::exception& failure) {
        ReportFailure(failure, err);
        return kExitUsage;
    }
}

}  // namespace qv::cli
