// The sort by several keys: each key's texts are first turned into comparable cells (a group,
// then a number or bytes), so that the stable sort compares plain values.
#include "tools/multi_key_sort.h"
#include "platform/parallel_sort.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/cp932.h"
#include "platform/parallel_sort.h"
#include "tools/japanese_numbers.h"
#include "tools/reading_collation.h"
#include "tools/reading_dictionary.h"

namespace qv {

namespace {

// Groups come in this order whatever the key's order.
enum Group : uint8_t { kValue = 0, kOtherText = 1, kEmpty = 2 };

struct KeyCell {
    double number = 0.0;
    uint64_t head = 0;       // the first eight bytes of `bytes`, big-endian, zero-filled
    std::string_view bytes;  // the text, or the reading's sort key
    std::string_view tie;    // compared after `bytes` (a reading key's own text)
    // Cells of one id (0 or more) are equal once their numbers are: values of a number or
    // date, readings of one and the same text. -1: the bytes decide.
    int32_t id = -1;
    Group group = kEmpty;
};

struct KeyColumn {
    SortOrder order = SortOrder::Ascending;
    std::vector<KeyCell> cells;  // by row - 1
    std::string sortKeys;        // the readings' sort keys, which `bytes` point into
};

constexpr int32_t kProgressRows = 4096;

void SetBytes(KeyCell& cell, std::string_view bytes) {
    cell.bytes = bytes;
    unsigned char first[8] = {};
    if (!bytes.empty()) {
        std::memcpy(first, bytes.data(), std::min<std::size_t>(bytes.size(), 8));
    }
    cell.head = 0;
    for (const unsigned char b : first) {
        cell.head = cell.head << 8 | b;
    }
}

void ReadValues(const TableGrid& grid, const SortKey& key, int32_t end, KeyColumn& column) {
    int32_t row = 1;
    grid.VisitColumn(key.col, 1, end, [&](std::string_view text) {
        KeyCell& cell = column.cells[static_cast<std::size_t>(row - 1)];
        SetBytes(cell, text);
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
            SetBytes(cell, {});  // equal values are equal however written: the next key decides
            cell.id = 0;
        }
        ++row;
    });
}

// The sort keys of the readings, stored one after another, each made once for each text (a
// column of names repeats many); the cells point into them once the buffer stops growing.
bool ReadReadings(const TableGrid& grid, const SortKey& key, int32_t end, KeyColumn& column,
                  const SortProgress& progress, ReadingDictionary& dictionary) {
    static const ReadingCollation collation;
    using Range = std::pair<std::size_t, std::size_t>;
    std::vector<Range> ranges(column.cells.size());
    // By the text read: a given reading, or the cell's own text read through the dictionary.
    std::array<std::unordered_map<std::string_view, Range>, 2> made;
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
        if (cell.group == kEmpty) {
            continue;
        }
        const bool ownText = given.empty();
        const std::string_view read = ownText ? text : given;
        auto [found, isNew] = made[ownText ? 1 : 0].try_emplace(read);
        if (isNew) {
            const std::string utf8 = Cp932ToUtf8(PartToRead(read));
            const std::size_t begin = column.sortKeys.size();
            collation.AppendSortKey(
                ownText && NeedsDictionary(utf8) ? dictionary.Reading(utf8) : utf8,
                column.sortKeys);
            found->second = Range{begin, column.sortKeys.size()};
        }
        ranges[static_cast<std::size_t>(row - 1)] = found->second;
        if (ownText) {
            cell.id = static_cast<int32_t>(found->second.first);  // one text, one reading
        }
    }
    for (std::size_t i = 0; i < column.cells.size(); ++i) {
        SetBytes(column.cells[i], std::string_view(column.sortKeys)
                                      .substr(ranges[i].first, ranges[i].second - ranges[i].first));
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
    if (a.id >= 0 && a.id == b.id) {
        return 0;
    }
    if (a.head != b.head) {
        return a.head < b.head ? -1 : 1;
    }
    // Equal heads of bytes both within them are equal up to the shorter's end.
    if (a.bytes.size() <= 8 || b.bytes.size() <= 8) {
        if (a.bytes.size() != b.bytes.size()) {
            return a.bytes.size() < b.bytes.size() ? -1 : 1;
        }
    } else if (const int rest = a.bytes.substr(8).compare(b.bytes.substr(8)); rest != 0) {
        return rest;
    }
    return a.tie.empty() && b.tie.empty() ? 0 : a.tie.compare(b.tie);
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
    // The first key's cells travel with their rows, so that most comparisons read no other
    // memory; later keys are looked up by row when the first ties.
    struct Entry {
        KeyCell first;
        int32_t row;
    };
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(end - 1));
    for (int32_t row = 1; row < end; ++row) {
        entries.push_back(Entry{columns[0].cells[static_cast<std::size_t>(row - 1)], row});
    }
    const auto before = [](const KeyColumn& column, const KeyCell& a, const KeyCell& b) -> int {
        const int c = CompareCells(a, b);
        return a.group != b.group || column.order == SortOrder::Ascending ? c : -c;
    };
    StableSortOnTwoThreads(entries, [&](const Entry& a, const Entry& b) {
        if (const int c = before(columns[0], a.first, b.first); c != 0) {
            return c < 0;
        }
        for (std::size_t k = 1; k < columns.size(); ++k) {
            const auto& cells = columns[k].cells;
            const int c = before(columns[k], cells[static_cast<std::size_t>(a.row - 1)],
                                 cells[static_cast<std::size_t>(b.row - 1)]);
            if (c != 0) {
                return c < 0;
            }
        }
        return false;
    });
    result.sources.reserve(entries.size());
    for (const Entry& entry : entries) {
        result.sources.push_back(entry.row);
    }
    return result;
}

}  // namespace qv
