// quorvane-cli convert: the character kinds of the data cells converted, as the window's
// "文字種の変換" converts a selection, written to a new table file.
#include <algorithm>
#include <numeric>
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"

namespace qv::cli {

int RunConvert(const ConvertArguments& args, std::ostream& err) {
    for (const int32_t col : args.cols) {
        if (CheckColumnArgument(col, err) != kExitOk) {
            return kExitUsage;
        }
    }
    return RewriteTable(args.in, args.out, args.force, err, [&](LoadedTable& table) {
        std::vector<int32_t> cols = args.cols;
        std::sort(cols.begin(), cols.end());
        cols.erase(std::unique(cols.begin(), cols.end()), cols.end());
        for (const int32_t col : cols) {
            if (CheckColumnInTable(col, table.grid, err) != kExitOk) {
                return kExitUsage;
            }
        }
        if (cols.empty()) {
            cols.resize(static_cast<std::size_t>(std::max(table.grid.ColCount() - 1, 0)));
            std::iota(cols.begin(), cols.end(), 1);
        }
        CellTextList changed =
            ConvertedCells(table.grid, cols, 1, table.grid.RowCount(), args.conversion);
        err << changed.Size() << " 個のセルを変換しました。\n";
        table.grid.ExchangeCellTexts(changed);
        return kExitOk;
    });
}

}  // namespace qv::cli
