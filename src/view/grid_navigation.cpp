#include "view/grid_navigation.h"

#include <algorithm>

#include "view/grid_geometry.h"

namespace qv {

namespace {

GridCell TabTarget(const TableGrid& grid, GridCell cell, bool forward) {
    const GridCell first{grid.FixedCols(), grid.FixedRows()};
    const GridCell last{grid.ColCount() - 1, grid.RowCount() - 1};
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

NavigationTarget PageTarget(const TableGrid& grid, GridCell topLeft, int32_t viewportHeight,
                            int32_t direction) {
    const GridAxis rows = RowAxis(grid);
    const int32_t page = AxisLayout(rows, topLeft.row, viewportHeight).WholeScrolledCount();
    const int32_t lastTop = LastFirstIndex(rows, viewportHeight);
    const auto moved = [&](int32_t row, int32_t last) {
        const int64_t to = int64_t{row} + int64_t{direction} * page;
        return static_cast<int32_t>(
            std::clamp<int64_t>(to, rows.fixed, std::max(last, rows.fixed)));
    };
    const GridCell current = grid.Current();
    return NavigationTarget{GridCell{current.col, moved(current.row, rows.count - 1)},
                            GridCell{topLeft.col, moved(topLeft.row, lastTop)}};
}

}  // namespace

GridCell ClampToData(const TableGrid& grid, GridCell cell) {
    return GridCell{
        std::clamp(cell.col, grid.FixedCols(), std::max(grid.ColCount() - 1, grid.FixedCols())),
        std::clamp(cell.row, grid.FixedRows(), std::max(grid.RowCount() - 1, grid.FixedRows()))};
}

NavigationTarget Navigate(const TableGrid& grid, GridCell topLeft, int32_t viewportHeight,
                          NavigationKey key) {
    const GridCell current = grid.Current();
    const GridCell firstData{grid.FixedCols(), grid.FixedRows()};
    const GridCell lastData{grid.ColCount() - 1, grid.RowCount() - 1};
    GridCell to = current;
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
            to = TabTarget(grid, current, key == NavigationKey::Tab);
            break;
        case NavigationKey::PageUp:
        case NavigationKey::PageDown: {
            NavigationTarget page =
                PageTarget(grid, topLeft, viewportHeight, key == NavigationKey::PageUp ? -1 : 1);
            page.current = ClampToData(grid, page.current);
            return page;
        }
    }
    return NavigationTarget{ClampToData(grid, to), topLeft};
}

}  // namespace qv
