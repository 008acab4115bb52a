#include "table/table_file_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/table_file_examples.h"
#include "platform/failure.h"
#include "platform/temp_folder.h"
#include "support/grid_fixtures.h"

namespace qv {
namespace {

using test::ExampleTableFile;
using test::TableFileOf;

class TableFileReaderTest : public ::testing::Test {
protected:
    TableFileReaderTest() : grid_(test::MainGridShape()) { test::MakeInitialTable(grid_); }

    std::string Write(std::string_view contents, const std::string& name = "t.qvd") {
        std::string path = folder_ / name;
        test::WriteTestFile(path, contents);
        return path;
    }

    std::optional<TableFileContent> Read(std::string_view contents) {
        return ReadTableFile(Write(contents));
    }

    // Reads the file and applies it to the grid; false when the file was rejected.
    bool Load(std::string_view contents) {
        std::optional<TableFileContent> content = Read(contents);
        if (!content) {
            return false;
        }
        window_ = content->window;
        ApplyTableFile(std::move(*content), grid_, title_);
        return true;
    }

    std::string FailureOf(std::string_view contents) {
        try {
            Read(contents);
        } catch (const Failure& failure) {
            return failure.what();
        }
        return "(no failure)";
    }

    // Columns 1 .. ColCount - 1 of rows 0 .. RowCount - 1.
    std::vector<std::vector<std::string>> Cells() const {
        std::vector<std::vector<std::string>> rows;
        for (int32_t row = 0; row < grid_.RowCount(); ++row) {
            rows.emplace_back();
            for (int32_t col = 1; col < grid_.ColCount(); ++col) {
                rows.back().push_back(grid_.CellText(col, row));
            }
        }
        return rows;
    }

    test::TempFolder folder_;
    TableGrid grid_;
    std::string title_ = "old title";
    WindowGeometry window_;
};

using Rows = std::vector<std::vector<std::string>>;

std::string S(std::string_view text) {
    return std::string(text);
}

TEST_F(TableFileReaderTest, ReadsTheExampleTable) {
    ASSERT_TRUE(Load(ExampleTableFile()));
    EXPECT_EQ(window_.left, 294);
    EXPECT_EQ(window_.top, 211);
    EXPECT_EQ(window_.width, 276);
    EXPECT_EQ(window_.height, 247);
    EXPECT_EQ(title_, test::kKaimono);
    EXPECT_EQ(grid_.ColCount(), 3);
    EXPECT_EQ(grid_.RowCount(), 3);
    EXPECT_EQ(grid_.ColWidth(1), 153);
    EXPECT_EQ(grid_.ColWidth(2), 69);
    EXPECT_EQ(Cells(), (Rows{{S(test::kHinmei), S(test::kSuuryou)},
                             {S(test::kRingo), "3"},
                             {S(test::kMikan), ""}}));
}

TEST_F(TableFileReaderTest, LineEndsOfCrAloneReadLikeCrLf) {
    std::string file = ExampleTableFile();
    std::string crOnly;
    for (char c : file) {
        if (c != '\n') {
            crOnly += c;
        }
    }
    ASSERT_TRUE(Load(crOnly));
    EXPECT_EQ(title_, test::kKaimono);
    EXPECT_EQ(Cells(), (Rows{{S(test::kHinmei), S(test::kSuuryou)},
                             {S(test::kRingo), "3"},
                             {S(test::kMikan), ""}}));
}

TEST_F(TableFileReaderTest, RejectsFilesWhoseFirstLineIsNotTheMark) {
    std::string lfOnly;
    for (char c : ExampleTableFile()) {
        if (c != '\r') {
            lfOnly += c;
        }
    }
    const std::string rest = ExampleTableFile().substr(8);
    for (const std::string& file :
         {lfOnly, "\xEF\xBB\xBFQuorvane" + rest, "Quorvane " + rest, "quorvane" + rest,
          "QuorvaneX" + rest, " Quorvane" + rest, std::string("Quorvan"), std::string()}) {
        SCOPED_TRACE(file.substr(0, 12));
        EXPECT_FALSE(Read(file).has_value());
    }
}

TEST_F(TableFileReaderTest, RejectionLeavesTheTableAsItWas) {
    grid_.SetCell(1, 1, "kept");
    EXPECT_FALSE(Load("Quorvane \r\n"));
    EXPECT_EQ(grid_.CellText(1, 1), "kept");
    EXPECT_EQ(title_, "old title");
}

TEST_F(TableFileReaderTest, AcceptsTheMarkEndedByTheFileOrByCtrlZ) {
    // The file mark alone: line 3 is missing, which only the number check refuses.
    EXPECT_EQ(FailureOf("Quorvane"), "'' は整数ではありません");
    EXPECT_EQ(FailureOf("Quorvane\x1A"
                        "100\r\n"),
              "'' は整数ではありません");
}

TEST_F(TableFileReaderTest, IgnoresTheVersionAndSeparatorLines) {
    ASSERT_TRUE(Load(TableFileOf({"Quorvane", "999 anything", "1", "2", "3", "4", "sep?", "T", "2",
                                  "2", "40", "", "a", "b"})));
    EXPECT_EQ(title_, "T");
    EXPECT_EQ(grid_.ColWidth(1), 40);
    EXPECT_EQ(Cells(), (Rows{{"a"}, {"b"}}));
}

struct NumberCase {
    const char* line;
    int32_t value;
};

TEST_F(TableFileReaderTest, NumberLinesAcceptBlanksInFrontSignsAndHex) {
    for (NumberCase c : {NumberCase{" 12", 12}, NumberCase{"+12", 12}, NumberCase{"$0C", 12},
                         NumberCase{"-8", -8}, NumberCase{"$FFFFFFFF", -1}, NumberCase{"007", 7}}) {
        SCOPED_TRACE(c.line);
        std::optional<TableFileContent> content =
            Read(TableFileOf({"Quorvane", "100", c.line, "0", "0", "0", "-", "", "1", "1", "-"}));
        ASSERT_TRUE(content);
        EXPECT_EQ(content->window.left, c.value);
    }
}

TEST_F(TableFileReaderTest, BadNumberLinesFailWithTheLineInTheMessage) {
    struct Case {
        std::vector<std::string_view> lines;
        const char* message;
    };
    const Case cases[] = {
        {{"Quorvane", "100", "12 "}, "'12 ' は整数ではありません"},
        {{"Quorvane", "100", "1", "2", "3", "x4"}, "'x4' は整数ではありません"},
        {{"Quorvane", "100", "1", "2", "3", "4", "-", "T", "3", "2", "10"},
         "'' は整数ではありません"},
        {{"Quorvane", "100", "1", "2", "3", "4", "-", "T", "3", "-$1"},
         "'-$1' は整数ではありません"},
    };
    for (const Case& c : cases) {
        std::string file;
        for (std::string_view line : c.lines) {
            file += std::string(line) + "\r\n";
        }
        EXPECT_EQ(FailureOf(file), c.message);
    }
}

TEST_F(TableFileReaderTest, ShowsTheBadLineDecodedFromCp932) {
    EXPECT_EQ(FailureOf(TableFileOf({"Quorvane", "100", test::kKaimono})),
              "'買い物' は整数ではありません");
}

TEST_F(TableFileReaderTest, AFailedReadLeavesTheTableAsItWas) {
    grid_.SetCell(1, 1, "kept");
    EXPECT_THROW(Load(TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", "5", "5", "10",
                                   "20", "oops"})),
                 Failure);
    EXPECT_EQ(grid_.CellText(1, 1), "kept");
    EXPECT_EQ(grid_.ColCount(), 3);
    EXPECT_EQ(title_, "old title");
}

TEST_F(TableFileReaderTest, CountsTooLargeForTheGridFail) {
    const char* message = "ｸﾞﾘｯﾄﾞが大きすぎます";
    EXPECT_EQ(
        FailureOf(TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", "134217726", "2"})),
        message);
    EXPECT_EQ(
        FailureOf(TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", "2", "$7FFFFFFF"})),
        message);
}

TEST_F(TableFileReaderTest, AHugeRowCountWithFewLinesLoadsWithoutCostPerRow) {
    ASSERT_TRUE(Load(TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", "3", "134217725",
                                  "50", "60", "-", "name1", "name2", "a", "b", "c"})));
    EXPECT_EQ(grid_.RowCount(), 134217725);
    EXPECT_EQ(grid_.CellText(1, 0), "name1");
    EXPECT_EQ(grid_.CellText(1, 2), "c");
    EXPECT_EQ(grid_.CellText(2, 2), "");
    EXPECT_EQ(grid_.CellText(2, 134217724), "");
}

TEST_F(TableFileReaderTest, CountsOfZeroOrLessReadAsOne) {
    for (const char* count : {"1", "0", "-5"}) {
        SCOPED_TRACE(count);
        // Eleven lines are enough: no width and no cell follows.
        std::optional<TableFileContent> content =
            Read(TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", count, "4", "-"}));
        ASSERT_TRUE(content);
        EXPECT_EQ(content->colCount, 1);
        EXPECT_TRUE(content->widths.empty());
    }
}

TEST_F(TableFileReaderTest, ColCountOneLeavesColumnZeroOnlyAndNoFixedColumn) {
    grid_.SetCell(1, 1, "outside the new count");
    ASSERT_TRUE(Load(TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", "0", "4"})));
    EXPECT_EQ(grid_.ColCount(), 1);
    EXPECT_EQ(grid_.FixedCols(), 0);
    EXPECT_EQ(grid_.RowCount(), 4);
    // ClearAll emptied the old table's cells before the count shrank.
    EXPECT_EQ(grid_.CellText(1, 1), "");
}

TEST_F(TableFileReaderTest, AFileCutAfterTheSecondSeparatorLeavesEveryCellEmpty) {
    grid_.SetCell(1, 0, "old name");
    grid_.SetCell(2, 3, "old cell");
    ASSERT_TRUE(Load(
        TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", "3", "5", "10", "20", "-"})));
    EXPECT_EQ(Cells(), Rows(5, {"", ""}));
    EXPECT_EQ(title_, "T");
}

TEST_F(TableFileReaderTest, CtrlZInsideACellEndsTheFile) {
    std::string file = TableFileOf(
        {"Quorvane", "100", "1", "2", "3", "4", "-", "T", "3", "3", "10", "20", "-", "n1", "n2"});
    file +=
        "ab\x1A"
        "cd\r\nlater\r\n";
    ASSERT_TRUE(Load(file));
    EXPECT_EQ(Cells(), (Rows{{"n1", "n2"}, {"ab", ""}, {"", ""}}));
}

TEST_F(TableFileReaderTest, ALastLineWithoutItsEndStillReadsWhole) {
    std::string file =
        TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", "2", "2", "10", "-", "name"});
    file += "last\nline";
    ASSERT_TRUE(Load(file));
    EXPECT_EQ(Cells(), (Rows{{"name"}, {"last\nline"}}));
}

TEST_F(TableFileReaderTest, LineFeedsAloneAndExtraLinesAreData) {
    std::string file = TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T\nT", "2", "2",
                                    "10", "-", "a\nb", "c", "extra", "lines"});
    ASSERT_TRUE(Load(file));
    EXPECT_EQ(title_, "T\nT");
    EXPECT_EQ(Cells(), (Rows{{"a\nb"}, {"c"}}));
}

TEST_F(TableFileReaderTest, WidthsAreAppliedWithoutRangeCheck) {
    ASSERT_TRUE(Load(TableFileOf(
        {"Quorvane", "100", "1", "2", "3", "4", "-", "T", "4", "1", "0", "-3", "500", "-"})));
    EXPECT_EQ(grid_.ColWidth(1), 0);
    EXPECT_EQ(grid_.ColWidth(2), -3);
    EXPECT_EQ(grid_.ColWidth(3), 500);
    EXPECT_EQ(grid_.RowCount(), 1);
    EXPECT_EQ(grid_.FixedRows(), 0);
}

TEST_F(TableFileReaderTest, ClearAllKeepsTextsOutsideTheCountsAndTheCurrentCellStays) {
    grid_.SetRowCount(3);
    grid_.SetCell(1, 4, "beyond the rows");
    ASSERT_TRUE(grid_.SetCurrentCell({2, 2}));
    ASSERT_TRUE(Load(
        TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", "3", "4", "10", "20", "-"})));
    EXPECT_EQ(grid_.Current(), (GridCell{2, 2}));
    grid_.SetRowCount(6);
    EXPECT_EQ(grid_.CellText(1, 4), "beyond the rows");
}

TEST_F(TableFileReaderTest, AShrinkingCountMovesTheCurrentCell) {
    ASSERT_TRUE(grid_.SetCurrentCell({2, 5}));
    ASSERT_TRUE(Load(
        TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", "3", "3", "10", "20", "-"})));
    EXPECT_EQ(grid_.Current(), (GridCell{2, 2}));
}

TEST_F(TableFileReaderTest, FileSystemFailuresCarryTheirMessages) {
    auto failureOf = [](const std::string& path) -> std::string {
        try {
            ReadTableFile(path);
        } catch (const Failure& failure) {
            return failure.what();
        }
        return "(no failure)";
    };
    EXPECT_EQ(failureOf(folder_ / "missing.qvd"), "ﾌｧｲﾙが見つかりません");
    EXPECT_EQ(failureOf(folder_ / "no/such/folder.qvd"), "不正なﾌｧｲﾙ名です");
    EXPECT_EQ(failureOf(folder_.Path()), "ﾌｧｲﾙへのｱｸｾｽが拒否されました");
}

}  // namespace
}  // namespace qv
