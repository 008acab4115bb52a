#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "table/cell_text_list.h"
#include "table/table_grid.h"
#include "tools/multi_key_sort.h"

namespace qv {

class ReadingDictionary;

// The reading of a CP932 text (of its PartToRead) in full-width katakana (CP932): kana as they are,
// turned to full-width katakana; a text with kanji read through the dictionary (Failure
// kReadingDictionaryMissingMessage when it is missing); other characters as they are.
std::string KatakanaReading(std::string_view cp932, ReadingDictionary& dictionary);

// The readings of column `sourceCol`'s data cells, as texts of column `targetCol` (rows 1 ..
// RowCount-1, only those whose source is not empty); the item name "<name>のふりがな" (or
// "ふりがな") on row 0. Nothing when the progress cancelled.
std::optional<CellTextList> FuriganaCells(const TableGrid& grid, int32_t sourceCol,
                                          int32_t targetCol, const SortProgress& progress = {},
                                          ReadingDictionary* dictionary = nullptr);

}  // namespace qv
