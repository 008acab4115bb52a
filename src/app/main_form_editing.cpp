// Row and column editing of the main window: the row labels, emptying the table, deleting,
// inserting and pasting rows, adding and removing the last column, and the commands that do so
// at the current row.
//
// Every row shift goes through the grid's bulk operations, so inserting or deleting near the top
// of a table with a million rows costs no more than near its end.
//
// The commands work on data rows (1 .. RowCount-1) only. A table file may leave the grid with a
// single row, which takes away the fixed item-name row: row 0 can then become the current row.
// Deleting, pasting over or inserting before row 0 would move or overwrite the item names, so
// the commands leave such a request alone instead.
#include <algorithm>

#include "app/main_form.h"

namespace qv {

namespace {

bool IsDataRow(const TableGrid& grid, int32_t row) {
    return row >= 1 && row < grid.RowCount();
}

// Raises or lowers the buffer's column count along with the table's. The buffer's count never
// limits what it holds, so it is kept inside the grid's range rather than allowed to fail after
// the table has already changed.
void StepBufferColCount(TableGrid& buffer, int32_t step) {
    const int32_t wanted = buffer.ColCount() + step;
    buffer.SetColCount(std::clamp(wanted, 1, kGridCountLimit - 1));
}

// Writes the current cell's text back into it: it is repainted and an open in-place editor
// shows what is stored there now, after a bulk change that moved texts under it.
void RefreshCurrentCell(TableGrid& grid) {
    const std::string text = grid.CellText(grid.Col(), grid.Row());
    grid.SetCell(grid.Col(), grid.Row(), text);
}

}  // namespace

// --- Table-wide operations ---

void MainForm::RenumberRows() {
    renumbering_ = true;
    grid_.WriteRowLabels(1, grid_.RowCount());
    renumbering_ = false;
}

void MainForm::ClearAll() {
    title_.clear();
    windows_.TitleChanged();
    grid_.ClearCells(0, grid_.RowCount(), 1, grid_.ColCount());
    RefreshCurrentCell(grid_);
}

// --- Rows ---

void MainForm::CopyRowToBuff(int32_t row) {
    for (int32_t c = 1; c < grid_.ColCount(); ++c) {
        buffer_.SetCell(c, 0, grid_.Cell(c, row));
    }
}

void MainForm::PasteRow(int32_t row) {
    if (!IsDataRow(grid_, row)) {
        return;
    }
    for (int32_t c = 1; c < grid_.ColCount(); ++c) {
        grid_.SetCell(c, row, buffer_.Cell(c, 0));
    }
}

void MainForm::DeleteRow() {
    const int32_t r = grid_.Row();
    if (!IsDataRow(grid_, r)) {
        return;
    }
    CopyRowToBuff(r);
    if (grid_.RowCount() == 2) {
        // The only data row stays and is emptied, its label included; the label comes back at
        // the next renumbering.
        grid_.ClearCells(r, r + 1, 0, grid_.ColCount());
        RefreshCurrentCell(grid_);
        return;
    }
    grid_.RemoveRowShiftingUp(r, grid_.RowCount(), 1, grid_.ColCount());
    // The grid moves the current cell up when the deleted row was the last one.
    grid_.SetRowCount(grid_.RowCount() - 1);
    RefreshCurrentCell(grid_);
    RenumberRows();
}

void MainForm::InsertRow(int32_t index) {
    if (index < 1 || index > grid_.RowCount()) {
        return;
    }
    // Setting the count first: a table at the grid's limit fails here, before any text moved.
    grid_.SetRowCount(grid_.RowCount() + 1);
    grid_.InsertEmptyRow(index, grid_.RowCount(), 1, grid_.ColCount());
    RefreshCurrentCell(grid_);
    RenumberRows();
}

void MainForm::StringGridRowMoved(int32_t /*from*/, int32_t /*to*/) {
    RenumberRows();
}

// --- Columns ---

void MainForm::AddColumn() {
    const int32_t lastWidth = grid_.ColWidth(grid_.ColCount() - 1);
    grid_.SetColCount(grid_.ColCount() + 1);
    StepBufferColCount(buffer_, +1);
    // Growing gave the former last column the default width; it gets its own back.
    grid_.SetColWidth(grid_.ColCount() - 2, lastWidth);
}

void MainForm::DeleteColumn() {
    if (grid_.ColCount() <= 2) {
        return;
    }
    grid_.SetColCount(grid_.ColCount() - 1);
    StepBufferColCount(buffer_, -1);
}

void MainForm::ClearAllAfterConfirmation() {
    const MessageButton answer =
        windows_.ShowMessage("全データを消去します。", MessageKind::Confirmation,
                             MessageButton::Yes | MessageButton::No);
    if (answer == MessageButton::Yes) {
        ClearAll();
    }
}

// --- Commands on the current row ---

void MainForm::InsertRowBefore() {
    InsertRow(grid_.Row());
}

void MainForm::InsertRowAfter() {
    InsertRow(grid_.Row() + 1);
}

void MainForm::PasteDeletedRow() {
    PasteRow(grid_.Row());
}

}  // namespace qv
