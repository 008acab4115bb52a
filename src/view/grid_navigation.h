#pragma once

#include <cstdint>

#include "table/shown_rows.h"
#include "table/table_grid.h"

namespace qv {

// The keys that move the current cell. Home and End stay on the row; with Ctrl they go to the
// first or last data cell of the table. The Edge keys are Ctrl with an arrow: they go to the edge
// of the data, as spreadsheets do: along a run of filled cells to its last one, from an empty
// cell or the end of a run to the next filled cell, and to the table's edge when none is left.
enum class NavigationKey {
    Up,
    Down,
    Left,
    Right,
    EdgeUp,
    EdgeDown,
    EdgeLeft,
    EdgeRight,
    Home,
    End,
    CtrlHome,
    CtrlEnd,
    Tab,
    Backtab,
    PageUp,
    PageDown
};

// Where a navigation key leads: the new current cell, and the top-left cell shown (a page move
// scrolls as far as it moves).
struct NavigationTarget {
    GridCell current;
    GridCell topLeft;
    bool operator==(const NavigationTarget&) const = default;
};

// The target of `key` from the grid's current cell, for a view scrolled to `topLeft` whose rows
// take `viewportHeight` pixels. The current cell lands on a data cell (inside the counts, not
// fixed): arrows, Home and End stop at the edges; Tab runs along the rows and wraps from the
// last data cell to the first, Backtab the other way; Page Up and Page Down move the current
// row and the top row by the rows shown whole (at least one), within the scroll range. A
// table with no data cell gives the current cell unchanged.
// With `shown` filtering, the keys move among the shown rows and `topLeft.row` is a display
// row (see GridGeometry).
NavigationTarget Navigate(const TableGrid& grid, GridCell topLeft, int32_t viewportHeight,
                          NavigationKey key, const ShownRows* shown = nullptr);

// The corners of a selection: the anchor, and the current cell, which is the top-left corner.
struct SelectionCorners {
    GridCell anchor;
    GridCell current;
    bool operator==(const SelectionCorners&) const = default;
};

// What the keys that select whole lines select: every data cell, or every data cell of the
// columns (or rows) the selection spans now.
enum class WholeLines { Table, Columns, Rows };
SelectionCorners SelectWhole(const TableGrid& grid, WholeLines lines);

// `cell` clamped into the data cells.
GridCell ClampToData(const TableGrid& grid, GridCell cell);

}  // namespace qv
