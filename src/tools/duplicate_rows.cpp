// Each row's key is the bytes of its key cells, each preceded by its length, so that no two
// different lists of cells give the same key ("a|bc" and "ab|c" differ); the keys seen go into
// one hash set.
#include "tools/duplicate_rows.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "tools/loose_text.h"

namespace qv {

namespace {

void AppendKeyCell(std::string_view cell, KeyComparison comparison, std::string& key,
                   std::string& folded) {
    std::string_view bytes = cell;
    if (comparison == KeyComparison::Loose) {
        folded.clear();
        AppendLooseFold(cell, folded);
        bytes = folded;
    }
    const auto length = static_cast<uint32_t>(bytes.size());
    key.append(reinterpret_cast<const char*>(&length), sizeof length);
    key.append(bytes);
}

}  // namespace

std::vector<int32_t> DuplicateRows(const TableGrid& grid, std::span<const int32_t> keyCols,
                                   std::span<const int32_t> rows, KeyComparison comparison,
                                   const WorkProgress& progress) {
    std::vector<int32_t> duplicates;
    if (keyCols.empty()) {
        return duplicates;
    }
    std::unordered_set<std::string> seen;
    seen.reserve(rows.size());
    std::string key;
    std::string folded;
    WorkSteps steps(progress, static_cast<int64_t>(rows.size()));
    for (const int32_t row : rows) {
        steps.Advance();
        key.clear();
        for (const int32_t col : keyCols) {
            AppendKeyCell(grid.Cell(col, row), comparison, key, folded);
        }
        if (!seen.insert(key).second) {
            duplicates.push_back(row);
        }
    }
    return duplicates;
}

RowOrder OrderMovingRowsToEnd(int32_t rowCount, std::span<const int32_t> removed) {
    RowOrder order;
    order.sources.reserve(static_cast<std::size_t>(std::max(rowCount - 1, 0)));
    std::size_t next = 0;
    for (int32_t row = 1; row < rowCount; ++row) {
        if (next < removed.size() && removed[next] == row) {
            ++next;
        } else {
            order.sources.push_back(row);
        }
    }
    order.sources.insert(order.sources.end(), removed.begin(), removed.end());
    return order;
}

}  // namespace qv
