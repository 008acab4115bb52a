// The grid's loaded runs: columns still as a table file loaded them, kept a run at a time
// until a change spreads them into columns of their own.
#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "table/table_grid.h"

namespace qv {

namespace {

// Spreading a few columns moves the grid's columns after them; more are merged into a new list.
constexpr std::size_t kColumnsSpreadOneByOne = 8;

}  // namespace

void TableGrid::SpreadRuns(int32_t colBegin, int32_t colEnd) {
    const std::size_t count = runs_.Empty() ? 0 : runs_.ColumnCount(colBegin, colEnd);
    if (count == 0) {
        return;
    }
    const auto byColumn = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (count <= kColumnsSpreadOneByOne) {
        // Before the runs change, as it may fail; grown by an eighth, as ColumnAt grows it.
        if (columns_.size() + count > columns_.capacity()) {
            columns_.reserve(columns_.size() + std::max(count, columns_.size() / 8 + 4));
        }
        for (auto& entry : runs_.Take(colBegin, colEnd)) {
            columns_.insert(std::lower_bound(columns_.begin(), columns_.end(), entry, byColumn),
                            std::move(entry));
        }
        return;
    }
    // The room first: once the runs have given their columns, nothing may fail.
    std::vector<std::pair<int32_t, CellColumn>> merged;
    merged.reserve(columns_.size() + count);
    std::vector<std::pair<int32_t, CellColumn>> spread = runs_.Take(colBegin, colEnd);
    std::merge(std::make_move_iterator(columns_.begin()), std::make_move_iterator(columns_.end()),
               std::make_move_iterator(spread.begin()), std::make_move_iterator(spread.end()),
               std::back_inserter(merged), byColumn);
    columns_ = std::move(merged);
}

// Takes a short loaded table's lines as runs of columns. Columns of the grid's own in their
// place keep what they hold beyond rowEnd and take their rows from the runs; empty ones give
// way to the runs.
bool TableGrid::AdoptRuns(int32_t firstCol, int32_t rowBegin, int32_t rowEnd, BulkCells& bulk) {
    if (rowBegin != 0 || !bulk.HoldsRuns() || bulk.LongestColumn() > rowEnd) {
        return false;
    }
    const int32_t colEnd = firstCol + bulk.Columns();
    ClearStored(0, rowEnd, firstCol, colEnd);
    LoadedRuns incoming;
    incoming.Add(bulk.TakeRuns(firstCol));
    const auto first =
        std::lower_bound(columns_.begin(), columns_.end(), firstCol,
                         [](const auto& entry, int32_t c) { return entry.first < c; });
    const auto last =
        std::lower_bound(first, columns_.end(), colEnd,
                         [](const auto& entry, int32_t c) { return entry.first < c; });
    for (auto it = first; it != last; ++it) {
        if (!it->second.Empty() && incoming.Find(it->first) != nullptr) {
            auto rows = incoming.Take(it->first, it->first + 1);
            it->second.ExchangeRows(0, rows.front().second.Length(),
                                    std::move(rows.front().second));
        }
    }
    const auto given = std::remove_if(first, last, [&](const auto& entry) {
        return entry.second.Empty() && incoming.Find(entry.first) != nullptr;
    });
    columns_.erase(given, last);
    runs_.Add(incoming.TakeAll());
    return true;
}

}  // namespace qv
