#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "table/table_grid.h"

namespace qv {

// A 64-bit digest of a row's compared cells. Two rows with equal cells have equal hashes; rows
// that differ collide with a chance of about 2^-64 a pair, which the comparison accepts rather
// than reading every equal row a second time.
using RowHash = uint64_t;

// How cells are compared: byte for byte, or loosely (width, kana and case folded, as
// tools/loose_text.h folds them).
enum class TextMatching { Exact, Loose };

// The hashes of the data rows 1 .. rowEnd-1 of `grid` (element 0 is row 1) over the columns
// `cols` in that order; a column below 0 stands for one the table lacks, whose cells read "".
// Columns are read one at a time from top to bottom, the cheapest order for the grid.
std::vector<RowHash> HashRows(const TableGrid& grid, std::span<const int32_t> cols, int32_t rowEnd,
                              TextMatching matching = TextMatching::Exact);

}  // namespace qv
