// Comparing tables: rows paired by position around inserted, removed and changed blocks, and by
// key with duplicate and missing keys; columns paired by name.
#include "tools/table_compare.h"

#include <gtest/gtest.h>

#include <memory>

namespace qv {
namespace {

// Each row is a string whose k-th character is the cell of column k + 1.
std::unique_ptr<TableGrid> TableOf(std::string_view rows, std::string_view names = "") {
    auto table = std::make_unique<TableGrid>(GridShape{3, 1, 1, 1, 64, 24});
    TableGrid& grid = *table;
    int32_t row = 1;
    for (std::size_t begin = 0; begin < rows.size();) {
        std::size_t end = rows.find(' ', begin);
        end = end == std::string_view::npos ? rows.size() : end;
        grid.SetRowCount(row + 1);
        for (std::size_t k = begin; k < end; ++k) {
            grid.SetCell(static_cast<int32_t>(k - begin) + 1, row, rows.substr(k, 1));
        }
        ++row;
        begin = end + 1;
    }
    grid.SetColCount(std::max<int32_t>(3, static_cast<int32_t>(names.size()) + 1));
    for (std::size_t k = 0; k < names.size(); ++k) {
        grid.SetCell(static_cast<int32_t>(k) + 1, 0, names.substr(k, 1));
    }
    return table;
}

std::string RowText(const TableGrid& grid, int32_t row) {
    return std::string(grid.Cell(1, row)) + std::string(grid.Cell(2, row));
}

// The alignment as marks ("=" same, "~" changed, "-" only in A, "+" only in B), each followed by
// its row as A holds it (B for "+"); then whether the runs cover both tables' rows in order.
std::string Alignment(const TableGrid& a, const TableGrid& b, const TableComparison& comparison) {
    std::string text;
    for (const RowRun& run : comparison.runs) {
        for (int32_t k = 0; k < run.count; ++k) {
            const char* marks = "=~-+";
            text += marks[static_cast<int>(run.kind)];
            text += run.kind == RowPairKind::OnlyB ? RowText(b, run.rowB + k)
                                                   : RowText(a, run.rowA + k);
        }
    }
    return text;
}

TableComparison Compare(const TableGrid& a, const TableGrid& b, std::vector<int32_t> keys = {}) {
    return CompareTables(a, b, PairColumns(a, b, ColumnMatching::ByPosition, ColumnExtent::Common),
                         keys);
}

TEST(TableCompareTest, PairsRowsByPositionAroundBlocks) {
    // clang-format off
    const struct { std::string_view a, b, alignment; } cases[] = {
        {"a b c d e", "a b c d e", "=a=b=c=d=e"},
        {"a b c d e", "a b X Y c d e", "=a=b+X+Y=c=d=e"},
        {"a b c d e f", "a b e f", "=a=b-c-d=e=f"},
        {"a b c d e", "a b Z d e", "=a=b~c=d=e"},
        {"a b c", "a X Y c", "=a~b+Y=c"},
        {"", "a b", "+a+b"},
        {"a b", "", "-a-b"},
        {"a b c d e f", "d e f a b c", "+d+e+f=a=b=c-d-e-f"},
        {"a a a a", "a a a", "=a=a=a-a"},
        {"a b a b", "a b X a b", "=a=b+X=a=b"},
        {"a b c", "x y z", "~a~b~c"},
        // Unique rows anchor the alignment inside a changed stretch.
        {"p a q b r", "s a t u b", "~p=a~q+u=b-r"},
    };
    // clang-format on
    for (const auto& c : cases) {
        const auto tableA = TableOf(c.a);
        const auto tableB = TableOf(c.b);
        const TableGrid& a = *tableA;
        const TableGrid& b = *tableB;
        EXPECT_EQ(Alignment(a, b, Compare(a, b)), c.alignment) << c.a << " / " << c.b;
    }
}

TEST(TableCompareTest, PairsRowsByKeyAndReportsRepeatedKeys) {
    // clang-format off
    const struct {
        std::string_view a, b, alignment;
        std::vector<int32_t> duplicatesA, duplicatesB;
        DifferenceCounts counts;
    } cases[] = {
        {"a1 b2 c3", "c3 a1 b2", "=a1=b2=c3", {}, {}, {}},
        {"a1 b2 c3", "b9 a1 d4", "=a1+d4~b2-c3", {}, {}, {1, 1, 1, 1}},
        {"a1 a2 b3", "a1 b3 a5 a6", "=a1~a2+a6=b3", {2}, {3, 4}, {1, 0, 1, 1}},
        {"x1", "", "-x1", {}, {}, {0, 1, 0, 0}},
        // z repeats in B alone, a in both.
        {"a1 a2", "z1 a1 z2 a2 a3", "+z1=a1+z2=a2+a3", {2}, {3, 4, 5}, {3, 0, 0, 0}},
    };
    // clang-format on
    for (const auto& c : cases) {
        const auto tableA = TableOf(c.a);
        const auto tableB = TableOf(c.b);
        const TableGrid& a = *tableA;
        const TableGrid& b = *tableB;
        const TableComparison comparison = Compare(a, b, {1});
        EXPECT_EQ(Alignment(a, b, comparison), c.alignment) << c.a << " / " << c.b;
        EXPECT_EQ(comparison.duplicateKeysA, c.duplicatesA) << c.a;
        EXPECT_EQ(comparison.duplicateKeysB, c.duplicatesB) << c.b;
        EXPECT_EQ(comparison.counts, c.counts) << c.a << " / " << c.b;
    }
    EXPECT_EQ(DifferenceCountsText({12, 3, 40, 57}), "追加 12 / 削除 3 / 変更 40 行 (セル 57)");
}

TEST(TableCompareTest, PairsColumnsByNameWhenBothTablesNameThem) {
    const auto tableA = TableOf("123", "xyz");
    const auto tableB = TableOf("314", "zxw");
    const TableGrid& a = *tableA;
    const TableGrid& b = *tableB;
    ASSERT_EQ(PreferredMatching(a, b), ColumnMatching::ByName);
    const ColumnPairing columns = PairColumns(a, b, ColumnMatching::ByName, ColumnExtent::Common);
    EXPECT_EQ(columns.pairs, (std::vector<ColumnPair>{{1, 2}, {3, 1}}));
    EXPECT_EQ(columns.onlyA, std::vector<int32_t>{2});
    EXPECT_EQ(columns.onlyB, std::vector<int32_t>{3});
    EXPECT_TRUE(CompareTables(a, b, columns, {}).counts == DifferenceCounts{});
    EXPECT_EQ(PreferredMatching(a, *TableOf("1")), ColumnMatching::ByPosition);
}

}  // namespace
}  // namespace qv
