#include "tools/row_sort.h"

#include <algorithm>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/failure.h"
#include "tools/sort_key.h"
#include "tools/statistics_number.h"

namespace qv {

RowOrder SortedRowOrder(const TableGrid& grid, int32_t col, SortOrder order,
                        const WorkProgress& progress) {
    RowOrder result;
    result.firstRow = 1;
    const int32_t end =
        std::min(grid.RowCount(), grid.StoredRowEnd(1, std::numeric_limits<int32_t>::max()));
    if (end <= 2) {
        return result;
    }
    // One key a row that holds a text: numbers from the front, other texts from the back; the
    // empty rows are those left over.
    const auto rows = static_cast<std::size_t>(end - 1);
    std::vector<DigitKey> keys(rows);
    std::size_t numbers = 0;
    std::size_t textsBegin = rows;
    std::string buffer;
    int32_t row = 1;
    // Four parts of a row each: its key read, the numbers and the texts sorted, its place taken.
    const auto units = static_cast<int64_t>(rows);
    WorkSteps steps(progress, 4 * units);
    grid.VisitColumn(col, 1, end, [&](std::string_view text) {
        steps.Advance();
        if (!text.empty()) {
            double value = 0.0;
            if (ReadCellNumber(text, buffer, value) == NumberReading::Number) {
                keys[numbers++] = DigitKey::Of(NumberDigit(value, order), row);
            } else {
                keys[--textsBegin] = DigitKey::Of(TextDigit(text, 0, order), row);
            }
        }
        ++row;
    });
    const std::span<DigitKey> numberKeys(keys.data(), numbers);
    const std::span<DigitKey> textKeys(keys.data() + textsBegin, rows - textsBegin);
    SortNumberKeys(numberKeys);
    steps.Reach(2 * units);
    SortTextKeys(textKeys, grid, col, end, order);
    steps.Reach(3 * units);

    result.sources.reserve(rows);
    std::vector<bool> placed(rows + 1, false);
    const auto append = [&](std::span<const DigitKey> sorted) {
        for (const DigitKey& key : sorted) {
            steps.Advance();
            result.sources.push_back(key.row);
            placed[static_cast<std::size_t>(key.row)] = true;
        }
    };
    if (order == SortOrder::Descending) {
        append(textKeys);
        append(numberKeys);
    } else {
        append(numberKeys);
        append(textKeys);
    }
    for (int32_t empty = 1; empty < end; ++empty) {
        if (!placed[static_cast<std::size_t>(empty)]) {
            result.sources.push_back(empty);
        }
    }
    return result;
}

RowOrder InverseRowOrder(const RowOrder& order) {
    RowOrder inverse;
    inverse.firstRow = order.firstRow;
    inverse.sources.resize(order.sources.size());
    for (std::size_t i = 0; i < order.sources.size(); ++i) {
        const int64_t at = int64_t{order.sources[i]} - order.firstRow;
        if (at < 0 || at >= static_cast<int64_t>(order.sources.size())) {
            throw Failure(kGridIndexMessage);
        }
        inverse.sources[static_cast<std::size_t>(at)] = order.firstRow + static_cast<int32_t>(i);
    }
    return inverse;
}

void ApplyRowOrder(TableGrid& grid, const RowOrder& order) {
    grid.PermuteRows(order.firstRow, order.sources, 1);
}

RowOrder SortRows(TableGrid& grid, int32_t col, SortOrder order) {
    RowOrder sorted = SortedRowOrder(grid, col, order);
    ApplyRowOrder(grid, sorted);
    return sorted;
}

}  // namespace qv
