// Find, replace and sort as the main window runs them: where the current cell goes, what the
// status bar says, and that each change is one step that undo takes back exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <regex>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "app/search_history.h"
#include "expect_failure.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "temp_folder.h"
#include "tools/cell_replace.h"
#include "tools/multi_key_sort.h"
#include "view/cell_text_extent.h"
#include "view/fit_widths.h"

namespace qv {
namespace {

class MainFormFindSortTest : public ::testing::Test {
protected:
    // Rows 1-3 of columns 1-3; "\x83\\" is "ソ", whose second byte is "\".
    MainFormFindSortTest() : form_(windows_, {"/nonexistent/q.ini", "/nonexistent/q.hst"}, ".") {
        const char* texts[] = {"apple", "", "x", "", "Apple pie", "", "\x83\\", "apple", "\\"};
        for (int32_t i = 0; i < 9; ++i) {
            form_.Document().UnrecordedTable().SetCell(i % 3 + 1, i / 3 + 1, texts[i]);
        }
        form_.Document().UnrecordedTable().SetColCount(4);
        form_.Document().UnrecordedTable().SetRowCount(5);
        form_.Rows().RenumberRows();
    }
    // Every cell, labels and item names included, one beyond the counts.
    std::string Cells() const {
        std::string all;
        for (int32_t row = 0; row <= 5; ++row) {
            for (int32_t col = 0; col <= 4; ++col) {
                all += form_.Table().CellText(col, row) + "|";
            }
        }
        return all;
    }

    test::FakeWindowSystem windows_;
    MainForm form_;
};

TEST_F(MainFormFindSortTest, FindMovesTheCurrentCellAndWraps) {
    // The text; its options (W whole cell, C letter case, O current column only); the start
    // cell and the keys (N next, P previous); then the cells visited, the last note, the count.
    // clang-format off
    const std::tuple<const char*, std::string, const char*, const char*, std::string> cases[] = {
        {"apple", "", "11NNN", "22 23 11", std::string(kWrappedToStartNote) + " 一致 3 件"},
        {"apple", "", "11P", "23", std::string(kWrappedToEndNote) + " 一致 3 件"},
        {"apple", "W", "11N", "23", " 一致 2 件"},
        {"Apple", "C", "22N", "22", std::string(kWrappedToStartNote) + " 一致 1 件"},
        {"APPLE", "O", "23NN", "22 23", " 一致 2 件"},
        {"\\", "", "11N", "33", " 一致 1 件"},
        {"pear", "", "12N", "12", "「pear」は見つかりませんでした 一致 0 件"},
        {"\xF0\x9F\x8D\x8E", "", "12N", "12", std::string(kFindTextNotInCp932Note) +
                                                  " Shift-JIS で表せない文字があります"},
    };
    // clang-format on
    for (const auto& [text, options, keys, visits, noteAndCount] : cases) {
        const auto has = [&options](char c) { return options.find(c) != std::string::npos; };
        form_.Search().Find() = {text,
                                 "",
                                 {has('W') ? MatchExtent::WholeCell : MatchExtent::PartOfCell,
                                  has('C') ? LetterCase::Sensitive : LetterCase::Insensitive},
                                 has('O') ? FindScope::CurrentColumn : FindScope::WholeTable};
        form_.Document().UnrecordedTable().SetCurrentCell({keys[0] - '0', keys[1] - '0'});
        std::string visited;
        for (const char* key = keys + 2; *key != '\0'; ++key) {
            *key == 'N' ? form_.Search().FindNext() : form_.Search().FindPrevious();
            const GridCell at = form_.Table().Current();
            visited += (visited.empty() ? "" : " ") + std::to_string(at.col * 10 + at.row);
        }
        EXPECT_EQ(visited + "/" + windows_.statusNote + " " + form_.Search().FindCountText(),
                  visits + ("/" + noteAndCount));
    }
    EXPECT_FALSE(form_.IsModified());
    form_.Search().Find().text.clear();
    form_.Search().FindNext();  // nothing to find yet: the bar opens
    EXPECT_EQ(windows_.findBarFocus, FindBarFocus::SearchText);
}

TEST_F(MainFormFindSortTest, ReplaceAndReplaceAllAreOneStepEach) {
    const std::string before = Cells();
    form_.Search().Find() = {"apple", "梨", {MatchExtent::PartOfCell, LetterCase::Insensitive}, {}};
    form_.Document().UnrecordedTable().SetCurrentCell({1, 1});
    form_.Search().ReplaceCurrent();  // (1,1) changes, the next match becomes current
    EXPECT_EQ(form_.Table().Current(), (GridCell{2, 2}));
    EXPECT_EQ(form_.Search().ReplaceAll(), 2u);
    EXPECT_EQ(windows_.statusNote, "2 個のセルを置換しました");
    const std::string replaced = Cells();
    EXPECT_EQ(replaced, std::regex_replace(before, std::regex("[aA]pple"), *Utf8ToCp932("梨")));
    // Refused before anything changes: a character CP932 cannot hold (a CR and 0x1A are the
    // replacing's own test).
    form_.Search().Find() = {"x", "\xF0\x9F\x8D\x8E", {}, {}};
    EXPECT_FAILS(form_.Search().ReplaceAll(), kReplacementNotInCp932Message);
    EXPECT_EQ(Cells(), replaced);
    EXPECT_EQ(form_.History().Steps(), 2u);
    // Loosely only the matched characters change; a regular expression takes its groups; a bad
    // pattern says why. The texts the commands ran with are remembered, newest first.
    form_.Search().Find() = {"Ｘ", "y", {}, {}, PatternSyntax::Loose};
    EXPECT_EQ(form_.Search().ReplaceAll(), 1u);
    form_.Search().Find() = {"^(.)$", "<$1>", {}, {}, PatternSyntax::Regex};
    form_.Search().ReplaceAll();
    EXPECT_EQ(form_.Table().CellText(3, 1) + form_.Table().CellText(1, 3), "<y><\x83\\>");
    form_.Search().Find().text = "(";
    form_.Search().FindNext();
    EXPECT_EQ(windows_.statusNote.rfind("正規表現が正しくありません", 0), 0u)
        << windows_.statusNote;
    EXPECT_EQ(form_.Search().History().texts,
              (std::vector<std::string>{"(", "^(.)$", "Ｘ", "x", "apple"}));
}

// The list tools say what they did, or why they did nothing; each change is one step. Fitting
// measures the item name too and stops at the cap.
TEST_F(MainFormFindSortTest, ListToolsSayWhatTheyDid) {
    windows_.duplicateRowsAnswer = DuplicateRowsChoice{{3}, KeyComparison::Exact};
    windows_.separatorAnswer = SeparatorChoice{",", SplitAt::EverySeparator};
    form_.Document().UnrecordedTable().SetCell(3, 0, std::string(100, 'w'));
    const std::pair<std::function<void()>, const char*> commands[] = {
        {[&] { form_.Lists().RemoveDuplicateRows(); }, "1 行を削除しました。"},  // row 4: ""
        {[&] { form_.Lists().RemoveDuplicateRows(); }, "重複行はありませんでした。"},
        {[&] { form_.Lists().SplitColumn(); }, "区切り文字「,」を含むセルはありませんでした。"},
        {[&] { form_.Lists().JoinColumns(); }, "結合する列を 2 列以上選んでください。"},
    };
    for (const auto& [command, message] : commands) {
        command();
        ASSERT_FALSE(windows_.messages.empty());
        EXPECT_EQ(windows_.messages.back().text, message);
    }
    EXPECT_EQ(form_.Table().RowCount(), 4);
    form_.Lists().FitColumnWidths();  // one cell selected: every column
    EXPECT_EQ(form_.Table().ColWidth(2), FittingColumnWidth("Apple pie", kFittedWidthCap));
    EXPECT_EQ(form_.Table().ColWidth(3), kFittedWidthCap);
    EXPECT_EQ(form_.History().Steps(), 2u);
}

// A long command cancelled in its progress dialog leaves the table and the history as they
// were; run to its end it reports its progress in order, and undo takes it back whole.
TEST_F(MainFormFindSortTest, LongCommandsCanBeCancelledHalfway) {
    constexpr int32_t kRows = 20'000;
    TableGrid& grid = form_.Document().UnrecordedTable();
    grid.SetRowCount(kRows + 1);
    for (int32_t row = 1; row <= kRows; ++row) {
        grid.SetCell(1, row, "a,b" + std::to_string(row % 7));
        grid.SetCell(2, row, row % 3 == 0 ? "apple" : "pear");
    }
    const auto table = [&] {
        std::string all;
        for (int32_t row = 0; row < grid.RowCount(); ++row) {
            for (int32_t col = 0; col <= grid.ColCount(); ++col) {
                all.append(grid.CellText(col, row)).push_back('|');
            }
        }
        return all;
    };
    const auto selectColumns12 = [&] {
        grid.SetCurrentCell({1, 1});
        grid.SetCurrentCell({2, kRows}, TableGrid::Selection::Extend);
    };
    windows_.duplicateRowsAnswer = DuplicateRowsChoice{{2}, KeyComparison::Exact};
    windows_.separatorAnswer = SeparatorChoice{",", SplitAt::EverySeparator};
    form_.Search().Find() = {"pear", "梨", {}, {}};
    const std::function<void()> commands[] = {
        [&] { selectColumns12(), form_.Lists().FillDown(); },
        [&] { selectColumns12(), form_.Input().FillSelection("z"); },
        [&] { selectColumns12(), form_.Lists().JoinColumns(); },
        [&] { form_.Lists().RemoveDuplicateRows(); },
        [&] {
            grid.SetCurrentCell({1, 1}), form_.Lists().SplitColumn();
        },
        [&] { form_.Search().ReplaceAll(); },
        [&] {
            grid.SetCurrentCell({2, 1}), form_.Sorting().SortDescending();
        },
    };
    for (std::size_t i = 0; i < std::size(commands); ++i) {
        SCOPED_TRACE(i);
        const std::string before = table();
        windows_.progressCalls = 0;
        windows_.cancelProgressAtCall = 2;
        commands[i]();
        EXPECT_EQ(windows_.progress.back().steps.size(), 2u);
        EXPECT_TRUE(windows_.progress.back().ended);
        EXPECT_FALSE(form_.History().CanUndo());
        EXPECT_EQ(form_.History().CanRedo(), i > 0);  // the step undone before stays
        EXPECT_EQ(table(), before);

        windows_.cancelProgressAtCall.reset();
        commands[i]();
        const auto& heard = windows_.progress.back().steps;
        EXPECT_TRUE(std::is_sorted(heard.begin(), heard.end()));
        EXPECT_LE(heard.back().first, heard.back().second);
        EXPECT_TRUE(form_.History().CanUndo());
        EXPECT_NE(table(), before);
        form_.Undo();
        EXPECT_EQ(table(), before);
    }
}

TEST(SearchHistoryTest, KeepsTheNewestTwentyAndReadsBackWhatItWrote) {
    SearchHistory history;
    for (int i = 0; i < 25; ++i) {
        RememberText(history.texts, std::to_string(i));
    }
    EXPECT_FALSE(RememberText(history.texts, "24"));  // first already
    EXPECT_TRUE(RememberText(history.texts, "10"));   // moves up
    ASSERT_EQ(history.texts.size(), 20u);
    EXPECT_EQ(history.texts[0] + history.texts[1] + history.texts[19], "10245");
    history.replacements = {"a\\b\nc", "$1"};
    test::TempFolder folder;
    WriteSearchHistory(folder / "h.txt", history);
    EXPECT_EQ(ReadSearchHistory(folder / "h.txt"), history);
    EXPECT_EQ(ReadSearchHistory(folder / "missing.txt"), SearchHistory{});
}

// Sorting moves whole rows, renumbers stale labels, and undo puts back every byte.
TEST_F(MainFormFindSortTest, SortIsOneStepThatUndoesExactly) {
    TableGrid& grid = form_.Document().UnrecordedTable();
    grid.SetCell(0, 2, "old");  // a stale label
    grid.SetCell(2, 4, "10");
    const std::string before = Cells();
    grid.SetCurrentCell({2, 3});
    for (const auto& [sort, column] :
         {std::pair{&SortCommands::SortAscending, "10|Apple pie|apple|"},
          {&SortCommands::SortDescending, "apple|Apple pie|10|"}}) {
        (form_.Sorting().*sort)();
        EXPECT_EQ(grid.CellText(2, 1) + "|" + grid.CellText(2, 2) + "|" + grid.CellText(2, 3) +
                      "|" + grid.CellText(2, 4) + "/" + grid.CellText(0, 2),
                  column + std::string("/  2"));
        EXPECT_EQ(grid.Current(), (GridCell{2, 3}));
        form_.Undo();
        EXPECT_EQ(Cells(), before);
    }
    form_.Redo();
    const std::string sorted = Cells();
    form_.Sorting().SortDescending();  // already in order: no step
    EXPECT_EQ(Cells() + std::to_string(form_.History().Steps()), sorted + "1");
}

// The sort dialog's keys, a conversion of the selection and the furigana column: one step each,
// which undo takes back exactly; item names and row labels are never converted.
TEST_F(MainFormFindSortTest, JapaneseTextCommandsAreOneStepEach) {
    TableGrid& grid = form_.Document().UnrecordedTable();
    const auto sjis = [](const char* utf8) { return Utf8ToCp932(utf8).value(); };
    grid.SetCell(1, 0, sjis("なまえ"));
    grid.SetCell(1, 4, sjis("ｶﾞｯｺｳ"));
    grid.SetCell(4, 2, "beyond the count");
    const std::string before = Cells();
    const auto column1 = [&] {
        return Cp932ToUtf8(grid.CellText(1, 1) + "|" + grid.CellText(1, 2) + "|" +
                           grid.CellText(1, 3) + "|" + grid.CellText(1, 4));
    };
    windows_.sortDialogAnswers.push_back(
        std::vector<SortKey>{{2, SortOrder::Descending, SortKeyKind::Text},
                             {1, SortOrder::Ascending, SortKeyKind::Reading}});
    grid.SetCurrentCell({3, 2});
    form_.Sorting().SortByKeys();
    EXPECT_EQ(windows_.sortDialogRequests.at(0).itemNames,
              (std::vector<std::string>{"なまえ", "", ""}));
    EXPECT_EQ(windows_.sortDialogRequests.at(0).currentCol, 3);
    EXPECT_EQ(column1(), "ソ||apple|ｶﾞｯｺｳ");
    form_.Undo();
    EXPECT_EQ(Cells(), before);

    grid.SetCurrentCell({0, 0});
    grid.SetCurrentCell({1, 4}, TableGrid::Selection::Extend);
    form_.JapaneseText().ConvertSelection(CharacterConversion::ToHiragana);
    EXPECT_EQ(windows_.statusNote, "2 個のセルを変換しました。");
    EXPECT_EQ(column1(), "apple||そ|がっこう");
    form_.Undo();
    EXPECT_EQ(Cells(), before);

    grid.SetCurrentCell({1, 2});
    form_.JapaneseText().MakeFuriganaColumn();
    EXPECT_EQ(
        Cp932ToUtf8(grid.CellText(2, 0) + "|" + grid.CellText(2, 1) + "|" + grid.CellText(2, 2) +
                    "|" + grid.CellText(2, 4) + "|" + grid.CellText(3, 3)),
        "なまえのふりがな|apple||ガッコウ|apple");  // the text beyond the count stays hidden
    EXPECT_EQ(form_.History().Steps(), 1u);
    form_.Undo();
    EXPECT_EQ(Cells(), before);

    grid.SetRowCount(5000);  // readings of 4,096 rows ask the progress, which cancels
    windows_.cancelProgressAtCall = 1;
    form_.JapaneseText().MakeFuriganaColumn();
    EXPECT_EQ(form_.Table().ColCount(), 4);
    EXPECT_TRUE(form_.History().CanRedo());
}

}  // namespace
}  // namespace qv
