#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "app/document_change.h"
#include "edit/background_reading.h"

namespace qv {

// The column tools of the main window: the statistics report, the match count and the item
// name of the current column, going to a row, and the commands that open their dialogs.
class ColumnTools : private CommandGroup {
public:
    // `decimalSeparator` is the locale's, as the statistics write numbers.
    ColumnTools(TableDocument& document, WindowSystem& windows, const std::string& decimalSeparator)
        : CommandGroup(document, windows),
          decimalSeparator_(decimalSeparator),
          selectionReading_(document, [&windows](std::function<void()> task) {
              windows.PostToWindowThread(std::move(task));
          }) {}

    void ShowColumnStatistics();
    // The item name of the current column, as the item name dialog stores it.
    void SetItemName(std::string_view name);
    // Match count dialog's OK: counts the current column's cells equal to the text and shows it.
    void CountMatches(std::string_view searchText);
    // Go-to-row dialog's OK: makes the row the text names current in the same column (see
    // RowToGoTo); a text that names no row changes nothing, says so and returns false.
    bool GoToRow(std::string_view typed);
    // The match count dialog, the item name dialog (filled with the current column's item
    // name) and the go-to-row dialog, modal.
    void OpenMatchCountDialog();
    void OpenItemNameDialog();
    void OpenGoToRowDialog();
    // The status bar's figures of the selection (SelectionStatusText), handed to `show`: at once
    // for a small selection; for a large one kCountingNote first, then the figures from a thread
    // of their own, unless a later call, StopSelectionText or a change of the table drops them.
    void ShowSelectionText(std::function<void(const std::string&)> show);
    void StopSelectionText() { selectionReading_.Stop(); }

private:
    std::string ItemNameForDialog() const;
    // The column tools count every row of the column: said so while a filter hides some.
    void NoteWholeColumn();

    const std::string& decimalSeparator_;
    BackgroundReading selectionReading_;
};

}  // namespace qv
