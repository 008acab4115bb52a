// Row and column editing of the main window at the edges the random sequences rarely reach, and
// the column tools as the main window shows them.
#include <gtest/gtest.h>

#include <map>

#include "app/fake_window_system.h"
#include "app/go_to_row.h"
#include "app/main_form.h"
#include "app/status_texts.h"

namespace qv {
namespace {

// A sequence of editing commands on a small table, and the state it leaves (see State).
struct EditCase {
    int32_t cols, rows;
    const char* steps;
    const char* after;
};

class MainFormEditingTest : public ::testing::TestWithParam<EditCase> {
protected:
    MainFormEditingTest()
        : form_(windows_, StoreLocations{"/nonexistent/Quorvane.ini", "/nonexistent/q.hst"}, ".") {
        form_.Start();
    }

    TableGrid& Grid() { return form_.Document().UnrecordedTable(); }
    void Select(int32_t col, int32_t row) { ASSERT_TRUE(Grid().SetCurrentCell({col, row})); }

    // A table titled "T" of `cols` columns and `rows` rows whose data cells read "a1", "b1", ...
    // ("b1" being column 2 of row 1), numbered.
    void MakeTable(int32_t cols, int32_t rows) {
        form_.SetEditTitle("T");
        Grid().SetColCount(cols);
        Grid().SetRowCount(rows);
        for (int32_t row = 1; row < rows; ++row) {
            for (int32_t col = 1; col < cols; ++col) {
                Grid().SetCell(col, row, static_cast<char>('a' + col - 1) + std::to_string(row));
            }
        }
        form_.Rows().RenumberRows();
    }

    // Runs the commands of `steps`: "@cr" makes cell (c, r) current, "Mft" drags row f to row t;
    // D deletes the row, B and A insert a row before and after it, P pastes; + adds and - deletes
    // a column; Y and N run clear all answered Yes and No, which must ask and empty the title
    // only after a Yes.
    void Run(std::string_view steps) {
        static const std::map<char, void (RowCommands::*)()> kCommands = {
            {'D', &RowCommands::DeleteRow},
            {'B', &RowCommands::InsertRowBefore},
            {'A', &RowCommands::InsertRowAfter},
            {'P', &RowCommands::PasteDeletedRow},
            {'+', &RowCommands::AddColumn},
            {'-', &RowCommands::DeleteColumn},
            {'Y', &RowCommands::ClearAllAfterConfirmation},
            {'N', &RowCommands::ClearAllAfterConfirmation}};
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (steps[i] == '@' || steps[i] == 'M') {
                const int32_t a = steps[i + 1] - '0', b = steps[i + 2] - '0';
                steps[i] == '@' ? Select(a, b) : form_.Input().MoveRow(a, b);
                i += 2;
            } else if (steps[i] != ' ') {
                windows_.messageAnswers.assign(
                    {steps[i] == 'Y' ? MessageButton::Yes : MessageButton::No});
                (form_.Rows().*kCommands.at(steps[i]))();
                if (steps[i] == 'Y' || steps[i] == 'N') {
                    windows_.ExpectOneMessage("全データを消去します。", MessageKind::Confirmation,
                                              MessageButton::Yes | MessageButton::No);
                    EXPECT_EQ(form_.EditTitle(), steps[i] == 'Y' ? "" : "T");
                }
            }
        }
    }

    // "<cols>x<rows> <row 0>|<row 1>|... buf <buffer> @<col>,<row>", rows showing the cells of
    // columns 0 to 3 (beyond ColCount too, where a deleted column keeps its texts).
    std::string State() {
        std::string state =
            std::to_string(Grid().ColCount()) + "x" + std::to_string(Grid().RowCount()) + " ";
        for (int32_t row = 0; row < Grid().RowCount(); ++row) {
            state.append(row == 0 ? "" : "|").append(Cells(Grid(), row));
        }
        return state + " buf " + Cells(form_.DeletedRowBuffer(), 0) + " @" +
               std::to_string(Grid().Col()) + "," + std::to_string(Grid().Row());
    }
    static std::string Cells(const TableGrid& grid, int32_t row) {
        std::string cells = grid.CellText(0, row);
        for (int32_t col = 1; col <= 3; ++col) {
            cells.append(",").append(grid.Cell(col, row));
        }
        return cells;
    }

    test::FakeWindowSystem windows_;
    MainForm form_;
};

TEST_P(MainFormEditingTest, RowAndColumnCommandsAtTheEdges) {
    SCOPED_TRACE(GetParam().steps);
    MakeTable(GetParam().cols, GetParam().rows);
    Run(GetParam().steps);
    EXPECT_EQ(State(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MainFormEditingTest,
    ::testing::ValuesIn(std::vector<EditCase>{
        // Deleting the only data row empties it, label included (deleting and inserting rows
        // elsewhere are the random runs' cases).
        {3, 2, "@21 D", "3x2 ,,,|,,, buf ,a1,b1, @2,1"},
        // Pasting before any deletion empties the row; pasting twice; after clear all.
        {3, 4, "@12 P", "3x4 ,,,|  1,a1,b1,|  2,,,|  3,a3,b3, buf ,,, @1,2"},
        {3, 4, "@12 D P @11 P", "3x3 ,,,|  1,a2,b2,|  2,a2,b2, buf ,a2,b2, @1,1"},
        {3, 4, "@12 D Y P", "3x3 ,,,|  1,,,|  2,a2,b2, buf ,a2,b2, @1,2"},
        {3, 4, "@12 N", "3x4 ,,,|  1,a1,b1,|  2,a2,b2,|  3,a3,b3, buf ,,, @1,2"},
        // Pasting into a narrower table leaves the rest in the buffer and the hidden cell alone.
        {4, 4, "@12 D - P", "3x3 ,,,|  1,a1,b1,c1|  2,a2,b2,c3 buf ,a2,b2,c2 @1,2"},
        // A deleted column comes back with its texts at their old rows; pasting into it.
        {4, 4, "- @11 D + @12 P", "4x3 ,,,|  1,a2,b2,c1|  2,a1,b1, buf ,a1,b1, @1,2"},
        // A row the user drags is renumbered.
        {3, 4, "M31", "3x4 ,,,|  1,a3,b3,|  2,a1,b1,|  3,a2,b2, buf ,,, @1,2"},
        // One data column always stays.
        {3, 4, "@21 - -", "2x4 ,,,|  1,a1,b1,|  2,a2,b2,|  3,a3,b3, buf ,,, @1,1"},
    }));

// --- Column tools ---

TEST_F(MainFormEditingTest, ColumnToolsShowTheirResultInAnInformationBoxAndEditTheItemName) {
    const char* column1[] = {"abc", " abc ", "ABC", "x", ""};
    const char* column2[] = {"\\1,200", "-\\300", "abc", "", "2.5e2"};  // the worked example
    for (int32_t row = 1; row <= 5; ++row) {
        Grid().SetCell(1, row, column1[row - 1]);
        Grid().SetCell(2, row, column2[row - 1]);
    }
    Grid().SetCell(1, 0, "abc");  // an item name, which is not counted
    const struct {
        int32_t col;
        void (ColumnTools::*command)();
        const char* message;
    } cases[] = {
        {2, &ColumnTools::ShowColumnStatistics,
         "      合   計   :  1150\n      平   均   :  383.333333333333\n"
         "      最   大   :  1200\n      最   小   :  -300\n有効データ数 :  3\n"
         "   全データ数 :  4"},
        {1, &ColumnTools::ShowColumnStatistics,
         "データは、4件ありましたが、\n計算対象のデータはありませんでした。"},
        {1, &ColumnTools::OpenMatchCountDialog, "2 件一致しました。"},
    };
    windows_.dialogTexts = {"abc"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Select(c.col, 2);
        (form_.Tools().*c.command)();
        windows_.ExpectOneMessage(c.message, MessageKind::Information, Buttons(MessageButton::OK));
    }
    // The item name dialog shows and edits the header of the current column.
    Grid().SetCell(2, 0, "数量");
    Select(2, 4);
    windows_.itemNameAnswer = "  個数 ";
    form_.Tools().OpenItemNameDialog();
    EXPECT_EQ(windows_.itemNameShown, "数量");
    EXPECT_EQ(Grid().Cell(2, 0), "  個数 ");  // kept as typed, blanks included
    EXPECT_EQ(Grid().Cell(1, 0), "abc");
}

// Go to row: each text typed in turn and the row it leaves current (an unreadable text keeps
// the row and says so); then what the status bar says of the place and of a selection.
TEST_F(MainFormEditingTest, GoToRowClampsAndTheStatusTextsAddUpTheSelection) {
    MakeTable(4, 1001);
    Select(3, 10);
    const struct {
        const char* typed;
        int32_t row;
        bool refused;
    } cases[] = {
        {"12", 12, false},   {" 1,000 ", 1000, false}, {"\xEF\xBC\x91\xEF\xBC\x92", 12, false},
        {"0", 1, false},     {"-7", 1, false},         {"99999999999999999999", 1000, false},
        {"", 1000, true},    {"12a", 1000, true},      {",5", 1000, true},
        {"1 2", 1000, true}, {"-", 1000, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        // A refused text leaves the dialog open: the next one typed is taken.
        windows_.dialogTexts = {c.typed, "7"};
        form_.Tools().OpenGoToRowDialog();
        EXPECT_EQ(Grid().Current(), (GridCell{3, c.refused ? 7 : c.row}));
        EXPECT_EQ(windows_.messages.size(), c.refused ? 1u : 0u);
        windows_.messages.clear();
        Select(3, c.row);  // where the next case starts
    }
    EXPECT_EQ(RowToGoTo("5", 1), std::nullopt);  // no data row to go to

    EXPECT_EQ(PositionStatusText(Grid()), "行 1,000 / 1,000  列 3");
    EXPECT_EQ(SelectionStatusText(Grid(), "."), "");
    const char* column2[] = {"\\1,200", "-\\300", "abc", "", "2.5e5"};
    for (int32_t row = 1; row <= 5; ++row) {
        Grid().SetCell(2, row, column2[row - 1]);
    }
    Select(2, 5);
    ASSERT_TRUE(Grid().SetCurrentCell({2, 1}, TableGrid::Selection::Extend));
    EXPECT_EQ(SelectionStatusText(Grid(), "."),
              "データの個数 4  数値 3  合計 250,900  平均 83,633.3333333333");
    ASSERT_TRUE(Grid().SetCurrentCell({1, 2}, TableGrid::Selection::Extend));  // "a2".."b5"
    EXPECT_EQ(SelectionStatusText(Grid(), ","),
              "データの個数 7  数値 2  合計 249.700  平均 124.850");

    // A selection too large to add up between two keys is added up on a thread of its own: the
    // note first, then the same text; a change of the table, or the window closing, drops figures
    // not yet shown.
    std::vector<std::string> shown;
    const auto show = [&shown](const std::string& text) { shown.push_back(text); };
    Grid().SetRowCount(kCellsWorthABackgroundReading);
    Select(2, 1);
    ASSERT_TRUE(Grid().SetCurrentCell({1, Grid().RowCount() - 1}, TableGrid::Selection::Extend));
    const std::string figures = SelectionStatusText(Grid(), ".");
    form_.Tools().ShowSelectionText(show);
    while (shown.size() < 2) {
        windows_.RunPosted();
    }
    EXPECT_EQ(shown, (std::vector<std::string>{kCountingNote, figures}));
    form_.Tools().ShowSelectionText(show);
    form_.Tools().SetItemName("x");
    form_.Tools().StopSelectionText();
    windows_.RunPosted();
    EXPECT_EQ(shown.size(), 3u);
}

}  // namespace
}  // namespace qv
