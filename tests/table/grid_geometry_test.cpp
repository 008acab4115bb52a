#include "table/grid_geometry.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/grid_fixtures.h"

namespace qv {
namespace {

using Kind = PressTarget::Kind;

std::vector<int32_t> Indexes(const AxisLayout& layout) {
    std::vector<int32_t> indexes;
    for (const AxisSpan& span : layout.Spans()) {
        indexes.push_back(span.index);
    }
    return indexes;
}

class GridGeometryTest : public ::testing::Test {
protected:
    // The initial table: widths 32, 153, 69, rows 18 high, one fixed column and row.
    GridGeometryTest() : grid(test::MainGridShape()) { test::MakeInitialTable(grid); }

    TableGrid grid;
};

TEST_F(GridGeometryTest, CellsFollowEachOtherWithALineBetween) {
    const GridGeometry geometry(grid, 600, 400);
    EXPECT_EQ(geometry.BoxOf({0, 0}), (CellBox{0, 0, 32, 18}));
    EXPECT_EQ(geometry.BoxOf({1, 1}), (CellBox{33, 19, 153, 18}));
    EXPECT_EQ(geometry.BoxOf({2, 5}), (CellBox{187, 95, 69, 18}));
    EXPECT_EQ(geometry.BoxOf({3, 1}), std::nullopt);  // beyond ColCount
    EXPECT_EQ(geometry.Columns().End(), 257);
    EXPECT_EQ(geometry.Rows().End(), 114);
}

TEST_F(GridGeometryTest, PointsMapBackToCellsWithTheLineBelongingToTheCellBefore) {
    const GridGeometry geometry(grid, 600, 400);
    struct Case {
        int32_t x, y;
        std::optional<GridCell> cell;
    };
    const Case cases[] = {
        {0, 0, GridCell{0, 0}},    {32, 18, GridCell{0, 0}},  {33, 19, GridCell{1, 1}},
        {186, 37, GridCell{1, 1}}, {187, 38, GridCell{2, 2}}, {256, 113, GridCell{2, 5}},
        {257, 50, std::nullopt},   {50, 114, std::nullopt},   {-1, 5, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(geometry.CellAt(c.x, c.y), c.cell) << c.x << "," << c.y;
    }
}

TEST_F(GridGeometryTest, ScrolledTopLeftKeepsTheFixedLinesInPlace) {
    grid.SetRowCount(100);
    grid.SetTopLeft({2, 40});
    const GridGeometry geometry(grid, 600, 400);
    EXPECT_EQ(Indexes(geometry.Columns()), (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(geometry.Rows().Spans()[1], (AxisSpan{40, 19, 18}));
    EXPECT_EQ(geometry.BoxOf({2, 41}), (CellBox{33, 38, 69, 18}));
    EXPECT_EQ(geometry.BoxOf({1, 41}), std::nullopt);  // scrolled out to the left
    EXPECT_EQ(geometry.BoxOf({2, 39}), std::nullopt);  // scrolled out above
    EXPECT_EQ(geometry.CellAt(40, 40), (GridCell{2, 41}));
}

TEST_F(GridGeometryTest, HeightExceptionsAndZeroSizesShiftTheFollowingCells) {
    grid.SetRowHeight(2, 40);
    grid.SetColWidth(1, 0);
    const GridGeometry geometry(grid, 600, 400);
    EXPECT_EQ(Indexes(geometry.Columns()), (std::vector<int32_t>{0, 2}));  // width 0 not drawn
    EXPECT_EQ(geometry.BoxOf({2, 3}), (CellBox{33, 79, 69, 18}));
    EXPECT_EQ(geometry.BoxOf({1, 3}), std::nullopt);
}

TEST_F(GridGeometryTest, TheLastCellShownIsCutAtTheViewportEdge) {
    grid.SetRowCount(100);
    const GridGeometry geometry(grid, 100, 50);  // rows at 0, 19, 38: the third is cut to 12
    EXPECT_EQ(geometry.BoxOf({1, 2}), (CellBox{33, 38, 67, 12}));
    EXPECT_EQ(geometry.Rows().WholeScrolledCount(), 1);
    EXPECT_EQ(geometry.CellAt(99, 49), (GridCell{1, 2}));
    EXPECT_EQ(geometry.CellAt(100, 49), std::nullopt);
}

TEST_F(GridGeometryTest, ATenMillionRowTableShowsOnlyTheRowsThatFit) {
    grid.SetRowCount(10'000'000);
    grid.SetRowHeight(9'999'998, 37);
    const GridAxis rows = RowAxis(grid);
    // 400 pixels: the fixed row takes 19, leaving 381: at the end of the table that holds the
    // last row, the tall one (38 with its line) and 17 more rows of 19.
    EXPECT_EQ(LastFirstIndex(rows, 400), 10'000'000 - 19);
    grid.SetTopLeft({1, LastFirstIndex(rows, 400)});
    const GridGeometry geometry(grid, 600, 400);
    EXPECT_EQ(geometry.Rows().Spans().size(), 20u);  // the fixed row and 19 data rows
    EXPECT_EQ(geometry.Rows().Spans().back(), (AxisSpan{9'999'999, 380, 18}));
    EXPECT_EQ(geometry.CellAt(40, 398), (GridCell{1, 9'999'999}));
    EXPECT_EQ(geometry.CellAt(40, 399), std::nullopt);
    EXPECT_EQ(geometry.Rows().WholeScrolledCount(), 19);
}

TEST_F(GridGeometryTest, ScrollingToShowACellMovesTheTopAsLittleAsPossible) {
    grid.SetRowCount(10'000'000);
    const GridAxis rows = RowAxis(grid);
    struct Case {
        int32_t first, index, expected;
    };
    const Case cases[] = {
        {1, 5, 1},                        // already shown
        {1, 20, 1},                       // the last row shown whole
        {1, 21, 2},                       // one below: scroll by one
        {50, 10, 10},                     // above: it becomes the first
        {50, 0, 50},                      // fixed rows are always shown
        {1, 9'999'999, 10'000'000 - 20},  // the far end, as the last row shown
        {9'999'000, 1, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FirstShowing(rows, c.first, 400, c.index), c.expected)
            << c.first << " -> " << c.index;
    }
}

TEST_F(GridGeometryTest, PressesNearLinesBetweenFixedCellsResizeElseMoveOrSelect) {
    const GridGeometry geometry(grid, 600, 400);
    struct Case {
        int32_t x, y;
        Kind kind;
        GridCell cell;
    };
    const Case cases[] = {
        {185, 9, Kind::ResizeColumn, {1, 0}},  // right line of column 1 is at x 186
        {189, 9, Kind::ResizeColumn, {1, 0}},
        {259, 9, Kind::ResizeColumn, {2, 0}},  // just right of the last column
        {100, 9, Kind::MoveColumn, {1, 0}},
        {16, 55, Kind::ResizeRow, {0, 2}},  // bottom line of row 2 is at y 56
        {16, 47, Kind::MoveRow, {0, 2}},
        {100, 47, Kind::Cell, {1, 2}},
        {185, 47, Kind::Cell, {1, 2}},   // lines between data cells are not grabbed
        {10, 9, Kind::Nothing, {0, 0}},  // the corner
        {500, 300, Kind::Nothing, {0, 0}},
    };
    for (const Case& c : cases) {
        const PressTarget target = geometry.PressAt(c.x, c.y);
        EXPECT_EQ(target.kind, c.kind) << c.x << "," << c.y;
        if (c.kind != Kind::Nothing) {
            EXPECT_EQ(target.cell, c.cell) << c.x << "," << c.y;
        }
    }
}

TEST_F(GridGeometryTest, WithoutFixedLinesNothingMovesOrResizes) {
    TableGrid plain(GridShape{3, 3, 0, 0, 40, 18});
    const GridGeometry geometry(plain, 600, 400);
    EXPECT_EQ(geometry.PressAt(40, 9).kind, Kind::Cell);
    EXPECT_EQ(geometry.PressAt(10, 18).kind, Kind::Cell);
}

TEST_F(GridGeometryTest, DropTargetsAreScrolledLinesClampedToThoseShown) {
    grid.SetRowCount(100);
    grid.SetTopLeft({1, 10});
    const GridGeometry geometry(grid, 600, 400);
    const AxisLayout& rows = geometry.Rows();
    EXPECT_EQ(rows.ScrolledIndexNearest(5), 10);   // over the fixed row
    EXPECT_EQ(rows.ScrolledIndexNearest(40), 11);  // the second scrolled row
    EXPECT_EQ(rows.ScrolledIndexNearest(5000), rows.Spans().back().index);
}

TEST_F(GridGeometryTest, LastFirstIndexNeverGoesBelowTheFixedLines) {
    EXPECT_EQ(LastFirstIndex(RowAxis(grid), 400), 1);  // everything fits
    EXPECT_EQ(LastFirstIndex(ColumnAxis(grid), 100), 2);
    EXPECT_EQ(LastFirstIndex(ColumnAxis(grid), 10), 2);  // not even the last one fits
}

}  // namespace
}  // namespace qv
