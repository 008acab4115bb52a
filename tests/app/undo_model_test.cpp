// Random edits of every kind on the main window's logic, as commands, typing and drags make
// them. Undoing them one by one must give back, byte for byte and beyond the counts too, the
// table each one found, and redoing them the table each one left; the modified mark must follow
// the last save through both.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "temp_folder.h"

namespace qv {
namespace {

constexpr int kCols = 10;  // every text the sequence stores lies inside this capacity
constexpr int kRows = 40;

// The table as text: its counts, current cell, buffer width and title, the row heights, then a
// line per column of its width and cells, beyond the counts too, so a failure shows the difference.
std::string Snap(const MainForm& form) {
    const TableGrid& grid = form.StringGrid();
    std::string s = std::to_string(grid.ColCount()) + "x" + std::to_string(grid.RowCount()) + " @" +
                    std::to_string(grid.Current().col) + "," + std::to_string(grid.Current().row) +
                    " buffer " + std::to_string(form.StringGrid_Buff().ColCount()) + " " +
                    form.EditTitle() + "\nheights";
    for (int r = 0; r < kRows; ++r) {
        s += " " + std::to_string(grid.RowHeight(r));
    }
    for (int c = 0; c < kCols; ++c) {
        s += "\n" + std::to_string(grid.ColWidth(c));
        for (int r = 0; r < kRows; ++r) {
            s.append("|").append(grid.Cell(c, r));
        }
    }
    return s;
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
        const std::function<void()> actions[] = {
            [&] { form_.DeleteRow(); },
            [&] { form_.InsertRowBefore(); },
            [&] { form_.InsertRowAfter(); },
            [&] { form_.PasteDeletedRow(); },
            [&] { form_.AddColumn(); },
            [&] { form_.DeleteColumn(); },
            [&] {
                windows_.messageAnswers.assign(
                    {Pick(0, 1) ? MessageButton::Yes : MessageButton::No});
                form_.ClearAllAfterConfirmation();
            },
            [&] {
                Grid().SetCurrentCell({DataCol(), DataRow()});
            },
            [&] { Type(false); },
            [&] { Type(true); },
            [&] {
                form_.SetEditTitle(Text());
                form_.SetEditTitle(Text() + "!");
                form_.EndTitleEdit();
            },
            [&] { form_.SetItemName(Text()); },
            [&] { Grid().MoveRow(DataRow(), DataRow()); },
            [&] { Grid().MoveColumn(DataCol(), DataCol()); },
            [&] { Grid().SetColWidth(DataCol(), Pick(2, 90)); },
            [&] { Grid().SetRowHeight(DataRow(), Pick(2, 40)); },
            [&] {
                form_.SaveFile();
                saved_ = static_cast<int>(steps_.size());
            }};
        actions[static_cast<std::size_t>(k)]();
    }
    // Typing in the editor, sometimes back to what the cell held.
    void Type(bool back) {
        form_.BeginCellEdit();
        const std::string before = Grid().CellText(Grid().Col(), Grid().Row());
        for (int n = Pick(1, 3); n > 0; --n) {
            Grid().SetCell(Grid().Col(), Grid().Row(), Text());
        }
        if (back) {
            Grid().SetCell(Grid().Col(), Grid().Row(), before);
        }
        form_.EndCellEdit();
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
    std::vector<std::pair<std::string, std::string>>
        steps_;  // the table before and after each change
    int last_ = 0;
    std::vector<int> kinds_;
    int saved_ = 0;  // changes standing at the last save
};

TEST_P(UndoModelTest, UndoingAndRedoingEveryChangeGivesBackEachTableExactly) {
    for (int action = 0; action < 90; ++action) {
        std::string before = Snap(form_);
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
        ASSERT_EQ(Snap(form_), steps_[k].first) << "undoing change " << k << " kind " << kinds_[k];
        ASSERT_EQ(form_.IsModified(), Modified(k));
    }
    EXPECT_FALSE(form_.CanUndo());
    for (std::size_t k = 0; k < steps_.size(); ++k) {
        form_.Redo();
        ASSERT_EQ(Snap(form_), steps_[k].second) << "redoing change " << k << " kind " << kinds_[k];
    }
    EXPECT_FALSE(form_.CanRedo());
}

INSTANTIATE_TEST_SUITE_P(Seeds, UndoModelTest, ::testing::Range(1u, 21u));

}  // namespace
}  // namespace qv
