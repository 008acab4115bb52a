// Where a grid's cells lie on the screen and what a press grabs: worked examples, a table
// scrolled to the end of ten million rows, and sizes up to the extremes a table file can store.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "table/main_table_shape.h"
#include "view/grid_geometry.h"

namespace qv {
namespace {

using Kind = PressTarget::Kind;
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

class GridGeometryTest : public ::testing::Test {
protected:
    GridGeometryTest() : grid(kMainTableShape) { SetMainTableColWidths(grid); }
    TableGrid grid;
};

// Every cell is followed by a one-pixel line that belongs to it; row 2 is 40 high.
TEST_F(GridGeometryTest, CellsAndPointsMapBothWaysAcrossFixedLinesAndExceptions) {
    grid.SetRowHeight(2, 40);
    const GridGeometry geometry(grid, {1, 1}, 600, 400);
    EXPECT_EQ(geometry.BoxOf({0, 0}), (CellBox{0, 0, 32, 18}));
    EXPECT_EQ(geometry.BoxOf({1, 1}), (CellBox{33, 19, 153, 18}));
    EXPECT_EQ(geometry.BoxOf({2, 3}), (CellBox{187, 79, 69, 18}));
    EXPECT_EQ(geometry.BoxOf({3, 1}), std::nullopt);  // beyond ColCount
    const int32_t points[][4] = {{0, 0, 0, 0},     {32, 18, 0, 0},   {33, 19, 1, 1},
                                 {186, 78, 1, 2},  {187, 79, 2, 3},  {256, 135, 2, 5},
                                 {257, 50, -1, 0}, {50, 136, -1, 0}, {-1, 5, -1, 0}};
    for (auto [x, y, col, row] : points) {
        EXPECT_EQ(geometry.CellAt(x, y), col < 0 ? std::nullopt : std::optional(GridCell{col, row}))
            << x << "," << y;
    }
}

// Scrolled to the end of ten million rows and to column 2, the fixed lines stay in place.
TEST_F(GridGeometryTest, ATenMillionRowTableScrolledToItsEnd) {
    grid.SetRowCount(10'000'000);
    grid.SetRowHeight(9'999'998, 37);
    // 400 pixels: the fixed row takes 19, leaving 381: at the end of the table that holds the
    // last row, the tall one (38 with its line) and 17 more rows of 19.
    const int32_t first = LastFirstIndex(RowAxis(grid), 400);
    EXPECT_EQ(first, 10'000'000 - 19);
    EXPECT_EQ(FirstShowing(RowAxis(grid), 1, 400, 9'999'999), first);
    const GridGeometry geometry(grid, {2, first}, 600, 400);
    EXPECT_EQ(geometry.Rows().Spans().size(), 20u);  // the fixed row and 19 data rows
    EXPECT_EQ(geometry.Rows().Spans().back(), (AxisSpan{9'999'999, 380, 18}));
    EXPECT_EQ(geometry.BoxOf({2, first + 1}), (CellBox{33, 38, 69, 18}));
    EXPECT_EQ(geometry.BoxOf({1, first + 1}), std::nullopt);  // scrolled out to the left
    EXPECT_EQ(geometry.BoxOf({2, first - 1}), std::nullopt);  // scrolled out above
    EXPECT_EQ(geometry.CellAt(40, 398), (GridCell{2, 9'999'999}));
    EXPECT_EQ(geometry.CellAt(40, 399), std::nullopt);
}

// Lines between fixed cells are grabbed 3 pixels either side (column 1's right line is at x 186,
// row 2's bottom line at y 56); lines between data cells are not; the corner grabs nothing.
TEST_F(GridGeometryTest, PressesNearLinesBetweenFixedCellsResizeElseMoveOrSelect) {
    const GridGeometry geometry(grid, {1, 1}, 600, 400);
    const std::tuple<int32_t, int32_t, Kind, GridCell> cases[] = {
        {185, 9, Kind::ResizeColumn, {1, 0}}, {189, 9, Kind::ResizeColumn, {1, 0}},
        {259, 9, Kind::ResizeColumn, {2, 0}}, {100, 9, Kind::MoveColumn, {1, 0}},
        {16, 55, Kind::ResizeRow, {0, 2}},    {16, 47, Kind::MoveRow, {0, 2}},
        {185, 47, Kind::Cell, {1, 2}},        {10, 9, Kind::Nothing, {}},
        {500, 300, Kind::Nothing, {}}};
    for (auto [x, y, kind, cell] : cases) {
        const PressTarget target = geometry.PressAt(x, y);
        EXPECT_EQ(target.kind, kind) << x << "," << y;
        EXPECT_TRUE(kind == Kind::Nothing || target.cell == cell) << x << "," << y;
    }
}

// Stored widths and heights of any value: every sum stays exact (no overflow under UBSan), the
// scroll ends skip what cannot fit, and whatever is shown lies inside the viewport.
TEST_F(GridGeometryTest, ExtremeSizesNeverOverflow) {
    using Sizes = std::vector<int32_t>;
    const Sizes rows18(6, 18), rowsMax(6, kMax);
    // Column widths, row heights, the top left cell, the last first column and row.
    const std::tuple<Sizes, Sizes, GridCell, int32_t, int32_t> cases[] = {
        {{32, kMax, 69}, rows18, {1, 1}, 2, 1},
        {{kMax, 153, 69}, rows18, {1, 1}, 2, 1},
        {{32, kMax, kMax}, {18, kMin, kMax, 0, 18, 18}, {2, 2}, 2, 3},
        {{kMax - 1, kMin, kMax}, rowsMax, {2, 5}, 2, 5}};
    for (const auto& [widths, heights, topLeft, lastFirstCol, lastFirstRow] : cases) {
        TableGrid g(kMainTableShape);
        for (int32_t i = 0; i < 6; ++i) {
            g.SetRowHeight(i, heights[static_cast<size_t>(i)]);
            g.SetColWidth(i % 3, widths[static_cast<size_t>(i % 3)]);
        }
        EXPECT_EQ(LastFirstIndex(ColumnAxis(g), 600), lastFirstCol);
        EXPECT_EQ(LastFirstIndex(RowAxis(g), 400), lastFirstRow);
        EXPECT_EQ(FirstShowing(ColumnAxis(g), 1, 600, 2), lastFirstCol);
        const GridGeometry geometry(g, topLeft, 600, 400);
        EXPECT_LE(geometry.Columns().End(), 600);
        EXPECT_GE(geometry.Rows().WholeScrolledCount(), 1);
        for (int32_t x = -5; x < 610; x += 17) {
            for (int32_t y = -5; y < 410; y += 23) {
                const PressTarget target = geometry.PressAt(x, y);
                if (target.kind == Kind::Cell) {
                    const CellBox box = geometry.BoxOf(target.cell).value();
                    EXPECT_TRUE(box.x <= x && x <= box.x + box.width && box.y + box.height <= 400)
                        << x << "," << y;
                }
            }
        }
    }
}

}  // namespace
}  // namespace qv
