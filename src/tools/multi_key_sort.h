#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "table/table_grid.h"
#include "tools/row_sort.h"

namespace qv {

class ReadingDictionary;

// How a sort key reads its column's texts.
enum class SortKeyKind {
    Text,     // 文字: by the bytes
    Number,   // 数値: Japanese numbers (japanese_numbers.h); other texts after all numbers
    Date,     // 日付: Japanese dates; other texts after all dates
    Reading,  // 読み: the Japanese order of the readings, then the texts themselves
};

struct SortKey {
    int32_t col = 1;
    SortOrder order = SortOrder::Ascending;
    SortKeyKind kind = SortKeyKind::Text;
    // For Reading: the column holding each row's reading (ふりがな), 0 for none. A row whose
    // reading cell is empty is read from its own text.
    int32_t readingCol = 0;
};

// Called now and then while readings are made: (rows done, rows in all); false cancels.
using SortProgress = std::function<bool(int64_t, int64_t)>;

// The order that sorts the data rows by the keys, the first deciding first; rows equal by every
// key keep their order. Within a key, texts that are no number (no date) come after those that
// are, and empty texts last, in either order. A Reading key without a reading column reads kanji
// through `dictionary` (the shared one when null), raising Failure
// kReadingDictionaryMissingMessage when that is missing and a text needs it. Nothing when the
// progress cancelled.
std::optional<RowOrder> MultiKeySortedRowOrder(const TableGrid& grid, std::span<const SortKey> keys,
                                               const SortProgress& progress = {},
                                               ReadingDictionary* dictionary = nullptr);

}  // namespace qv
