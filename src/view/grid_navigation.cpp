#include "view/grid_navigation.h"

#include <algorithm>
#include <functional>

#include "table/cell_handle.h"
#include "view/grid_geometry.h"

namespace qv {

namespace {

// The rows as a view shows them: display rows, the fixed ones and then the shown data rows
// (every row when no filter is on). Navigation moves among display rows.
struct DisplayRows {
    const TableGrid& grid;
    const ShownRows* shown;
    int32_t fixed = grid.FixedRows();
    int32_t count =
        shown != nullptr ? shown->DisplayCount(grid.RowCount(), fixed) : grid.RowCount();

    int32_t TableRow(int32_t display) const {
        return shown != nullptr ? shown->TableRow(display, fixed) : display;
    }
    int32_t DisplayRow(int32_t row) const {
        return shown != nullptr ? shown->NearestDisplayRow(row, fixed) : row;
    }
    GridCell Clamp(GridCell cell) const {
        return GridCell{
            std::clamp(cell.col, grid.FixedCols(), std::max(grid.ColCount() - 1, grid.FixedCols())),
            std::clamp(cell.row, fixed, std::max(count - 1, fixed))};
    }
};

GridCell TabTarget(const TableGrid& grid, const DisplayRows& rows, GridCell cell, bool forward) {
    const GridCell first{grid.FixedCols(), rows.fixed};
    const GridCell last{grid.ColCount() - 1, rows.count - 1};
    if (forward) {
        if (++cell.col > last.col) {
            cell.col = first.col;
            cell.row = cell.row >= last.row ? first.row : cell.row + 1;
        }
    } else if (--cell.col < first.col) {
        cell.col = last.col;
        cell.row = cell.row <= first.row ? last.row : cell.row - 1;
    }
    return cell;
}

NavigationTarget PageTarget(const TableGrid& grid, const ShownRows* shown, GridCell current,
                            GridCell topLeft, int32_t viewportHeight, int32_t direction) {
    const GridAxis rows = RowAxis(grid, shown);
    const int32_t page = AxisLayout(rows, topLeft.row, viewportHeight).WholeScrolledCount();
    const int32_t lastTop = LastFirstIndex(rows, viewportHeight);
    const auto moved = [&](int32_t row, int32_t last) {
        const int64_t to = int64_t{row} + int64_t{direction} * page;
        return static_cast<int32_t>(
            std::clamp<int64_t>(to, rows.fixed, std::max(last, rows.fixed)));
    };
    return NavigationTarget{GridCell{current.col, moved(current.row, rows.count - 1)},
                            GridCell{topLeft.col, moved(topLeft.row, lastTop)}};
}

// Calls `filled` with the indexes in [begin, end) of the filled cells along one line, in order.
using FilledVisitor =
    std::function<void(int32_t begin, int32_t end, const std::function<void(int32_t)>& filled)>;

// Where an edge key leads from `at` along a line of data cells [first, last]; `step` is +1 or -1.
// Only the filled cells are visited, so a sparse line of many rows costs little.
int32_t EdgeAlong(int32_t at, int32_t first, int32_t last, int32_t step, bool filledHere,
                  const FilledVisitor& visit) {
    int32_t nearest = -1;  // the filled cell nearest to `at` in the key's direction
    int32_t runEnd = -1;   // the far end of the run of filled cells that starts next to `at`
    if (step > 0) {
        bool runOpen = true;
        visit(at + 1, last + 1, [&](int32_t index) {
            if (nearest < 0) {
                nearest = runEnd = index;
            } else if (runOpen && index == runEnd + 1) {
                runEnd = index;
            } else {
                runOpen = false;
            }
        });
    } else {
        visit(first, at, [&](int32_t index) {
            if (index != nearest + 1 || nearest < 0) {
                runEnd = index;  // a run starts here
            }
            nearest = index;
        });
    }
    if (nearest < 0) {
        return step > 0 ? last : first;
    }
    return filledHere && nearest == at + step ? runEnd : nearest;
}

// `at.row` is a display row.
GridCell DataEdge(const TableGrid& grid, const DisplayRows& display, GridCell at,
                  NavigationKey key) {
    const GridCell first{grid.FixedCols(), display.fixed};
    const GridCell last{grid.ColCount() - 1, display.count - 1};
    const bool filledHere = !grid.Cell(at.col, display.TableRow(at.row)).empty();
    const bool vertical = key == NavigationKey::EdgeUp || key == NavigationKey::EdgeDown;
    const int32_t step = key == NavigationKey::EdgeDown || key == NavigationKey::EdgeRight ? 1 : -1;
    if (vertical) {
        const FilledVisitor rows = [&](int32_t begin, int32_t end, const auto& filled) {
            if (display.shown != nullptr) {  // the shown rows only, one by one
                for (int32_t d = begin; d < end; ++d) {
                    if (!grid.Cell(at.col, display.TableRow(d)).empty()) {
                        filled(d);
                    }
                }
                return;
            }
            grid.VisitColumnTexts(at.col, begin, end, [&](int32_t row, CellHandle h) {
                if (!cell_handle::Text(h).empty()) {
                    filled(row);
                }
            });
        };
        at.row = EdgeAlong(at.row, first.row, last.row, step, filledHere, rows);
    } else {
        const FilledVisitor cols = [&](int32_t begin, int32_t end, const auto& filled) {
            for (const int32_t col : grid.StoredColumnNumbers(begin, end)) {
                if (!grid.Cell(col, display.TableRow(at.row)).empty()) {
                    filled(col);
                }
            }
        };
        at.col = EdgeAlong(at.col, first.col, last.col, step, filledHere, cols);
    }
    return at;
}

}  // namespace

SelectionCorners SelectWhole(const TableGrid& grid, WholeLines lines) {
    const GridCell first{grid.FixedCols(), grid.FixedRows()};
    const GridCell last = ClampToData(grid, GridCell{grid.ColCount() - 1, grid.RowCount() - 1});
    const GridCell a = grid.Anchor();
    const GridCell b = grid.Current();
    GridCell topLeft{std::min(a.col, b.col), std::min(a.row, b.row)};
    GridCell bottomRight{std::max(a.col, b.col), std::max(a.row, b.row)};
    if (lines != WholeLines::Rows) {
        topLeft.row = first.row;
        bottomRight.row = last.row;
    }
    if (lines != WholeLines::Columns) {
        topLeft.col = first.col;
        bottomRight.col = last.col;
    }
    return SelectionCorners{ClampToData(grid, bottomRight), ClampToData(grid, topLeft)};
}

GridCell ClampToData(const TableGrid& grid, GridCell cell) {
    return GridCell{
        std::clamp(cell.col, grid.FixedCols(), std::max(grid.ColCount() - 1, grid.FixedCols())),
        std::clamp(cell.row, grid.FixedRows(), std::max(grid.RowCount() - 1, grid.FixedRows()))};
}

NavigationTarget Navigate(const TableGrid& grid, GridCell topLeft, int32_t viewportHeight,
                          NavigationKey key, const ShownRows* shown) {
    const DisplayRows rows{grid, shown != nullptr && shown->Filtered() ? shown : nullptr};
    if (rows.shown != nullptr && rows.count <= rows.fixed) {
        return NavigationTarget{grid.Current(), topLeft};  // a filter that shows no row
    }
    const GridCell current{grid.Col(), rows.DisplayRow(grid.Row())};
    const GridCell firstData{grid.FixedCols(), rows.fixed};
    const GridCell lastData{grid.ColCount() - 1, rows.count - 1};
    GridCell to = current;
    NavigationTarget target{to, topLeft};
    switch (key) {
        case NavigationKey::Up:
            to.row -= 1;
            break;
        case NavigationKey::Down:
            to.row += 1;
            break;
        case NavigationKey::Left:
            to.col -= 1;
            break;
        case NavigationKey::Right:
            to.col += 1;
            break;
        case NavigationKey::EdgeUp:
        case NavigationKey::EdgeDown:
        case NavigationKey::EdgeLeft:
        case NavigationKey::EdgeRight:
            to = DataEdge(grid, rows, current, key);
            break;
        case NavigationKey::Home:
            to.col = firstData.col;
            break;
        case NavigationKey::End:
            to.col = lastData.col;
            break;
        case NavigationKey::CtrlHome:
            to = firstData;
            break;
        case NavigationKey::CtrlEnd:
            to = lastData;
            break;
        case NavigationKey::Tab:
        case NavigationKey::Backtab:
            to = TabTarget(grid, rows, current, key == NavigationKey::Tab);
            break;
        case NavigationKey::PageUp:
        case NavigationKey::PageDown:
            target = PageTarget(grid, rows.shown, current, topLeft, viewportHeight,
                                key == NavigationKey::PageUp ? -1 : 1);
            to = target.current;
            break;
    }
    to = rows.Clamp(to);
    target.current = GridCell{to.col, rows.TableRow(to.row)};
    return target;
}

}  // namespace qv
