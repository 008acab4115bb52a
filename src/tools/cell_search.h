#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table/table_grid.h"

namespace qv {

enum class MatchExtent { PartOfCell, WholeCell };
// Insensitive folds the ASCII letters A-Z and a-z only, and only where they stand as characters
// of their own: never a second byte of a double-byte character.
enum class LetterCase { Sensitive, Insensitive };

struct SearchOptions {
    MatchExtent extent = MatchExtent::PartOfCell;
    LetterCase letterCase = LetterCase::Sensitive;
};

// A search text in CP932 bytes and how it is compared with cell texts, byte for byte, blanks
// included. A match starts at a character boundary of the cell (a byte 0x81-0x9F or 0xE0-0xFC
// opens a double-byte character whose second byte is never a boundary, so searching 0x5C never
// finds the second byte of "ソ", 0x83 0x5C). The empty text, and one that does not end on a
// whole character, find nothing (see FindsNothing).
class CellMatcher {
public:
    CellMatcher(std::string_view searchText, SearchOptions options);

    bool FindsNothing() const { return pattern_.empty(); }
    // Whether the cell holds a match.
    bool Matches(std::string_view cell) const;
    // The offset of the first match in `cell` starting at or after `from`, which must be a
    // character boundary; npos when there is none.
    std::size_t Find(std::string_view cell, std::size_t from = 0) const;
    std::size_t Length() const { return pattern_.size(); }
    MatchExtent Extent() const { return options_.extent; }

private:
    bool EqualAt(const char* cell) const;
    std::size_t FindFolded(std::string_view cell, std::size_t from) const;

    std::string pattern_;      // letters lowered where they fold
    std::vector<bool> folds_;  // per byte: a letter standing as a character of its own
    SearchOptions options_;
    bool anyFold_ = false;
};

// A rectangle of cells searched in row order: row by row, each from left to right.
struct SearchArea {
    int32_t colBegin = 1;
    int32_t colEnd = 1;
    int32_t rowBegin = 1;
    int32_t rowEnd = 1;
};
// The data cells: rows 1 .. RowCount-1 of columns 1 .. ColCount-1. The item names (row 0) and
// the row labels (column 0) are never searched: the current cell cannot stand on them, and item
// names have an editor of their own.
SearchArea WholeTableArea(const TableGrid& grid);
// The data cells of one column (nothing for the label column or a column outside the grid).
SearchArea ColumnArea(const TableGrid& grid, int32_t col);

enum class SearchDirection { Forward, Backward };

struct FoundCell {
    GridCell cell;
    bool wrapped = false;  // the search passed the end (or the start) of the area to find it
};

// The next matching cell of the area after `from` in row order (Backward: before it), going on
// from the other end of the area when none is left, up to and including `from` itself (then
// `wrapped` is set). `from` may lie outside the area: the order of cells is that of (row, col).
// Nothing when no cell of the area matches. Empty cells never match, and runs of them cost next
// to nothing.
std::optional<FoundCell> FindNextCell(const TableGrid& grid, const CellMatcher& matcher,
                                      const SearchArea& area, GridCell from,
                                      SearchDirection direction);

// How many cells of the area hold a match. When `cancelled` is given and becomes true, stops
// within a few thousand cells and returns the count so far.
int64_t CountMatchingCellsIn(const TableGrid& grid, const CellMatcher& matcher,
                             const SearchArea& area, const std::atomic<bool>* cancelled = nullptr);

}  // namespace qv
