#include "tools/column_statistics.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/failure.h"
#include "table/table_grid.h"

namespace qv {
namespace {

// In the cells below, "\\" is the yen mark of CP932 (byte 0x5C).
using Cells = std::initializer_list<std::string_view>;

// Column 1 holds `cells` in rows 1, 2, ...; the row count is one more than that.
std::string ReportOf(Cells cells, std::string_view separator = ".") {
    TableGrid grid(GridShape{2, static_cast<int32_t>(cells.size()) + 1, 1, 1, 32, 18});
    int32_t row = 1;
    for (std::string_view cell : cells) {
        grid.SetCell(1, row++, cell);
    }
    return ColumnStatisticsReport(grid, 1, separator);
}

std::string SixLines(const char* sum, const char* average, const char* max, const char* min,
                     int numbers, int data) {
    return std::string("      合   計   :  ") + sum + "\n      平   均   :  " + average +
           "\n      最   大   :  " + max + "\n      最   小   :  " + min +
           "\n有効データ数 :  " + std::to_string(numbers) +
           "\n   全データ数 :  " + std::to_string(data);
}

std::string NoNumbers(int data) {
    return "データは、" + std::to_string(data) +
           "件ありましたが、\n計算対象のデータはありませんでした。";
}

TEST(ColumnStatisticsTest, WorkedExample) {
    EXPECT_EQ(ReportOf({"\\1,200", "-\\300", "abc", "", "2.5e2"}),
              "      合   計   :  1150\n"
              "      平   均   :  383.333333333333\n"
              "      最   大   :  1200\n"
              "      最   小   :  -300\n"
              "有効データ数 :  3\n"
              "   全データ数 :  4");
}

TEST(ColumnStatisticsTest, ReadsOnlyRowsOneToBeforeRowCount) {
    TableGrid grid(GridShape{2, 4, 1, 1, 32, 18});
    grid.SetCell(1, 0, "1000");  // the fixed row
    grid.SetCell(1, 1, "1");
    grid.SetCell(1, 3, "2");
    grid.SetCell(1, 4, "5000");  // beyond the row count
    grid.SetCell(0, 2, "70");    // another column
    EXPECT_EQ(ColumnStatisticsReport(grid, 1, "."), SixLines("3", "1.5", "2", "1", 2, 2));
    EXPECT_EQ(ColumnStatisticsReport(grid, 5, "."), NoNumbers(0));  // never written
    grid.SetRowCount(1);
    EXPECT_EQ(ColumnStatisticsReport(grid, 1, "."), NoNumbers(0));
}

TEST(ColumnStatisticsTest, Reports) {
    const struct {
        Cells cells;
        std::string expected;
        const char* separator = ".";
    } cases[] = {
        {{}, NoNumbers(0)},
        {{"", ""}, NoNumbers(0)},
        {{"abc", " ", "", "1.", "\\"}, NoNumbers(4)},
        {{"42.5"}, SixLines("42.5", "42.5", "42.5", "42.5", 1, 1)},
        {{"x", "-7", ""}, SixLines("-7", "-7", "-7", "-7", 1, 2)},
        {{"-0"}, SixLines("0", "0", "0", "0", 1, 1)},
        // Maximum and minimum start from the first number, not from zero.
        {{"-5", "-3", "-9"}, SixLines("-17", "-5.66666666666667", "-3", "-9", 3, 3)},
        {{"abc", "5", "7"}, SixLines("12", "6", "7", "5", 2, 3)},
        // The sum is rounded at each step: -2e16 + 3.00001 is -19999999999999996.
        {{"3", "1e-5", "-2e16"}, SixLines("-2E16", "-6.66666666666667E15", "3", "-2E16", 3, 3)},
        {{"1e16", "1", "1"}, SixLines("1E16", "3.33333333333333E15", "1E16", "1", 3, 3)},
        {{"0.1", "0.2"}, SixLines("0.3", "0.15", "0.2", "0.1", 2, 2)},
        {{"1.7e308", "-1.7e308", "1.7e308"},
         SixLines("1.7E308", "5.66666666666667E307", "1.7E308", "-1.7E308", 3, 3)},
        {{"1e-5000", "1"}, SixLines("1", "0.5", "1", "0", 2, 2)},
        {{"2.5", "0.25"}, SixLines("2,75", "1,375", "2,5", "0,25", 2, 2), ","},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReportOf(c.cells, c.separator), c.expected);
    }
}

TEST(ColumnStatisticsTest, OverflowRaisesFailure) {
    const Cells columns[] = {{"1e309"},
                             {"1", "abc", "1e5120"},
                             {"1.7e308", "1.7e308"},
                             {"-1.7e308", "5", "-1.7e308"},
                             {"\\1e999999999999"}};
    for (const Cells& cells : columns) {
        try {
            ReportOf(cells);
            ADD_FAILURE() << "no overflow: " << *(cells.end() - 1);
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.message(), "浮動小数点数のｵｰﾊﾞｰﾌﾛｰ");
        }
    }
}

// One cell through the yen and comma steps and the number syntax.
TEST(ColumnStatisticsTest, YenAndCommas) {
    const struct {
        std::string_view cell;
        int data;
        int numbers;
        double value;
    } cases[] = {
        // clang-format off
        {"", 0, 0, 0}, {" ", 1, 0, 0}, {"abc", 1, 0, 0}, {"12", 1, 1, 12}, {"1,2,3", 1, 1, 123},
        {",,5,,", 1, 1, 5}, {"1,000.5", 1, 1, 1000.5}, {"1.5,e,3", 1, 1, 1500}, {",", 1, 0, 0},
        {"\\", 1, 0, 0}, {"\\100", 1, 1, 100}, {"\\1,200", 1, 1, 1200},
        {"\\\\100", 1, 0, 0}, {"12\\", 1, 0, 0}, {"1\\5", 1, 1, 15},
        {"1\\\\5", 1, 0, 0}, {" \\100", 1, 1, 100}, {"  \\100", 1, 0, 0},
        {"\\-1,000", 1, 1, -1000}, {"-\\1,000", 1, 1, -1000}, {",\\5", 1, 1, 5},
        {"\\,", 1, 0, 0},
        {"\x83\\", 1, 0, 0},         // a katakana whose second byte is 0x5C
        {"\x81\x8F" "100", 1, 0, 0},   // full-width yen sign
        {"\x82\x50\x82\x51", 1, 0, 0}  // full-width digits
        // clang-format on
    };
    for (const auto& c : cases) {
        ColumnStatisticsAccumulator accumulator;
        accumulator.Add(c.cell);
        const ColumnStatistics& stats = accumulator.Result();
        EXPECT_EQ(stats.dataCount, c.data) << c.cell;
        EXPECT_EQ(stats.numberCount, c.numbers) << c.cell;
        if (c.numbers == 1) {
            EXPECT_EQ(stats.sum, c.value) << c.cell;
            EXPECT_EQ(stats.max, c.value) << c.cell;
            EXPECT_EQ(stats.min, c.value) << c.cell;
        }
    }
}

}  // namespace
}  // namespace qv
