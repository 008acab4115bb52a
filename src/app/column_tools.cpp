// The column tools of the main window: the statistics report, the match count and the item
// name of the current column, and the commands that open the two tool dialogs.
#include <memory>

#include "app/column_tools.h"
#include "app/go_to_row.h"
#include "tools/column_statistics.h"
#include "tools/match_count.h"

namespace qv {

void ColumnTools::ShowColumnStatistics() {
    // Built before anything is shown: an overflow fails the command without a report.
    const std::string report = ColumnStatisticsReport(Grid(), Grid().Col(), decimalSeparator_);
    NoteWholeColumn();
    windows_.ShowMessage(report, MessageKind::Information, Buttons(MessageButton::OK));
}

std::string ColumnTools::ItemNameForDialog() const {
    return Grid().CellText(Grid().Col(), 0);
}

void ColumnTools::SetItemName(std::string_view name) {
    Apply(CellTextsChange::Typed(Grid(), {Grid().Col(), 0}, std::string(name)));
}

void ColumnTools::CountMatches(std::string_view searchText) {
    const int32_t matches = CountMatchingCells(Grid(), Grid().Col(), searchText);
    windows_.ShowMessage(MatchCountMessage(matches), MessageKind::Information,
                         Buttons(MessageButton::OK));
}

bool ColumnTools::GoToRow(std::string_view typed) {
    const std::optional<int32_t> row = RowToGoTo(typed, Grid().RowCount());
    if (!row) {
        windows_.ShowMessage(kNotARowNumberMessage, MessageKind::Warning,
                             Buttons(MessageButton::OK));
        return false;
    }
    document_.Select({Grid().Col(), *row});
    return true;
}

void ColumnTools::OpenGoToRowDialog() {
    windows_.ShowGoToRowDialog();
}

void ColumnTools::NoteWholeColumn() {
    if (document_.Shown().Filtered()) {
        windows_.ShowStatusNote("フィルター中ですが、隠れた行も含めて列全体を対象にしました");
    }
}

void ColumnTools::OpenMatchCountDialog() {
    NoteWholeColumn();
    windows_.ShowMatchCountDialog();
}

void ColumnTools::OpenItemNameDialog() {
    windows_.ShowItemNameDialog();
}

}  // namespace qv
