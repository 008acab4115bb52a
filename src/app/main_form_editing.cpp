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
//
// Each command records what it changes as one step of the undo history: the texts it drops or
// overwrites, the shape before and after, and the row labels when it renumbers them.
#include <algorithm>
#include <memory>

#include "app/main_form.h"
#include "app/main_form_change_scope.h"

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

// The texts of one row in columns [colBegin, colEnd).
std::vector<std::string> RowTexts(const TableGrid& grid, int32_t row, int32_t colBegin,
                                  int32_t colEnd) {
    std::vector<std::string> texts;
    for (int32_t c = colBegin; c < colEnd; ++c) {
        texts.emplace_back(grid.Cell(c, row));
    }
    return texts;
}

}  // namespace

// --- Table-wide operations ---

void MainForm::RenumberRows() {
    grid_.WriteRowLabels(1, grid_.RowCount());
}

void MainForm::ClearAll() {
    ChangeScope scope(*this);
    auto change = std::make_unique<ShapeChange>(GridFrame::Of(Target()));
    change->SetTitles(title_, "");
    title_.clear();
    windows_.TitleChanged();
    // The texts move into the step rather than being freed: undoing costs no copy of the table.
    const int32_t rowEnd = grid_.RowCount();
    const int32_t colEnd = grid_.ColCount();
    change->SetEmptied({rowEnd, 1, colEnd, grid_.TakeRows(rowEnd, 1, colEnd)});
    RefreshCurrentCell(grid_);
    change->SetAfter(GridFrame::Of(Target()));
    change->CountBytes();
    Record(std::move(change));
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
    ChangeScope scope(*this);
    std::vector<CellTextsChange::Cell> cells;
    for (int32_t c = 1; c < grid_.ColCount(); ++c) {
        if (grid_.Cell(c, row) != buffer_.Cell(c, 0)) {
            cells.push_back({c, row, grid_.CellText(c, row), buffer_.CellText(c, 0)});
        }
        grid_.SetCell(c, row, buffer_.Cell(c, 0));
    }
    if (!cells.empty()) {
        Record(std::make_unique<CellTextsChange>(std::move(cells), grid_.Current()));
    }
}

void MainForm::DeleteRow() {
    const int32_t r = grid_.Row();
    if (!IsDataRow(grid_, r)) {
        return;
    }
    ChangeScope scope(*this);
    CopyRowToBuff(r);
    const int32_t rowCount = grid_.RowCount();
    const int32_t colCount = grid_.ColCount();
    if (rowCount == 2) {
        // The only data row stays and is emptied, its label included; the label comes back at
        // the next renumbering.
        std::vector<CellTextsChange::Cell> cells;
        for (int32_t c = 0; c < colCount; ++c) {
            if (!grid_.Cell(c, r).empty()) {
                cells.push_back({c, r, grid_.CellText(c, r), ""});
            }
        }
        grid_.ClearCells(r, r + 1, 0, colCount);
        RefreshCurrentCell(grid_);
        if (!cells.empty()) {
            Record(std::make_unique<CellTextsChange>(std::move(cells), grid_.Current()));
        }
        return;
    }
    auto change = std::make_unique<ShapeChange>(GridFrame::Of(Target()));
    // The row goes, and the last row's texts stay where they were as well as moving up.
    change->SetRowShift({r, rowCount - 1, 1, RowTexts(grid_, r, 1, colCount),
                         RowTexts(grid_, rowCount - 1, 1, colCount)});
    CellColumn labels = grid_.CopyColumn(0);
    grid_.RemoveRowShiftingUp(r, rowCount, 1, colCount);
    // The grid moves the current cell up when the deleted row was the last one.
    grid_.SetRowCount(rowCount - 1);
    RefreshCurrentCell(grid_);
    RenumberRows();
    change->SetLabels(std::move(labels), grid_.CopyColumn(0));
    change->SetAfter(GridFrame::Of(Target()));
    change->CountBytes();
    Record(std::move(change));
}

void MainForm::InsertRow(int32_t index) {
    if (index < 1 || index > grid_.RowCount()) {
        return;
    }
    ChangeScope scope(*this);
    const int32_t rowCount = grid_.RowCount();
    const int32_t colCount = grid_.ColCount();
    auto change = std::make_unique<ShapeChange>(GridFrame::Of(Target()));
    // The shift drops the texts stored just beyond the old last row.
    change->SetRowShift({rowCount, index, 1, RowTexts(grid_, rowCount, 1, colCount),
                         std::vector<std::string>(static_cast<std::size_t>(colCount - 1))});
    CellColumn labels = grid_.CopyColumn(0);
    // Setting the count first: a table at the grid's limit fails here, before any text moved.
    grid_.SetRowCount(rowCount + 1);
    grid_.InsertEmptyRow(index, grid_.RowCount(), 1, colCount);
    RefreshCurrentCell(grid_);
    RenumberRows();
    change->SetLabels(std::move(labels), grid_.CopyColumn(0));
    change->SetAfter(GridFrame::Of(Target()));
    change->CountBytes();
    Record(std::move(change));
}

void MainForm::StringGridRowMoved(int32_t /*from*/, int32_t /*to*/) {
    RenumberRows();
}

// --- Columns ---

void MainForm::AddColumn() {
    ChangeScope scope(*this);
    auto change = std::make_unique<ShapeChange>(GridFrame::Of(Target()));
    const int32_t lastWidth = grid_.ColWidth(grid_.ColCount() - 1);
    grid_.SetColCount(grid_.ColCount() + 1);
    StepBufferColCount(buffer_, +1);
    // Growing gave the former last column the default width; it gets its own back.
    grid_.SetColWidth(grid_.ColCount() - 2, lastWidth);
    change->SetAfter(GridFrame::Of(Target()));
    change->CountBytes();
    Record(std::move(change));
}

void MainForm::DeleteColumn() {
    if (grid_.ColCount() <= 2) {
        return;
    }
    ChangeScope scope(*this);
    auto change = std::make_unique<ShapeChange>(GridFrame::Of(Target()));
    grid_.SetColCount(grid_.ColCount() - 1);
    StepBufferColCount(buffer_, -1);
    change->SetAfter(GridFrame::Of(Target()));
    change->CountBytes();
    Record(std::move(change));
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
