#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "table/shown_rows.h"
#include "table/size_list.h"
#include "table/table_grid.h"

namespace qv {

// Every cell is followed by a line this wide to its right and below it.
inline constexpr int32_t kGridLineWidth = 1;
// A press this close to a line between fixed cells grabs the line for resizing.
inline constexpr int32_t kGridLineGrip = 3;

// One column (or row) on the screen: its index, its first pixel and its size without the line.
// The line that follows it is at pixel LineAt(). A size too large for LineAt() and Next() to be
// int32_t is cut, which no screen can tell.
struct AxisSpan {
    int32_t index = 0;
    int32_t start = 0;
    int32_t size = 0;
    int32_t LineAt() const { return start + size; }
    int32_t Next() const { return start + size + kGridLineWidth; }
    bool operator==(const AxisSpan&) const = default;
};

// One direction of a grid: the sizes, how many there are and how many lead as fixed lines. With
// `shown`, the rows a filter shows, the axis counts display rows (see ShownRows): its indexes
// are display rows, and the spans laid out carry the table rows they show.
struct GridAxis {
    const SizeList* sizes = nullptr;
    int32_t count = 1;
    int32_t fixed = 0;
    const ShownRows* shown = nullptr;
    // The table row (or column) at a display index.
    int32_t Item(int32_t index) const {
        return shown != nullptr ? shown->TableRow(index, fixed) : index;
    }
    // Pixels the item takes on the screen with its line; 0 for a size of 0 or less (not shown).
    // 64 bits, so that any stored size and sums of them never overflow.
    int64_t Room(int32_t index) const;
};
GridAxis ColumnAxis(const TableGrid& grid);
// `shown` nothing or every row: the table's rows as they are.
GridAxis RowAxis(const TableGrid& grid, const ShownRows* shown = nullptr);

// The columns (or rows) a viewport `extent` pixels long shows: the fixed ones, then the scrolled
// ones from `first` on, until the extent is filled or the count runs out. The last one may be
// cut off by the viewport's end. Items of size 0 or less take no room and are left out. Costs in
// the number of items shown, never in the count. `first` is clamped to [fixed, count - 1].
class AxisLayout {
public:
    AxisLayout(const GridAxis& axis, int32_t first, int32_t extent);

    const std::vector<AxisSpan>& Spans() const { return spans_; }
    int32_t First() const { return first_; }
    // The pixel where the scrolled items begin (after the fixed ones).
    int32_t ScrolledStart() const { return scrolledStart_; }
    // The pixel after the last item's line, or the extent when the last one is cut off.
    int32_t End() const;
    // The span of `index` when it is shown.
    std::optional<AxisSpan> Find(int32_t index) const;
    // The item at pixel `pos`; its line counts as part of it.
    std::optional<int32_t> IndexAt(int32_t pos) const;
    // The item whose line lies nearest to `pos`, at most kGridLineGrip pixels away.
    std::optional<AxisSpan> LineNear(int32_t pos) const;
    // The scrolled item under `pos`; before the scrolled items the first one shown, after them the
    // last one shown. Nothing when no scrolled item is shown.
    std::optional<int32_t> ScrolledIndexNearest(int32_t pos) const;
    // Scrolled items shown whole, at least 1 (the step of Page Up and Page Down).
    int32_t WholeScrolledCount() const;

private:
    GridAxis axis_;
    int32_t first_;
    int32_t extent_;
    int32_t scrolledStart_ = 0;
    std::vector<AxisSpan> spans_;
};

// The largest first scrolled index whose items still reach the end of the count within `extent`
// pixels: the end of the scroll range. Never below the first scrolled index.
int32_t LastFirstIndex(const GridAxis& axis, int32_t extent);

// The first scrolled index that shows `index` whole within `extent` pixels, moving as little as
// possible from `first`. An index of a fixed item, or one already shown whole, keeps `first`.
int32_t FirstShowing(const GridAxis& axis, int32_t first, int32_t extent, int32_t index);

// A cell's place in the viewport, without its lines.
struct CellBox {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const CellBox&) const = default;
};

// What a press of the mouse button at a point grabs.
struct PressTarget {
    enum class Kind { Nothing, Cell, ResizeColumn, ResizeRow, MoveRow, MoveColumn };
    Kind kind = Kind::Nothing;
    GridCell cell;  // Cell: the cell; Resize/Move: the column or row in the matching field
};

// `cell` clamped into the scrollable cells (inside the counts, not fixed): the top-left cells a
// view may scroll to.
GridCell ClampTopLeft(const TableGrid& grid, GridCell cell, const ShownRows* shown = nullptr);

// Where the cells of a grid lie in a viewport of width x height pixels, scrolled to `topLeft`
// (the first scrolled column and row shown; clamped). Cheap to build (it looks at the shown
// cells only); build a new one after any change of the grid, the scroll place or the viewport.
class GridGeometry {
public:
    // `topLeft.row` is a display row of `shown`; the cells given and returned are the table's.
    GridGeometry(const TableGrid& grid, GridCell topLeft, int32_t width, int32_t height,
                 const ShownRows* shown = nullptr);

    const AxisLayout& Columns() const { return columns_; }
    const AxisLayout& Rows() const { return rows_; }
    // The shown part of a cell, cut at the viewport's edge; nothing when it is not shown.
    std::optional<CellBox> BoxOf(GridCell cell) const;
    std::optional<GridCell> CellAt(int32_t x, int32_t y) const;
    // Lines between fixed cells are grabbed for resizing first (a column's right line in the fixed
    // rows, a row's bottom line in the fixed columns); then a fixed column's cell of a scrolled
    // row moves that row, a fixed row's cell of a scrolled column moves that column, and a
    // scrolled cell is a cell.
    PressTarget PressAt(int32_t x, int32_t y) const;

private:
    GridAxis colAxis_;
    GridAxis rowAxis_;
    AxisLayout columns_;
    AxisLayout rows_;
};

}  // namespace qv
