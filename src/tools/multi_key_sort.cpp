// The sort by several keys: each key's texts are first turned into comparable cells (a group,
// then a number or bytes), so that the stable sort compares plain values.
#include "tools/multi_key_sort.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "tools/japanese_numbers.h"
#include "tools/reading_collation.h"
#include "tools/reading_dictionary.h"

namespace qv {

namespace {

// Groups come in this order whatever the key's order.
enum Group : uint8_t { kValue = 0, kOtherText = 1, kEmpty = 2 };

struct KeyCell {
    double number = 0.0;
    std::string_view bytes;  // the text, or the reading's sort key
    std::string_view tie;    // compared after `bytes` (a reading key's own text)
    Group group = kEmpty;
};

struct KeyColumn {
    SortOrder order = SortOrder::Ascending;
    std::vector<KeyCell> cells;  // by row - 1
    std::string sortKeys;        // the readings' sort keys, which `bytes` point into
};

constexpr int32_t kProgressRows = 4096;

void ReadValues(const TableGrid& grid, const SortKey& key, int32_t end, KeyColumn& column) {
    int32_t row = 1;
    grid.VisitColumn(key.col, 1, end, [&](std::string_view text) {
        KeyCell& cell = column.cells[static_cast<std::size_t>(row - 1)];
        cell.bytes = text;
        if (text.empty()) {
            cell.group = kEmpty;
        } else if (key.kind == SortKeyKind::Text) {
            cell.group = kValue;
        } else if (key.kind == SortKeyKind::Number) {
            const auto number = ReadJapaneseNumber(text);
            cell.group = number ? kValue : kOtherText;
            cell.number = number.value_or(0.0);
        } else {
            const auto date = ReadJapaneseDate(text);
            cell.group = date ? kValue : kOtherText;
            cell.number = date ? static_cast<double>(DayNumber(*date)) : 0.0;
        }
        if (key.kind != SortKeyKind::Text && cell.group == kValue) {
            cell.bytes = {};  // equal values are equal however written: the next key decides
        }
        ++row;
    });
}

// The sort keys of the readings, stored one after another; their offsets kept in `number`'s
// place until the buffer stops growing.
bool ReadReadings(const TableGrid& grid, const SortKey& key, int32_t end, KeyColumn& column,
                  const SortProgress& progress, ReadingDictionary& dictionary) {
    static const ReadingCollation collation;
    std::vector<std::size_t> ends(column.cells.size(), 0);
    for (int32_t row = 1; row < end; ++row) {
        if (progress && row % kProgressRows == 0 && !progress(row, end - 1)) {
            return false;
        }
        KeyCell& cell = column.cells[static_cast<std::size_t>(row - 1)];
        const std::string_view text = grid.Cell(key.col, row);
        const std::string_view given =
            key.readingCol > 0 ? grid.Cell(key.readingCol, row) : std::string_view();
        cell.tie = text;
        cell.group = text.empty() && given.empty() ? kEmpty : kValue;
        if (cell.group == kValue) {
            const std::string utf8 = Cp932ToUtf8(given.empty() ? text : given);
            collation.AppendSortKey(
                given.empty() && NeedsDictionary(utf8) ? dictionary.Reading(utf8) : utf8,
                column.sortKeys);
        }
        ends[static_cast<std::size_t>(row - 1)] = column.sortKeys.size();
    }
    std::size_t begin = 0;
    for (std::size_t i = 0; i < column.cells.size(); ++i) {
        column.cells[i].bytes = std::string_view(column.sortKeys).substr(begin, ends[i] - begin);
        begin = ends[i];
    }
    return true;
}

int CompareCells(const KeyCell& a, const KeyCell& b) {
    if (a.group != b.group) {
        return a.group < b.group ? -1 : 1;
    }
    if (a.group == kEmpty) {
        return 0;
    }
    if (a.number != b.number) {
        return a.number < b.number ? -1 : 1;
    }
    if (const int bytes = a.bytes.compare(b.bytes); bytes != 0) {
        return bytes;
    }
    return a.tie.compare(b.tie);
}

}  // namespace

std::optional<RowOrder> MultiKeySortedRowOrder(const TableGrid& grid, std::span<const SortKey> keys,
                                               const SortProgress& progress,
                                               ReadingDictionary* dictionary) {
    RowOrder result;
    result.firstRow = 1;
    const int32_t end =
        std::min(grid.RowCount(), grid.StoredRowEnd(1, std::numeric_limits<int32_t>::max()));
    if (end <= 2 || keys.empty()) {
        return result;
    }
    std::vector<KeyColumn> columns(keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k) {
        KeyColumn& column = columns[k];
        column.order = keys[k].order;
        column.cells.resize(static_cast<std::size_t>(end - 1));
        if (keys[k].kind != SortKeyKind::Reading) {
            ReadValues(grid, keys[k], end, column);
        } else if (!ReadReadings(
                       grid, keys[k], end, column, progress,
                       dictionary != nullptr ? *dictionary : ReadingDictionary::Shared())) {
            return std::nullopt;
        }
    }
    result.sources.resize(static_cast<std::size_t>(end - 1));
    std::iota(result.sources.begin(), result.sources.end(), 1);
    std::stable_sort(result.sources.begin(), result.sources.end(), [&](int32_t a, int32_t b) {
        for (const KeyColumn& column : columns) {
            const KeyCell& ca = column.cells[static_cast<std::size_t>(a - 1)];
            const KeyCell& cb = column.cells[static_cast<std::size_t>(b - 1)];
            const int c = CompareCells(ca, cb);
            if (c != 0) {
                const bool groupsDiffer = ca.group != cb.group;
                return groupsDiffer || column.order == SortOrder::Ascending ? c < 0 : c > 0;
            }
        }
        return false;
    });
    return result;
}

}  // namespace qv
