#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

class TableGrid;

// Counts the cells of rows 1 .. RowCount-1 of column `col` whose text, with bytes of value 32 or
// less removed from both ends (Trim), equals `searchText` trimmed the same way, byte for byte.
// Never-written cells read as "" and so match an empty or blank search. A column outside the
// grid holds only such cells; a grid of one row gives 0.
int32_t CountMatchingCells(const TableGrid& grid, int32_t col, std::string_view searchText);

// The message shown afterwards: "<n> 件一致しました。".
std::string MatchCountMessage(int32_t n);

}  // namespace qv
