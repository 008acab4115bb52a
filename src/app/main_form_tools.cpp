// The column tools of the main window: the statistics report, the match count and the item
// name of the current column, and the commands that open the two tool dialogs.
#include <memory>

#include "app/go_to_row.h"
#include "app/main_form.h"
#include "app/main_form_change_scope.h"
#include "tools/column_statistics.h"
#include "tools/match_count.h"

namespace qv {

void MainForm::CalcColumn() {
    // Built before anything is shown: an overflow fails the command without a report.
    const std::string report = ColumnStatisticsReport(grid_, grid_.Col(), decimalSeparator_);
    windows_.ShowMessage(report, MessageKind::Information, Buttons(MessageButton::OK));
}

std::string MainForm::ItemNameForDialog() const {
    return grid_.CellText(grid_.Col(), 0);
}

void MainForm::SetItemName(std::string_view name) {
    ChangeScope scope(*this);
    const int32_t col = grid_.Col();
    std::string before = grid_.CellText(col, 0);
    if (before == name) {
        return;
    }
    grid_.SetCell(col, 0, name);
    std::vector<CellTextsChange::Cell> cells{{col, 0, std::move(before), std::string(name)}};
    Record(std::make_unique<CellTextsChange>(std::move(cells), grid_.Current()));
}

void MainForm::CountMatches(std::string_view searchText) {
    const int32_t matches = CountMatchingCells(grid_, grid_.Col(), searchText);
    windows_.ShowMessage(MatchCountMessage(matches), MessageKind::Information,
                         Buttons(MessageButton::OK));
}

bool MainForm::GoToRow(std::string_view typed) {
    const std::optional<int32_t> row = RowToGoTo(typed, grid_.RowCount());
    if (!row) {
        windows_.ShowMessage(kNotARowNumberMessage, MessageKind::Warning,
                             Buttons(MessageButton::OK));
        return false;
    }
    grid_.SetCurrentCell({grid_.Col(), *row});
    return true;
}

void MainForm::OpenGoToRowDialog() {
    windows_.ShowGoToRowDialog();
}

void MainForm::OpenMatchCountDialog() {
    windows_.ShowMatchCountDialog();
}

void MainForm::OpenItemNameDialog() {
    windows_.ShowItemNameDialog();
}

}  // namespace qv
