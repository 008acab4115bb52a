#include "table/shown_rows.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

using Rows = std::vector<int32_t>;

Rows Of(const ShownRows& shown) {
    return Rows(shown.Rows().begin(), shown.Rows().end());
}

// Display rows map to table rows and back: the fixed row, then the shown rows in order.
TEST(ShownRowsTest, MapsDisplayRowsAndFollowsTheTablesRows) {
    ShownRows shown;
    EXPECT_EQ(shown.TableRow(7, 1), 7);  // no filter: every row as it is
    EXPECT_EQ(shown.DisplayCount(10, 1), 10);
    shown.Show({2, 5, 9});
    EXPECT_EQ(shown.DisplayCount(10, 1), 4);
    const int32_t tableRows[] = {0, 2, 5, 9};
    for (int32_t display = 0; display < 4; ++display) {
        EXPECT_EQ(shown.TableRow(display, 1), tableRows[display]);
        EXPECT_EQ(shown.DisplayRow(tableRows[display], 1), display);
    }
    EXPECT_EQ(shown.DisplayRow(3, 1), std::nullopt);
    EXPECT_EQ(shown.NearestDisplayRow(3, 1), 2);   // the next shown row, row 5
    EXPECT_EQ(shown.NearestDisplayRow(10, 1), 3);  // none after: the last
    EXPECT_EQ(Rows(shown.RowsIn(3, 9).begin(), shown.RowsIn(3, 9).end()), Rows{5});

    shown.RowInserted(5);  // shown, and the rows from 5 move down
    EXPECT_EQ(Of(shown), (Rows{2, 5, 6, 10}));
    EXPECT_EQ(shown.RowRemoved(3), ShownRows::Visibility::Hidden);
    EXPECT_EQ(Of(shown), (Rows{2, 4, 5, 9}));
    EXPECT_EQ(shown.RowRemoved(4), ShownRows::Visibility::Shown);
    EXPECT_EQ(Of(shown), (Rows{2, 4, 8}));
    const int32_t reversed[] = {8, 7, 6, 5, 4, 3, 2, 1};  // rows 1..8 reversed: a sort
    shown.RowsPermuted(1, reversed);
    EXPECT_EQ(Of(shown), (Rows{1, 5, 7}));
    shown.ShowAll();
    EXPECT_FALSE(shown.Filtered());
}

}  // namespace
}  // namespace qv
