// Filling the selection and finding duplicate rows, on explicit lists of rows.

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "tools/cell_pattern.h"
#include "tools/duplicate_rows.h"
#include "tools/fill_cells.h"
#include "tools/split_join.h"

namespace qv {
namespace {

using Rows = std::vector<int32_t>;
using Cells = std::vector<std::pair<GridCell, std::string>>;

Cells Listed(const CellTextList& list) {
    Cells cells;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        cells.emplace_back(list.CellAt(i), std::string(list.TextAt(i)));
    }
    return cells;
}

// Rows 1-3 of columns 1-2: "a" "b" / "" "b" / "\x82" (a lead byte alone) "x"; row 0 and
// column 0 hold texts a fill must never copy or write.
class ListToolsTest : public ::testing::Test {
protected:
    ListToolsTest() {
        const char* texts[4][3] = {
            {"0", "name", "kind"}, {"1", "a", "b"}, {"2", "", "b"}, {"3", "\x82", "x"}};
        for (int32_t row = 0; row < 4; ++row) {
            for (int32_t col = 0; col < 3; ++col) {
                grid_.SetCell(col, row, texts[row][col]);
            }
        }
    }
    TableGrid grid_{GridShape{3, 4, 1, 1, 64, 24}};
};

TEST_F(ListToolsTest, FillDownCopiesTheTopRowIntoTheChangedCellsOnly) {
    const Rows all{1, 2, 3}, single{2}, none{}, shown{1, 3};
    const struct {
        int32_t colBegin, colEnd;
        const Rows& rows;
        Cells filled;
    } cases[] = {
        {1, 3, all, {{{1, 2}, "a"}, {{1, 3}, "a"}, {{2, 3}, "b"}}},
        {0, 2, all, {{{1, 2}, "a"}, {{1, 3}, "a"}}},  // never the label column
        {1, 3, single, {}},
        {1, 3, none, {}},
        {1, 2, shown, {{{1, 3}, "a"}}},  // only the rows listed (a filter's shown rows)
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Listed(FillDownTexts(grid_, {c.colBegin, c.colEnd, c.rows})), c.filled);
    }
    const Rows fromInvalid{3, 1};  // the top cell's bytes are copied as they are
    EXPECT_EQ(Listed(FillDownTexts(grid_, {1, 2, fromInvalid})), (Cells{{{1, 1}, "\x82"}}));
    EXPECT_EQ(Listed(FillWithText(grid_, {0, 2, all}, "b")),
              (Cells{{{1, 1}, "b"}, {{1, 2}, "b"}, {{1, 3}, "b"}}));
}

TEST_F(ListToolsTest, DuplicateRowsKeepTheFirstOfEachKey) {
    grid_.SetCell(1, 2, "A");
    grid_.SetCell(1, 3, "\x82\x60");  // full-width "Ａ"
    grid_.SetCell(2, 3, "b");
    const Rows all{1, 2, 3}, single{3}, keys12{1, 2}, key2{2}, noKey{};
    const struct {
        const Rows& keys;
        const Rows& rows;
        KeyComparison comparison;
        Rows removed;
    } cases[] = {
        {keys12, all, KeyComparison::Exact, {}},   {keys12, all, KeyComparison::Loose, {2, 3}},
        {key2, all, KeyComparison::Exact, {2, 3}}, {key2, single, KeyComparison::Exact, {}},
        {noKey, all, KeyComparison::Exact, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DuplicateRows(grid_, c.keys, c.rows, c.comparison), c.removed);
    }
    // Keys are lists of cells, not their bytes run together.
    grid_.SetCell(1, 1, "ab");
    grid_.SetCell(2, 1, "");
    grid_.SetCell(1, 2, "a");
    grid_.SetCell(2, 2, "b");
    EXPECT_EQ(DuplicateRows(grid_, keys12, all, KeyComparison::Exact), Rows{});
    EXPECT_EQ(OrderMovingRowsToEnd(6, Rows{2, 4}).sources, (Rows{1, 3, 5, 2, 4}));
}

// Splits fall on character boundaries: "ソ" (83 5C) holds no "\\". A column splits into as
// many new ones as its most pieces, named after it; joining leaves empty cells out.
TEST_F(ListToolsTest, SplitAndJoinColumns) {
    using Pieces = std::vector<std::string_view>;
    const struct {
        std::string_view text, separator;
        SplitAt at;
        Pieces pieces;
    } cases[] = {
        {"a,b,,c", ",", SplitAt::EverySeparator, {"a", "b", "", "c"}},
        {"a,b,c", ",", SplitAt::FirstSeparator, {"a", "b,c"}},
        {"\x83\\x\\y", "\\", SplitAt::EverySeparator, {"\x83\\x", "y"}},
        {"abc", "", SplitAt::EverySeparator, {"abc"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitText(c.text, c.separator, c.at), c.pieces) << c.text;
    }
    grid_.SetCell(2, 1, "p,q,r");
    const Rows all{1, 2, 3}, none{};
    const SplitColumns split = SplitColumn(grid_, 2, all, ",", SplitAt::EverySeparator);
    EXPECT_EQ(split.count, 3);
    // Each new column as its texts down from row 0, the item name first.
    std::vector<std::string> columns;
    for (const auto& [col, column] : split.block.columns) {
        std::string texts = std::to_string(col);
        column.Visit(0, split.block.rowEnd,
                     [&](std::string_view t) { texts.append("|").append(t); });
        columns.push_back(texts);
    }
    EXPECT_EQ(columns, (std::vector<std::string>{"3|kind1|p|b|x", "4|kind2|q||", "5|kind3|r||"}));
    EXPECT_EQ(SplitColumn(grid_, 2, all, ";", SplitAt::EverySeparator).count, 0);
    EXPECT_EQ(SplitColumn(grid_, 2, none, ",", SplitAt::EverySeparator).count, 0);
    EXPECT_EQ(Listed(JoinedTexts(grid_, 1, 3, all, "/")),
              (Cells{{{1, 1}, "a/p,q,r"}, {{1, 2}, "b"}, {{1, 3}, "\x82/x"}}));
}

// Plain, loose and regular-expression patterns over CP932 cells; regexes see Unicode.
TEST(CellPatternTest, EachSyntaxMatchesCells) {
    const struct {
        const char* pattern;
        PatternOptions options;
        const char* cell;
        bool matches;
    } cases[] = {
        {"ab", {PatternSyntax::Plain}, "xAbx", false},
        {"ab",
         {PatternSyntax::Plain, MatchExtent::PartOfCell, LetterCase::Insensitive},
         "xAbx",
         true},
        {"ｱ", {PatternSyntax::Loose}, "\x82\xA0", true},               // あ
        {"^.{2}$", {PatternSyntax::Regex}, "\x82\xA0\x82\xA2", true},  // two characters
        {"い$", {PatternSyntax::Regex}, "\x82\xA0\x82\xA2", true},
        {"\\d+", {PatternSyntax::Regex, MatchExtent::WholeCell}, "12a", false},
        {"A", {PatternSyntax::Regex, MatchExtent::PartOfCell, LetterCase::Insensitive}, "a", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(CellPattern::FromUtf8(c.pattern, c.options)->Matches(c.cell), c.matches);
    }
    EXPECT_FALSE(CellPattern::FromUtf8("é", {PatternSyntax::Plain}));
    EXPECT_THROW(CellPattern::FromUtf8("(a", {PatternSyntax::Regex}), Failure);
    // A pattern that backtracks without end stops at the match limit instead of hanging.
    const auto runaway = CellPattern::FromUtf8("(a+)+$", {PatternSyntax::Regex});
    EXPECT_THROW(runaway->Matches(std::string(40, 'a') + "b"), Failure);
}

TEST(CellRegexTest, ReplacementsTakeGroupsAndLeaveBadCellsAlone) {
    const CellRegex regex("(\\w+)@(\\w+)", RegexCase::Sensitive, RegexExtent::PartOfText);
    EXPECT_EQ(regex.Replaced("ab@cd ef@gh", "$2.$1"), "cd.ab gh.ef");
    EXPECT_EQ(regex.Replaced("\x82\xA0@x", "[$1]"), "[\x82\xA0]");
    EXPECT_EQ(regex.Replaced("none", "$1"), std::nullopt);
    EXPECT_EQ(regex.Replaced("a@b\x82", "$1"), std::nullopt);  // not valid CP932: kept
    EXPECT_THROW(regex.Replaced("a@b", "é"), Failure);
}

}  // namespace
}  // namespace qv
