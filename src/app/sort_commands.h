#pragma once

#include "app/document_change.h"
#include "tools/row_sort.h"

namespace qv {

// Sorting the data rows of the main table by the current column, or by the keys of the sort
// dialog; the row labels and the item names stay. One step of the undo history.
class SortCommands : private CommandGroup {
public:
    SortCommands(TableDocument& document, WindowSystem& windows)
        : CommandGroup(document, windows) {}

    void SortAscending();
    void SortDescending();
    // The sort dialog: the data rows sorted by the keys chosen, readings made with progress
    // (cancelling changes nothing).
    void SortByKeys();
    void SortByKeys(const std::vector<SortKey>& keys);

private:
    void SortRowsBy(SortOrder order);
};

}  // namespace qv
