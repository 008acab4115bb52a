// Sorting the main table's data rows by the current column (tools/row_sort.h). The step of the
// undo history keeps the new order of the rows, not their texts, so that undoing a sort of a
// million rows is as quick as the sort's own moving of the rows.
#include <memory>

#include "app/command_progress.h"
#include "app/sort_commands.h"
#include "edit/bulk_changes.h"
#include "platform/cp932.h"
#include "tools/multi_key_sort.h"

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

void SortCommands::SortByKeys() {
    SortDialogRequest request;
    for (int32_t col = 1; col < Grid().ColCount(); ++col) {
        request.itemNames.push_back(Cp932ToUtf8(Grid().Cell(col, 0)));
    }
    if (request.itemNames.empty()) {
        return;
    }
    request.currentCol = std::max(Grid().Col(), 1);
    if (const auto keys = windows_.RunSortDialog(request)) {
        SortByKeys(*keys);
    }
}

void SortCommands::SortByKeys(const std::vector<SortKey>& keys) {
    std::optional<RowOrder> sorted;
    {
        const std::unique_ptr<ProgressMonitor> progress =
            windows_.StartProgress("読みを調べています", ProgressKind::Load);
        sorted = MultiKeySortedRowOrder(Grid(), keys, [&](int64_t done, int64_t total) {
            return progress == nullptr ||
                   progress->Advance(static_cast<uint64_t>(done), static_cast<uint64_t>(total));
        });
    }
    if (!sorted || MovesNothing(*sorted)) {
        return;  // cancelled, or already in order
    }
    Apply(std::make_unique<RowOrderChange>(sorted->firstRow, std::move(sorted->sources),
                                           Grid().Current()));
}

void SortCommands::SortRowsBy(SortOrder order) {
    // The label column is no sort key: its texts are the row numbers, which stay in place.
    if (Grid().Col() < 1) {
        return;
    }
    const int32_t col = Grid().Col();
    std::optional<RowOrder> sorted = ComputeWithProgress(
        windows_, "並べ替えています",
        [&](const WorkProgress& progress) { return SortedRowOrder(Grid(), col, order, progress); });
    if (!sorted || MovesNothing(*sorted)) {
        return;  // cancelled, or already in order: no step that would only mark it modified
    }
    Apply(std::make_unique<RowOrderChange>(sorted->firstRow, std::move(sorted->sources),
                                           Grid().Current()));
}

}  // namespace qv
