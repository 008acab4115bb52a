#include "table/table_file_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "data/table_file_examples.h"
#include "platform/temp_folder.h"
#include "support/grid_fixtures.h"
#include "table/table_file_reader.h"

namespace qv {
namespace {

class TableFileWriterTest : public ::testing::Test {
protected:
    TableFileWriterTest() : grid_(test::MainGridShape()) { test::MakeInitialTable(grid_); }

    // Writes the grid, reads the file back into a fresh main grid and returns it.
    std::unique_ptr<TableGrid> RoundTrip(std::string& title, WindowGeometry& window) {
        std::string path = folder_ / "round.qvd";
        test::WriteTestFile(path, BuildTableFile(grid_, title, window));
        auto copy = std::make_unique<TableGrid>(test::MainGridShape());
        std::optional<TableFileContent> content = ReadTableFile(path);
        EXPECT_TRUE(content);
        window = content->window;
        ApplyTableFile(std::move(*content), *copy, title);
        return copy;
    }

    test::TempFolder folder_;
    TableGrid grid_;
};

TEST_F(TableFileWriterTest, WritesTheExampleTableByteForByte) {
    grid_.SetRowCount(3);
    grid_.SetCell(1, 0, test::kHinmei);
    grid_.SetCell(2, 0, test::kSuuryou);
    grid_.SetCell(1, 1, test::kRingo);
    grid_.SetCell(2, 1, "3");
    grid_.SetCell(1, 2, test::kMikan);
    grid_.SetCell(0, 1, "  1");  // row labels are never written
    std::string file =
        BuildTableFile(grid_, std::string(test::kKaimono), WindowGeometry{294, 211, 276, 247});
    EXPECT_EQ(file.size(), 115u);
    EXPECT_EQ(file, test::ExampleTableFile());
}

TEST_F(TableFileWriterTest, WritesOneLinePerCellEvenWhenEmpty) {
    grid_.SetColCount(5);
    grid_.SetRowCount(7);
    std::string file = BuildTableFile(grid_, "", WindowGeometry{-5, 0, 10, 10});
    // 11 + (C - 1) x (R + 1) lines, each ending with CR LF.
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 11 + 4 * 8);
    EXPECT_EQ(file.find("\r\n-5\r\n"), std::string("Quorvane\r\n100").size());
    std::string emptyCells;
    for (int i = 0; i < 4 * 7; ++i) {
        emptyCells += "\r\n";
    }
    EXPECT_TRUE(file.ends_with("----------\r\n" + emptyCells));
}

TEST_F(TableFileWriterTest, ColumnZeroOnlyWritesNoWidthsAndNoCells) {
    grid_.SetColCount(1);
    grid_.SetCell(1, 1, "hidden beyond the count");
    EXPECT_EQ(BuildTableFile(grid_, "T", WindowGeometry{1, 2, 3, 4}),
              test::TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "----------", "T", "1", "6",
                                 "----------"}));
}

TEST_F(TableFileWriterTest, ATableReadsBackAsItWasWritten) {
    // More rows than one block of the writer, texts scattered, a line feed inside a text.
    grid_.SetColCount(4);
    grid_.SetRowCount(9000);
    grid_.SetColWidth(3, 77);
    for (int32_t row = 0; row < 9000; row += 7) {
        grid_.SetCell(1 + row % 3, row, "r" + std::to_string(row));
    }
    grid_.SetCell(2, 4097, "line\nfeed");
    std::string title = "title";
    WindowGeometry window{10, -20, 300, 400};
    std::unique_ptr<TableGrid> copy = RoundTrip(title, window);
    EXPECT_EQ(title, "title");
    EXPECT_EQ(window.top, -20);
    ASSERT_EQ(copy->ColCount(), 4);
    ASSERT_EQ(copy->RowCount(), 9000);
    EXPECT_EQ(copy->ColWidth(3), 77);
    for (int32_t row = 0; row < 9000; ++row) {
        for (int32_t col = 1; col < 4; ++col) {
            ASSERT_EQ(copy->Cell(col, row), grid_.Cell(col, row)) << col << "," << row;
        }
    }
}

TEST_F(TableFileWriterTest, AVeryWideTableReadsBackAsItWasWritten) {
    grid_.SetColCount(5000);
    grid_.SetRowCount(2);
    grid_.SetCell(4999, 0, "last name");
    grid_.SetCell(1, 1, "first");
    grid_.SetCell(2500, 1, "middle");
    std::string title;
    WindowGeometry window;
    std::unique_ptr<TableGrid> copy = RoundTrip(title, window);
    EXPECT_EQ(copy->CellText(4999, 0), "last name");
    EXPECT_EQ(copy->CellText(1, 1), "first");
    EXPECT_EQ(copy->CellText(2500, 1), "middle");
    EXPECT_EQ(copy->CellText(2499, 1), "");
}

}  // namespace
}  // namespace qv
