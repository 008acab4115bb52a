#include "view/fit_widths.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <string_view>

#include "table/cell_handle.h"
#include "view/cell_text_extent.h"

namespace qv {

namespace {

// How many of a column's longest texts are measured. A text of n bytes is at least 7.5n pixels
// wide and at most 8n, so the widest is among the few longest however many rows there are.
constexpr std::size_t kMeasuredTexts = 16;

}  // namespace

int32_t FittedColumnWidth(const TableGrid& grid, int32_t col) {
    // A min-heap of the longest texts seen, by byte count.
    using Entry = std::pair<std::size_t, std::string_view>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> longest;
    grid.VisitColumnTexts(col, 0, grid.RowCount(), [&](int32_t /*row*/, CellHandle h) {
        const std::string_view text = cell_handle::Text(h);
        if (longest.size() < kMeasuredTexts) {
            longest.emplace(text.size(), text);
        } else if (text.size() > longest.top().first) {
            longest.pop();
            longest.emplace(text.size(), text);
        }
    });
    int32_t width = kFittedWidthFloor;
    for (; !longest.empty(); longest.pop()) {
        width = std::max(width, FittingColumnWidth(longest.top().second, kFittedWidthCap));
    }
    return std::min(width, kFittedWidthCap);
}

std::vector<std::pair<int32_t, int32_t>> FittedWidths(const TableGrid& grid,
                                                      std::span<const int32_t> cols) {
    std::vector<std::pair<int32_t, int32_t>> widths;
    for (const int32_t col : cols) {
        if (col < 1 || col >= grid.ColCount()) {
            continue;
        }
        const int32_t width = FittedColumnWidth(grid, col);
        if (width != grid.ColWidth(col)) {
            widths.emplace_back(col, width);
        }
    }
    return widths;
}

}  // namespace qv
