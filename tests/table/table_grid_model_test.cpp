// Random sequences of grid operations run against the real grid and against a plain dense
// reference written from the rules; after every step both must agree on everything visible and
// everything stored.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "support/grid_fixtures.h"
#include "table/cell_column.h"
#include "table/table_grid.h"

namespace qv {
namespace {

constexpr int kCols = 9;  // capacity of the reference: every stored cell lies inside it
int kRows = 70;           // raised by the long-column run to cross block boundaries

struct ReferenceGrid {
    std::vector<std::vector<std::string>> cells =
        std::vector<std::vector<std::string>>(kCols, std::vector<std::string>(kRows));
    int colCount = 3, rowCount = 6, fixedCols = 1, fixedRows = 1;
    int defaultWidth = 32, defaultHeight = 18;
    std::vector<int> widths = {32, 153, 69};
    std::vector<int> heights = std::vector<int>(6, 18);
    GridCell current{1, 1}, anchor{1, 1};

    void SetCount(bool columns, int n) {
        int& count = columns ? colCount : rowCount;
        if (n == count) {
            return;
        }
        n = std::max(n, 1);
        int& fixed = columns ? fixedCols : fixedRows;  // NOLINT
        if (fixed >= n) {
            fixed = n - 1;
            current = anchor = GridCell{fixedCols, fixedRows};
        }
        std::vector<int>& sizes = columns ? widths : heights;
        const int def = columns ? defaultWidth : defaultHeight;
        if (n > count) {
            sizes[static_cast<size_t>(count - 1)] = def;
        }
        sizes.resize(static_cast<size_t>(n), def);
        const bool changed = count != n;
        count = n;
        int& position = columns ? current.col : current.row;
        position = std::min(position, n - 1);
        if (changed) {
            anchor = current;
        }
    }

    static void Follow(int32_t& p, int from, int to) {
        if (p == from) {
            p = to;
        } else if (from < to && p > from && p <= to) {
            --p;
        } else if (from > to && p >= to && p < from) {
            ++p;
        }
    }

    template <class T>
    static void MoveItem(std::vector<T>& items, int from, int to) {
        T moved = items[static_cast<size_t>(from)];
        items.erase(items.begin() + from);
        items.insert(items.begin() + to, moved);
    }

    void MoveRow(int from, int to) {
        if (from == to) {
            return;
        }
        for (auto& column : cells) {
            MoveItem(column, from, to);
        }
        MoveItem(heights, from, to);
        Follow(current.row, from, to);
        Follow(anchor.row, from, to);
    }

    void MoveColumn(int from, int to) {
        if (from == to) {
            return;
        }
        MoveItem(cells, from, to);
        MoveItem(widths, from, to);
        Follow(current.col, from, to);
        Follow(anchor.col, from, to);
    }

    void InsertEmptyRow(int i, int end, int cb, int ce) {
        for (int c = cb; c < std::min(ce, kCols); ++c) {
            for (int s = end - 1; s > i; --s) {
                cells[c][s] = cells[c][s - 1];
            }
            cells[c][i].clear();
        }
    }

    void RemoveRowShiftingUp(int r, int end, int cb, int ce) {
        for (int c = cb; c < std::min(ce, kCols); ++c) {
            for (int s = r + 1; s < end; ++s) {
                cells[c][s - 1] = cells[c][s];
            }
        }
    }
};

class GridModelCheck {
public:
    explicit GridModelCheck(uint32_t seed) : random_(seed), grid_(test::MainGridShape()) {
        test::MakeInitialTable(grid_);
    }

    void Run(int steps) {
        for (int step = 0; step < steps; ++step) {
            RandomStep();
            ASSERT_NO_FATAL_FAILURE(Compare()) << "after step " << step << ": " << last_;
        }
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string RandomText() {
        static const std::vector<std::string> texts = {
            "",
            "a",
            "\x94\x83\x82\xA2\x95\xA8",
            " x ",
            "\x5C"
            "1,200",
            "\xFF\xFE",
            "0",
            "long text "
            "that is longer than the small string buffer of a std::string"};
        return texts[static_cast<size_t>(Pick(0, static_cast<int>(texts.size()) - 1))];
    }

    void RandomStep() {
        switch (Pick(0, 11)) {
            case 0: {
                const int n = Pick(-1, kCols - 1);
                last_ = "ColCount " + std::to_string(n);
                grid_.SetColCount(n);
                ref_.SetCount(true, n);
                break;
            }
            case 1: {
                const int n = Pick(-1, kRows - 10);
                last_ = "RowCount " + std::to_string(n);
                grid_.SetRowCount(n);
                ref_.SetCount(false, n);
                break;
            }
            case 2: {
                const int from = Pick(0, ref_.rowCount - 1), to = Pick(0, ref_.rowCount - 1);
                last_ = "MoveRow " + std::to_string(from) + " " + std::to_string(to);
                grid_.MoveRow(from, to);
                ref_.MoveRow(from, to);
                break;
            }
            case 3: {
                const int from = Pick(0, ref_.colCount - 1), to = Pick(0, ref_.colCount - 1);
                last_ = "MoveColumn " + std::to_string(from) + " " + std::to_string(to);
                grid_.MoveColumn(from, to);
                ref_.MoveColumn(from, to);
                break;
            }
            case 4: {
                const int end = ref_.rowCount, i = Pick(0, end - 1);
                last_ = "InsertEmptyRow " + std::to_string(i);
                grid_.InsertEmptyRow(i, end, 1, ref_.colCount);
                ref_.InsertEmptyRow(i, end, 1, ref_.colCount);
                break;
            }
            case 5: {
                const int end = ref_.rowCount, r = Pick(0, end - 1);
                last_ = "RemoveRowShiftingUp " + std::to_string(r);
                grid_.RemoveRowShiftingUp(r, end, 1, ref_.colCount);
                ref_.RemoveRowShiftingUp(r, end, 1, ref_.colCount);
                break;
            }
            case 6: {
                last_ = "ClearCells";
                grid_.ClearCells(0, ref_.rowCount, 1, ref_.colCount);
                for (int c = 1; c < ref_.colCount; ++c) {
                    for (int r = 0; r < ref_.rowCount; ++r) {
                        ref_.cells[c][r].clear();
                    }
                }
                break;
            }
            case 7: {
                last_ = "WriteRowLabels";
                grid_.WriteRowLabels(1, ref_.rowCount);
                for (int r = 1; r < ref_.rowCount; ++r) {
                    ref_.cells[0][r] = std::string(cell_handle::LabelText(r));
                }
                break;
            }
            case 8: {
                const int c = Pick(0, ref_.colCount - 1), w = Pick(-3, 200);
                last_ = "SetColWidth";
                grid_.SetColWidth(c, w);
                ref_.widths[static_cast<size_t>(c)] = w;
                const int r = Pick(0, ref_.rowCount - 1), h = Pick(0, 60);
                grid_.SetRowHeight(r, h);
                ref_.heights[static_cast<size_t>(r)] = h;
                break;
            }
            case 9: {
                const GridCell cell{Pick(0, ref_.colCount - 1), Pick(0, ref_.rowCount - 1)};
                const bool extend = Pick(0, 1) == 1;
                last_ = "SetCurrentCell";
                const bool selectable = cell.col >= ref_.fixedCols && cell.row >= ref_.fixedRows;
                EXPECT_EQ(grid_.SetCurrentCell(cell, extend ? TableGrid::Selection::Extend
                                                            : TableGrid::Selection::Collapse),
                          selectable);
                if (selectable) {
                    ref_.current = cell;
                    if (!extend) {
                        ref_.anchor = cell;
                    }
                }
                break;
            }
            default: {                                // writes anywhere, beyond the counts too
                const bool runOfRows = kRows > 1000;  // long columns get dense blocks
                const int first = Pick(0, kRows - 1);
                for (int k = 0; k < (runOfRows ? 400 : 4); ++k) {
                    const int c = runOfRows ? first % kCols : Pick(0, kCols - 1);
                    const int r = runOfRows ? (first + k) % kRows : Pick(0, kRows - 1);
                    const std::string text = RandomText();
                    last_ = "SetCell";
                    grid_.SetCell(c, r, text);
                    ref_.cells[c][r] = text;
                }
                break;
            }
        }
    }

    void Compare() {
        ASSERT_EQ(grid_.ColCount(), ref_.colCount);
        ASSERT_EQ(grid_.RowCount(), ref_.rowCount);
        ASSERT_EQ(grid_.FixedCols(), ref_.fixedCols);
        ASSERT_EQ(grid_.FixedRows(), ref_.fixedRows);
        ASSERT_EQ(grid_.Current(), ref_.current);
        ASSERT_EQ(grid_.Anchor(), ref_.anchor);
        for (int c = 0; c < kCols; ++c) {
            ASSERT_EQ(grid_.ColWidth(c), c < ref_.colCount ? ref_.widths[c] : 32) << c;
            for (int r = 0; r < kRows; ++r) {
                ASSERT_EQ(grid_.Cell(c, r), ref_.cells[c][r]) << "cell " << c << "," << r;
            }
            std::vector<std::string> visited;
            grid_.VisitColumn(c, 0, kRows, [&](std::string_view t) { visited.emplace_back(t); });
            ASSERT_EQ(visited, ref_.cells[c]) << "column " << c;
        }
        for (int r = 0; r < kRows; ++r) {
            ASSERT_EQ(grid_.RowHeight(r), r < ref_.rowCount ? ref_.heights[r] : 18) << r;
        }
    }

    std::mt19937 random_;
    TableGrid grid_;
    ReferenceGrid ref_;
    std::string last_;
};

TEST(TableGridModelTest, RandomOperationSequencesAgreeWithTheReference) {
    kRows = 70;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        GridModelCheck check(seed);
        ASSERT_NO_FATAL_FAILURE(check.Run(400));
    }
}

// Columns longer than a storage block, so that moves and shifts cross block boundaries.
TEST(TableGridModelTest, LongColumnsAgreeWithTheReference) {
    kRows = 3 * CellColumn::kBlockSize + 50;
    for (uint32_t seed = 100; seed <= 103; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        GridModelCheck check(seed);
        ASSERT_NO_FATAL_FAILURE(check.Run(250));
    }
    kRows = 70;
}

}  // namespace
}  // namespace qv
