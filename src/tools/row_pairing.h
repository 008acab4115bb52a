#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "tools/row_hashes.h"

namespace qv {

// How a stretch of rows of two tables A and B lines up.
enum class RowPairKind : uint8_t {
    Same,     // rows paired, their compared cells equal
    Changed,  // rows paired, some compared cell differs
    OnlyA,    // rows of A with no partner in B (removed)
    OnlyB,    // rows of B with no partner in A (added)
};

// `count` rows from rowA and rowB on (indexes into the hash lists, 0 for the first data row).
// Paired kinds advance both; OnlyA advances rowA, with rowB the place in B it stands before;
// OnlyB advances rowB, with rowA the row of A before which the rows would go.
struct RowRun {
    RowPairKind kind = RowPairKind::Same;
    int32_t rowA = 0;
    int32_t rowB = 0;
    int32_t count = 0;
    bool operator==(const RowRun&) const = default;
};

// Rows paired by position: the longest stretches that are equal in both stay paired, so that an
// inserted row does not make every later row differ. A patience diff over the row hashes (rows
// unique on both sides anchor the alignment, recursively between anchors, after the equal rows
// at both ends are matched): memory linear in the rows, never a table of all pairs. Between
// anchors, rows left over pair up as Changed: in order when both sides have as many, else, in a
// small stretch, so that the paired rows share the most cells (`equalCells(i, j)` counts them);
// the surplus of one side is OnlyA or OnlyB.
using EqualCellCount = std::function<int32_t(int32_t rowA, int32_t rowB)>;
std::vector<RowRun> PairRowsByPosition(std::span<const RowHash> a, std::span<const RowHash> b,
                                       const EqualCellCount& equalCells = {});

// Rows paired by key: the k-th row of A with a key pairs with the k-th row of B with the same
// key. Runs follow A's order; B's rows without partner stand after the row paired with the B
// row before them. `rowsA` and `rowsB` tell equal rows from changed ones.
struct KeyPairing {
    std::vector<RowRun> runs;
    // Rows (indexes as above) whose key an earlier row of the same table has.
    std::vector<int32_t> duplicatesA;
    std::vector<int32_t> duplicatesB;
};
KeyPairing PairRowsByKey(std::span<const RowHash> keysA, std::span<const RowHash> keysB,
                         std::span<const RowHash> rowsA, std::span<const RowHash> rowsB);

}  // namespace qv
