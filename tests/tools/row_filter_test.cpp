#include "tools/row_filter.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/failure.h"
#include "tools/cell_regex.h"

namespace qv {
namespace {

using Rows = std::vector<int32_t>;

// Columns 1 and 2 of rows 1..6, in UTF-8.
constexpr const char* kCells[][2] = {
    {"東京都", "\\1,200"}, {"ﾄｳｷｮｳ", "300"}, {"", "abc"},
    {"大阪府", ""},        {"ソ", "-5e1"},   {"Tokyo 東京", "1,200円"},
};

std::unique_ptr<TableGrid> MakeGrid() {
    auto grid = std::make_unique<TableGrid>(GridShape{3, 7, 1, 1, 32, 18});
    for (int32_t row = 1; row <= 6; ++row) {
        for (int32_t col = 1; col <= 2; ++col) {
            grid->SetCell(col, row, *Utf8ToCp932(kCells[row - 1][col - 1]));
        }
    }
    return grid;
}

struct Case {
    int32_t col;
    FilterTest test;
    const char* value;  // UTF-8
    FilterMatching matching;
    Rows shown;
};

TEST(RowFilterTest, ShowsTheRowsMeetingEachTest) {
    constexpr auto X = FilterMatching::Exact;
    constexpr auto L = FilterMatching::Loose;
    using T = FilterTest;
    const Case cases[] = {
        {1, T::Contains, "東京", X, {1, 6}},
        {1, T::Contains, "とうきょう", L, {2}},
        {1, T::Contains, "\\", X, {}},                // never the second byte of ソ
        {1, T::Contains, "", X, {1, 2, 3, 4, 5, 6}},  // no value yet: every row
        {1, T::Equals, "東京都", X, {1}},
        {1, T::Equals, "tokyo 東京", L, {6}},
        {1, T::StartsWith, "大阪", X, {4}},
        {1, T::EndsWith, "京", X, {6}},
        {1, T::EndsWith, "ｮｳ", X, {2}},
        {1, T::NotContains, "東京", X, {2, 3, 4, 5}},
        {1, T::Empty, "", X, {3}},
        {2, T::NotEmpty, "", X, {1, 2, 3, 5, 6}},
        {1, T::Regex, "^[東大]", X, {1, 4}},
        {1, T::Regex, "tokyo", L, {6}},
        {2, T::NumberEqual, "1200", X, {1, 6}},
        {2, T::NumberEqual, "１，２００円", X, {1, 6}},  // numbers as Japanese lists write them
        {2, T::NumberNotEqual, "1200", X, {2, 5}},
        {2, T::Greater, "300", X, {1, 6}},
        {2, T::GreaterOrEqual, "300", X, {1, 2, 6}},
        {2, T::Less, "0", X, {5}},
        {2, T::LessOrEqual, "\\300", X, {2, 5}},
        {2, T::Less, "abc", X, {1, 2, 3, 4, 5, 6}},  // no number yet: every row
        // Every column: some cell passes; the negative forms: no cell passes.
        {kAnyFilterColumn, T::Contains, "b", X, {3}},
        {kAnyFilterColumn, T::NotContains, "1", X, {2, 3, 4}},
        {kAnyFilterColumn, T::Empty, "", X, {}},
        {kAnyFilterColumn, T::NumberEqual, "300", X, {2}},
    };
    const auto table = MakeGrid();
    const TableGrid& grid = *table;
    for (const Case& c : cases) {
        const std::string value =
            c.test == FilterTest::Regex ? std::string(c.value) : *Utf8ToCp932(c.value);
        const RowFilter filter({{c.col, c.test, value}}, c.matching);
        EXPECT_EQ(filter.ShownRows(grid), c.shown)
            << FilterTestCaption(c.test) << " " << c.value << " col " << c.col;
        for (int32_t row = 1; row <= 6; ++row) {
            const bool shown = std::find(c.shown.begin(), c.shown.end(), row) != c.shown.end();
            EXPECT_EQ(filter.Meets(grid, row), shown) << c.value << " row " << row;
        }
    }
}

TEST(RowFilterTest, EveryConditionMustBeMet) {
    const RowFilter filter({{1, FilterTest::Contains, *Utf8ToCp932("京")},
                            {2, FilterTest::Greater, "1000"},
                            {kAnyFilterColumn, FilterTest::NotContains, "Tokyo"}},
                           FilterMatching::Exact);
    EXPECT_EQ(filter.ShownRows(*MakeGrid()), Rows{1});
    // Over more rows than a word of the filter's row set holds, ending inside a word.
    TableGrid grid(GridShape{3, 200, 1, 1, 32, 18});
    Rows expected;
    for (int32_t row = 1; row < 200; ++row) {
        grid.SetCell(1, row, row % 3 == 0 ? "x" : "-");
        grid.SetCell(2, row, row % 5 == 0 ? "y" : "");
        if (row % 3 == 0 && row % 5 != 0) {
            expected.push_back(row);
        }
    }
    const RowFilter twoTests({{1, FilterTest::Contains, "x"}, {2, FilterTest::NotContains, "y"}},
                             FilterMatching::Exact);
    EXPECT_EQ(twoTests.ShownRows(grid), expected);
}

TEST(RowFilterTest, BadOrRunawayRegularExpressions) {
    EXPECT_THROW(RowFilter({{1, FilterTest::Regex, "(ab"}}, FilterMatching::Exact), Failure);
    TableGrid grid(GridShape{2, 3, 1, 1, 32, 18});
    grid.SetCell(1, 1, std::string(40, 'a') + "!");
    grid.SetCell(1, 2, "aaa");
    const RowFilter filter({{1, FilterTest::Regex, "^(a+)+$"}}, FilterMatching::Exact);
    EXPECT_EQ(filter.ShownRows(grid), Rows{2});
    EXPECT_TRUE(filter.StoppedAny());
}

}  // namespace
}  // namespace qv
