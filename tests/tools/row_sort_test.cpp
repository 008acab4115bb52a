// Sorting the data rows by one column, and undoing it.

#include "tools/row_sort.h"

#include <algorithm>

#include "expect_failure.h"
#include "platform/parallel_sort.h"

namespace qv {
namespace {

using Texts = std::vector<std::string>;

// Column 1 holds the keys of rows 1, 2, ...; column 2 each row's number, so that the order after
// a sort shows where every row went; the item names, the row labels and a cell beyond ColCount
// are there too.
class RowSortTest : public ::testing::Test {
protected:
    void Fill(const Texts& keys) {
        grid_.SetRowCount(static_cast<int32_t>(keys.size()) + 3);  // two empty rows at the end
        grid_.WriteRowLabels(1, grid_.RowCount());
        grid_.SetCell(1, 0, "key");
        grid_.SetCell(2, 0, "id");
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const auto row = static_cast<int32_t>(i) + 1;
            grid_.SetCell(1, row, keys[i]);
            grid_.SetCell(2, row, std::to_string(row));
            grid_.SetCell(5, row, "beyond" + std::to_string(row));
        }
    }
    // Column `col` of the data rows, row labels and column 5 checked to follow along.
    Texts Column(int32_t col) const {
        Texts texts;
        for (int32_t row = 1; row < grid_.RowCount(); ++row) {
            EXPECT_EQ(grid_.Cell(0, row), cell_handle::LabelText(row));
            const std::string id = grid_.CellText(2, row);
            EXPECT_EQ(grid_.CellText(5, row), id.empty() ? "" : "beyond" + id);
            texts.push_back(grid_.CellText(col, row));
        }
        EXPECT_EQ(grid_.CellText(1, 0), "key");
        return texts;
    }

    // The rows are in the order one std::stable_sort by column 1's texts gives, in either
    // direction; `less` compares two texts of column 1 (their bytes by default).
    template <class Less = std::less<std::string>>
    void ExpectSortedAsStableSort(Less less = {}) {
        for (const SortOrder order : {SortOrder::Ascending, SortOrder::Descending}) {
            std::vector<std::pair<std::string, std::string>> expected;  // (key, id) in grid order
            for (int32_t row = 1; grid_.CellText(2, row) != ""; ++row) {
                expected.emplace_back(grid_.CellText(1, row), grid_.CellText(2, row));
            }
            std::stable_sort(expected.begin(), expected.end(),
                             [order, &less](const auto& a, const auto& b) {
                                 return order == SortOrder::Ascending ? less(a.first, b.first)
                                                                      : less(b.first, a.first);
                             });
            SortRows(grid_, 1, order);
            const Texts ids = Column(2);
            for (std::size_t i = 0; i < expected.size(); ++i) {
                ASSERT_EQ(ids[i], expected[i].second) << i;
            }
        }
    }

    TableGrid grid_{GridShape{3, 2, 1, 1, 32, 18}};
};

// Numbers (yen marks and commas allowed) before texts by their bytes, empty cells last; the
// descending order mirrors that except for the empty cells; equal keys keep their order.
TEST_F(RowSortTest, NumbersThenTextsThenEmptyCellsAndUndo) {
    // "\x82\xA0" is "あ" and "\xB1" the half-width "ｱ": bytes 0x82 < 0xB1.
    Fill({"10", "abc", "", "\\1,200", "-5", "ABC", "2.5e1", "\xB1", "\x82\xA0", "", "1e999", "10",
          " 7", "7 ", "-0", "0"});
    const Texts before = Column(2);
    const RowOrder up = SortRows(grid_, 1, SortOrder::Ascending);
    EXPECT_EQ(Column(1), (Texts{"-5", "-0", "0", " 7", "10", "10", "2.5e1", "\\1,200", "1e999",
                                "7 ", "ABC", "abc", "\x82\xA0", "\xB1", "", "", "", ""}));
    EXPECT_EQ(Column(2), (Texts{"5", "15", "16", "13", "1", "12", "7", "4", "11", "14", "6", "2",
                                "9", "8", "3", "10", "", ""}));
    ApplyRowOrder(grid_, InverseRowOrder(up));
    EXPECT_EQ(Column(2), before);
    SortRows(grid_, 1, SortOrder::Descending);
    EXPECT_EQ(Column(1), (Texts{"\xB1", "\x82\xA0", "abc", "ABC", "7 ", "1e999", "\\1,200", "2.5e1",
                                "10", "10", " 7", "-0", "0", "-5", "", "", "", ""}));
    EXPECT_EQ(Column(2), (Texts{"8", "9", "2", "6", "14", "11", "4", "7", "1", "12", "13", "15",
                                "16", "5", "3", "10", "", ""}));
}

// Sorting by the second key and then by the first sorts by both.
TEST_F(RowSortTest, StableSortsMakeTwoKeySorts) {
    Fill({"b", "a", "b", "a", "b", "a"});
    for (int32_t row = 1; row <= 6; ++row) {
        grid_.SetCell(3, row, row % 3 == 0 ? "x" : "y");  // column 3: rows 3 and 6 "x"
    }
    SortRows(grid_, 3, SortOrder::Descending);
    SortRows(grid_, 1, SortOrder::Ascending);
    EXPECT_EQ(Column(2), (Texts{"2", "4", "6", "1", "5", "3", "", ""}));
    EXPECT_EQ(Column(3), (Texts{"y", "y", "x", "y", "y", "x", "", ""}));
}

// Long texts, texts that share their first sixteen bytes, and NUL bytes.
// Texts that agree in their first 7, 8, 14 or 40 bytes, zero bytes and 0xFF, repeated texts.
TEST_F(RowSortTest, TextsCompareByAllTheirBytes) {
    const std::string x16(16, 'x');
    const std::string y7(7, 'y');
    const std::string z40(40, 'z');
    const std::string zero(1, '\0');
    const Texts sorted = {"x",
                          "x" + zero,
                          x16,
                          x16 + zero,
                          x16 + "a",
                          x16 + "a\xFF",
                          x16 + "b",
                          y7,
                          y7 + zero,
                          y7 + "y",
                          y7 + y7,
                          y7 + y7 + zero,
                          y7 + y7 + "\x01",
                          z40 + "a",
                          z40 + "a",
                          z40 + "b" + z40,
                          z40 + "b" + z40 + "c",
                          z40 + "\xFF"};
    const std::size_t mixed[] = {16, 3, 13, 9, 5, 0, 17, 11, 2, 14, 6, 12, 1, 15, 8, 4, 10, 7};
    Texts keys;
    for (const std::size_t k : mixed) {
        keys.push_back(sorted[k]);
    }
    Fill(keys);
    SortRows(grid_, 1, SortOrder::Ascending);
    Texts expected = sorted;
    expected.insert(expected.end(), 2, "");
    EXPECT_EQ(Column(1), expected);
    ExpectSortedAsStableSort();
}

// A table long enough for the keys to be sorted and the columns moved on two threads: ties
// keep their order as one std::stable_sort keeps it, in either direction, with many texts that
// tie in their first bytes and with few.
TEST_F(RowSortTest, LongTablesSortAsOneStableSort) {
    const std::size_t count = kItemsWorthTwoThreads + 1001;
    for (const std::size_t longEvery : {2, 20}) {
        Texts keys;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string key = "k" + std::to_string((i * 7919) % 97);
            keys.push_back(i % longEvery == 0 ? "long key " + key : key);
        }
        Fill(keys);
        ExpectSortedAsStableSort();
    }
    Texts numbers;
    for (std::size_t i = 0; i < count; ++i) {
        numbers.push_back(std::to_string(static_cast<double>((i * 7919) % 4001) / 4 - 500));
    }
    Fill(numbers);
    ExpectSortedAsStableSort(
        [](const std::string& a, const std::string& b) { return std::stod(a) < std::stod(b); });
}

TEST_F(RowSortTest, OrdersThatAreNoPermutationChangeNothing) {
    Fill({"b", "a"});
    const Texts before = Column(2);
    for (const RowOrder& bad :
         {RowOrder{1, {1, 1}}, RowOrder{1, {2, 3}}, RowOrder{0, {1, 0, 0}}, RowOrder{-1, {-1}}}) {
        EXPECT_FAILS(ApplyRowOrder(grid_, bad), kGridIndexMessage);
    }
    const RowOrder outside{1, {5}};
    EXPECT_FAILS(InverseRowOrder(outside), kGridIndexMessage);
    EXPECT_EQ(Column(2), before);
    EXPECT_TRUE(SortedRowOrder(grid_, 4, SortOrder::Ascending).sources ==
                (std::vector<int32_t>{1, 2}));  // an empty column: every row stays
}

}  // namespace
}  // namespace qv
