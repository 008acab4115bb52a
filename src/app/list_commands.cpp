// The list tools of the data menu and the edit menu's fill. The rules live in src/tools (fill
// and duplicate rows); here the selection becomes a list of rows and the result one step.
#include "app/list_commands.h"

#include <algorithm>
#include <memory>
#include <numeric>

#include "edit/bulk_changes.h"
#include "edit/column_widths_change.h"
#include "edit/row_removal_change.h"
#include "platform/cp932.h"
#include "tools/duplicate_rows.h"
#include "tools/fill_cells.h"
#include "view/fit_widths.h"

namespace qv {

namespace {

// The numbers [begin, end): rows or columns.
std::vector<int32_t> RowRange(int32_t begin, int32_t end) {
    std::vector<int32_t> rows(static_cast<std::size_t>(std::max(end - begin, 0)));
    std::iota(rows.begin(), rows.end(), begin);
    return rows;
}

}  // namespace

std::string RemovedRowsMessage(std::size_t rows) {
    if (rows == 0) {
        return "重複行はありませんでした。";
    }
    return std::to_string(rows) + " 行を削除しました。";
}

std::vector<int32_t> SelectedRows(const TableGrid& grid) {
    const GridCell a = grid.Current();
    const GridCell b = grid.Anchor();
    return RowRange(std::max(std::min(a.row, b.row), 1), std::max(a.row, b.row) + 1);
}

RowSpan SelectedCells(const TableGrid& grid, const std::vector<int32_t>& rows) {
    const GridCell a = grid.Current();
    const GridCell b = grid.Anchor();
    return RowSpan{std::min(a.col, b.col), std::max(a.col, b.col) + 1, rows};
}

std::vector<int32_t> ListCommands::DataRows() const {
    return RowRange(1, Grid().RowCount());
}

void ListCommands::FillDown() {
    const std::vector<int32_t> rows = SelectedRows(Grid());
    Apply(std::make_unique<CellListChange>(FillDownTexts(Grid(), SelectedCells(Grid(), rows)),
                                           GridCursor::Of(Grid())));
}

void ListCommands::RemoveDuplicateRows() {
    std::vector<std::string> itemNames;
    for (int32_t col = 1; col < Grid().ColCount(); ++col) {
        itemNames.push_back(Cp932ToUtf8(Grid().Cell(col, 0)));
    }
    const std::optional<DuplicateRowsChoice> choice = windows_.RunDuplicateRowsDialog(itemNames);
    if (!choice) {
        return;
    }
    const std::vector<int32_t> removed =
        DuplicateRows(Grid(), choice->keyCols, DataRows(), choice->comparison);
    if (!removed.empty()) {
        const int32_t kept = Grid().RowCount() - static_cast<int32_t>(removed.size());
        Apply(std::make_unique<RowsRemovedChange>(
            OrderMovingRowsToEnd(Grid().RowCount(), removed).sources, kept, Grid().ColCount(),
            Grid().Current()));
    }
    windows_.ShowMessage(RemovedRowsMessage(removed.size()), MessageKind::Information,
                         Buttons(MessageButton::OK));
}

void ListCommands::FitColumnWidths() {
    const GridCell a = Grid().Current();
    const GridCell b = Grid().Anchor();
    std::vector<int32_t> cols =
        a == b ? RowRange(1, Grid().ColCount())
               : RowRange(std::max(std::min(a.col, b.col), 1), std::max(a.col, b.col) + 1);
    Apply(std::make_unique<ColumnWidthsChange>(FittedWidths(Grid(), cols), Grid().Current()));
}

}  // namespace qv
