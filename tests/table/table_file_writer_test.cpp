#include "table/table_file_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>
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
        grid_.SetCell(1 + row % 3, row, std::string(1, 'r').append(std::to_string(row)));
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

// The file as the format describes it, written cell by cell without any shortcut.
std::string PlainTableFile(const TableGrid& grid, const std::string& title,
                           const WindowGeometry& window) {
    std::string file;
    auto line = [&file](std::string_view text) {
        file += text;
        file += "\r\n";
    };
    for (const std::string& text :
         {std::string("Quorvane"), std::string("100"), std::to_string(window.left),
          std::to_string(window.top), std::to_string(window.width), std::to_string(window.height),
          std::string("----------"), title, std::to_string(grid.ColCount()),
          std::to_string(grid.RowCount())}) {
        line(text);
    }
    for (int32_t col = 1; col < grid.ColCount(); ++col) {
        line(std::to_string(grid.ColWidth(col)));
    }
    line("----------");
    for (int32_t row = 0; row < grid.RowCount(); ++row) {
        for (int32_t col = 1; col < grid.ColCount(); ++col) {
            line(grid.Cell(col, row));
        }
    }
    return file;
}

// Loaded tables are written from the file's buffer in runs where their lines still lie one
// after another there; whatever was loaded and edited, the bytes must be those of the plain
// cell-by-cell file.
struct LoadedTableCase {
    const char* name;
    std::string cellLines;                 // after the header of a 4 x 5 table
    std::function<void(TableGrid&)> edit;  // then applied to the loaded grid
};

void PrintTo(const LoadedTableCase& c, std::ostream* out) {
    *out << c.name;
}

class WrittenAfterLoadTest : public ::testing::TestWithParam<LoadedTableCase> {};

TEST_P(WrittenAfterLoadTest, MatchesTheCellByCellFile) {
    const LoadedTableCase& c = GetParam();
    const std::string header =
        "Quorvane\r\n100\r\n1\r\n2\r\n3\r\n4\r\n----------\r\nT\r\n4\r\n5\r\n"
        "10\r\n20\r\n30\r\n----------\r\n";
    std::optional<TableFileContent> content = ParseTableFile(header + c.cellLines);
    ASSERT_TRUE(content);
    TableGrid grid(test::MainGridShape());
    std::string title;
    ApplyTableFile(std::move(*content), grid, title);
    c.edit(grid);
    const WindowGeometry window{1, 2, 3, 4};
    EXPECT_EQ(BuildTableFile(grid, title, window), PlainTableFile(grid, title, window));
}

std::string CrLfCells(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
        if (i % 4 != 0) {
            lines += 't';
            lines += std::to_string(i);
        }
        lines += "\r\n";
    }
    return lines;
}

const auto kUnchanged = [](TableGrid&) {};

INSTANTIATE_TEST_SUITE_P(
    Cases, WrittenAfterLoadTest,
    ::testing::Values(LoadedTableCase{"Unchanged", CrLfCells(15), kUnchanged},
                      LoadedTableCase{"LinesEndingWithCrAlone", "a\rb\r\rc\rd\r", kUnchanged},
                      LoadedTableCase{"MixedLineEnds", "a\r\nb\rc\r\r\nd\r\n\ne\r\n", kUnchanged},
                      LoadedTableCase{"LineFeedInsideATextAndCutShort", "a\nb\r\n\nc\r\nlast",
                                      kUnchanged},
                      LoadedTableCase{"EndOfFileByte",
                                      "a\r\nb\x1A"
                                      "c\r\nd\r\n",
                                      kUnchanged},
                      LoadedTableCase{"EditedCells", CrLfCells(15),
                                      [](TableGrid& g) {
                                          g.SetCell(2, 1, "new");
                                          g.SetCell(3, 3, "");
                                          g.SetCell(1, 4, "last row");
                                      }},
                      LoadedTableCase{"MovedRowsAndColumns", CrLfCells(15),
                                      [](TableGrid& g) {
                                          g.MoveRow(4, 1);
                                          g.MoveColumn(3, 1);
                                      }},
                      LoadedTableCase{"ShiftedRows", CrLfCells(15),
                                      [](TableGrid& g) {
                                          g.InsertEmptyRow(2, 5, 1, 4);
                                          g.RemoveRowShiftingUp(1, 5, 2, 3);
                                      }},
                      LoadedTableCase{"GrownBeyondTheFile", CrLfCells(15),
                                      [](TableGrid& g) {
                                          g.SetColCount(6);
                                          g.SetRowCount(9);
                                          g.SetCell(5, 8, "far");
                                      }}),
    [](const ::testing::TestParamInfo<LoadedTableCase>& info) { return info.param.name; });

TEST(TableFileWriterReloadTest, TextsOfTwoLoadedFilesAreWrittenTogether) {
    auto load = [](TableGrid& grid, const std::string& lines, int32_t cols) {
        std::string widths;
        for (int32_t col = 1; col < cols; ++col) {
            widths += "9\r\n";
        }
        std::string title;
        std::optional<TableFileContent> content =
            ParseTableFile("Quorvane\r\n100\r\n1\r\n2\r\n3\r\n4\r\n-\r\nT\r\n" +
                           std::to_string(cols) + "\r\n3\r\n" + widths + "-\r\n" + lines);
        ApplyTableFile(std::move(*content), grid, title);
    };
    TableGrid grid(test::MainGridShape());
    load(grid, CrLfCells(12), 5);  // columns 1 to 4
    grid.SetColCount(3);           // columns 3 and 4 keep their texts out of sight
    load(grid, CrLfCells(6), 3);   // columns 1 and 2 from the second file
    grid.SetColCount(5);
    ASSERT_EQ(grid.CellText(4, 2), "t11");
    ASSERT_EQ(grid.CellText(2, 2), "t5");
    const WindowGeometry window{1, 2, 3, 4};
    EXPECT_EQ(BuildTableFile(grid, "T", window), PlainTableFile(grid, "T", window));
}

}  // namespace
}  // namespace qv
