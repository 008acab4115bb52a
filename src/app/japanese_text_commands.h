#pragma once

#include "app/document_change.h"
#include "tools/character_conversion.h"

namespace qv {

// The Japanese text commands of the data menu: the conversions of character kinds over the
// selection, and a column of the current column's readings. Each is one step of the undo
// history.
class JapaneseTextCommands : private CommandGroup {
public:
    JapaneseTextCommands(TableDocument& document, WindowSystem& windows)
        : CommandGroup(document, windows) {}

    // Converts the selected data cells (item names and row labels are never written) and says
    // in the status bar how many cells changed.
    void ConvertSelection(CharacterConversion conversion);
    // A new column right of the current one, holding the readings of its cells in katakana,
    // made with progress (cancelling changes nothing).
    void MakeFuriganaColumn();
};

}  // namespace qv
