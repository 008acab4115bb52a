// Random edits of every kind on the main window's logic, as commands, typing and drags make
// them. Undoing them one by one must give back, byte for byte and beyond the counts too, the
// table each one found, and redoing them the table each one left; the modified mark must follow
// the last save through both.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "temp_folder.h"

namespace qv {
namespace {

constexpr int kCols = 10;  // every text the sequence stores lies inside this capacity
constexpr int kRows = 40;

struct State {
    std::vector<std::string> cells;  // kCols x kRows, beyond the counts too
    std::vector<int32_t> sizes;      // widths, then heights
    int32_t colCount = 0, rowCount = 0, bufferColCount = 0;
    GridCell current;
    std::string title;
    bool operator==(const State&) const = default;
};

State Snap(const MainForm& form) {
    const TableGrid& grid = form.StringGrid();
    State s{{},
            {},
            grid.ColCount(),
            grid.RowCount(),
            form.StringGrid_Buff().ColCount(),
            grid.Current(),
            form.EditTitle()};
    for (int c = 0; c < kCols; ++c) {
        s.sizes.push_back(grid.ColWidth(c));
        for (int r = 0; r < kRows; ++r) {
            s.cells.emplace_back(grid.Cell(c, r));
        }
    }
    for (int r = 0; r < kRows; ++r) {
        s.sizes.push_back(grid.RowHeight(r));
    }
    return s;
}

std::string Diff(const State& a, const State& b) {
    for (std::size_t i = 0; i < a.cells.size(); ++i) {
        if (a.cells[i] != b.cells[i]) {
            return "cell " + std::to_string(i / kRows) + "," + std::to_string(i % kRows) + ": " +
                   a.cells[i] + " / " + b.cells[i];
        }
    }
    for (std::size_t i = 0; i < a.sizes.size(); ++i) {
        if (a.sizes[i] != b.sizes[i]) {
            return "size " + std::to_string(i) + ": " + std::to_string(a.sizes[i]) + " / " +
                   std::to_string(b.sizes[i]);
        }
    }
    return "counts " + std::to_string(a.colCount) + "x" + std::to_string(a.rowCount) + " / " +
           std::to_string(b.colCount) + "x" + std::to_string(b.rowCount) + " current " +
           std::to_string(a.current.col) + "," + std::to_string(a.current.row) + " / " +
           std::to_string(b.current.col) + "," + std::to_string(b.current.row) + " title " +
           a.title + " / " + b.title;
}

class UndoModelTest : public ::testing::TestWithParam<uint32_t> {
protected:
    UndoModelTest() : form_(windows_, {folder_ / "q.ini", folder_ / "q.hst"}, ".") {
        form_.FormCreate();
        form_.SetCurFileName(folder_ / "t.qvd");
        for (int c = 1; c < kCols; ++c) {  // the table as loaded: texts beyond the counts too
            for (int r = 0; r < kRows; ++r) {
                Grid().SetCell(c, r, Text());
            }
        }
        form_.RenumberRows();
    }

    TableGrid& Grid() { return form_.StringGrid(); }
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    std::string Text() {
        static const char* const kTexts[] = {
            "",     "x",   "\x94\x83\x82\xA2",
            "\xFF", " 7 ", "a text longer than a short string keeps inline"};
        return kTexts[Pick(0, 5)];
    }
    int DataCol() { return Pick(1, Grid().ColCount() - 1); }
    int DataRow() { return Pick(1, Grid().RowCount() - 1); }

    // One change as the user makes it, or a move of the current cell, or a save.
    void RandomAction() {
        const bool full = Grid().RowCount() >= kRows - 4 || Grid().ColCount() >= kCols - 2;
        int k = Pick(0, 16);
        k = full && (k == 1 || k == 2 || k == 4) ? 0 : k;
        last_ = k;
        switch (k) {
            case 0:
                return form_.DeleteRow();
            case 1:
                return form_.InsertRowBefore();
            case 2:
                return form_.InsertRowAfter();
            case 3:
                return form_.PasteDeletedRow();
            case 4:
                return form_.AddColumn();
            case 5:
                return form_.DeleteColumn();
            case 6:
                windows_.messageAnswers.assign(
                    {Pick(0, 1) ? MessageButton::Yes : MessageButton::No});
                return form_.ClearAllAfterConfirmation();
            case 7:
                Grid().SetCurrentCell({DataCol(), DataRow()});
                return;
            case 8:
            case 9: {  // typing in the editor, sometimes back to what the cell held
                form_.BeginCellEdit();
                const std::string before = Grid().CellText(Grid().Col(), Grid().Row());
                for (int n = Pick(1, 3); n > 0; --n) {
                    Grid().SetCell(Grid().Col(), Grid().Row(), Text());
                }
                if (k == 9) {
                    Grid().SetCell(Grid().Col(), Grid().Row(), before);
                }
                return form_.EndCellEdit();
            }
            case 10:
                form_.SetEditTitle(Text());
                form_.SetEditTitle(Text() + "!");
                return form_.EndTitleEdit();
            case 11:
                return form_.SetItemName(Text());
            case 12:
                return Grid().MoveRow(DataRow(), DataRow());
            case 13:
                return Grid().MoveColumn(DataCol(), DataCol());
            case 14:
                return Grid().SetColWidth(DataCol(), Pick(2, 90));
            case 15:
                return Grid().SetRowHeight(DataRow(), Pick(2, 40));
            default:
                form_.SaveFile();
                saved_ = static_cast<int>(steps_.size());
                return;
        }
    }

    // With `standing` changes standing: whether one between it and the save reaches the file
    // (row heights, kind 15, do not).
    bool Modified(int standing) const {
        for (int k = std::min(standing, saved_); k < std::max(standing, saved_); ++k) {
            if (kinds_[static_cast<std::size_t>(k)] != 15) {
                return true;
            }
        }
        return false;
    }

    test::TempFolder folder_;
    std::mt19937 random_{GetParam()};
    test::FakeWindowSystem windows_;
    MainForm form_;
    std::vector<std::pair<State, State>> steps_;  // the table before and after each change
    int last_ = 0;
    std::vector<int> kinds_;
    int saved_ = 0;  // changes standing at the last save
};

TEST_P(UndoModelTest, UndoingAndRedoingEveryChangeGivesBackEachTableExactly) {
    for (int action = 0; action < 90; ++action) {
        State before = Snap(form_);
        const std::size_t recorded = form_.History().Steps();
        RandomAction();
        if (form_.History().Steps() != recorded) {
            steps_.emplace_back(std::move(before), Snap(form_));
            kinds_.push_back(last_);
        }
        ASSERT_EQ(form_.IsModified(), Modified(static_cast<int>(steps_.size()))) << action;
    }
    for (int k = static_cast<int>(steps_.size()) - 1; k >= 0; --k) {
        ASSERT_TRUE(form_.CanUndo());
        form_.Undo();
        ASSERT_TRUE(Snap(form_) == steps_[k].first)
            << "undoing change " << k << " kind " << kinds_[k] << " "
            << Diff(Snap(form_), steps_[k].first);
        ASSERT_EQ(form_.IsModified(), Modified(k));
    }
    EXPECT_FALSE(form_.CanUndo());
    for (std::size_t k = 0; k < steps_.size(); ++k) {
        form_.Redo();
        ASSERT_TRUE(Snap(form_) == steps_[k].second)
            << "redoing change " << k << " kind " << kinds_[k] << " "
            << Diff(Snap(form_), steps_[k].second);
    }
    EXPECT_FALSE(form_.CanRedo());
}

INSTANTIATE_TEST_SUITE_P(Seeds, UndoModelTest, ::testing::Range(1u, 21u));

}  // namespace
}  // namespace qv
