#pragma once

#include "app/document_change.h"
#include "tools/row_sort.h"

namespace qv {

// Sorting the data rows of the main table by the current column; the row labels and the item
// names stay. One step of the undo history.
class SortCommands : private CommandGroup {
public:
    SortCommands(TableDocument& document, WindowSystem& windows)
        : CommandGroup(document, windows) {}

    void SortAscending();
    void SortDescending();

private:
    void SortRowsBy(SortOrder order);
};

}  // namespace qv
