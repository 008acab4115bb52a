#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/work_progress.h"
#include "table/cell_text_list.h"
#include "tools/cell_search.h"

namespace qv {

inline constexpr const char* kReplacementRefusedMessage =
    "置換後の文字列に CR (改行) や 0x1A の文字は使えません";

// Raises Failure kReplacementRefusedMessage when the replacement holds a CR byte (it would split
// the line in the table file) or the byte 0x1A (it would end the file there).
void CheckReplacementText(std::string_view replacement);

// The text `cell` becomes when its matches are replaced: the whole text for a whole-cell search,
// else every match, from left to right, none overlapping the one before. Nothing when the cell
// holds no match.
std::optional<std::string> ReplacedCellText(std::string_view cell, const CellMatcher& matcher,
                                            std::string_view replacement);

// The new texts of the cells of the area that hold a match, for TableGrid::ExchangeCellTexts
// to write; nothing is written. Raises Failure kReplacementRefusedMessage for a replacement
// CheckReplacementText refuses. Hears `progress` by cells of the area and raises WorkCancelled
// when it says stop.
CellTextList ReplacementsIn(const TableGrid& grid, const CellMatcher& matcher,
                            const SearchArea& area, std::string_view replacement,
                            const WorkProgress& progress = {});

// The same for a pattern of any syntax; `cp932` and `utf8` are the replacement in both forms
// (see CellPattern::Replaced).
class CellPattern;
CellTextList ReplacementsIn(const TableGrid& grid, const CellPattern& pattern,
                            const SearchArea& area, std::string_view cp932, std::string_view utf8,
                            const WorkProgress& progress = {});

// Replaces the matches in every cell of the area (one cell: replace one; the whole table or a
// column: replace all), column by column. Returns the cells changed, each with the text it held
// before: its Size() is the count of cells changed, and TableGrid::ExchangeCellTexts with it
// undoes the change (and then redoes it). Raises Failure kReplacementRefusedMessage, before
// anything changes, for a replacement CheckReplacementText refuses.
CellTextList ReplaceInCells(TableGrid& grid, const CellMatcher& matcher, const SearchArea& area,
                            std::string_view replacement);

}  // namespace qv
