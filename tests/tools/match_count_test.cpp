#include "tools/match_count.h"

#include <gtest/gtest.h>

#include "table/table_grid.h"

namespace qv {
namespace {

TEST(MatchCountTest, ComparesTrimmedTextsByteForByte) {
    // Rows 1..7 written, 8 and 9 never; row 0, row 10 (beyond the count) and column 0 must not
    // count.
    TableGrid grid(GridShape{2, 10, 1, 1, 32, 18});
    const char* cells[] = {"abc", "  abc", "abc  ", "ABC", "a bc", "", "   "};
    for (int32_t row = 1; row <= 7; ++row) {
        grid.SetCell(1, row, cells[row - 1]);
    }
    grid.SetCell(1, 0, "abc");
    grid.SetCell(1, 10, "abc");
    grid.SetCell(0, 1, "abc");
    const struct {
        const char* search;
        int32_t count;
    } cases[] = {{"abc", 3},  {"  abc\t", 3}, {"ABC", 1},
                 {"a bc", 1}, {"ab", 0},      {"", 4},  // "", "   " and the two never-written rows
                 {" \t ", 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(CountMatchingCells(grid, 1, c.search), c.count) << '"' << c.search << '"';
    }
    EXPECT_EQ(CountMatchingCells(grid, 7, ""), 9);  // a column never written
    grid.SetRowCount(1);
    EXPECT_EQ(CountMatchingCells(grid, 1, ""), 0);
}

TEST(MatchCountTest, FullWidthBlankIsNotTrimmed) {
    TableGrid grid(GridShape{2, 6, 1, 1, 32, 18});
    const char* cells[] = {
        "\x81\x40"
        "abc",
        "abc\x81\x40", " \x81\x40 ", "\x81\x40", "\tabc\r\n"};
    for (int32_t row = 1; row <= 5; ++row) {
        grid.SetCell(1, row, cells[row - 1]);
    }
    EXPECT_EQ(CountMatchingCells(grid, 1, "abc"), 1);
    EXPECT_EQ(CountMatchingCells(grid, 1, "\x81\x40"), 2);
    EXPECT_EQ(CountMatchingCells(grid, 1, ""), 0);
}

TEST(MatchCountTest, Message) {
    EXPECT_EQ(MatchCountMessage(3), "3 件一致しました。");
    EXPECT_EQ(MatchCountMessage(0), "0 件一致しました。");
    EXPECT_EQ(MatchCountMessage(134217725), "134217725 件一致しました。");
}

}  // namespace
}  // namespace qv
