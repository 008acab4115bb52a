// The column tools of the main window: the statistics report, the match count and the item
// name of the current column, and the commands that open the two tool dialogs.
#include "app/main_form.h"
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
    grid_.SetCell(grid_.Col(), 0, name);
}

void MainForm::CountMatches(std::string_view searchText) {
    const int32_t matches = CountMatchingCells(grid_, grid_.Col(), searchText);
    windows_.ShowMessage(MatchCountMessage(matches), MessageKind::Information,
                         Buttons(MessageButton::OK));
}

void MainForm::OpenMatchCountDialog() {
    windows_.ShowMatchCountDialog();
}

void MainForm::OpenItemNameDialog() {
    windows_.ShowItemNameDialog();
}

}  // namespace qv
