// The column tools of the main window: the statistics report, the match count and the item
// name of the current column, and the commands that open the two tool dialogs.
#include <memory>

#include "app/column_tools.h"
#include "app/go_to_row.h"
#include "app/status_texts.h"
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

void ColumnTools::ShowSelectionText(std::function<void(const std::string&)> show) {
    const SelectedBlock range = SelectedRange(Grid());
    const int64_t cells =
        int64_t{range.last.col - range.first.col + 1} * (range.last.row - range.first.row + 1);
    if (cells <= kCellsWorthABackgroundReading) {
        selectionReading_.Stop();
        show(SelectionStatusText(Grid(), decimalSeparator_));
        return;
    }
    show(kCountingNote);
    selectionReading_.Start([job = MakeSelectionStatusJob(Grid(), decimalSeparator_),
                             show = std::move(show)](const std::atomic<bool>& cancelled) {
        return [text = job(cancelled), show] { show(text); };
    });
}

void ColumnTools::OpenGoToRowDialog() {
    windows_.ShowGoToRowDialog([this](const std::string& typed) { return GoToRow(typed); });
}

void ColumnTools::NoteWholeColumn() {
    if (document_.Shown().Filtered()) {
        windows_.ShowStatusNote("フィルター中ですが、隠れた行も含めて列全体を対象にしました");
    }
}

void ColumnTools::OpenMatchCountDialog() {
    NoteWholeColumn();
    windows_.ShowMatchCountDialog([this](const std::string& text) { CountMatches(text); });
}

void ColumnTools::OpenItemNameDialog() {
    if (std::optional<std::string> name = windows_.AskItemName(ItemNameForDialog())) {
        SetItemName(*name);
    }
}

}  // namespace qv
