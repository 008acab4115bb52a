// Row and column editing of the main window: row labels, clearing, deleting, inserting and
// pasting rows, adding and removing columns, and the handlers that run them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "platform/failure.h"

namespace qv {
namespace {

using test::FakeWindowSystem;

// Records which cells were written one by one and when texts changed in bulk.
class ChangeLog : public TableGridObserver {
public:
    void CellChanged(int32_t col, int32_t row) override {
        events.push_back("cell " + std::to_string(col) + "," + std::to_string(row));
    }
    void CellsChanged() override { events.push_back("cells"); }
    std::vector<std::string> events;
};

class MainFormEditingTest : public ::testing::Test {
protected:
    MainFormEditingTest()
        : form_(windows_, StoreLocations{"/nonexistent/Quorvane.ini", "/nonexistent/Quorvane.hst"},
                ".") {}

    TableGrid& Grid() { return form_.StringGrid(); }
    TableGrid& Buffer() { return form_.StringGrid_Buff(); }

    // Data cells "r<row>c<col>" in rows 1 .. RowCount-1 and columns 1 .. ColCount-1.
    void FillData() {
        for (int32_t row = 1; row < Grid().RowCount(); ++row) {
            for (int32_t col = 1; col < Grid().ColCount(); ++col) {
                Grid().SetCell(col, row, Text(col, row));
            }
        }
    }
    static std::string Text(int32_t col, int32_t row) {
        // Appended piece by piece: g++ 12 gives a false -Wrestrict for "r" + std::string at -O3.
        std::string text = "r";
        text += std::to_string(row);
        text += 'c';
        text += std::to_string(col);
        return text;
    }

    std::vector<std::string> Column(int32_t col, int32_t rowBegin, int32_t rowEnd) {
        std::vector<std::string> texts;
        for (int32_t row = rowBegin; row < rowEnd; ++row) {
            texts.push_back(Grid().CellText(col, row));
        }
        return texts;
    }
    std::vector<std::string> Row(int32_t row, int32_t colBegin, int32_t colEnd) {
        std::vector<std::string> texts;
        for (int32_t col = colBegin; col < colEnd; ++col) {
            texts.push_back(Grid().CellText(col, row));
        }
        return texts;
    }
    std::vector<std::string> BufferEntries(int32_t colEnd) {
        std::vector<std::string> texts;
        for (int32_t col = 1; col < colEnd; ++col) {
            texts.push_back(Buffer().CellText(col, 0));
        }
        return texts;
    }
    std::vector<int32_t> Widths() {
        std::vector<int32_t> widths;
        for (int32_t col = 0; col < Grid().ColCount(); ++col) {
            widths.push_back(Grid().ColWidth(col));
        }
        return widths;
    }
    void Select(int32_t col, int32_t row) { ASSERT_TRUE(Grid().SetCurrentCell({col, row})); }

    FakeWindowSystem windows_;
    TFormMain form_;
};

// --- The buffer and the row labels ---

TEST_F(MainFormEditingTest, BufferStartsAsAHiddenOneRowGridOfTwoColumns) {
    EXPECT_EQ(Buffer().ColCount(), 2);
    EXPECT_EQ(Buffer().RowCount(), 1);
    EXPECT_EQ(Buffer().FixedCols(), 0);
    EXPECT_EQ(Buffer().FixedRows(), 0);
    EXPECT_EQ(Buffer().DefaultColWidth(), 48);
    EXPECT_EQ(Buffer().DefaultRowHeight(), 10);
    EXPECT_EQ(BufferEntries(4), (std::vector<std::string>{"", "", ""}));
}

TEST_F(MainFormEditingTest, RenumberRowsKeepsTheLastThreeCharactersOfEachNumber) {
    Grid().SetRowCount(1002);
    Grid().SetCell(0, 0, "corner");
    Grid().SetCell(0, 1002, "beyond");
    form_.RenumberRows();
    const std::pair<int32_t, const char*> labels[] = {{1, "  1"},    {9, "  9"},   {10, " 10"},
                                                      {99, " 99"},   {100, "100"}, {999, "999"},
                                                      {1000, "000"}, {1001, "001"}};
    for (const auto& [row, label] : labels) {
        EXPECT_EQ(Grid().Cell(0, row), label) << "row " << row;
    }
    EXPECT_EQ(Grid().Cell(0, 0), "corner");
    EXPECT_EQ(Grid().Cell(0, 1002), "beyond");
}

TEST_F(MainFormEditingTest, RenumberRowsWritesNothingInATableOfOneRow) {
    Grid().SetCell(0, 1, "stale");
    Grid().SetRowCount(1);
    form_.RenumberRows();
    EXPECT_EQ(Grid().Cell(0, 0), "");
    EXPECT_EQ(Grid().Cell(0, 1), "stale");
}

TEST_F(MainFormEditingTest, RenumberRowsWritesColumnZeroAfterTheFixedColumnWasGivenUp) {
    Grid().SetColCount(1);
    Grid().SetColCount(3);
    ASSERT_EQ(Grid().FixedCols(), 0);
    form_.RenumberRows();
    EXPECT_EQ(Column(0, 0, 6), (std::vector<std::string>{"", "  1", "  2", "  3", "  4", "  5"}));
}

TEST_F(MainFormEditingTest, RowMovedByTheUserIsRenumbered) {
    FillData();
    form_.RenumberRows();
    Grid().MoveRow(5, 2);
    EXPECT_EQ(Column(1, 1, 6), (std::vector<std::string>{"r1c1", "r5c1", "r2c1", "r3c1", "r4c1"}));
    EXPECT_EQ(Column(0, 1, 6), (std::vector<std::string>{"  1", "  2", "  3", "  4", "  5"}));
}

// --- Clear all ---

TEST_F(MainFormEditingTest, ClearAllEmptiesTitleItemNamesAndDataOnly) {
    FillData();
    form_.RenumberRows();
    Grid().SetCell(1, 0, "name");
    Grid().SetCell(0, 0, "corner");
    Grid().SetCell(1, 6, "below");   // beyond RowCount
    Grid().SetCell(3, 2, "beside");  // beyond ColCount
    Buffer().SetCell(1, 0, "buffered");
    form_.SetEditTitle("title");
    Grid().SetColWidth(1, 99);
    Select(2, 4);

    form_.ClearAll();

    EXPECT_EQ(form_.EditTitle(), "");
    EXPECT_EQ(windows_.CallCount("TitleChanged"), 1);
    for (int32_t col = 1; col < 3; ++col) {
        EXPECT_EQ(Column(col, 0, 6), std::vector<std::string>(6, "")) << "column " << col;
    }
    EXPECT_EQ(Column(0, 0, 3), (std::vector<std::string>{"corner", "  1", "  2"}));
    EXPECT_EQ(Grid().Cell(1, 6), "below");
    EXPECT_EQ(Grid().Cell(3, 2), "beside");
    EXPECT_EQ(Buffer().Cell(1, 0), "buffered");
    EXPECT_EQ(Widths(), (std::vector<int32_t>{32, 99, 69}));
    EXPECT_EQ(Grid().Current(), (GridCell{2, 4}));
    EXPECT_EQ(Grid().RowCount(), 6);
}

TEST_F(MainFormEditingTest, ClearedColumnRemovedEarlierComesBackWithItsTexts) {
    Grid().SetColCount(4);
    Grid().SetCell(3, 0, "name3");
    Grid().SetCell(3, 2, "data3");
    form_.DeleteColumn();
    form_.ClearAll();
    form_.AddColumn();
    EXPECT_EQ(Column(3, 0, 3), (std::vector<std::string>{"name3", "", "data3"}));
}

TEST_F(MainFormEditingTest, ClearAllRunsOnlyWhenTheConfirmationIsAnsweredYes) {
    const struct {
        MessageButton answer;
        bool cleared;
    } cases[] = {
        {MessageButton::Yes, true}, {MessageButton::No, false}, {MessageButton::Cancel, false}};
    for (const auto& c : cases) {
        FillData();
        form_.SetEditTitle("title");
        windows_.messages.clear();
        windows_.messageAnswers.push_back(c.answer);

        form_.K22Click();

        ASSERT_EQ(windows_.messages.size(), 1u);
        EXPECT_EQ(windows_.messages[0].text, "全データを消去します。");
        EXPECT_EQ(windows_.messages[0].kind, MessageKind::Confirmation);
        EXPECT_EQ(windows_.messages[0].buttons, MessageButton::Yes | MessageButton::No);
        EXPECT_EQ(form_.EditTitle(), c.cleared ? "" : "title");
        EXPECT_EQ(Grid().Cell(2, 3), c.cleared ? "" : "r3c2");
    }
}

// --- Delete row ---

TEST_F(MainFormEditingTest, DeletingTheOnlyDataRowEmptiesItLabelIncluded) {
    Grid().SetRowCount(2);
    FillData();
    form_.RenumberRows();
    Select(2, 1);

    form_.Delete2Click();

    EXPECT_EQ(Grid().RowCount(), 2);
    EXPECT_EQ(Row(1, 0, 3), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(BufferEntries(3), (std::vector<std::string>{"r1c1", "r1c2"}));
    EXPECT_EQ(Grid().Current(), (GridCell{2, 1}));
    form_.RenumberRows();
    EXPECT_EQ(Grid().Cell(0, 1), "  1");
}

TEST_F(MainFormEditingTest, DeletingTheLastRowMovesTheCurrentCellUp) {
    FillData();
    Select(2, 5);

    form_.SpeedButton1Click();

    EXPECT_EQ(Grid().RowCount(), 5);
    EXPECT_EQ(Grid().Current(), (GridCell{2, 4}));
    EXPECT_EQ(Column(1, 1, 5), (std::vector<std::string>{"r1c1", "r2c1", "r3c1", "r4c1"}));
    EXPECT_EQ(BufferEntries(3), (std::vector<std::string>{"r5c1", "r5c2"}));
    EXPECT_EQ(Column(0, 1, 5), (std::vector<std::string>{"  1", "  2", "  3", "  4"}));
}

TEST_F(MainFormEditingTest, DeletingTheFirstRowMovesEveryRowBelowUp) {
    FillData();
    Grid().SetCell(3, 2, "beside");  // beyond ColCount: row shifts leave it where it is
    Select(1, 1);

    form_.Delete2Click();

    EXPECT_EQ(Grid().RowCount(), 5);
    EXPECT_EQ(Grid().Current(), (GridCell{1, 1}));
    EXPECT_EQ(Column(1, 1, 5), (std::vector<std::string>{"r2c1", "r3c1", "r4c1", "r5c1"}));
    EXPECT_EQ(Column(2, 1, 5), (std::vector<std::string>{"r2c2", "r3c2", "r4c2", "r5c2"}));
    EXPECT_EQ(Column(0, 1, 5), (std::vector<std::string>{"  1", "  2", "  3", "  4"}));
    EXPECT_EQ(Grid().Cell(3, 2), "beside");
    EXPECT_EQ(BufferEntries(3), (std::vector<std::string>{"r1c1", "r1c2"}));
}

// An in-place editor on the current cell reloads when that cell is written: commands that move
// texts in bulk write the current cell again afterwards.
TEST_F(MainFormEditingTest, BulkChangesRewriteTheCurrentCellAfterwards) {
    const struct {
        const char* name;
        int32_t rowCount;
        void (TFormMain::*command)();
        const char* textAfter;
    } cases[] = {
        {"delete", 6, &TFormMain::Delete2Click, "r4c2"},
        {"delete the only data row", 2, &TFormMain::Delete2Click, ""},
        {"insert before", 6, &TFormMain::K12Click, ""},
        {"clear all", 6, &TFormMain::K22Click, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Grid().SetRowCount(c.rowCount);
        FillData();
        Select(2, c.rowCount == 2 ? 1 : 3);
        windows_.messageAnswers.push_back(MessageButton::Yes);
        ChangeLog log;
        Grid().AddObserver(&log);

        (form_.*c.command)();

        Grid().RemoveObserver(&log);
        windows_.messageAnswers.clear();
        const std::string current = "cell 2," + std::to_string(Grid().Row());
        const auto bulk = std::find(log.events.begin(), log.events.end(), "cells");
        ASSERT_NE(bulk, log.events.end());
        EXPECT_NE(std::find(bulk, log.events.end(), current), log.events.end());
        EXPECT_EQ(Grid().Cell(2, Grid().Row()), c.textAfter);
    }
}

TEST_F(MainFormEditingTest, DeletingCopiesOnlyTheTableWidthIntoTheBuffer) {
    FillData();
    Buffer().SetCell(3, 0, "from a wider table");
    Grid().SetCell(0, 2, "label");
    Select(1, 2);

    form_.DeleteRow();

    EXPECT_EQ(BufferEntries(4), (std::vector<std::string>{"r2c1", "r2c2", "from a wider table"}));
    EXPECT_EQ(Buffer().Cell(0, 0), "");
}

// --- Insert row ---

TEST_F(MainFormEditingTest, InsertingBeforeRowOneLeavesTheCurrentCellOnTheEmptyRow) {
    FillData();
    Select(1, 1);

    form_.K12Click();

    EXPECT_EQ(Grid().RowCount(), 7);
    EXPECT_EQ(Grid().Current(), (GridCell{1, 1}));
    EXPECT_EQ(Column(1, 1, 7),
              (std::vector<std::string>{"", "r1c1", "r2c1", "r3c1", "r4c1", "r5c1"}));
    EXPECT_EQ(Column(0, 1, 7),
              (std::vector<std::string>{"  1", "  2", "  3", "  4", "  5", "  6"}));
}

TEST_F(MainFormEditingTest, InsertingAfterTheCurrentRowFromMenuOrToolbar) {
    using Handler = void (TFormMain::*)();
    for (Handler handler : {&TFormMain::K13Click, &TFormMain::SpeedButton7Click}) {
        Grid().SetRowCount(6);
        FillData();
        Select(2, 5);

        (form_.*handler)();

        EXPECT_EQ(Grid().RowCount(), 7);
        EXPECT_EQ(Grid().Current(), (GridCell{2, 5}));
        EXPECT_EQ(Column(2, 1, 7),
                  (std::vector<std::string>{"r1c2", "r2c2", "r3c2", "r4c2", "r5c2", ""}));
    }
}

TEST_F(MainFormEditingTest, InsertingResetsTheHeightOfTheFormerLastRow) {
    Grid().SetRowHeight(5, 40);
    Grid().SetRowHeight(2, 30);
    Select(1, 5);

    form_.K13Click();

    EXPECT_EQ(Grid().RowHeight(5), 18);
    EXPECT_EQ(Grid().RowHeight(6), 18);
    EXPECT_EQ(Grid().RowHeight(2), 30);
}

TEST_F(MainFormEditingTest, InsertingAtTheGridLimitFailsBeforeAnythingMoves) {
    Grid().SetRowCount(kGridCountLimit - 1);
    Grid().SetCell(1, 1, "first");
    Grid().SetCell(1, 2, "second");
    Select(1, 1);

    EXPECT_THROW(form_.K12Click(), Failure);

    EXPECT_EQ(Grid().RowCount(), kGridCountLimit - 1);
    EXPECT_EQ(Column(1, 1, 3), (std::vector<std::string>{"first", "second"}));
}

TEST_F(MainFormEditingTest, InsertAndDeleteAtRowOneOfAMillionRows) {
    constexpr int32_t kRows = 1'000'001;  // a million data rows
    Grid().SetRowCount(kRows);
    const std::pair<int32_t, const char*> texts[] = {
        {1, "first"}, {2, "second"}, {500'000, "middle"}, {kRows - 1, "last"}};
    for (const auto& [row, text] : texts) {
        Grid().SetCell(1, row, text);
    }
    Select(1, 1);

    form_.K12Click();

    ASSERT_EQ(Grid().RowCount(), kRows + 1);
    EXPECT_EQ(Grid().Cell(1, 1), "");
    for (const auto& [row, text] : texts) {
        EXPECT_EQ(Grid().Cell(1, row + 1), text) << "row " << row;
    }
    EXPECT_EQ(Grid().Cell(0, kRows), "001");  // row 1,000,001

    form_.Delete2Click();

    ASSERT_EQ(Grid().RowCount(), kRows);
    for (const auto& [row, text] : texts) {
        EXPECT_EQ(Grid().Cell(1, row), text) << "row " << row;
    }
    EXPECT_EQ(Grid().Cell(0, 1'000'000), "000");
    EXPECT_EQ(BufferEntries(2), std::vector<std::string>{""});
}

// --- Paste row ---

TEST_F(MainFormEditingTest, PastingBeforeAnyDeletionEmptiesTheDataCells) {
    FillData();
    form_.RenumberRows();
    Select(1, 3);

    form_.K14Click();

    EXPECT_EQ(Row(3, 0, 3), (std::vector<std::string>{"  3", "", ""}));
    EXPECT_EQ(Grid().RowCount(), 6);
}

TEST_F(MainFormEditingTest, PastingWritesTheLastDeletedRowEveryTime) {
    FillData();
    Select(1, 2);
    form_.DeleteRow();  // buffer: r2c1, r2c2

    form_.PasteRow(1);
    form_.PasteRow(4);
    form_.PasteRow(4);

    EXPECT_EQ(Row(1, 1, 3), (std::vector<std::string>{"r2c1", "r2c2"}));
    EXPECT_EQ(Row(4, 1, 3), (std::vector<std::string>{"r2c1", "r2c2"}));
    EXPECT_EQ(BufferEntries(3), (std::vector<std::string>{"r2c1", "r2c2"}));
    EXPECT_EQ(Grid().RowCount(), 5);
}

TEST_F(MainFormEditingTest, PastingAfterClearAllBringsTheDeletedRowBack) {
    FillData();
    Select(2, 4);
    form_.DeleteRow();
    windows_.messageAnswers.push_back(MessageButton::Yes);
    form_.K22Click();

    form_.K14Click();

    EXPECT_EQ(Row(4, 1, 3), (std::vector<std::string>{"r4c1", "r4c2"}));
}

TEST_F(MainFormEditingTest, PastingIntoANarrowerTableKeepsTheRestInTheBuffer) {
    form_.AddColumn();  // 4 columns, 3 data columns
    FillData();
    Select(1, 2);
    form_.DeleteRow();
    form_.DeleteColumn();
    Grid().SetCell(3, 1, "hidden");

    form_.PasteRow(1);

    EXPECT_EQ(Row(1, 1, 4), (std::vector<std::string>{"r2c1", "r2c2", "hidden"}));
    EXPECT_EQ(Buffer().Cell(3, 0), "r2c3");
}

TEST_F(MainFormEditingTest, PastingIntoAnAddedColumnUsesTheBufferEntryAtItsIndex) {
    FillData();
    Select(1, 1);
    form_.DeleteRow();
    form_.AddColumn();
    Grid().SetCell(3, 2, "old");

    form_.PasteRow(2);

    EXPECT_EQ(Row(2, 1, 4), (std::vector<std::string>{"r1c1", "r1c2", ""}));

    Buffer().SetCell(3, 0, "wide");  // as left by a deletion from a wider table
    form_.PasteRow(2);
    EXPECT_EQ(Grid().Cell(3, 2), "wide");
}

TEST_F(MainFormEditingTest, PastingRewritesTheCurrentCell) {
    Buffer().SetCell(1, 0, "pasted");
    Select(1, 3);
    ChangeLog log;
    Grid().AddObserver(&log);

    form_.K14Click();

    Grid().RemoveObserver(&log);
    EXPECT_NE(std::find(log.events.begin(), log.events.end(), "cell 1,3"), log.events.end());
}

// --- Columns ---

TEST_F(MainFormEditingTest, AddingAColumnKeepsEveryWidthAndTheCurrentCell) {
    Select(2, 3);

    form_.K16Click();

    EXPECT_EQ(Widths(), (std::vector<int32_t>{32, 153, 69, 32}));
    EXPECT_EQ(Buffer().ColCount(), 3);
    EXPECT_EQ(Grid().Current(), (GridCell{2, 3}));
}

TEST_F(MainFormEditingTest, DeletingAColumnStopsAtOneDataColumn) {
    const struct {
        int32_t colCount;
        int32_t after;
        int32_t bufferAfter;
    } cases[] = {{3, 2, 1}, {2, 2, 2}, {1, 1, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.colCount);
        Grid().SetColCount(c.colCount);
        Buffer().SetColCount(2);

        form_.K17Click();

        EXPECT_EQ(Grid().ColCount(), c.after);
        EXPECT_EQ(Buffer().ColCount(), c.bufferAfter);
    }
}

TEST_F(MainFormEditingTest, ADeletedColumnComesBackAtItsOldRowPositions) {
    FillData();
    Grid().SetCell(2, 0, "name2");
    form_.DeleteColumn();
    Select(1, 1);
    form_.K12Click();  // rows shift in column 1 only
    Select(1, 4);
    form_.DeleteRow();

    form_.K16Click();

    EXPECT_EQ(Widths(), (std::vector<int32_t>{32, 153, 32}));
    EXPECT_EQ(Column(2, 0, 6),
              (std::vector<std::string>{"name2", "r1c2", "r2c2", "r3c2", "r4c2", "r5c2"}));
    EXPECT_EQ(Column(1, 1, 6), (std::vector<std::string>{"", "r1c1", "r2c1", "r4c1", "r5c1"}));
}

TEST_F(MainFormEditingTest, AddingAColumnAtTheGridLimitChangesNoWidth) {
    Grid().SetColCount(kGridCountLimit - 1);
    Grid().SetColWidth(kGridCountLimit - 2, 77);

    EXPECT_THROW(form_.AddColumn(), Failure);

    EXPECT_EQ(Grid().ColCount(), kGridCountLimit - 1);
    EXPECT_EQ(Grid().ColWidth(kGridCountLimit - 2), 77);
    EXPECT_EQ(Buffer().ColCount(), 2);
}

// --- Tables without a data row or data column, as a table file can leave them ---

TEST_F(MainFormEditingTest, RowCommandsLeaveTheItemNameRowAlone) {
    Grid().SetCell(1, 0, "name");
    Grid().SetRowCount(1);  // the item-name row is no longer fixed and becomes current
    ASSERT_EQ(Grid().Current(), (GridCell{1, 0}));
    Buffer().SetCell(1, 0, "buffered");

    form_.Delete2Click();
    form_.K14Click();
    form_.K12Click();

    EXPECT_EQ(Grid().RowCount(), 1);
    EXPECT_EQ(Grid().Cell(1, 0), "name");
    EXPECT_EQ(Buffer().Cell(1, 0), "buffered");

    form_.K13Click();  // a data row after the item names

    EXPECT_EQ(Grid().RowCount(), 2);
    EXPECT_EQ(Column(1, 0, 2), (std::vector<std::string>{"name", ""}));
    EXPECT_EQ(Grid().Cell(0, 1), "  1");

    form_.Delete2Click();  // still on row 0
    EXPECT_EQ(Grid().Cell(1, 0), "name");
}

TEST_F(MainFormEditingTest, CommandsOnATableWithoutDataColumnDoNotFail) {
    Grid().SetColCount(1);
    ASSERT_EQ(Grid().Current(), (GridCell{0, 1}));
    Buffer().SetCell(1, 0, "buffered");

    form_.K13Click();
    form_.Delete2Click();
    form_.K14Click();
    form_.K17Click();
    windows_.messageAnswers.push_back(MessageButton::Yes);
    form_.K22Click();

    EXPECT_EQ(Grid().ColCount(), 1);
    EXPECT_EQ(Grid().RowCount(), 6);
    EXPECT_EQ(Buffer().Cell(1, 0), "buffered");

    form_.K16Click();
    EXPECT_EQ(Grid().ColCount(), 2);
}

}  // namespace
}  // namespace qv
