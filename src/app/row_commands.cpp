// Row and column editing of the main window: the row labels, emptying the table, deleting,
// inserting and pasting rows, adding and removing the last column, and the commands that do so
// at the current row. Each builds its step (edit/row_column_changes.h) and applies it.
//
// The commands work on data rows (1 .. RowCount-1) only. A table file may leave the grid with a
// single row, which takes away the fixed item-name row: row 0 can then become the current row.
// Deleting, pasting over or inserting before row 0 would move or overwrite the item names, so
// the commands leave such a request alone instead.
#include <memory>

#include "app/row_commands.h"
#include "edit/row_column_changes.h"

namespace qv {

namespace {

bool IsDataRow(const TableGrid& grid, int32_t row) {
    return row >= 1 && row < grid.RowCount();
}

}  // namespace

// --- Table-wide operations ---

void RowCommands::RenumberRows() {
    document_.RenumberRows();
}

void RowCommands::ClearAll() {
    Apply(std::make_unique<ClearAllChange>());
}

// --- Rows ---

void RowCommands::PasteRow(int32_t row) {
    if (!IsDataRow(Grid(), row)) {
        return;
    }
    const TableGrid& buffer = document_.DeletedRowBuffer();
    std::vector<CellTextsChange::Cell> cells;
    for (int32_t c = 1; c < Grid().ColCount(); ++c) {
        if (Grid().Cell(c, row) != buffer.Cell(c, 0)) {
            cells.push_back({c, row, Grid().CellText(c, row), buffer.CellText(c, 0)});
        }
    }
    Apply(std::make_unique<CellTextsChange>(std::move(cells), Grid().Current()));
}

void RowCommands::DeleteRow() {
    const int32_t r = Grid().Row();
    if (!IsDataRow(Grid(), r)) {
        return;
    }
    document_.KeepDeletedRow(r);
    if (Grid().RowCount() > 2) {
        Apply(std::make_unique<RowDeleteChange>(r));
        return;
    }
    // The only data row stays and is emptied, its label included; the label comes back at the
    // next renumbering.
    std::vector<CellTextsChange::Cell> cells;
    for (int32_t c = 0; c < Grid().ColCount(); ++c) {
        if (!Grid().Cell(c, r).empty()) {
            cells.push_back({c, r, Grid().CellText(c, r), ""});
        }
    }
    Apply(std::make_unique<CellTextsChange>(std::move(cells), Grid().Current()));
}

void RowCommands::InsertRow(int32_t index) {
    if (index >= 1 && index <= Grid().RowCount()) {
        Apply(std::make_unique<RowInsertChange>(index));
    }
}

// --- Columns ---

void RowCommands::AddColumn() {
    Apply(std::make_unique<ColumnCountChange>(+1));
}

void RowCommands::DeleteColumn() {
    if (Grid().ColCount() > 2) {
        Apply(std::make_unique<ColumnCountChange>(-1));
    }
}

void RowCommands::ClearAllAfterConfirmation() {
    const MessageButton answer =
        windows_.ShowMessage("全データを消去します。", MessageKind::Confirmation,
                             MessageButton::Yes | MessageButton::No);
    if (answer == MessageButton::Yes) {
        ClearAll();
    }
}

// --- Commands on the current row ---

void RowCommands::InsertRowBefore() {
    InsertRow(Grid().Row());
}

void RowCommands::InsertRowAfter() {
    InsertRow(Grid().Row() + 1);
}

void RowCommands::PasteDeletedRow() {
    PasteRow(Grid().Row());
}

}  // namespace qv
