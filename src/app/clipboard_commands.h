#pragma once

#include "app/document_change.h"

namespace qv {

struct ClipboardColumns;

// The clipboard and the selected cells of the main table.
class ClipboardCommands : private CommandGroup {
public:
    ClipboardCommands(TableDocument& document, WindowSystem& windows)
        : CommandGroup(document, windows) {}

    // The selected range (or the current cell) as the spreadsheets' tab-separated text.
    void CopySelection();
    // Copies, then empties the selected cells as ClearSelection does.
    void CutSelection();
    // Pastes the clipboard's tab-separated text with its top-left at the current cell (in
    // column 1 when the current cell is in column 0, the row labels), adding rows and columns
    // as needed; the pasted block is selected afterwards. All or nothing: a character CP932
    // cannot hold is named, with its row and column, and nothing changes.
    void PasteClipboard();
    // Empties the selected cells; column 0, the row labels, stays.
    void ClearSelection();

private:
    void PasteIntoShownRows(GridCell at, const ClipboardColumns& block);
};

}  // namespace qv
