// quorvane-cli dedupe IN OUT: the table without its duplicate rows, as "重複行の削除" leaves it:
// a row whose key cells equal an earlier row's goes, the first stays, and the count removed goes
// to stderr. The rows are removed by the same step as the window's, so both give the same bytes.
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"
#include "edit/row_removal_change.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "table/table_file_writer.h"
#include "tools/duplicate_rows.h"

namespace qv::cli {

namespace {

// The numbers 1 .. end-1: the data rows, or the data columns.
std::vector<int32_t> RowsFrom1(int32_t end) {
    std::vector<int32_t> numbers;
    for (int32_t n = 1; n < end; ++n) {
        numbers.push_back(n);
    }
    return numbers;
}

void RemoveRows(LoadedTable& table, const std::vector<int32_t>& removed) {
    TableGrid buffer(GridShape{});
    ShownRows everyRow;
    EditTarget target{table.grid, buffer, table.title, everyRow};
    const int32_t kept = table.grid.RowCount() - static_cast<int32_t>(removed.size());
    RowsRemovedChange change(OrderMovingRowsToEnd(table.grid.RowCount(), removed).sources, kept,
                             table.grid.ColCount(), table.grid.Current());
    change.Redo(target);
}

}  // namespace

int RunDedupe(const DedupeArguments& args, std::ostream& err) {
    for (const int32_t col : args.cols) {
        if (const int usage = CheckColumnArgument(col, err); usage != kExitOk) {
            return usage;
        }
    }
    try {
        if (IsExistingFile(args.out) && !args.force) {
            throw Failure(args.out + " は既にあります (上書きするには --force)");
        }
        const std::unique_ptr<LoadedTable> table = LoadTable(args.in, err);
        if (!table) {
            return kExitFailure;
        }
        std::vector<int32_t> keyCols = args.cols;
        if (keyCols.empty()) {
            keyCols = RowsFrom1(table->grid.ColCount());  // every data column
        }
        for (const int32_t col : keyCols) {
            if (const int usage = CheckColumnInTable(col, table->grid, err); usage != kExitOk) {
                return usage;
            }
        }
        const std::vector<int32_t> removed =
            DuplicateRows(table->grid, keyCols, RowsFrom1(table->grid.RowCount()),
                          args.loose ? KeyComparison::Loose : KeyComparison::Exact);
        if (!removed.empty()) {
            RemoveRows(*table, removed);
        }
        SaveTableFile(args.out, table->grid, table->title, table->window);
        err << removed.size() << '\n';
        return kExitOk;
    } catch (const std::exception& failure) {
        return ReportFailure(failure, err);
    }
}

}  // namespace qv::cli
