// Find, replace and sort as the main window runs them: where the current cell goes, what the
// status bar says, and that each change is one step that undo takes back exactly.
#include <gtest/gtest.h>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "tools/cell_replace.h"

namespace qv {
namespace {

constexpr auto kPart = MatchExtent::PartOfCell;
constexpr auto kWhole = MatchExtent::WholeCell;
constexpr auto kFold = LetterCase::Insensitive;
constexpr auto kSame = LetterCase::Sensitive;
constexpr auto kTable = FindScope::WholeTable;
constexpr auto kColumn = FindScope::CurrentColumn;

class MainFormFindSortTest : public ::testing::Test {
protected:
    // Rows 1-3 of columns 1-3; "\x83\\" is "ソ", whose second byte is "\".
    MainFormFindSortTest() : form_(windows_, {"/nonexistent/q.ini", "/nonexistent/q.hst"}, ".") {
        const char* texts[] = {"apple", "", "x", "", "Apple pie", "", "\x83\\", "apple", "\\"};
        for (int32_t i = 0; i < 9; ++i) {
            grid().SetCell(i % 3 + 1, i / 3 + 1, texts[i]);
        }
        grid().SetColCount(4);
        grid().SetRowCount(5);
        form_.RenumberRows();
    }
    TableGrid& grid() { return form_.StringGrid(); }
    // Every cell, labels and item names included, one beyond the counts.
    std::string Cells() {
        std::string all;
        for (int32_t row = 0; row <= grid().RowCount(); ++row) {
            for (int32_t col = 0; col <= grid().ColCount(); ++col) {
                all += grid().CellText(col, row) + "|";
            }
        }
        return all;
    }
    void Search(const char* text, MatchExtent extent, LetterCase letterCase, FindScope scope) {
        form_.Find() = FindState{text, "", {extent, letterCase}, scope};
    }

    test::FakeWindowSystem windows_;
    MainForm form_;
};

TEST_F(MainFormFindSortTest, FindMovesTheCurrentCellAndWraps) {
    const struct {
        const char* text;
        MatchExtent extent;
        LetterCase letterCase;
        FindScope scope;
        GridCell start;
        const char* keys;  // N next, P previous
        std::vector<GridCell> visits;
        std::string lastNote, count;
    } cases[] = {
        {"apple",
         kPart,
         kFold,
         kTable,
         {1, 1},
         "NNN",
         {{2, 2}, {2, 3}, {1, 1}},
         kWrappedToStartNote,
         "一致 3 件"},
        {"apple", kPart, kFold, kTable, {1, 1}, "P", {{2, 3}}, kWrappedToEndNote, "一致 3 件"},
        {"apple", kWhole, kFold, kTable, {1, 1}, "N", {{2, 3}}, "", "一致 2 件"},
        {"Apple", kPart, kSame, kTable, {2, 2}, "N", {{2, 2}}, kWrappedToStartNote, "一致 1 件"},
        {"APPLE", kPart, kFold, kColumn, {2, 3}, "NN", {{2, 2}, {2, 3}}, "", "一致 2 件"},
        {"\\", kPart, kSame, kTable, {1, 1}, "N", {{3, 3}}, "", "一致 1 件"},
        {"pear",
         kPart,
         kFold,
         kTable,
         {1, 2},
         "N",
         {{1, 2}},
         "「pear」は見つかりませんでした",
         "一致 0 件"},
        {"\xF0\x9F\x8D\x8E",
         kPart,
         kFold,
         kTable,
         {1, 2},
         "N",
         {{1, 2}},
         kFindTextNotInCp932Note,
         "Shift-JIS で表せない文字があります"},
    };
    for (const auto& c : cases) {
        Search(c.text, c.extent, c.letterCase, c.scope);
        grid().SetCurrentCell(c.start);
        for (std::size_t i = 0; c.keys[i] != '\0'; ++i) {
            c.keys[i] == 'N' ? form_.FindNext() : form_.FindPrevious();
            EXPECT_EQ(grid().Current(), c.visits.at(i)) << c.text << " step " << i;
        }
        EXPECT_EQ(windows_.statusNote, c.lastNote) << c.text;
        EXPECT_EQ(form_.FindCountText(), c.count) << c.text;
    }
    EXPECT_FALSE(form_.IsModified());
    form_.Find().text.clear();
    form_.FindNext();  // nothing to find yet: the bar opens
    EXPECT_EQ(windows_.findBarFocus, FindBarFocus::SearchText);
}

TEST_F(MainFormFindSortTest, ReplaceAndReplaceAllAreOneStepEach) {
    const std::string before = Cells();
    Search("apple", kPart, kFold, kTable);
    form_.Find().replacement = "梨";
    grid().SetCurrentCell({1, 1});
    form_.ReplaceCurrent();  // (1,1) changes, the next match becomes current
    EXPECT_EQ(grid().CellText(1, 1), *Utf8ToCp932("梨"));
    EXPECT_EQ(grid().Current(), (GridCell{2, 2}));
    EXPECT_EQ(form_.ReplaceAll(), 2u);
    EXPECT_EQ(windows_.statusNote, "2 個のセルを置換しました");
    EXPECT_EQ(grid().CellText(2, 2), *Utf8ToCp932("梨 pie"));
    const std::string replaced = Cells();
    form_.Undo();
    form_.Undo();
    EXPECT_EQ(Cells(), before);
    EXPECT_EQ(grid().Current(), (GridCell{1, 1}));
    EXPECT_FALSE(form_.IsModified());
    form_.Redo();
    form_.Redo();
    EXPECT_EQ(Cells(), replaced);
    // Refused before anything changes: a CR, 0x1A, a character CP932 cannot hold.
    for (const auto& [text, message] : {std::pair{"a\rb", kReplacementRefusedMessage},
                                        {"\x1A", kReplacementRefusedMessage},
                                        {"\xF0\x9F\x8D\x8E", kReplacementNotInCp932Message}}) {
        form_.Find() = FindState{"x", text, {}, kTable};
        try {
            form_.ReplaceAll();
            ADD_FAILURE() << "replaced with " << text;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.message(), message);
        }
    }
    EXPECT_EQ(Cells(), replaced);
    EXPECT_EQ(form_.History().Steps(), 2u);
}

// Sorting moves whole rows, renumbers stale labels, and undo puts back every byte.
TEST_F(MainFormFindSortTest, SortIsOneStepThatUndoesExactly) {
    grid().SetCell(0, 2, "old");  // a stale label
    grid().SetCell(2, 4, "10");
    const std::string before = Cells();
    grid().SetCurrentCell({2, 3});
    for (const auto& [sort, column] :
         {std::pair{&MainForm::SortAscending, std::string("10|Apple pie|apple|")},
          {&MainForm::SortDescending, std::string("apple|Apple pie|10|")}}) {
        (form_.*sort)();
        EXPECT_EQ(grid().CellText(2, 1) + "|" + grid().CellText(2, 2) + "|" +
                      grid().CellText(2, 3) + "|" + grid().CellText(2, 4),
                  column);
        EXPECT_EQ(grid().CellText(0, 2), "  2");
        EXPECT_EQ(grid().Current(), (GridCell{2, 3}));
        form_.Undo();
        EXPECT_EQ(Cells(), before);
    }
    form_.SortAscending();
    const std::string sorted = Cells();
    form_.SortAscending();  // already in order: no step
    form_.Undo();
    form_.Redo();
    EXPECT_EQ(Cells(), sorted);
    EXPECT_EQ(form_.History().Steps(), 1u);
}

}  // namespace
}  // namespace qv
