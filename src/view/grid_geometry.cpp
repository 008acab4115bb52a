#include "view/grid_geometry.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace qv {

int64_t GridAxis::Room(int32_t index) const {
    const int32_t size = sizes->Get(Item(index));
    return size > 0 ? int64_t{size} + kGridLineWidth : 0;
}

GridAxis ColumnAxis(const TableGrid& grid) {
    return GridAxis{&grid.ColWidths(), grid.ColCount(), grid.FixedCols()};
}

GridAxis RowAxis(const TableGrid& grid, const ShownRows* shown) {
    if (shown == nullptr || !shown->Filtered()) {
        return GridAxis{&grid.RowHeights(), grid.RowCount(), grid.FixedRows()};
    }
    return GridAxis{&grid.RowHeights(), shown->DisplayCount(grid.RowCount(), grid.FixedRows()),
                    grid.FixedRows(), shown};
}

namespace {

// The largest LineAt() a span may have, so that its Next() is still an int32_t.
constexpr int32_t kMaxSpanEnd = std::numeric_limits<int32_t>::max() - kGridLineWidth;

int32_t ClampFirst(const GridAxis& axis, int32_t first) {
    return std::clamp(first, axis.fixed, std::max(axis.count - 1, axis.fixed));
}

int64_t FixedRoom(const GridAxis& axis) {
    int64_t room = 0;
    for (int32_t i = 0; i < axis.fixed; ++i) {
        room += axis.Room(i);
    }
    return room;
}

}  // namespace

// --- AxisLayout ---

AxisLayout::AxisLayout(const GridAxis& axis, int32_t first, int32_t extent)
    : axis_(axis), first_(ClampFirst(axis, first)), extent_(extent) {
    // Spans start inside the extent, and a size is cut so that the span's line and the pixel
    // after it stay within int32_t whatever size is stored.
    int64_t pos = 0;
    auto add = [&](int32_t displayIndex) {
        const int32_t index = axis_.Item(displayIndex);
        const int32_t size = axis_.sizes->Get(index);
        if (size > 0) {
            const auto start = static_cast<int32_t>(pos);
            spans_.push_back(AxisSpan{index, start, std::min(size, kMaxSpanEnd - start)});
            pos += int64_t{size} + kGridLineWidth;
        }
    };
    for (int32_t i = 0; i < axis_.fixed && pos < extent_; ++i) {
        add(i);
    }
    scrolledStart_ = static_cast<int32_t>(std::min<int64_t>(pos, kMaxSpanEnd));
    for (int32_t i = first_; i < axis_.count && pos < extent_; ++i) {
        add(i);
    }
}

int32_t AxisLayout::End() const {
    return spans_.empty() ? 0 : std::min(spans_.back().Next(), extent_);
}

std::optional<AxisSpan> AxisLayout::Find(int32_t index) const {
    auto it = std::lower_bound(spans_.begin(), spans_.end(), index,
                               [](const AxisSpan& s, int32_t i) { return s.index < i; });
    if (it == spans_.end() || it->index != index) {
        return std::nullopt;
    }
    return *it;
}

std::optional<int32_t> AxisLayout::IndexAt(int32_t pos) const {
    if (pos < 0 || pos >= extent_) {
        return std::nullopt;
    }
    auto it = std::upper_bound(spans_.begin(), spans_.end(), pos,
                               [](int32_t p, const AxisSpan& s) { return p < s.Next(); });
    if (it == spans_.end()) {
        return std::nullopt;
    }
    return it->index;
}

std::optional<AxisSpan> AxisLayout::LineNear(int32_t pos) const {
    std::optional<AxisSpan> nearest;
    int64_t best = kGridLineGrip + 1;
    for (const AxisSpan& span : spans_) {
        const int64_t distance = std::abs(int64_t{pos} - span.LineAt());
        if (distance <= best && span.LineAt() < extent_) {
            nearest = span;
            best = distance;
        }
    }
    return best <= kGridLineGrip ? nearest : std::nullopt;
}

std::optional<int32_t> AxisLayout::ScrolledIndexNearest(int32_t pos) const {
    auto first = std::find_if(spans_.begin(), spans_.end(),
                              [this](const AxisSpan& s) { return s.index >= axis_.fixed; });
    if (first == spans_.end()) {
        return std::nullopt;
    }
    for (auto it = first; it != spans_.end(); ++it) {
        if (pos < it->Next()) {
            return it->index;
        }
    }
    return spans_.back().index;
}

int32_t AxisLayout::WholeScrolledCount() const {
    const auto whole = std::count_if(spans_.begin(), spans_.end(), [this](const AxisSpan& s) {
        return s.index >= axis_.fixed && s.Next() <= extent_;
    });
    return std::max(static_cast<int32_t>(whole), 1);
}

// --- Scrolling ---

int32_t LastFirstIndex(const GridAxis& axis, int32_t extent) {
    const int64_t available = extent - FixedRoom(axis);
    int32_t first = ClampFirst(axis, axis.count - 1);
    int64_t used = axis.Room(first);
    while (first - 1 >= axis.fixed && used + axis.Room(first - 1) <= available) {
        first -= 1;
        used += axis.Room(first);
    }
    return first;
}

int32_t FirstShowing(const GridAxis& axis, int32_t first, int32_t extent, int32_t index) {
    first = ClampFirst(axis, first);
    if (index < axis.fixed || index >= axis.count) {
        return first;
    }
    if (index <= first) {
        return index;
    }
    const int64_t available = extent - FixedRoom(axis);
    // Shown whole already? Stop adding once the room is used up, so that a far index costs
    // no more than a near one.
    int64_t used = 0;
    for (int32_t i = first; i <= index && used <= available; ++i) {
        used += axis.Room(i);
    }
    if (used <= available) {
        return first;
    }
    int32_t newFirst = index;
    used = axis.Room(index);
    while (newFirst - 1 > first && used + axis.Room(newFirst - 1) <= available) {
        newFirst -= 1;
        used += axis.Room(newFirst);
    }
    return newFirst;
}

// --- GridGeometry ---

GridCell ClampTopLeft(const TableGrid& grid, GridCell cell, const ShownRows* shown) {
    return GridCell{ClampFirst(ColumnAxis(grid), cell.col),
                    ClampFirst(RowAxis(grid, shown), cell.row)};
}

GridGeometry::GridGeometry(const TableGrid& grid, GridCell topLeft, int32_t width, int32_t height,
                           const ShownRows* shown)
    : colAxis_(ColumnAxis(grid)),
      rowAxis_(RowAxis(grid, shown)),
      columns_(colAxis_, topLeft.col, width),
      rows_(rowAxis_, topLeft.row, height) {}

std::optional<CellBox> GridGeometry::BoxOf(GridCell cell) const {
    const std::optional<AxisSpan> col = columns_.Find(cell.col);
    const std::optional<AxisSpan> row = rows_.Find(cell.row);
    if (!col || !row) {
        return std::nullopt;
    }
    const int32_t width = std::min(col->size, columns_.End() - col->start);
    const int32_t height = std::min(row->size, rows_.End() - row->start);
    return CellBox{col->start, row->start, width, height};
}

std::optional<GridCell> GridGeometry::CellAt(int32_t x, int32_t y) const {
    const std::optional<int32_t> col = columns_.IndexAt(x);
    const std::optional<int32_t> row = rows_.IndexAt(y);
    if (!col || !row) {
        return std::nullopt;
    }
    return GridCell{*col, *row};
}

PressTarget GridGeometry::PressAt(int32_t x, int32_t y) const {
    using Kind = PressTarget::Kind;
    const bool inFixedRows = rowAxis_.fixed > 0 && y >= 0 && y < rows_.ScrolledStart();
    const bool inFixedCols = colAxis_.fixed > 0 && x >= 0 && x < columns_.ScrolledStart();
    if (inFixedRows) {
        if (std::optional<AxisSpan> line = columns_.LineNear(x)) {
            return PressTarget{Kind::ResizeColumn, GridCell{line->index, 0}};
        }
    }
    if (inFixedCols) {
        if (std::optional<AxisSpan> line = rows_.LineNear(y)) {
            return PressTarget{Kind::ResizeRow, GridCell{0, line->index}};
        }
    }
    const std::optional<GridCell> cell = CellAt(x, y);
    if (!cell) {
        return PressTarget{};
    }
    const bool fixedCol = cell->col < colAxis_.fixed;
    const bool fixedRow = cell->row < rowAxis_.fixed;
    if (fixedCol && !fixedRow) {
        return PressTarget{Kind::MoveRow, *cell};
    }
    if (fixedRow && !fixedCol) {
        return PressTarget{Kind::MoveColumn, *cell};
    }
    if (!fixedCol && !fixedRow) {
        return PressTarget{Kind::Cell, *cell};
    }
    return PressTarget{};
}

}  // namespace qv
