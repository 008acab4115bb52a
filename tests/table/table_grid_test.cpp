#include "table/table_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/failure.h"
#include "support/grid_fixtures.h"

namespace qv {
namespace {

class TableGridTest : public ::testing::Test {
protected:
    TableGridTest() : grid(test::MainGridShape()) { test::MakeInitialTable(grid); }

    std::vector<int32_t> Widths() const {
        std::vector<int32_t> widths;
        for (int32_t c = 0; c < grid.ColCount(); ++c) {
            widths.push_back(grid.ColWidth(c));
        }
        return widths;
    }

    void FillRows(int32_t rows, int32_t cols) {
        for (int32_t r = 0; r < rows; ++r) {
            for (int32_t c = 0; c < cols; ++c) {
                grid.SetCell(c, r, std::to_string(c) + ":" + std::to_string(r));
            }
        }
    }

    TableGrid grid;
};

TEST_F(TableGridTest, StartsAsTheDesignedTable) {
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.RowCount(), 6);
    EXPECT_EQ(grid.FixedCols(), 1);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.Current(), (GridCell{1, 1}));
    EXPECT_EQ(Widths(), (std::vector<int32_t>{32, 153, 69}));
    EXPECT_EQ(grid.RowHeight(5), 18);
    EXPECT_EQ(grid.Cell(1, 1), "");
}

TEST_F(TableGridTest, TextsSurviveShrinkingAndGrowingBack) {
    FillRows(6, 3);
    grid.SetRowCount(3);
    EXPECT_EQ(grid.Cell(2, 5), "2:5");  // stored, just not shown
    grid.SetRowCount(6);
    for (int32_t r = 3; r < 6; ++r) {
        EXPECT_EQ(grid.Cell(0, r), "0:" + std::to_string(r));
        EXPECT_EQ(grid.Cell(2, r), "2:" + std::to_string(r));
    }
}

TEST_F(TableGridTest, GrowingGivesTheNewAndTheFormerLastColumnTheDefaultWidth) {
    grid.SetColCount(4);
    EXPECT_EQ(Widths(), (std::vector<int32_t>{32, 153, 32, 32}));
    grid.SetColCount(4);  // same count: nothing happens, not even to widths
    grid.SetColWidth(3, 77);
    grid.SetColCount(4);
    EXPECT_EQ(Widths(), (std::vector<int32_t>{32, 153, 32, 77}));
    grid.SetColCount(2);
    grid.SetColCount(4);
    EXPECT_EQ(Widths(), (std::vector<int32_t>{32, 32, 32, 32}));
}

TEST_F(TableGridTest, SameCountChangesNothingAtAll) {
    grid.SetCurrentCell({2, 4});
    grid.SetCurrentCell({1, 2}, TableGrid::Selection::Extend);
    grid.SetRowCount(6);
    EXPECT_EQ(grid.Anchor(), (GridCell{2, 4}));
    grid.SetRowCount(7);
    EXPECT_EQ(grid.Anchor(), grid.Current());  // a changed count collapses the selection
}

TEST_F(TableGridTest, ZeroColumnsLeavesColumnZeroAsAnOrdinaryColumn) {
    grid.SetColCount(0);
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_EQ(grid.FixedCols(), 0);
    EXPECT_EQ(grid.Current(), (GridCell{0, 1}));
    grid.SetColCount(3);
    EXPECT_EQ(grid.FixedCols(), 0);
    EXPECT_TRUE(grid.SetCurrentCell({0, 2}));
}

TEST_F(TableGridTest, OneRowRemovesTheFixedRow) {
    grid.SetRowCount(-5);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.FixedRows(), 0);
    EXPECT_EQ(grid.Current(), (GridCell{1, 0}));
    grid.SetRowCount(4);
    EXPECT_EQ(grid.FixedRows(), 0);
}

TEST_F(TableGridTest, CurrentCellFollowsAShrinkingCount) {
    ASSERT_TRUE(grid.SetCurrentCell({2, 5}));
    grid.SetRowCount(3);
    EXPECT_EQ(grid.Current(), (GridCell{2, 2}));
    grid.SetColCount(2);
    EXPECT_EQ(grid.Current(), (GridCell{1, 2}));
}

TEST_F(TableGridTest, TooLargeCountsAreRefusedAndChangeNothing) {
    grid.SetCurrentCell({2, 3});
    for (int32_t n : {kGridCountLimit, kGridCountLimit + 1, INT32_MAX}) {
        try {
            grid.SetRowCount(n);
            FAIL() << n;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.message(), "ｸﾞﾘｯﾄﾞが大きすぎます");
        }
        EXPECT_THROW(grid.SetColCount(n), Failure);
    }
    EXPECT_EQ(grid.RowCount(), 6);
    EXPECT_EQ(Widths(), (std::vector<int32_t>{32, 153, 69}));
    EXPECT_EQ(grid.Current(), (GridCell{2, 3}));
    grid.SetRowCount(kGridCountLimit - 1);  // the largest allowed count costs nothing per row
    EXPECT_EQ(grid.RowCount(), kGridCountLimit - 1);
    EXPECT_EQ(grid.RowHeight(kGridCountLimit - 2), 18);
}

TEST_F(TableGridTest, WidthsBeyondTheCountAreRefused) {
    try {
        grid.SetColWidth(3, 50);
        FAIL();
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.message(), "ｸﾞﾘｯﾄﾞｲﾝﾃﾞｯｸｽ が範囲を超えています");
    }
    EXPECT_EQ(grid.ColWidth(3), 32);  // reads beyond the count give the default
    grid.SetColWidth(2, -4);          // no range check on the width itself
    EXPECT_EQ(grid.ColWidth(2), -4);
}

TEST_F(TableGridTest, RowLabelsKeepTheirLastThreeCharacters) {
    grid.SetRowCount(1002);
    grid.WriteRowLabels(1, grid.RowCount());
    const std::vector<std::pair<int32_t, std::string>> expected = {
        {1, "  1"}, {9, "  9"}, {10, " 10"}, {99, " 99"}, {100, "100"}, {999, "999"},
        {1000, "000"}, {1001, "001"}};
    for (const auto& [row, label] : expected) {
        EXPECT_EQ(grid.Cell(0, row), label) << row;
    }
    EXPECT_EQ(grid.Cell(0, 0), "");
    EXPECT_EQ(grid.Cell(0, 1002), "");
}

TEST_F(TableGridTest, LabelsMoveWithTheirRowUntilRenumbered) {
    grid.WriteRowLabels(1, 6);
    grid.MoveRow(5, 2);
    EXPECT_EQ(grid.Cell(0, 2), "  5");
    EXPECT_EQ(grid.Cell(0, 3), "  2");
    grid.SetCell(0, 4, "x");
    grid.WriteRowLabels(1, 6);
    for (int32_t r = 1; r < 6; ++r) {
        EXPECT_EQ(grid.Cell(0, r), "  " + std::to_string(r));
    }
}

TEST_F(TableGridTest, RowDraggedUpCarriesTheWholeStoredRow) {
    FillRows(6, 5);  // columns 3 and 4 lie beyond the count
    grid.SetRowHeight(5, 40);
    grid.SetCurrentCell({1, 5});
    grid.MoveRow(5, 2);
    const std::vector<int32_t> from = {0, 1, 5, 2, 3, 4};
    for (int32_t r = 0; r < 6; ++r) {
        for (int32_t c = 0; c < 5; ++c) {
            EXPECT_EQ(grid.Cell(c, r), std::to_string(c) + ":" + std::to_string(from[r]));
        }
    }
    EXPECT_EQ(grid.Current(), (GridCell{1, 2}));
    EXPECT_EQ(grid.RowHeight(2), 40);
    EXPECT_EQ(grid.RowHeight(5), 18);
}

TEST_F(TableGridTest, CurrentRowInsideTheMovedRangeShiftsByOne) {
    grid.SetCurrentCell({1, 3});
    grid.MoveRow(5, 2);
    EXPECT_EQ(grid.Row(), 4);
    grid.MoveRow(2, 5);
    EXPECT_EQ(grid.Row(), 3);
}

TEST_F(TableGridTest, RowMovesLeaveRowsBeyondTheCountAlone) {
    grid.SetCell(1, 9, "hidden");
    grid.SetCell(1, 2, "two");
    grid.MoveRow(2, 5);
    EXPECT_EQ(grid.Cell(1, 5), "two");
    EXPECT_EQ(grid.Cell(1, 9), "hidden");
    EXPECT_EQ(grid.Cell(1, 6), "");
}

TEST_F(TableGridTest, ColumnDraggedSwapsTextsAndWidthsButNotLabels) {
    FillRows(6, 3);
    grid.SetCell(2, 100, "far");
    grid.MoveColumn(2, 1);
    for (int32_t r = 0; r < 6; ++r) {
        EXPECT_EQ(grid.Cell(1, r), "2:" + std::to_string(r));
        EXPECT_EQ(grid.Cell(2, r), "1:" + std::to_string(r));
        EXPECT_EQ(grid.Cell(0, r), "0:" + std::to_string(r));
    }
    EXPECT_EQ(grid.Cell(1, 100), "far");
    EXPECT_EQ(Widths(), (std::vector<int32_t>{32, 69, 153}));
}

TEST_F(TableGridTest, MovesOutsideTheCountsAreRefused) {
    EXPECT_THROW(grid.MoveRow(6, 1), Failure);
    EXPECT_THROW(grid.MoveColumn(1, 3), Failure);
}

TEST_F(TableGridTest, RowShiftsMoveOnlyTheGivenColumns) {
    FillRows(6, 4);
    grid.InsertEmptyRow(1, 6, 1, 3);
    EXPECT_EQ(grid.Cell(1, 1), "");
    EXPECT_EQ(grid.Cell(1, 2), "1:1");
    EXPECT_EQ(grid.Cell(2, 5), "2:4");
    EXPECT_EQ(grid.Cell(0, 2), "0:2");  // labels stay
    EXPECT_EQ(grid.Cell(3, 2), "3:2");  // so do columns beyond the range
    grid.RemoveRowShiftingUp(1, 6, 1, 3);
    EXPECT_EQ(grid.Cell(1, 1), "1:1");
    EXPECT_EQ(grid.Cell(1, 4), "1:4");
    EXPECT_EQ(grid.Cell(1, 5), "1:4");  // the last row keeps its text
}

TEST_F(TableGridTest, ClearingKeepsCellsOutsideTheRange) {
    FillRows(8, 5);
    grid.ClearCells(0, 6, 1, 3);
    EXPECT_EQ(grid.Cell(1, 0), "");
    EXPECT_EQ(grid.Cell(2, 5), "");
    EXPECT_EQ(grid.Cell(0, 3), "0:3");
    EXPECT_EQ(grid.Cell(3, 3), "3:3");
    EXPECT_EQ(grid.Cell(1, 6), "1:6");
}

TEST_F(TableGridTest, BulkCellsPointIntoTheirBuffer) {
    auto buffer = std::make_shared<std::string>("alpha\rbeta\r\r\xE8\x9F\r");
    TableGrid::BulkCells bulk(buffer, 3);  // the third column receives no text at all
    grid.SetCell(3, 2, "emptied");
    grid.SetCell(4, 2, "beyond the bulk");
    bulk.Append(0, std::string_view(buffer->data(), 5));
    bulk.Append(1, std::string_view(buffer->data() + 6, 4));
    bulk.Append(0, std::string_view(buffer->data() + 11, 0));
    bulk.Append(1, std::string_view(buffer->data() + 12, 2));
    grid.SetCell(1, 5, "stale");
    grid.SetCell(1, 7, "hidden");
    grid.ReplaceCells(1, 0, 6, std::move(bulk));
    EXPECT_EQ(grid.Cell(1, 0), "alpha");
    EXPECT_EQ(grid.Cell(2, 0), "beta");
    EXPECT_EQ(grid.Cell(1, 1), "");
    EXPECT_EQ(grid.Cell(2, 1), "\xE8\x9F");
    EXPECT_EQ(grid.Cell(1, 5), "");
    EXPECT_EQ(grid.Cell(1, 7), "hidden");
    EXPECT_EQ(grid.Cell(3, 2), "");
    EXPECT_EQ(grid.Cell(4, 2), "beyond the bulk");
    grid.SetCell(1, 0, "changed");
    EXPECT_EQ(grid.Cell(1, 0), "changed");
    EXPECT_EQ(grid.Cell(2, 0), "beta");
}

class RecordingObserver : public TableGridObserver {
public:
    void CellChanged(int32_t col, int32_t row) override { cells.push_back({col, row}); }
    void CurrentCellChanged(GridCell previous) override { previousCells.push_back(previous); }
    void RowMoved(int32_t from, int32_t to) override { moves.emplace_back(from, to); }
    std::vector<GridCell> cells;
    std::vector<GridCell> previousCells;
    std::vector<std::pair<int32_t, int32_t>> moves;
};

TEST_F(TableGridTest, ObserversHearWritesMovesAndCurrentCellChanges) {
    RecordingObserver observer;
    grid.AddObserver(&observer);
    grid.SetCell(2, 3, "x");
    grid.MoveRow(4, 1);
    grid.MoveRow(2, 2);  // dropped on itself: nothing
    grid.SetCurrentCell({2, 5});
    grid.SetRowCount(3);
    grid.RemoveObserver(&observer);
    grid.SetCell(1, 1, "unheard");
    EXPECT_EQ(observer.cells, (std::vector<GridCell>{{2, 3}}));
    EXPECT_EQ(observer.moves, (std::vector<std::pair<int32_t, int32_t>>{{4, 1}}));
    ASSERT_FALSE(observer.previousCells.empty());
    EXPECT_EQ(observer.previousCells.back(), (GridCell{2, 5}));
    EXPECT_EQ(grid.Current(), (GridCell{2, 2}));
}

TEST(TableGridLargeTest, InsertingNearTheTopOfAMillionRowsKeepsEveryText) {
    TableGrid grid(test::MainGridShape());
    grid.SetRowCount(1'000'000);
    for (int32_t r = 0; r < 1'000'000; r += 997) {
        grid.SetCell(1, r, std::to_string(r));
    }
    grid.InsertEmptyRow(1, grid.RowCount(), 1, 3);
    grid.RemoveRowShiftingUp(1, grid.RowCount(), 1, 3);
    grid.InsertEmptyRow(1, grid.RowCount(), 1, 3);
    for (int32_t r = 997; r < 999'000; r += 997) {
        ASSERT_EQ(grid.Cell(1, r + 1), std::to_string(r));
    }
    EXPECT_EQ(grid.Cell(1, 0), "0");
    EXPECT_EQ(grid.Cell(1, 1), "");
}

}  // namespace
}  // namespace qv
