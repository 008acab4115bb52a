// What each movement key does from a given current cell and scroll place, without a window:
// 100 rows of 18 pixels in a 400-pixel viewport show 20 data rows whole, the page of Page Up and
// Page Down.
#include <gtest/gtest.h>

#include <tuple>

#include "table/main_table_shape.h"
#include "view/grid_navigation.h"

namespace qv {
namespace {

using Key = NavigationKey;

TEST(GridNavigationTest, EachKeyLeadsWhereTheRulesSay) {
    // Up stops at the first data row, Left at the label column; Tab and Backtab wrap round the
    // data cells; Page Down's scroll range ends at 80.
    // clang-format off
    const std::tuple<GridCell, GridCell, Key, GridCell, GridCell> cases[] = {
        {{1, 5}, {1, 1}, Key::Up, {1, 4}, {1, 1}}, {{1, 1}, {1, 1}, Key::Up, {1, 1}, {1, 1}},
        {{2, 99}, {1, 1}, Key::Down, {2, 99}, {1, 1}}, {{1, 5}, {1, 1}, Key::Left, {1, 5}, {1, 1}},
        {{2, 5}, {1, 1}, Key::Home, {1, 5}, {1, 1}}, {{1, 5}, {1, 1}, Key::End, {2, 5}, {1, 1}},
        {{2, 5}, {1, 1}, Key::CtrlHome, {1, 1}, {1, 1}}, {{1, 5}, {1, 1}, Key::CtrlEnd, {2, 99}, {1, 1}},
        {{1, 5}, {1, 1}, Key::Tab, {2, 5}, {1, 1}}, {{2, 5}, {1, 1}, Key::Tab, {1, 6}, {1, 1}},
        {{2, 99}, {1, 1}, Key::Tab, {1, 1}, {1, 1}}, {{1, 6}, {1, 1}, Key::Backtab, {2, 5}, {1, 1}},
        {{1, 1}, {1, 1}, Key::Backtab, {2, 99}, {1, 1}},
        {{1, 5}, {1, 1}, Key::PageDown, {1, 25}, {1, 21}}, {{1, 90}, {1, 70}, Key::PageDown, {1, 99}, {1, 80}},
        {{1, 30}, {1, 21}, Key::PageUp, {1, 10}, {1, 1}}, {{1, 3}, {1, 1}, Key::PageUp, {1, 1}, {1, 1}}};
    // clang-format on
    TableGrid grid(kMainTableShape);
    SetMainTableColWidths(grid);
    grid.SetRowCount(100);
    for (const auto& [current, topLeft, key, to, toTopLeft] : cases) {
        ASSERT_TRUE(grid.SetCurrentCell(current));
        EXPECT_EQ(Navigate(grid, topLeft, 400, key), (NavigationTarget{to, toTopLeft}))
            << static_cast<int>(key) << " from " << current.col << "," << current.row;
    }
}

// Column 1 holds rows 1-3 and 10-12, row 2 columns 1, 2 and 5: Ctrl+arrows run to the end of a
// run of filled cells, jump a gap to the next one, and stop at the table's edge.
TEST(GridNavigationTest, EdgeKeysFollowTheFilledCells) {
    // clang-format off
    const std::tuple<GridCell, Key, GridCell> cases[] = {
        {{1, 1}, Key::EdgeDown, {1, 3}}, {{1, 3}, Key::EdgeDown, {1, 10}}, {{1, 5}, Key::EdgeDown, {1, 10}},
        {{1, 12}, Key::EdgeDown, {1, 99}}, {{1, 12}, Key::EdgeUp, {1, 10}}, {{1, 10}, Key::EdgeUp, {1, 3}},
        {{1, 5}, Key::EdgeUp, {1, 3}}, {{1, 2}, Key::EdgeUp, {1, 1}}, {{2, 5}, Key::EdgeDown, {2, 99}},
        {{1, 2}, Key::EdgeRight, {2, 2}}, {{2, 2}, Key::EdgeRight, {5, 2}}, {{5, 2}, Key::EdgeRight, {6, 2}},
        {{5, 2}, Key::EdgeLeft, {2, 2}}, {{3, 2}, Key::EdgeLeft, {2, 2}}, {{1, 1}, Key::EdgeLeft, {1, 1}}};
    // clang-format on
    TableGrid grid(kMainTableShape);
    grid.SetRowCount(100);
    grid.SetColCount(7);
    for (const int32_t row : {1, 2, 3, 10, 11, 12}) {
        grid.SetCell(1, row, "x");
    }
    grid.SetCell(2, 2, "x");
    grid.SetCell(4, 2, "");
    grid.SetCell(5, 2, "x");
    for (const auto& [current, key, to] : cases) {
        ASSERT_TRUE(grid.SetCurrentCell(current));
        EXPECT_EQ(Navigate(grid, {1, 1}, 400, key).current, to)
            << static_cast<int>(key) << " from " << current.col << "," << current.row;
    }
}

// Ctrl+A, Ctrl+Space and Shift+Space widen the selection from (2,3)-(3,5) to whole lines.
TEST(GridNavigationTest, WholeLinesSpanTheSelection) {
    TableGrid grid(kMainTableShape);
    grid.SetRowCount(10);
    grid.SetColCount(5);
    ASSERT_TRUE(grid.SetCurrentCell({3, 5}) &&
                grid.SetCurrentCell({2, 3}, TableGrid::Selection::Extend));
    EXPECT_EQ(SelectWhole(grid, WholeLines::Table), (SelectionCorners{{4, 9}, {1, 1}}));
    EXPECT_EQ(SelectWhole(grid, WholeLines::Columns), (SelectionCorners{{3, 9}, {2, 1}}));
    EXPECT_EQ(SelectWhole(grid, WholeLines::Rows), (SelectionCorners{{4, 5}, {1, 3}}));
}

// A table whose only row is the fixed one gave way: every key stays on the one data cell.
TEST(GridNavigationTest, AOneCellTableKeepsTheCell) {
    TableGrid grid(GridShape{1, 1, 0, 0, 64, 24});
    for (Key key : {Key::Tab, Key::Backtab, Key::PageDown, Key::CtrlEnd, Key::Up}) {
        EXPECT_EQ(Navigate(grid, {0, 0}, 400, key), (NavigationTarget{{0, 0}, {0, 0}}));
    }
}

}  // namespace
}  // namespace qv
