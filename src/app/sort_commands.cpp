// Sorting the main table's data rows by the current column (tools/row_sort.h). The step of the
// undo history keeps the new order of the rows, not their texts, so that undoing a sort of a
// million rows is as quick as the sort's own moving of the rows.
#include <memory>

#include "app/sort_commands.h"
#include "edit/bulk_changes.h"

namespace qv {

namespace {

bool MovesNothing(const RowOrder& order) {
    for (std::size_t i = 0; i < order.sources.size(); ++i) {
        if (order.sources[i] != order.firstRow + static_cast<int32_t>(i)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void SortCommands::SortAscending() {
    SortRowsBy(SortOrder::Ascending);
}

void SortCommands::SortDescending() {
    SortRowsBy(SortOrder::Descending);
}

void SortCommands::SortRowsBy(SortOrder order) {
    // The label column is no sort key: its texts are the row numbers, which stay in place.
    if (Grid().Col() < 1) {
        return;
    }
    RowOrder sorted = SortedRowOrder(Grid(), Grid().Col(), order);
    if (MovesNothing(sorted)) {
        return;  // already in order: no step that would only mark the table modified
    }
    Apply(std::make_unique<RowOrderChange>(sorted.firstRow, std::move(sorted.sources),
                                           Grid().Current()));
}

}  // namespace qv
