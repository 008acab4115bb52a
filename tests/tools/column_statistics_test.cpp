// The tools: the column statistics with the numbers they read and write, and the match count.
#include "tools/column_statistics.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include "expect_failure.h"
#include "table/table_grid.h"
#include "tools/match_count.h"
#include "tools/number_format.h"
#include "tools/selection_figures.h"

namespace qv {
namespace {

// In the cells below, "\\" is the yen mark of CP932 (byte 0x5C).
// A vector, not an initializer_list: the cases below keep their cells beyond one expression.
using Cells = std::vector<std::string_view>;

void FillColumn(TableGrid& grid, int32_t col, const Cells& cells) {
    int32_t row = 1;
    for (std::string_view cell : cells) {
        grid.SetCell(col, row++, cell);
    }
}

// Column 1 holds `cells` in rows 1, 2, ...; the row count is one more than that.
std::string ReportOf(const Cells& cells, std::string_view separator = ".") {
    TableGrid grid(GridShape{2, static_cast<int32_t>(cells.size()) + 1, 1, 1, 32, 18});
    FillColumn(grid, 1, cells);
    return ColumnStatisticsReport(grid, 1, separator);
}

std::string SixLines(const std::string& sum, const std::string& average, const std::string& max,
                     const std::string& min, int numbers, int data) {
    return "      合   計   :  " + sum + "\n      平   均   :  " + average +
           "\n      最   大   :  " + max + "\n      最   小   :  " + min +
           "\n有効データ数 :  " + std::to_string(numbers) +
           "\n   全データ数 :  " + std::to_string(data);
}

std::string NoNumbers(int data) {
    return "データは、" + std::to_string(data) +
           "件ありましたが、\n計算対象のデータはありませんでした。";
}

TEST(ColumnStatisticsTest, Reports) {
    // clang-format off
    const std::pair<Cells, std::string> cases[] = {
        // The worked example, written out in full once.
        {{"\\1,200", "-\\300", "abc", "", "2.5e2"},
         "      合   計   :  1150\n      平   均   :  383.333333333333\n      最   大   :  1200\n"
         "      最   小   :  -300\n有効データ数 :  3\n   全データ数 :  4"},
        {{"abc", " ", "", "1.", "\\"}, NoNumbers(4)},
        {{"42.5"}, SixLines("42.5", "42.5", "42.5", "42.5", 1, 1)},
        {{"-0"}, SixLines("0", "0", "0", "0", 1, 1)},
        // Maximum and minimum start from the first number, not from zero.
        {{"-5", "-3", "-9"}, SixLines("-17", "-5.66666666666667", "-3", "-9", 3, 3)},
        // The sum is rounded at each step: -2e16 + 3.00001 is -19999999999999996.
        {{"3", "1e-5", "-2e16"}, SixLines("-2E16", "-6.66666666666667E15", "3", "-2E16", 3, 3)},
        {{"1e-5000", "1"}, SixLines("1", "0.5", "1", "0", 2, 2)}};
    // clang-format on
    for (const auto& [cells, expected] : cases) {
        EXPECT_EQ(ReportOf(cells), expected);
    }
    EXPECT_EQ(ReportOf({"2.5", "0.25"}, ","), SixLines("2,75", "1,375", "2,5", "0,25", 2, 2));
    TableGrid grid(GridShape{2, 1, 1, 1, 32, 18});  // only the item names, then beyond the count
    grid.SetCell(1, 0, "1000");
    grid.SetCell(1, 1, "5000");
    EXPECT_EQ(ColumnStatisticsReport(grid, 1, "."), NoNumbers(0));
}

// Numbers beyond the range of double, read or summed.
TEST(ColumnStatisticsTest, OverflowOfAValueOrOfTheSumRaisesFailure) {
    const std::string longNumber = "1" + std::string(5000, '0');
    const std::string justAbove = "17976931348623159" + std::string(292, '0');
    // clang-format off
    const Cells columns[] = {
        {"1e309"}, {"-1e309"}, {"1.8e308"}, {"0.01e311"}, {"1e999999999999"}, {longNumber},
        {justAbove}, {"1", "abc", "1e5120"}, {"\\1e999999999999"}, {"1.7e308", "1.7e308"},
        {"-1.7e308", "5", "-1.7e308"}};
    // clang-format on
    for (Cells cells : columns) {
        EXPECT_FAILS(ReportOf(cells), "浮動小数点数のｵｰﾊﾞｰﾌﾛｰ") << *(cells.end() - 1);
    }
}

// One cell through the yen and comma steps and the number syntax: nothing, data only, or a
// number.
TEST(ColumnStatisticsTest, YenMarksAndCommas) {
    // clang-format off
    const std::pair<std::string_view, std::optional<double>> cases[] = {
        {"12", 12}, {"1,2,3", 123}, {",,5,,", 5}, {"1,000.5", 1000.5}, {"1.5,e,3", 1500},
        {",", {}}, {"\\", {}}, {"\\100", 100}, {"\\1,200", 1200}, {"\\\\100", {}}, {"12\\", {}},
        {"1\\5", 15}, {"1\\\\5", {}}, {" \\100", 100}, {"  \\100", {}}, {"\\-1,000", -1000},
        {"-\\1,000", -1000}, {",\\5", 5}, {"\\,", {}}, {" ", {}}, {"abc", {}},
        {"\x83\\", {}},                  // a katakana whose second byte is 0x5C
        {"\x81\x8F\x31\x30\x30", {}},  // full-width yen sign and 100
        {"\x82\x50\x82\x51", {}}};      // full-width digits
    // clang-format on
    for (const auto& [cell, number] : cases) {
        ColumnStatisticsAccumulator accumulator;
        accumulator.Add(cell);
        const ColumnStatistics& s = accumulator.Result();
        EXPECT_EQ((std::vector{1.0 * s.dataCount, 1.0 * s.numberCount, s.sum}),
                  (std::vector{1.0, number ? 1.0 : 0.0, number.value_or(0)}))
            << cell;
    }
}

TEST(StatisticsNumberTest, ReadsTheNumberSyntax) {
    // clang-format off
    const std::pair<std::string, double> cases[] = {
        {"0", 0}, {"+7", 7}, {"-300", -300}, {" 12", 12}, {"   -12", -12}, {".5", 0.5},
        {"-.5", -0.5}, {"1.e3", 1000}, {"0012.50", 12.5}, {"2.5e2", 250}, {"1E-2", 0.01}, {"1e+2", 100}, {"e5", 0},
        {"-.E2", 0}, {"E-0", 0}, {"1e0000000000000000000002", 100}, {"1e-400", 0}, {"1e-5000", 0},
        {"9007199254740993", 9007199254740992.0}, {"1.7976931348623157e308", DBL_MAX},
        {"123456789012345678901234567890", 1.2345678901234568e29}, {"0e999999999999", 0},
        {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
        {"1e-999999999999", 0}, {"0." + std::string(5000, '0') + "1e5001", 1}};
    // clang-format on
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ParseStatisticsNumber(text), value) << text;
    }
    EXPECT_TRUE(std::signbit(*ParseStatisticsNumber("-0")));
    // clang-format off
    const std::string refused[] = {
        "", "   ", "+", "-", "  -", ".", "1.", "-1.", "+.", "1e", "1e+", "1E-", "e", ".E", "--7",
        "+-7", "+ 7", "12 ", "1 2", "\t12", "1.2.3", "12a", "abc", "0x10", "1e2.5", "1e2e3",
        "1e--2", "1,000", "\\100", "\x82\x50\x82\x51", "1\x81\x40", std::string("1\0", 2)};
    // clang-format on
    for (const std::string& text : refused) {
        double value = 42.0;
        EXPECT_FALSE(ParseStatisticsNumber(text, value)) << text;
        EXPECT_EQ(value, 42.0) << text;
    }
}

TEST(StatisticsNumberTest, WritesFifteenDigitsFixedOrScientific) {
    // clang-format off
    const std::pair<double, const char*> cases[] = {
        {1150.0, "1150"}, {0.5, "0.5"}, {0.00012, "0.00012"}, {0.0001, "0.0001"},
        {0.1 + 0.2, "0.3"}, {999999999999999.0, "999999999999999"}, {123456789012345.6, "123456789012346"},
        {2.0 / 3.0, "0.666666666666667"}, {1e15, "1E15"}, {1.23e15, "1.23E15"}, {0.00001, "1E-5"},
        {0.0000999, "9.99E-5"}, {123456789012345678.0, "1.23456789012346E17"},
        {DBL_MAX, "1.79769313486232E308"},
        {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        // Rounding looks at the 16th of 18 written digits only and carries through nines,
        // which may move the value into the other form.
        {999999999999999.5, "1E15"}, {0.99999999999999994, "1"},
        {0.00009999999999999999, "0.0001"}, {1.000000000000004, "1"},
        {1.000000000000006, "1.00000000000001"}, {1.99999999999999949, "2"},
        {1.500000000000145, "1.50000000000015"},  // 1.500000000000144995 written as ...14500
        {0.0, "0"}, {-0.0, "0"}, {-0.00001, "-1E-5"}, {-999999999999999.5, "-1E15"},
        {std::numeric_limits<double>::infinity(), "INF"}, {std::nan(""), "NAN"}};
    // clang-format on
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(FormatStatisticsNumber(value, "."), text);
    }
    EXPECT_EQ(FormatStatisticsNumber(-1.5e-20, ",") + FormatStatisticsNumber(0.00012, ","),
              "-1,5E-20"
              "0,00012");
}

// The figures of a selected range read numbers as the statistics do: over one column of data
// rows they are the statistics' own; over several, column after column.
TEST(SelectionFiguresTest, AgreeWithTheStatistics) {
    TableGrid grid(GridShape{4, 12, 1, 1, 32, 18});
    FillColumn(grid, 1,
               {"\\1,200", "-\\300", "abc", "", "2.5e2", "0.1", "0.2", " ", "1,2,3", "-0", "1."});
    FillColumn(grid, 2, {"1e300", "x", "", "", "7"});
    grid.SetCell(1, 0, "1000");  // an item name: outside the data rows
    const ColumnStatistics stats = CalcColumnStatistics(grid, 1);
    const SelectionFigures one = CalcSelectionFigures(grid, 1, 2, 1, 12);
    EXPECT_EQ((std::vector<double>{1.0 * one.cellCount, 1.0 * one.dataCount, 1.0 * one.numberCount,
                                   one.sum, one.average}),
              (std::vector<double>{11, 1.0 * stats.dataCount, 1.0 * stats.numberCount, stats.sum,
                                   stats.sum / stats.numberCount}));
    EXPECT_FALSE(one.overflow);
    const SelectionFigures both = CalcSelectionFigures(grid, 1, 4, 1, 12);
    EXPECT_EQ((std::vector<double>{1.0 * both.cellCount, 1.0 * both.dataCount,
                                   1.0 * both.numberCount, both.sum}),
              (std::vector<double>{33, 13, 9, stats.sum + 1e300 + 7}));
    EXPECT_EQ(CalcSelectionFigures(grid, 2, 3, 5, 6).average, 7);
    const SelectionFigures none = CalcSelectionFigures(grid, 2, 3, 2, 4);
    EXPECT_EQ((std::vector<double>{1.0 * none.cellCount, 1.0 * none.numberCount, none.average}),
              (std::vector<double>{2, 0, 0}));
    EXPECT_EQ(CalcSelectionFigures(grid, 3, 1, 1, 12).cellCount, 0);
    // Beyond the statistics: the numbers of Japanese lists ("１２", "▲100", "1.2万円", "7 ").
    FillColumn(grid, 3,
               {"\x82\x50\x82\x51",
                "\x81\xA3"
                "100",
                "1.2\x96\x9C\x89\x7E", "7 "});
    EXPECT_EQ(CalcSelectionFigures(grid, 3, 4, 1, 5).sum, 12 - 100 + 12000 + 7);
    for (std::string_view big : {"1e999", "1.7e308"}) {
        grid.SetCell(3, 1, big);
        grid.SetCell(3, 2, big);
        EXPECT_TRUE(CalcSelectionFigures(grid, 3, 4, 1, 3).overflow) << big;
    }
}

// Texts are compared byte for byte after bytes of 32 or less are trimmed from both ends; the
// full-width blank is no such byte. Rows 1 .. 9 count: row 0, row 10 (beyond the count) and
// column 0 do not; rows 8 and 9, never written, read as "".
TEST(MatchCountTest, CountsTrimmedTextsEqualByteForByte) {
    TableGrid grid(GridShape{2, 10, 1, 1, 32, 18});
    FillColumn(grid, 1, {"abc", "  abc", "abc\t\r\n", "ABC", "a bc", "", "\x81\x40"});
    grid.SetCell(1, 0, "abc");
    grid.SetCell(1, 10, "abc");
    grid.SetCell(0, 1, "abc");
    const std::pair<const char*, int32_t> cases[] = {{"abc", 3}, {"  abc\t", 3}, {"ABC", 1},
                                                     {"ab", 0},  {" \t ", 3},    {"\x81\x40", 1}};
    for (const auto& [search, count] : cases) {
        EXPECT_EQ(CountMatchingCells(grid, 1, search), count) << '"' << search << '"';
    }
    EXPECT_EQ(CountMatchingCells(grid, 7, ""), 9);  // a column never written
    grid.SetRowCount(1);
    EXPECT_EQ(CountMatchingCells(grid, 1, ""), 0);
    EXPECT_EQ(MatchCountMessage(134217725), "134217725 件一致しました。");
}

}  // namespace
}  // namespace qv
