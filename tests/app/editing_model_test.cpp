// Random sequences on the main window's logic. The editing commands (and the user's cell writes)
// run on a plain dense reference of the table, the deleted-row buffer and the column widths too;
// after every step they must agree, beyond the counts too. Changes of every kind, as commands,
// typing, drags, the clipboard, sorting and replacing make them, are undone one by one and must
// give back, byte for byte and beyond the counts too, the table each one found, and redoing them
// the table each one left; the modified mark must follow the last save through both.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "table/cell_column.h"
#include "temp_folder.h"

namespace qv {
namespace {

constexpr int kCols = 10;  // every text the sequences store lies inside this capacity
constexpr int kRows = 60;
constexpr const char* kLongText = "a text longer than any short string buffer keeps inline";

using Column = std::vector<std::string>;
struct ReferenceTable {
    std::vector<Column> cells = std::vector<Column>(kCols, Column(kRows));
    Column buffer = Column(kCols);
    int colCount = 3, rowCount = 6;
    std::vector<int> widths = {32, 153, 69};
    GridCell current{1, 1};

    // New columns get the default width; no text changes.
    void SetCount(bool columns, int n) {
        (columns ? colCount : rowCount) = n;
        widths.resize(colCount, 32);
        int& position = columns ? current.col : current.row;
        position = std::min(position, n - 1);
    }
    void Renumber() {
        for (int r = 1; r < rowCount; ++r) {
            cells[0][r] = std::string(cell_handle::LabelText(r));
        }
    }
    void DeleteRow() {
        const int r = current.row;
        for (int c = 1; c < colCount; ++c) {
            buffer[c] = cells[c][r];
        }
        if (rowCount == 2) {  // the only data row is emptied, label included
            std::for_each_n(cells.begin(), colCount, [r](Column& column) { column[r].clear(); });
            return;
        }
        for (int c = 1; c < colCount; ++c) {
            std::copy(cells[c].begin() + r + 1, cells[c].begin() + rowCount, cells[c].begin() + r);
        }
        SetCount(false, rowCount - 1);
        Renumber();
    }
    void InsertRow(int i) {
        SetCount(false, rowCount + 1);
        for (int c = 1; c < colCount; ++c) {
            std::copy_backward(cells[c].begin() + i, cells[c].begin() + rowCount - 1,
                               cells[c].begin() + rowCount);
            cells[c][i].clear();
        }
        Renumber();
    }
    void InsertBefore() { InsertRow(current.row); }
    void InsertAfter() { InsertRow(current.row + 1); }
    void PasteRow() {
        for (int c = 1; c < colCount; ++c) {
            cells[c][current.row] = buffer[c];
        }
    }
    void AddColumn() { SetCount(true, colCount + 1); }
    void DeleteColumn() { SetCount(true, std::max(2, colCount - 1)); }
    void KeepAll() {}
    void ClearAll() {
        for (int c = 1; c < colCount; ++c) {
            std::fill_n(cells[c].begin(), rowCount, "");
        }
    }
};

// The main window's logic with a random source, and the texts the user types.
class RandomFormTest : public ::testing::TestWithParam<uint32_t> {
protected:
    RandomFormTest() : form_(windows_, {folder_ / "q.ini", folder_ / "q.hst"}, ".") {
        form_.Start();
    }

    TableGrid& Grid() { return form_.Document().UnrecordedTable(); }
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    std::string Text() {
        static const char* const kTexts[] = {"",     "x",   "\x94\x83\x82\xA2", "\\300",
                                             "\xFF", " 7 ", kLongText};
        return kTexts[Pick(0, 6)];
    }

    test::TempFolder folder_;
    std::mt19937 random_{GetParam()};
    test::FakeWindowSystem windows_;
    MainForm form_;
};

class EditingModelTest : public RandomFormTest {
protected:
    // Commands that run on the logic and the reference alike, picked by number.
    struct Command {
        const char* name;
        void (RowCommands::*form)();
        void (ReferenceTable::*reference)();
    };
    static constexpr Command kCommands[] = {
        {"DeleteRow", &RowCommands::DeleteRow, &ReferenceTable::DeleteRow},
        {"InsertRow before", &RowCommands::InsertRowBefore, &ReferenceTable::InsertBefore},
        {"InsertRow after", &RowCommands::InsertRowAfter, &ReferenceTable::InsertAfter},
        {"PasteRow", &RowCommands::PasteDeletedRow, &ReferenceTable::PasteRow},
        {"AddColumn", &RowCommands::AddColumn, &ReferenceTable::AddColumn},
        {"DeleteColumn", &RowCommands::DeleteColumn, &ReferenceTable::DeleteColumn},
        {"ClearAll yes", &RowCommands::ClearAllAfterConfirmation, &ReferenceTable::ClearAll},
        {"ClearAll no", &RowCommands::ClearAllAfterConfirmation, &ReferenceTable::KeepAll},
    };

    void RandomStep() {
        int k = Pick(0, 9);
        // The reference has room for so many rows and columns only: a full table shrinks.
        k = (k == 1 || k == 2) && ref_.rowCount >= kRows - 12 ? 0 : k;
        k = k == 4 && ref_.colCount >= kCols - 3 ? 5 : k;
        if (k < 8) {
            const Command& command = kCommands[static_cast<std::size_t>(k)];
            last_ = command.name;
            windows_.messageAnswers.assign({k == 6 ? MessageButton::Yes : MessageButton::No});
            (form_.Rows().*command.form)();
            (ref_.*command.reference)();
        } else if (k == 8) {
            last_ = "SetCurrentCell";
            ref_.current = GridCell{Pick(1, ref_.colCount - 1), Pick(1, ref_.rowCount - 1)};
            ASSERT_TRUE(Grid().SetCurrentCell(ref_.current));
        } else {
            last_ = "SetCell";
            for (int n = 0; n < 3; ++n) {  // typing, also beyond the counts
                const int c = Pick(1, kCols - 1), r = Pick(0, kRows - 1);
                Grid().SetCell(c, r, ref_.cells[c][r] = Text());
            }
        }
    }

    void Compare() {
        ASSERT_EQ(Grid().ColCount(), ref_.colCount);
        ASSERT_EQ(Grid().RowCount(), ref_.rowCount);
        ASSERT_EQ(Grid().Current(), ref_.current);
        ASSERT_EQ(form_.DeletedRowBuffer().ColCount(), ref_.colCount - 1);
        for (int c = 0; c < kCols; ++c) {
            ASSERT_EQ(Grid().ColWidth(c), c < ref_.colCount ? ref_.widths[c] : 32) << c;
            ASSERT_EQ(form_.DeletedRowBuffer().Cell(c, 0), ref_.buffer[c]) << c;
            for (int r = 0; r < kRows; ++r) {
                ASSERT_EQ(Grid().Cell(c, r), ref_.cells[c][r]) << "cell " << c << "," << r;
            }
        }
    }

    ReferenceTable ref_;
    std::string last_;
};

TEST_P(EditingModelTest, RandomEditingSequencesAgreeWithTheReference) {
    for (int step = 0; step < 300; ++step) {
        RandomStep();
        ASSERT_NO_FATAL_FAILURE(Compare()) << "after step " << step << ": " << last_;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditingModelTest, ::testing::Range(1u, 31u));

// The table as text: its counts, current cell, buffer width and title, the row heights, then a
// line per column of its width and cells, beyond the counts too, so a failure shows the difference.
std::string Snap(const MainForm& form) {
    const TableGrid& grid = form.Table();
    std::string s = std::to_string(grid.ColCount()) + "x" + std::to_string(grid.RowCount()) + " @" +
                    std::to_string(grid.Current().col) + "," + std::to_string(grid.Current().row) +
                    " buffer " + std::to_string(form.DeletedRowBuffer().ColCount()) + " " +
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

class UndoModelTest : public RandomFormTest {
protected:
    static constexpr int kRowHeights = 15;
    static constexpr int kPaste = 17;

    UndoModelTest() {
        form_.SetCurFileName(folder_ / "t.qvd");
        // The table as loaded, texts beyond the counts too; the labels are stale until a change
        // renumbers the rows.
        for (int c = 0; c < kCols; ++c) {
            for (int r = 0; r < kRows; ++r) {
                Grid().SetCell(c, r, Text());
            }
        }
    }

    int DataCol() { return Pick(1, Grid().ColCount() - 1); }
    int DataRow() { return Pick(1, Grid().RowCount() - 1); }

    // One change as the user makes it, or a move of the current cell, or a save. A new kind of
    // change joins by a line here.
    void RandomAction() {
        const auto answer = [&] { return Pick(0, 1) ? MessageButton::Yes : MessageButton::No; };
        const auto select = [&](TableGrid::Selection how) {
            form_.Document().Select({DataCol(), DataRow()}, how);
        };
        const auto find = [&] {
            form_.Search().Find() = {Pick(0, 1) ? "x" : "7", Pick(0, 1) ? "" : kLongText, {}, {}};
        };
        // clang-format off
        const std::function<void()> actions[] = {
            [&] { form_.Rows().DeleteRow(); }, [&] { form_.Rows().InsertRowBefore(); },
            [&] { form_.Rows().InsertRowAfter(); }, [&] { form_.Rows().PasteDeletedRow(); },
            [&] { form_.Rows().AddColumn(); }, [&] { form_.Rows().DeleteColumn(); },
            [&] { windows_.messageAnswers.assign({answer()}); form_.Rows().ClearAllAfterConfirmation(); },
            [&] { select(TableGrid::Selection::Collapse); },
            [&] { Type(false); }, [&] { Type(true); },
            [&] { form_.SetEditTitle(Text()); form_.SetEditTitle(Text() + "!");
                  form_.EndTitleEdit(); },
            [&] { form_.Tools().SetItemName(Text()); },
            [&] { form_.Input().MoveRow(DataRow(), DataRow()); },
            [&] { form_.Input().MoveColumn(DataCol(), DataCol()); },
            [&] { form_.Input().ResizeColumn(DataCol(), Pick(2, 90)); },
            [&] { form_.Input().ResizeRow(DataRow(), Pick(2, 40)); },  // kRowHeights
            [&] { form_.Files().SaveFile(); saved_ = static_cast<int>(steps_.size()); },
            [&] { windows_.SetClipboardText(Pick(0, 1) ? "p\tq\n\tr\n7" : "x\t\t\\300");
                  form_.Clipboard().PasteClipboard(); },  // kPaste
            [&] { select(TableGrid::Selection::Extend); },
            [&] { form_.Clipboard().CutSelection(); }, [&] { form_.Clipboard().ClearSelection(); },
            [&] { form_.Sorting().SortAscending(); }, [&] { form_.Sorting().SortDescending(); },
            [&] { find(); form_.Search().ReplaceCurrent(); }, [&] { find(); form_.Search().ReplaceAll(); },
            [&] { if (Pick(0, 2) == 0) { form_.Filter().ClearFilter(); } else {
                  form_.Filter().ApplyFilter({{DataCol(), FilterTest::Contains, "x"}},
                                             FilterMatching::Exact); } },
            [&] { form_.Lists().FillDown(); }, [&] { form_.Input().FillSelection(Pick(0, 1) ? "f" : ""); },
            [&] { windows_.duplicateRowsAnswer = {{{DataCol()}, Pick(0, 1) ? KeyComparison::Loose : KeyComparison::Exact}};
                  form_.Lists().RemoveDuplicateRows(); },
            [&] { windows_.separatorAnswer = {{Pick(0, 1) ? "x" : "7", Pick(0, 1) ? SplitAt::FirstSeparator : SplitAt::EverySeparator}};
                  if (Grid().ColCount() < kCols - 4) { form_.Lists().SplitColumn(); } },
            [&] { windows_.separatorAnswer = {{Pick(0, 1) ? "x" : "", {}}}; form_.Lists().JoinColumns(); },
            [&] { form_.Sorting().SortByKeys({{DataCol(), SortOrder::Descending, SortKeyKind::Number}, {DataCol(), SortOrder::Ascending, SortKeyKind::Reading, DataCol()}}); },
            [&] { form_.JapaneseText().ConvertSelection(static_cast<CharacterConversion>(Pick(0, 5))); },
            [&] { form_.JapaneseText().MakeFuriganaColumn(); },  // adds a column
            [&] { CompareAndTakeOver(); }};  // the last: adds rows
        // clang-format on
        const int last = static_cast<int>(std::size(actions)) - 1;
        int k = Pick(0, last);
        const bool full = Grid().RowCount() >= kRows - 4 || Grid().ColCount() >= kCols - 2;
        k = full && (k == 1 || k == 2 || k == 4 || k == kPaste || k >= last - 1) ? 0 : k;
        last_ = k;
        actions[static_cast<std::size_t>(k)]();
    }
    // Compares with a copy of the table with rows changed, dropped and added, then takes over
    // one difference (a cell, a row) or all of them.
    void CompareAndTakeOver() {
        auto other = std::make_unique<TableGrid>(GridShape{Grid().ColCount(), 1, 1, 1, 64, 24});
        for (int32_t r = 1, row = 1; r < Grid().RowCount() && row < 8; ++r) {
            const bool added = Pick(0, 4) == 0;
            if (Pick(0, 3) > 0 || added) {
                other->SetRowCount(++row);
                for (int32_t c = 1; c < Grid().ColCount(); ++c) {
                    other->SetCell(c, row - 1,
                                   added || Pick(0, 4) == 0 ? Text() : Grid().CellText(c, r));
                }
            }
        }
        const bool byKey = Pick(0, 1) == 1;
        form_.Compare().CompareWith(std::move(other), "b", std::vector<int32_t>(byKey ? 1 : 0, 1));
        CompareSession& session = *form_.Compare().Session();
        if (Pick(0, 2) > 0) {
            session.TakeOver(Pick(0, session.EntryCount()), Pick(-1, 2));
            return;
        }
        session.TakeOverAll();  // by position, the rows are then those of the other table
        EXPECT_TRUE(byKey || session.Comparison().counts == DifferenceCounts{});
    }
    // Typing in the editor, sometimes back to what the cell held.
    void Type(bool back) {
        form_.Input().EditorOpened();
        const std::string before = Grid().CellText(Grid().Col(), Grid().Row());
        for (int n = Pick(1, 3); n > 0; --n) {
            form_.Input().TypeInCurrentCell(Text());
        }
        if (back) {
            form_.Input().TypeInCurrentCell(before);
        }
        form_.Input().EditorClosed();
    }

    // With `standing` changes standing: whether one between it and the save reaches the file
    // (row heights do not).
    bool Modified(int standing) const {
        for (int k = std::min(standing, saved_); k < std::max(standing, saved_); ++k) {
            if (kinds_[static_cast<std::size_t>(k)] != kRowHeights) {
                return true;
            }
        }
        return false;
    }

    // The table before and after each change.
    std::vector<std::pair<std::string, std::string>> steps_;
    int last_ = 0;
    std::vector<int> kinds_;
    int saved_ = 0;  // changes standing at the last save
};

TEST_P(UndoModelTest, UndoingAndRedoingEveryChangeGivesBackEachTableExactly) {
    for (int action = 0; action < 100; ++action) {
        std::string before = Snap(form_);
        const std::size_t recorded = form_.History().Steps();
        std::string after;  // as the last change left it, before a command moves on (a replace)
        windows_.onEditStateChanged = [&] { after = Snap(form_); };
        RandomAction();
        windows_.onEditStateChanged = nullptr;
        if (form_.History().Steps() != recorded) {
            steps_.emplace_back(std::move(before), std::move(after));
            kinds_.push_back(last_);
        }
        ASSERT_EQ(form_.IsModified(), Modified(static_cast<int>(steps_.size()))) << action;
    }
    for (int k = static_cast<int>(steps_.size()) - 1; k >= 0; --k) {
        ASSERT_TRUE(form_.Document().CanUndo());
        form_.Undo();
        ASSERT_EQ(Snap(form_), steps_[k].first) << "undoing change " << k << " kind " << kinds_[k];
        ASSERT_EQ(form_.IsModified(), Modified(k));
    }
    EXPECT_FALSE(form_.Document().CanUndo());
    for (std::size_t k = 0; k < steps_.size(); ++k) {
        form_.Redo();
        ASSERT_EQ(Snap(form_), steps_[k].second) << "redoing change " << k << " kind " << kinds_[k];
    }
    EXPECT_FALSE(form_.Document().CanRedo());
}

INSTANTIATE_TEST_SUITE_P(Seeds, UndoModelTest, ::testing::Range(1u, 21u));

}  // namespace
}  // namespace qv
