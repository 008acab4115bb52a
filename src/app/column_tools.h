#pragma once

#include <string>
#include <string_view>

#include "app/document_change.h"

namespace qv {

// The column tools of the main window: the statistics report, the match count and the item
// name of the current column, going to a row, and the commands that open their dialogs.
class ColumnTools : private CommandGroup {
public:
    // `decimalSeparator` is the locale's, as the statistics write numbers.
    ColumnTools(TableDocument& document, WindowSystem& windows, const std::string& decimalSeparator)
        : CommandGroup(document, windows), decimalSeparator_(decimalSeparator) {}

    void ShowColumnStatistics();
    // Item name dialog: the text its box shows when it opens, and what OK stores.
    std::string ItemNameForDialog() const;
    void SetItemName(std::string_view name);
    // Match count dialog's OK: counts the current column's cells equal to the text and shows it.
    void CountMatches(std::string_view searchText);
    // Go-to-row dialog's OK: makes the row the text names current in the same column (see
    // RowToGoTo); a text that names no row changes nothing, says so and returns false.
    bool GoToRow(std::string_view typed);
    // The match count dialog, the item name dialog and the go-to-row dialog, modal.
    void OpenMatchCountDialog();
    void OpenItemNameDialog();
    void OpenGoToRowDialog();

private:
    // The column tools count every row of the column: said so while a filter hides some.
    void NoteWholeColumn();

    const std::string& decimalSeparator_;
};

}  // namespace qv
