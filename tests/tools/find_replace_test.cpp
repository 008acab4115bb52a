// Find and replace over the cells' CP932 bytes.

#include <tuple>

#include "expect_failure.h"
#include "table/cell_text_list.h"
#include "tools/cell_replace.h"
#include "tools/cell_search.h"

namespace qv {
namespace {

constexpr auto kPart = MatchExtent::PartOfCell;
constexpr auto kWhole = MatchExtent::WholeCell;
constexpr auto kSame = LetterCase::Sensitive;
constexpr auto kFold = LetterCase::Insensitive;
constexpr auto kNone = std::string_view::npos;

// In the texts below "\x83\\" is "ソ" and "\x95\\" is "表" (second byte 0x5C), "\x83" "A" is
// "ア" and "\x83" "a" is "ヂ" (second bytes 'A' and 'a'), "\xB1" is the half-width "ｱ".
TEST(CellMatcherTest, MatchesStartOnCharacterBoundaries) {
    // clang-format off
    const std::tuple<std::string_view, std::string_view, MatchExtent, LetterCase, std::size_t> cases[] = {
        {"\x83\\", "\\", kPart, kSame, kNone}, {"\x83\\\\", "\\", kPart, kSame, 2},
        {"\x95\\\x83\\", "\\", kPart, kSame, kNone}, {"a\\", "\\", kPart, kSame, 1},
        {"\xB1\\", "\\", kPart, kSame, 1}, {"\x83\\" "1", "\\1", kPart, kSame, kNone},
        {"\x83\\" "1\\1", "\\1", kPart, kSame, 3}, {"\x83\\", "\x83\\", kWhole, kSame, 0},
        {"xABCabc", "abc", kPart, kSame, 4}, {"xABCabc", "abc", kPart, kFold, 1},
        {"\x83" "A", "A", kPart, kSame, kNone}, {"\x83" "A", "a", kPart, kFold, kNone},
        {"\x83" "AA", "a", kPart, kFold, 2}, {"\x83" "a", "\x83" "A", kPart, kFold, kNone},
        {"\x83\\\\", "\\", kPart, kFold, 2}, {"\x83" "aA", "\x83" "aa", kPart, kFold, 0},
        {"abc", "abc", kWhole, kSame, 0}, {"abc ", "abc", kWhole, kSame, kNone},
        {"xabc", "abc", kWhole, kSame, kNone}, {"ABC", "abc", kWhole, kFold, 0},
        {"ab", "abc", kPart, kSame, kNone}, {"", "", kWhole, kSame, kNone},
        {"abc", "", kPart, kSame, kNone}, {"\x83\\", "\x83", kPart, kSame, kNone},
    };
    // clang-format on
    for (const auto& [cell, text, extent, letterCase, first] : cases) {
        const CellMatcher matcher(text, SearchOptions{extent, letterCase});
        EXPECT_EQ(matcher.Find(cell), first) << cell << " / " << text;
        EXPECT_EQ(matcher.Matches(cell), first != kNone) << cell << " / " << text;
    }
    EXPECT_TRUE(CellMatcher("", {}).FindsNothing());
    EXPECT_TRUE(CellMatcher("a\x83", {}).FindsNothing());  // ends inside a character
}

// Data cells of columns 1 to 3, rows 1 to 3; the item names and the row labels hold matches
// that are never found.
class FindTest : public ::testing::Test {
protected:
    FindTest() {
        int32_t i = 0;
        for (const char* text : {"x", "", "ax", "", "X", "", "x", "", ""}) {
            grid_.SetCell(i % 3 + 1, i / 3 + 1, text);
            ++i;
        }
        grid_.SetCell(2, 0, "x");
        grid_.SetCell(0, 2, "x");
        grid_.SetCell(4, 2, "x");  // beyond ColCount
    }
    std::optional<FoundCell> Next(GridCell from, SearchDirection direction, LetterCase letterCase,
                                  const SearchArea& area) {
        return FindNextCell(grid_, CellMatcher("x", {kPart, letterCase}), area, from, direction);
    }

    TableGrid grid_{GridShape{4, 4, 1, 1, 32, 18}};
};

TEST_F(FindTest, NextAndPreviousInRowOrderWrapAround) {
    using G = GridCell;
    constexpr auto kFwd = SearchDirection::Forward, kBack = SearchDirection::Backward;
    const SearchArea all = WholeTableArea(grid_), c0 = ColumnArea(grid_, 0),
                     c1 = ColumnArea(grid_, 1), c2 = ColumnArea(grid_, 2),
                     c3 = ColumnArea(grid_, 3), c4 = ColumnArea(grid_, 4);
    // clang-format off
    const std::tuple<G, SearchDirection, LetterCase, SearchArea, std::optional<G>, bool> cases[] = {
        {{1, 1}, kFwd, kSame, all, G{3, 1}, false}, {{3, 1}, kFwd, kSame, all, G{1, 3}, false},
        {{1, 3}, kFwd, kSame, all, G{1, 1}, true}, {{1, 1}, kBack, kSame, all, G{1, 3}, true},
        {{1, 3}, kBack, kSame, all, G{3, 1}, false}, {{3, 1}, kFwd, kFold, all, G{2, 2}, false},
        {{1, 3}, kBack, kFold, all, G{2, 2}, false}, {{3, 1}, kFwd, kSame, c3, G{3, 1}, true},
        {{3, 1}, kBack, kSame, c3, G{3, 1}, true}, {{2, 1}, kFwd, kSame, c1, G{1, 3}, false},
        {{2, 3}, kFwd, kSame, c1, G{1, 1}, true}, {{1, 1}, kFwd, kSame, c2, std::nullopt, false},
        {{1, 1}, kFwd, kSame, c0, std::nullopt, false}, {{1, 1}, kFwd, kSame, c4, std::nullopt, false}};
    // clang-format on
    for (const auto& [from, direction, letterCase, area, cell, wrapped] : cases) {
        const std::optional<FoundCell> found = Next(from, direction, letterCase, area);
        EXPECT_EQ(found ? std::optional(std::pair(found->cell, found->wrapped)) : std::nullopt,
                  cell ? std::optional(std::pair(*cell, wrapped)) : std::nullopt)
            << from.col << "," << from.row;
    }
    const auto count = [this](LetterCase letterCase, const SearchArea& area) {
        return CountMatchingCellsIn(grid_, CellMatcher("x", {kPart, letterCase}), area);
    };
    EXPECT_EQ(count(kSame, all), 3);
    EXPECT_EQ(count(kFold, all), 4);
    EXPECT_EQ(count(kFold, c1), 2);
    EXPECT_EQ(CountMatchingCellsIn(grid_, CellMatcher("x", {kWhole, kFold}), all), 3);
}

// A huge, nearly empty table: only stored texts cost anything, so this ends at once.
TEST(FindHugeTableTest, EmptyCellsCostNothing) {
    TableGrid grid(GridShape{1'000'000, 100'000'000, 1, 1, 32, 18});
    grid.SetCell(500'000, 50'000'000, "needle");
    grid.SetCell(7, 3, "hay");
    const CellMatcher matcher("needle", {});
    for (auto direction : {SearchDirection::Forward, SearchDirection::Backward}) {
        const auto found = FindNextCell(grid, matcher, WholeTableArea(grid), {1, 1}, direction);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->cell, (GridCell{500'000, 50'000'000}));
    }
    EXPECT_EQ(CountMatchingCellsIn(grid, matcher, WholeTableArea(grid)), 1);
}

TEST(ReplaceTest, ReplacedTexts) {
    using Sv = std::string_view;
    // clang-format off
    const std::tuple<Sv, Sv, SearchOptions, Sv, std::optional<std::string>> cases[] = {
        {"\x83\\\x95\\\\", "\\", {kPart, kSame}, "/", "\x83\\\x95\\/"},
        {"aXbxx", "x", {kPart, kFold}, "yy", "ayybyyyy"}, {"aaa", "aa", {kPart, kSame}, "b", "ba"},
        {"abc", "abc", {kWhole, kSame}, "", ""}, {"abcabc", "abc", {kWhole, kSame}, "z", std::nullopt},
        {"\x83\\", "\\", {kPart, kSame}, "z", std::nullopt},
    };
    // clang-format on
    for (const auto& [cell, text, options, replacement, result] : cases) {
        EXPECT_EQ(ReplacedCellText(cell, CellMatcher(text, options), replacement), result) << cell;
    }
}

TEST_F(FindTest, ReplaceAllCountsTheCellsChangedAndIsUndoneByExchangingBack) {
    const auto texts = [this] {
        std::vector<std::string> all;
        for (int32_t i = 0; i < 20; ++i) {
            all.push_back(grid_.CellText(i % 5, i / 5));  // rows 0 to 3, columns 0 to 4
        }
        return all;
    };
    const std::vector<std::string> before = texts();
    const CellMatcher matcher("x", {kPart, kFold});
    for (const std::string_view refused : {"a\rb", "\x1A"}) {
        EXPECT_FAILS(ReplaceInCells(grid_, matcher, WholeTableArea(grid_), refused),
                     kReplacementRefusedMessage);
    }
    EXPECT_EQ(texts(), before);
    // "X" -> "x" changes one cell; the three cells that hold "x" already stay as they are.
    EXPECT_EQ(ReplaceInCells(grid_, matcher, WholeTableArea(grid_), "x").Size(), 1u);
    CellTextList changes = ReplaceInCells(grid_, matcher, WholeTableArea(grid_), "\x83\\");
    EXPECT_EQ(changes.Size(), 4u);
    EXPECT_EQ(grid_.CellText(3, 1), "a\x83\\");
    EXPECT_EQ(grid_.CellText(2, 0), "x");  // item names and labels are not replaced
    EXPECT_EQ(grid_.CellText(0, 2), "x");
    const std::vector<std::string> after = texts();
    grid_.ExchangeCellTexts(changes);
    grid_.SetCell(2, 2, "X");
    EXPECT_EQ(texts(), before);
    grid_.SetCell(2, 2, "x");
    grid_.ExchangeCellTexts(changes);
    EXPECT_EQ(texts(), after);
    // Replace one: the area of one cell.
    EXPECT_EQ(ReplaceInCells(grid_, CellMatcher("\\", {}), SearchArea{3, 4, 1, 2}, "!").Size(), 0u);
    EXPECT_EQ(ReplaceInCells(grid_, CellMatcher("a", {}), SearchArea{3, 4, 1, 2}, "").Size(), 1u);
    EXPECT_EQ(grid_.CellText(3, 1), "\x83\\");
}

}  // namespace
}  // namespace qv
