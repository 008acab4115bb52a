#pragma once

#include <cstdint>

#include "app/document_change.h"

namespace qv {

// Row and column editing of the main table: the row labels, emptying the table, deleting,
// inserting and pasting rows, adding and removing the last column, and the commands that do so
// at the current row. Each is one step of the undo history.
class RowCommands : private CommandGroup {
public:
    RowCommands(TableDocument& document, WindowSystem& windows) : CommandGroup(document, windows) {}

    void RenumberRows();
    void ClearAll();
    // Asks first; clears everything after a Yes.
    void ClearAllAfterConfirmation();
    void DeleteRow();
    void InsertRow(int32_t index);
    void PasteRow(int32_t row);
    void AddColumn();
    void DeleteColumn();
    // An empty row before or after the current row; the last deleted row over the current row.
    void InsertRowBefore();
    void InsertRowAfter();
    void PasteDeletedRow();
};

}  // namespace qv
