#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "table/table_grid.h"
#include "tools/row_pairing.h"

namespace qv {

// A compared column: its number in table A and in table B; -1 where that table lacks it (its
// cells read "").
struct ColumnPair {
    int32_t colA = -1;
    int32_t colB = -1;
    bool operator==(const ColumnPair&) const = default;
};

enum class ColumnMatching {
    ByName,      // a column pairs with the first unpaired one of the same item name
    ByPosition,  // column k with column k
};
// By position: the columns both tables have, or every column of either.
enum class ColumnExtent { Common, Both };

struct ColumnPairing {
    ColumnMatching matching = ColumnMatching::ByPosition;
    std::vector<ColumnPair> pairs;
    std::vector<int32_t> onlyA;  // data columns of A left without partner
    std::vector<int32_t> onlyB;
    // Pairs (indexes into `pairs`) whose item names differ: by position only.
    std::vector<int32_t> renamed;

    const ColumnPair& PairAt(int32_t k) const { return pairs[static_cast<std::size_t>(k)]; }
};
// By name when both tables name some of their columns, by position otherwise.
ColumnMatching PreferredMatching(const TableGrid& a, const TableGrid& b);
ColumnPairing PairColumns(const TableGrid& a, const TableGrid& b, ColumnMatching matching,
                          ColumnExtent extent);

struct DifferenceCounts {
    int64_t added = 0;
    int64_t removed = 0;
    int64_t changedRows = 0;
    int64_t changedCells = 0;
    bool operator==(const DifferenceCounts&) const = default;
};

// Two tables compared: their data rows (the runs hold grid rows, from 1) paired by position or
// by key, with the counts of what differs.
struct TableComparison {
    ColumnPairing columns;
    std::vector<RowRun> runs;
    std::vector<int32_t> duplicateKeysA;  // grid rows whose key an earlier row has
    std::vector<int32_t> duplicateKeysB;
    DifferenceCounts counts;
    TextMatching matching = TextMatching::Exact;
    // Key columns were asked for but none of them pairs with a column of B: the rows were
    // paired by position instead.
    bool keysUnpaired = false;

    // Whether the tables hold the same cells in the compared columns, item names included.
    bool Same() const;
};

// Pairs the rows by position when `keyColumnsA` is empty, else by the pairs whose A column is
// among them (columns that pair with nothing are left out of the key; by position when none
// is left).
TableComparison CompareTables(const TableGrid& a, const TableGrid& b, ColumnPairing columns,
                              std::span<const int32_t> keyColumnsA,
                              TextMatching matching = TextMatching::Exact);

// The pairs (indexes into columns.pairs) whose cells differ between row rowA of A and rowB of B.
std::vector<int32_t> ChangedColumns(const TableGrid& a, const TableGrid& b,
                                    const TableComparison& comparison, int32_t rowA, int32_t rowB);

// Whether two cells count as equal.
bool SameText(TextMatching matching, std::string_view a, std::string_view b);

// A cell of a compared column; "" for a column the table lacks.
std::string_view PairedCell(const TableGrid& grid, int32_t col, int32_t row);

// "追加 12 / 削除 3 / 変更 40 行 (セル 57)" (UTF-8).
std::string DifferenceCountsText(const DifferenceCounts& counts);

}  // namespace qv
