// The table grid: worked examples of its rules, then
// random sequences of operations run against the real grid and against a plain dense reference
// written from the rules; after every step both must agree on everything visible and stored.

#include <algorithm>
#include <numeric>
#include <random>
#include <tuple>

#include "expect_failure.h"
#include "table/cell_column.h"
#include "table/main_table_shape.h"
#include "table/table_file_reader.h"
#include "table/table_grid.h"

namespace qv {
namespace {

using Sizes = std::vector<int32_t>;

std::string Text(int32_t col, int32_t row) {
    return std::to_string(col) + ":" + std::to_string(row);
}

class TableGridTest : public ::testing::Test {
protected:
    TableGridTest() : grid(kMainTableShape) { SetMainTableColWidths(grid); }
    TableGrid grid;
};

TEST_F(TableGridTest, TooLargeCountsAndWidthsBeyondTheCountAreRefused) {
    grid.SetCurrentCell({2, 3});
    for (int32_t n : {kGridCountLimit, kGridCountLimit + 1, INT32_MAX}) {
        EXPECT_FAILS(grid.SetRowCount(n), "ｸﾞﾘｯﾄﾞが大きすぎます");
        EXPECT_FAILS(grid.SetColCount(n), "ｸﾞﾘｯﾄﾞが大きすぎます");
    }
    EXPECT_FAILS(grid.SetColWidth(3, 50), "ｸﾞﾘｯﾄﾞｲﾝﾃﾞｯｸｽ が範囲を超えています");
    EXPECT_EQ((Sizes{grid.RowCount(), grid.ColCount(), grid.ColWidth(1), grid.ColWidth(2)}),
              (Sizes{6, 3, 153, 69}));
    EXPECT_EQ(grid.Current(), (GridCell{2, 3}));
    grid.SetRowCount(kGridCountLimit - 1);  // the largest allowed count costs nothing per row
    EXPECT_EQ(grid.RowHeight(kGridCountLimit - 2), 18);
}

struct RecordingObserver : TableGridObserver {
    void CellChanged(int32_t c, int32_t r) override { log.push_back("cell " + Text(c, r)); }
    void CurrentCellChanged(GridCell p) override { log.push_back("current " + Text(p.col, p.row)); }
    void RowMoved(int32_t from, int32_t to) override { log.push_back("moved " + Text(from, to)); }
    std::vector<std::string> log;
};

// Observers hear of row moves, of the current cell and of single writes, until removed.
TEST_F(TableGridTest, ObserversHearOfMovesCurrentCellsAndWrites) {
    grid.SetCurrentCell({1, 5});
    RecordingObserver observer;
    grid.AddObserver(&observer);
    grid.MoveRow(5, 2);
    grid.MoveColumn(2, 1);
    grid.MoveRow(3, 3);  // dropped on itself: nothing
    grid.SetCell(2, 3, "x");
    grid.RemoveObserver(&observer);
    grid.SetCell(1, 1, "unheard");
    EXPECT_EQ(observer.log,
              (std::vector<std::string>{"current 1:5", "moved 5:2", "current 1:2", "cell 2:3"}));
}

TEST_F(TableGridTest, BulkCellsStayInTheirBuffer) {
    auto buffer = std::make_shared<std::string>("alpha\rbeta\r\r\xE8\x9F\r");
    BulkCells bulk(buffer, 3);  // the third column receives no text at all
    for (auto [col, from, size] : {std::tuple{0, 0, 5}, {1, 6, 4}, {0, 11, 0}, {1, 12, 2}}) {
        bulk.Append(col, std::string_view(buffer->data() + from, size));
    }
    for (int32_t r = 0; r < 8; ++r) {
        for (int32_t c = 0; c < 5; ++c) {
            grid.SetCell(c, r, Text(c, r));
        }
    }
    grid.ReplaceCells(1, 0, 6, std::move(bulk));
    EXPECT_EQ(grid.Cell(1, 0).data(), buffer->data());  // in place, not copied
    // Texts from the bulk, "" to the end of the range (in the bulk's third column too), the rest
    // untouched.
    EXPECT_EQ(
        (std::vector{grid.Cell(1, 0), grid.Cell(2, 0), grid.Cell(1, 1), grid.Cell(2, 1),
                     grid.Cell(1, 5), grid.Cell(3, 2), grid.Cell(1, 7), grid.Cell(4, 2)}),
        (std::vector<std::string_view>{"alpha", "beta", "", "\xE8\x9F", "", "", "1:7", "4:2"}));
}

constexpr int kCols = 9;  // capacity of the reference: every stored cell lies inside it
int kRows = 70;           // raised by the long-column run to cross block boundaries
using Selection = TableGrid::Selection;

// TableGrid's operations on a vector of columns; axis 0 is the columns, 1 the rows.
struct ReferenceGrid {
    std::vector<std::vector<std::string>> cells =
        std::vector<std::vector<std::string>>(kCols, std::vector<std::string>(kRows));
    int count[2] = {3, 6}, fixed[2] = {1, 1}, defaultSize[2] = {32, 18};
    std::vector<int> sizes[2] = {{32, 153, 69, 32, 32, 32, 32, 32, 32},
                                 std::vector<int>(kRows, 18)};
    GridCell current{1, 1}, anchor{1, 1};

    static int32_t& On(GridCell& cell, int axis) { return axis == 0 ? cell.col : cell.row; }

    void SetCount(int axis, int n) {
        n = std::max(n, 1);
        if (n == count[axis]) {
            return;
        }
        if (fixed[axis] >= n) {
            fixed[axis] = n - 1;
            current = GridCell{fixed[0], fixed[1]};
        }
        // Lines beyond the count have the default size; growing also resets the former last one.
        const int reset = n > count[axis] ? count[axis] - 1 : n;
        std::fill(sizes[axis].begin() + reset, sizes[axis].end(), defaultSize[axis]);
        count[axis] = n;
        On(current, axis) = std::min(On(current, axis), n - 1);
        anchor = current;  // a changed count collapses the selection
    }
    void SetColCount(int n) { SetCount(0, n); }
    void SetRowCount(int n) { SetCount(1, n); }

    template <class T>
    static void MoveItem(std::vector<T>& items, int from, int to) {
        T moved = items[from];
        items.erase(items.begin() + from);
        items.insert(items.begin() + to, moved);
    }
    void Move(int axis, int from, int to) {
        if (axis == 0) {
            MoveItem(cells, from, to);
        } else {
            std::for_each(cells.begin(), cells.end(), [&](auto& col) { MoveItem(col, from, to); });
        }
        MoveItem(sizes[axis], from, to);
        for (int32_t* p : {&On(current, axis), &On(anchor, axis)}) {
            const bool between = std::min(from, to) <= *p && *p <= std::max(from, to);
            *p = *p == from ? to : between ? *p + (from < to ? -1 : 1) : *p;
        }
    }
    void MoveColumn(int from, int to) { Move(0, from, to); }
    void MoveRow(int from, int to) { Move(1, from, to); }

    void InsertEmptyRow(int i, int end, int cb, int ce) {
        for (int c = cb; c < ce; ++c) {
            std::rotate(cells[c].begin() + i, cells[c].begin() + end - 1, cells[c].begin() + end);
            cells[c][i].clear();
        }
    }
    void RemoveRowShiftingUp(int r, int end, int cb, int ce) {
        for (int c = cb; c < ce; ++c) {
            std::copy(cells[c].begin() + r + 1, cells[c].begin() + end, cells[c].begin() + r);
        }
    }
    void ClearCells(int rb, int re, int cb, int ce) {
        for (int c = cb; c < ce; ++c) {
            std::fill(cells[c].begin() + rb, cells[c].begin() + re, "");
        }
    }
    void WriteRowLabels(int rb, int re) {
        for (int r = rb; r < re; ++r) {
            const std::string label = "  " + std::to_string(r);
            cells[0][r] = label.substr(label.size() - 3);
        }
    }
    void SetColWidth(int c, int w) { sizes[0][c] = w; }
    void SetRowHeight(int r, int h) { sizes[1][r] = h; }
    void SetCell(int c, int r, const std::string& text) { cells[c][r] = text; }
    bool SetCurrentCell(GridCell cell, Selection how) {
        const bool selectable = cell.col >= fixed[0] && cell.row >= fixed[1];
        anchor = selectable && how == Selection::Collapse ? cell : anchor;
        current = selectable ? cell : current;
        return selectable;
    }
};

void Compare(const TableGrid& grid, const ReferenceGrid& ref) {
    ASSERT_EQ((std::vector{grid.ColCount(), grid.RowCount(), grid.FixedCols(), grid.FixedRows(),
                           grid.Col(), grid.Row(), grid.Anchor().col, grid.Anchor().row}),
              (std::vector{ref.count[0], ref.count[1], ref.fixed[0], ref.fixed[1], ref.current.col,
                           ref.current.row, ref.anchor.col, ref.anchor.row}));
    for (int c = 0; c < kCols; ++c) {
        ASSERT_EQ(grid.ColWidth(c), ref.sizes[0][c]) << c;
        std::vector<std::string> read, visited;
        for (int r = 0; r < kRows; ++r) {
            read.emplace_back(grid.Cell(c, r));
        }
        grid.VisitColumn(c, 0, kRows, [&](std::string_view t) { visited.emplace_back(t); });
        std::vector<std::string> texts(static_cast<std::size_t>(kRows));
        grid.VisitColumnTexts(c, 0, kRows, [&](int32_t r, CellHandle h) {
            texts[static_cast<std::size_t>(r)] = cell_handle::Text(h);
        });
        ASSERT_EQ(read, ref.cells[c]) << "column " << c;
        ASSERT_EQ(visited, ref.cells[c]) << "column " << c;
        ASSERT_EQ(texts, ref.cells[c]) << "column " << c;
    }
    for (int r = 0; r < kRows; ++r) {
        ASSERT_EQ(grid.RowHeight(r), ref.sizes[1][r]) << r;
    }
}

// Loads a table file of random texts (lines long enough for full-width bounds among them, and
// at times one without its line end last) into both, so that the operations work on loaded
// lines.
template <class Pick>
void LoadRandomTable(TableGrid& grid, ReferenceGrid& ref, const Pick& pick) {
    const std::string texts[] = {"", "ab", std::string(3000, 'M'), std::string(9000, 'W')};
    std::string file = "Quorvane\r\n100\r\n0\r\n0\r\n9\r\n9\r\n-\r\nT\r\n" + std::to_string(kCols) +
                       "\r\n" + std::to_string(kRows) + "\r\n";
    ref.SetColCount(kCols);
    ref.SetRowCount(kRows);
    for (int c = 1; c < kCols; ++c) {
        file += std::to_string(40 + c) + "\r\n";
        ref.SetColWidth(c, 40 + c);
    }
    file += "-\r\n";
    for (int r = 0; r < kRows; ++r) {
        for (int c = 1; c < kCols; ++c) {
            const std::string& text = texts[pick(0, kRows > 1000 ? 1 : 3)];
            file += text + (r == kRows - 1 && c == kCols - 1 && pick(0, 1) ? "" : "\r\n");
            ref.SetCell(c, r, text);
        }
    }
    std::string title;
    ApplyTableFile(std::move(*ParseTableFile(std::move(file))), grid, title);
}

void RunSeeds(int columnLength, uint32_t firstSeed, uint32_t lastSeed, int steps) {
    kRows = columnLength;
    const bool longColumns = kRows > 1000;  // these get dense runs of writes
    const std::string texts[] = {"",      "a",    "\x94\x83\x82\xA2",
                                 "\\1,2", "\xFF", std::string(40, 'L')};
    for (uint32_t seed = firstSeed; seed <= lastSeed; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](int low, int high) { return low + int(random() % (high - low + 1)); };
        TableGrid grid(kMainTableShape);
        SetMainTableColWidths(grid);
        ReferenceGrid ref;
        if (seed % 2 == 0) {
            LoadRandomTable(grid, ref, pick);
        }
        for (int step = 0; step < steps; ++step) {
            const int cols = ref.count[0], rows = ref.count[1], n = pick(-1, kRows - 10);
            const int a = pick(0, cols - 1), b = pick(0, cols - 1), r = pick(0, rows - 1);
            const int s = pick(0, rows - 1), w = pick(-3, 200), op = pick(0, 14);
            const Selection how = n % 2 ? Selection::Extend : Selection::Collapse;
            auto apply = [&](auto& g) {
                op == 0   ? g.SetColCount(n % kCols)
                : op == 1 ? g.SetRowCount(n)
                : op == 2 ? g.MoveRow(r, s)
                : op == 3 ? g.MoveColumn(a, b)
                : op == 4 ? g.InsertEmptyRow(r, rows, 1, cols)
                : op == 5 ? g.RemoveRowShiftingUp(r, rows, 1, cols)
                : op == 6 ? g.ClearCells(0, rows, 1, cols)
                : op == 7 ? g.WriteRowLabels(1, rows)
                : op == 8 ? (g.SetColWidth(a, w), g.SetRowHeight(r, w % 60))
                          : void();
            };
            apply(grid);
            apply(ref);
            if (op == 9) {
                EXPECT_EQ(grid.SetCurrentCell({a, r}, how), ref.SetCurrentCell({a, r}, how));
            }
            // The undo history's round trips of stored rows and columns change no text.
            if (op == 12) {
                grid.PutRowsBack(grid.TakeRows(n, 1, cols));
                grid.ReplaceColumn(a, grid.CopyColumn(a));
            } else if (op >= 13) {
                std::vector<int32_t> order(static_cast<std::size_t>(kRows - r)), back(order.size());
                std::iota(order.begin(), order.end(), r);
                std::shuffle(order.begin(), order.end(), random);
                for (std::size_t i = 0; i < order.size(); ++i) {
                    back[static_cast<std::size_t>(order[i] - r)] = r + static_cast<int32_t>(i);
                }
                grid.PermuteRows(r, order, 1);
                if (op == 13) {  // sorted rows stay so for the next steps
                    for (std::size_t c = 1; c < ref.cells.size(); ++c) {
                        const std::vector<std::string> before = ref.cells[c];
                        for (std::size_t i = 0; i < order.size(); ++i) {
                            ref.cells[c][std::size_t(r) + i] = before[std::size_t(order[i])];
                        }
                    }
                } else {
                    grid.PermuteRows(r, back, 1);
                }
            }
            // Writes anywhere, beyond the counts too.
            for (int k = 0, first = pick(0, kRows - 1); op > 9 && k < (longColumns ? 400 : 4);
                 ++k) {
                const int c = longColumns ? first % kCols : pick(0, kCols - 1);
                const int row = longColumns ? (first + k) % kRows : pick(0, kRows - 1);
                const std::string& text = texts[pick(0, 5)];
                grid.SetCell(c, row, text);
                ref.SetCell(c, row, text);
            }
            ASSERT_NO_FATAL_FAILURE(Compare(grid, ref))
                << "seed " << seed << ", step " << step << ", operation " << op;
        }
    }
}

TEST(TableGridModelTest, RandomOperationSequencesAgreeWithTheReference) {
    RunSeeds(70, 1, 40, 400);
}

// Columns longer than a storage block, so that moves and shifts cross block boundaries, and row
// labels from 1000 on, which keep their last three digits.
TEST(TableGridModelTest, LongColumnsAgreeWithTheReference) {
    RunSeeds(3 * CellColumn::kBlockSize + 50, 100, 103, 250);
}

}  // namespace
}  // namespace qv
