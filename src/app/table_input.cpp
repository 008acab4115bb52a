#include "app/table_input.h"

#include "app/command_progress.h"
#include "app/list_commands.h"
#include "edit/bulk_changes.h"
#include "edit/row_column_changes.h"
#include "tools/fill_cells.h"
#include "view/fit_widths.h"

namespace qv {

bool TableInput::Select(GridCell cell, TableGrid::Selection selection) {
    return document_.Select(cell, selection);
}

void TableInput::TypeInCurrentCell(std::string text) {
    const TableGrid& table = document_.Table();
    Apply(CellTextsChange::Typed(table, table.Current(), std::move(text)),
          TableDocument::Joining::Typing);
}

void TableInput::FillSelection(const std::string& text) {
    const TableGrid& table = document_.Table();
    const std::vector<int32_t> rows = SelectedRows(table, document_.Shown());
    if (rows.empty()) {
        return;
    }
    std::unique_ptr<ProgressMonitor> monitor =
        windows_ == nullptr ? nullptr
                            : windows_->StartProgress("セルに書き込んでいます", ProgressKind::Load);
    std::optional<std::unique_ptr<TableChange>> fill =
        ComputeWithMonitor(std::move(monitor), [&](const WorkProgress& progress) {
            return FillChange(table, SelectedCells(table, rows), text, progress);
        });
    if (fill) {
        Apply(std::move(*fill));
    }
}

void TableInput::FitColumnWidth(int32_t col) {
    const TableGrid& table = document_.Table();
    if (col >= 1 && col < table.ColCount()) {
        ResizeColumn(col, FittedColumnWidth(table, col));
    }
}

void TableInput::ResizeColumn(int32_t col, int32_t width) {
    Apply(std::make_unique<SizeChange>(TableGridObserver::Axis::Columns, col, width,
                                       document_.Table().Current()));
}

void TableInput::ResizeRow(int32_t row, int32_t height) {
    Apply(std::make_unique<SizeChange>(TableGridObserver::Axis::Rows, row, height,
                                       document_.Table().Current()));
}

void TableInput::MoveRow(int32_t from, int32_t to) {
    // Between shown rows the drop place would be ambiguous (before or after the hidden ones).
    if (document_.Shown().Filtered()) {
        if (notice_) {
            notice_("フィルター中は行をドラッグで移動できません (フィルターを解除してください)");
        }
        return;
    }
    Apply(std::make_unique<RowMoveChange>(from, to));
}

void TableInput::MoveColumn(int32_t from, int32_t to) {
    Apply(std::make_unique<ColumnMoveChange>(from, to));
}

void TableInput::Apply(std::unique_ptr<TableChange> change, TableDocument::Joining joining) {
    document_.Apply(std::move(change), joining);
    if (changed_) {
        changed_();
    }
}

}  // namespace qv
