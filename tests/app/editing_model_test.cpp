// Random sequences of the editing commands (and the user's cell writes) run on the main window's
// logic and on a plain dense reference of the table, the deleted-row buffer and the column
// widths; after every step they must agree, beyond the counts too.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "table/cell_column.h"

namespace qv {
namespace {

constexpr int kCols = 10;  // every text the sequence stores lies inside this capacity
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

class EditingModelTest : public ::testing::TestWithParam<uint32_t> {
protected:
    EditingModelTest()
        : form_(windows_, StoreLocations{"/nonexistent/q.ini", "/nonexistent/q.hst"}, ".") {
        form_.FormCreate();
    }

    TableGrid& Grid() { return form_.StringGrid(); }
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // Commands that run on the logic and the reference alike, picked by number.
    struct Command {
        const char* name;
        void (MainForm::*form)();
        void (ReferenceTable::*reference)();
    };
    static constexpr Command kCommands[] = {
        {"DeleteRow", &MainForm::DeleteRow, &ReferenceTable::DeleteRow},
        {"InsertRow before", &MainForm::InsertRowBefore, &ReferenceTable::InsertBefore},
        {"InsertRow after", &MainForm::InsertRowAfter, &ReferenceTable::InsertAfter},
        {"PasteRow", &MainForm::PasteDeletedRow, &ReferenceTable::PasteRow},
        {"AddColumn", &MainForm::AddColumn, &ReferenceTable::AddColumn},
        {"DeleteColumn", &MainForm::DeleteColumn, &ReferenceTable::DeleteColumn},
        {"ClearAll yes", &MainForm::ClearAllAfterConfirmation, &ReferenceTable::ClearAll},
        {"ClearAll no", &MainForm::ClearAllAfterConfirmation, &ReferenceTable::KeepAll},
    };

    void RandomStep() {
        static const char* const kTexts[] = {"",     "x",   "\x94\x83\x82\xA2", "\\300",
                                             "\xFF", " 7 ", kLongText};
        int k = Pick(0, 9);
        // The reference has room for so many rows and columns only: a full table shrinks.
        k = (k == 1 || k == 2) && ref_.rowCount >= kRows - 12 ? 0 : k;
        k = k == 4 && ref_.colCount >= kCols - 3 ? 5 : k;
        if (k < 8) {
            const Command& command = kCommands[static_cast<std::size_t>(k)];
            last_ = command.name;
            windows_.messageAnswers.assign({k == 6 ? MessageButton::Yes : MessageButton::No});
            (form_.*command.form)();
            (ref_.*command.reference)();
        } else if (k == 8) {
            last_ = "SetCurrentCell";
            ref_.current = GridCell{Pick(1, ref_.colCount - 1), Pick(1, ref_.rowCount - 1)};
            ASSERT_TRUE(Grid().SetCurrentCell(ref_.current));
        } else {
            last_ = "SetCell";
            for (int n = 0; n < 3; ++n) {  // typing, also beyond the counts
                const int c = Pick(1, kCols - 1), r = Pick(0, kRows - 1);
                Grid().SetCell(c, r, ref_.cells[c][r] = kTexts[Pick(0, 6)]);
            }
        }
    }

    void Compare() {
        ASSERT_EQ(Grid().ColCount(), ref_.colCount);
        ASSERT_EQ(Grid().RowCount(), ref_.rowCount);
        ASSERT_EQ(Grid().Current(), ref_.current);
        ASSERT_EQ(form_.StringGrid_Buff().ColCount(), ref_.colCount - 1);
        for (int c = 0; c < kCols; ++c) {
            ASSERT_EQ(Grid().ColWidth(c), c < ref_.colCount ? ref_.widths[c] : 32) << c;
            ASSERT_EQ(form_.StringGrid_Buff().Cell(c, 0), ref_.buffer[c]) << c;
            for (int r = 0; r < kRows; ++r) {
                ASSERT_EQ(Grid().Cell(c, r), ref_.cells[c][r]) << "cell " << c << "," << r;
            }
        }
    }

    std::mt19937 random_{GetParam()};
    test::FakeWindowSystem windows_;
    MainForm form_;
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

}  // namespace
}  // namespace qv
