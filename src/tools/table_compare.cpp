// Comparing two tables: their columns paired, their rows paired, what differs counted.
#include "tools/table_compare.h"

#include <algorithm>
#include <string_view>

#include "tools/loose_text.h"

namespace qv {

namespace {

bool NamesSomeColumn(const TableGrid& grid) {
    for (int32_t col = 1; col < grid.ColCount(); ++col) {
        if (!grid.Cell(col, 0).empty()) {
            return true;
        }
    }
    return false;
}

void PairByName(const TableGrid& a, const TableGrid& b, ColumnPairing& pairing) {
    std::vector<bool> taken(static_cast<std::size_t>(std::max(b.ColCount(), 1)), false);
    for (int32_t colA = 1; colA < a.ColCount(); ++colA) {
        int32_t partner = -1;
        for (int32_t colB = 1; colB < b.ColCount() && partner < 0; ++colB) {
            if (!taken[static_cast<std::size_t>(colB)] && b.Cell(colB, 0) == a.Cell(colA, 0)) {
                partner = colB;
            }
        }
        if (partner < 0) {
            pairing.onlyA.push_back(colA);
            continue;
        }
        taken[static_cast<std::size_t>(partner)] = true;
        pairing.pairs.push_back({colA, partner});
    }
    for (int32_t colB = 1; colB < b.ColCount(); ++colB) {
        if (!taken[static_cast<std::size_t>(colB)]) {
            pairing.onlyB.push_back(colB);
        }
    }
}

void PairByPosition(const TableGrid& a, const TableGrid& b, ColumnExtent extent,
                    ColumnPairing& pairing) {
    const int32_t common = std::min(a.ColCount(), b.ColCount());
    const int32_t end =
        extent == ColumnExtent::Both ? std::max(a.ColCount(), b.ColCount()) : common;
    for (int32_t col = 1; col < end; ++col) {
        pairing.pairs.push_back({col < a.ColCount() ? col : -1, col < b.ColCount() ? col : -1});
        if (PairedCell(a, pairing.pairs.back().colA, 0) !=
            PairedCell(b, pairing.pairs.back().colB, 0)) {
            pairing.renamed.push_back(static_cast<int32_t>(pairing.pairs.size() - 1));
        }
    }
    for (int32_t col = end; col < a.ColCount(); ++col) {
        pairing.onlyA.push_back(col);
    }
    for (int32_t col = end; col < b.ColCount(); ++col) {
        pairing.onlyB.push_back(col);
    }
}

std::vector<int32_t> ColumnsOf(const std::vector<ColumnPair>& pairs, bool sideA) {
    std::vector<int32_t> cols;
    cols.reserve(pairs.size());
    for (const ColumnPair& pair : pairs) {
        cols.push_back(sideA ? pair.colA : pair.colB);
    }
    return cols;
}

// The texts of rows [row, row + count) of a compared column, as views into the grid.
void ReadColumn(const TableGrid& grid, int32_t col, int32_t row, int32_t count,
                std::vector<std::string_view>& texts) {
    texts.assign(static_cast<std::size_t>(count), std::string_view());
    if (col >= 0) {
        auto next = texts.begin();
        grid.VisitColumn(col, row, row + count, [&next](std::string_view text) { *next++ = text; });
    }
}

// The cells that differ in a stretch of paired rows, a column at a time as the grid reads best,
// in blocks of rows whose texts stay in the cache between the two tables' reads.
int64_t CountChangedCells(const TableGrid& a, const TableGrid& b,
                          const std::vector<ColumnPair>& pairs, const RowRun& run,
                          TextMatching matching) {
    constexpr int32_t kBlockRows = 4096;
    int64_t changed = 0;
    std::vector<std::string_view> textsA;
    std::vector<std::string_view> textsB;
    for (int32_t done = 0; done < run.count; done += kBlockRows) {
        const int32_t rows = std::min(kBlockRows, run.count - done);
        for (const ColumnPair& pair : pairs) {
            ReadColumn(a, pair.colA, run.rowA + done, rows, textsA);
            ReadColumn(b, pair.colB, run.rowB + done, rows, textsB);
            for (std::size_t k = 0; k < textsA.size(); ++k) {
                changed += SameText(matching, textsA[k], textsB[k]) ? 0 : 1;
            }
        }
    }
    return changed;
}

DifferenceCounts CountDifferences(const TableGrid& a, const TableGrid& b,
                                  const std::vector<ColumnPair>& pairs,
                                  const std::vector<RowRun>& runs, TextMatching matching) {
    DifferenceCounts counts;
    for (const RowRun& run : runs) {
        switch (run.kind) {
            case RowPairKind::Same:
                break;
            case RowPairKind::Changed:
                counts.changedRows += run.count;
                counts.changedCells += CountChangedCells(a, b, pairs, run, matching);
                break;
            case RowPairKind::OnlyA:
                counts.removed += run.count;
                break;
            case RowPairKind::OnlyB:
                counts.added += run.count;
                break;
        }
    }
    return counts;
}

void ToGridRows(std::vector<RowRun>& runs) {
    for (RowRun& run : runs) {
        ++run.rowA;
        ++run.rowB;
    }
}

void ToGridRows(std::vector<int32_t>& rows) {
    for (int32_t& row : rows) {
        ++row;
    }
}

}  // namespace

std::string_view PairedCell(const TableGrid& grid, int32_t col, int32_t row) {
    return col < 0 ? std::string_view() : grid.Cell(col, row);
}

ColumnMatching PreferredMatching(const TableGrid& a, const TableGrid& b) {
    return NamesSomeColumn(a) && NamesSomeColumn(b) ? ColumnMatching::ByName
                                                    : ColumnMatching::ByPosition;
}

ColumnPairing PairColumns(const TableGrid& a, const TableGrid& b, ColumnMatching matching,
                          ColumnExtent extent) {
    ColumnPairing pairing;
    pairing.matching = matching;
    if (matching == ColumnMatching::ByName) {
        PairByName(a, b, pairing);
    } else {
        PairByPosition(a, b, extent, pairing);
    }
    return pairing;
}

bool TableComparison::Same() const {
    return counts == DifferenceCounts{} && columns.onlyA.empty() && columns.onlyB.empty() &&
           columns.renamed.empty();
}

bool SameText(TextMatching matching, std::string_view a, std::string_view b) {
    return a == b || (matching == TextMatching::Loose && LooseEqual(a, b));
}

TableComparison CompareTables(const TableGrid& a, const TableGrid& b, ColumnPairing columns,
                              std::span<const int32_t> keyColumnsA, TextMatching matching) {
    TableComparison comparison;
    comparison.matching = matching;
    comparison.columns = std::move(columns);
    const std::vector<ColumnPair>& pairs = comparison.columns.pairs;
    const std::vector<RowHash> rowsA = HashRows(a, ColumnsOf(pairs, true), a.RowCount(), matching);
    const std::vector<RowHash> rowsB = HashRows(b, ColumnsOf(pairs, false), b.RowCount(), matching);
    std::vector<ColumnPair> keys;
    for (const ColumnPair& pair : pairs) {
        if (std::find(keyColumnsA.begin(), keyColumnsA.end(), pair.colA) != keyColumnsA.end()) {
            keys.push_back(pair);
        }
    }
    comparison.keysUnpaired = !keyColumnsA.empty() && keys.empty();
    if (keys.empty()) {
        comparison.runs = PairRowsByPosition(rowsA, rowsB, [&](int32_t rowA, int32_t rowB) {
            int32_t equal = 0;
            for (const ColumnPair& pair : pairs) {
                equal += SameText(matching, PairedCell(a, pair.colA, rowA + 1),
                                  PairedCell(b, pair.colB, rowB + 1));
            }
            return equal;
        });
    } else {
        KeyPairing pairing = PairRowsByKey(
            HashRows(a, ColumnsOf(keys, true), a.RowCount(), matching),
            HashRows(b, ColumnsOf(keys, false), b.RowCount(), matching), rowsA, rowsB);
        comparison.runs = std::move(pairing.runs);
        comparison.duplicateKeysA = std::move(pairing.duplicatesA);
        comparison.duplicateKeysB = std::move(pairing.duplicatesB);
        ToGridRows(comparison.duplicateKeysA);
        ToGridRows(comparison.duplicateKeysB);
    }
    ToGridRows(comparison.runs);
    comparison.counts = CountDifferences(a, b, pairs, comparison.runs, matching);
    return comparison;
}

std::vector<int32_t> ChangedColumns(const TableGrid& a, const TableGrid& b,
                                    const TableComparison& comparison, int32_t rowA, int32_t rowB) {
    std::vector<int32_t> changed;
    const std::vector<ColumnPair>& pairs = comparison.columns.pairs;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const ColumnPair& pair = pairs[k];
        if (!SameText(comparison.matching, PairedCell(a, pair.colA, rowA),
                      PairedCell(b, pair.colB, rowB))) {
            changed.push_back(static_cast<int32_t>(k));
        }
    }
    return changed;
}

std::string DifferenceCountsText(const DifferenceCounts& counts) {
    return "追加 " + std::to_string(counts.added) + " / 削除 " + std::to_string(counts.removed) +
           " / 変更 " + std::to_string(counts.changedRows) + " 行 (セル " +
           std::to_string(counts.changedCells) + ")";
}

}  // namespace qv
