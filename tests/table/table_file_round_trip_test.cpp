// Tables written and read back, and inputs at the edges of what the readers take.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <sstream>

#include "expect_failure.h"
#include "platform/cp932.h"
#include "table/cell_text_list.h"
#include "table/main_table_shape.h"
#include "table/table_file_reader.h"
#include "table/table_file_writer.h"
#include "table_file_examples.h"
#include "temp_folder.h"

namespace qv {
namespace {

using test::ExampleTableFile;
using test::TableFileOf;

// A table file titled "T" with the window at 1, 2, 3 by 4, then the lines from the counts on.
std::string FileFromCounts(std::initializer_list<std::string_view> lines) {
    return TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T"}) + TableFileOf(lines);
}

// "<tag><n>"; built by appending, which g++ 12 does not take for an overlapping copy.
std::string Numbered(std::string_view tag, int n) {
    std::string text(tag);
    text += std::to_string(n);
    return text;
}

// The file as the format describes it, written cell by cell without any shortcut.
std::string PlainTableFile(const TableGrid& grid, const std::string& title = "T") {
    std::string file =
        TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "----------", title,
                     std::to_string(grid.ColCount()), std::to_string(grid.RowCount())});
    auto line = [&file](std::string_view text) { file.append(text).append("\r\n"); };
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

constexpr char kOldTable[] = "0,0,0,0 old title 3x6 fixed 1 widths 153 69 | , / old, / , / ,";
constexpr char kExample[] =
    "294,211,276,247 買い物 3x3 fixed 1 widths 153 69 | 品名,数量 / りんご,3 / みかん,";

class TableFileTest : public ::testing::Test {
protected:
    TableFileTest() : grid_(kMainTableShape) {
        SetMainTableColWidths(grid_);
        grid_.SetCell(1, 1, "old");
    }

    // Applies the file to the main grid (when it was not rejected) and tells what the grid then
    // holds: the window, the title, the counts, the fixed column, the widths and the cells of
    // the first four rows, in UTF-8.
    std::string Loaded(std::optional<TableFileContent> content) {
        if (content) {
            window_ = content->window;
            ApplyTableFile(std::move(*content), grid_, title_);
        }
        std::ostringstream text;
        text << window_.left << ',' << window_.top << ',' << window_.width << ',' << window_.height
             << ' ' << title_ << ' ' << grid_.ColCount() << 'x' << grid_.RowCount() << " fixed "
             << grid_.FixedCols() << " widths";
        for (int32_t col = 1; col < grid_.ColCount(); ++col) {
            text << ' ' << grid_.ColWidth(col);
        }
        for (int32_t row = 0; row < std::min(grid_.RowCount(), 4) && grid_.ColCount() > 1; ++row) {
            for (int32_t col = 1; col < grid_.ColCount(); ++col) {
                text << (col > 1 ? "," : row == 0 ? " | " : " / ") << grid_.Cell(col, row);
            }
        }
        return Cp932ToUtf8(text.str());
    }
    std::string Loaded(std::string bytes) { return Loaded(ParseTableFile(std::move(bytes))); }
    // Loads `rows` rows of `cols` columns, columns 1 .. cols - 1 all 9 wide.
    void LoadCells(int32_t cols, int32_t rows, const std::string& cells) {
        std::string widths;
        for (int32_t col = 1; col < cols; ++col) {
            widths += "9\r\n";
        }
        Loaded(FileFromCounts({std::to_string(cols), std::to_string(rows)}) + widths + "-\r\n" +
               cells);
    }

    TableGrid grid_;
    std::string title_ = "old title";
    WindowGeometry window_;
};

TEST_F(TableFileTest, TheExampleTableIsWrittenByteForByteAndReadBack) {
    grid_.SetRowCount(3);
    grid_.SetCell(0, 1, "  1");  // row labels are never written
    grid_.SetCell(1, 0, test::kHinmei);
    grid_.SetCell(2, 0, test::kSuuryou);
    grid_.SetCell(1, 1, test::kRingo);
    grid_.SetCell(2, 1, "3");
    grid_.SetCell(1, 2, test::kMikan);
    const std::string file =
        BuildTableFile(grid_, std::string(test::kKaimono), WindowGeometry{294, 211, 276, 247});
    EXPECT_EQ(file.size(), 115u);
    EXPECT_EQ(file, ExampleTableFile());
    test::TempFolder folder;
    test::WriteTestFile(folder / "t.qvd", file);
    EXPECT_EQ(Loaded(ReadTableFile(folder / "t.qvd")), kExample);
}

TEST_F(TableFileTest, LoadsWhatTheFileHolds) {
    std::string crOnly = ExampleTableFile();
    std::erase(crOnly, '\n');
    const std::pair<std::string, const char*> cases[] = {
        {crOnly, kExample},
        // Line 2 and the separator lines may hold anything; lone LFs are data; lines after the
        // last cell are ignored; widths take any value.
        {TableFileOf({"Quorvane", "9 x", "1", "2", "3", "4", "?", "T\nT", "3", "2", "-3", "500", "",
                      "a\nb", "c", "d", "e", "extra"}),
         "1,2,3,4 T\nT 3x2 fixed 1 widths -3 500 | a\nb,c / d,e"},
        {FileFromCounts({"3", "5", "10", "20", "-"}),  // cut after the second separator
         "1,2,3,4 T 3x5 fixed 1 widths 10 20 | , / , / , / ,"},
        {FileFromCounts({"3", "3", "10", "20", "-", "n1", "n2", "ab\032cd", "later"}),
         "1,2,3,4 T 3x3 fixed 1 widths 10 20 | n1,n2 / ab, / ,"},
        {FileFromCounts({"2", "2", "10", "-", "name"}) + "last\nline",
         "1,2,3,4 T 2x2 fixed 1 widths 10 | name / last\nline"},
        // A huge declared row count with few lines costs nothing per row.
        {FileFromCounts({"3", "134217725", "50", "60", "-", "n1", "n2", "a", "b", "c"}),
         "1,2,3,4 T 3x134217725 fixed 1 widths 50 60 | n1,n2 / a,b / c, / ,"},
        // Column 0 alone, without a fixed column from then on.
        {TableFileOf({"Quorvane", "100", " 12", "+12", "$0C", "0012", "-", "T", "1", "1"}),
         "12,12,12,12 T 1x1 fixed 0 widths"},
        {FileFromCounts({"0", "4"}), "1,2,3,4 T 1x4 fixed 0 widths"},
    };
    for (const auto& [file, expected] : cases) {
        EXPECT_EQ(Loaded(file), expected);
    }
}

// Files whose first line is not the mark are rejected; bad number lines and too large counts
// fail; neither changes the table.
TEST_F(TableFileTest, RejectedAndFailedFilesChangeNothing) {
    std::string lfOnly = ExampleTableFile();
    std::erase(lfOnly, '\r');
    const std::string rest = ExampleTableFile().substr(8);
    for (const std::string& file :
         {lfOnly, "\xEF\xBB\xBFQuorvane" + rest, "Quorvane " + rest, "quorvane" + rest,
          "QuorvaneX" + rest, " Quorvane" + rest, std::string("Quorvan"), std::string()}) {
        EXPECT_EQ(Loaded(file), kOldTable) << file.substr(0, 12);
    }
    const std::pair<std::string, const char*> cases[] = {
        {TableFileOf({"Quorvane", "100", "12 "}), "'12 ' は整数ではありません"},
        {TableFileOf({"Quorvane", "100", test::kKaimono}), "'買い物' は整数ではありません"},
        {"Quorvane", "'' は整数ではありません"},  // the file ends after the mark
        {FileFromCounts({"3", "2", "10"}), "'' は整数ではありません"},
        {FileFromCounts({"5", "5", "10", "20", "oops"}), "'oops' は整数ではありません"},
        {FileFromCounts({"134217726", "2"}), "ｸﾞﾘｯﾄﾞが大きすぎます"},
        {FileFromCounts({"2", "$7FFFFFFF"}), "ｸﾞﾘｯﾄﾞが大きすぎます"},
        {FileFromCounts({std::string_view("12\0x\0", 5)}), "'12\\0x\\0' は整数ではありません"},
    };
    for (const auto& [file, message] : cases) {
        EXPECT_FAILS(Loaded(file), message) << file;
    }
    EXPECT_EQ(Loaded(std::nullopt), kOldTable);
}

std::string Joined(const TableFilePieces& file) {
    return std::accumulate(
        file.pieces.begin(), file.pieces.end(), std::string(),
        [](std::string joined, std::string_view piece) { return joined.append(piece); });
}

// A large loaded table is saved largely from the loaded file's own buffer, without a copy.
TEST_F(TableFileTest, LongLoadedRunsAreWrittenFromWhereTheyLie) {
    std::string cells;
    for (int i = 0; i < 3 * 30'000; ++i) {
        cells += "cell " + std::to_string(i) + "\r\n";
    }
    LoadCells(4, 30'000, cells);
    grid_.SetCell(2, 15'000, "edited in the middle");
    const TableFilePieces file = BuildTableFilePieces(grid_, "T", window_);
    EXPECT_GE(file.pieces.size(), 4u);  // header, run, the edit, run
    EXPECT_LT(file.built.Size(), cells.size() / 10);
    EXPECT_EQ(Joined(file), PlainTableFile(grid_));
    grid_.SetColCount(1);
    EXPECT_EQ(Joined(BuildTableFilePieces(grid_, "T", window_)), PlainTableFile(grid_));
    EXPECT_EQ(BuildTableFile(grid_, "T", window_), PlainTableFile(grid_));
}

// A save hands the file over as it is built, a couple of megabytes at most at a time whatever
// its size: tables padded with empty cells (an import's ragged lines), wide ones with texts in a
// few columns, and ones with texts in more columns than are gathered at once, after runs of
// empty cells that end at many rows.
TEST_F(TableFileTest, SavesHoldLittleWhateverTheFileSize) {
    struct Shape {
        int32_t cols, rows, textCols, textRows;
    };
    for (const Shape shape : {Shape{5000, 3000, 1, 2999}, Shape{3000, 4000, 2999, 1},
                              Shape{9, 400'000, 4, 1000}, Shape{6000, 2000, 5000, 2}}) {
        TableGrid grid(kMainTableShape);
        grid.SetColCount(shape.cols);
        grid.SetRowCount(shape.rows);
        for (int32_t col = 1; col <= shape.textCols; ++col) {
            for (int32_t row = 0; row < (col % 2 == 1 ? shape.textRows : 0); ++row) {
                grid.SetCell(shape.cols - col, row, Numbered("t", row));
            }
            grid.SetCell(shape.cols - col, shape.rows - 1 - col % 1500, "after empty ones");
        }
        std::string saved;
        std::size_t largest = 0;
        StreamTableFile(grid, "T", {1, 2, 3, 4}, [&](std::string_view piece) {
            saved += piece;
            largest = std::max(largest, piece.size());
        });
        EXPECT_LE(largest, std::size_t{3} << 20) << shape.cols;
        EXPECT_TRUE(saved == PlainTableFile(grid)) << shape.cols;  // no diff of megabytes
    }
}

// Loaded tables are written from the file's buffer in runs where their lines still lie one after
// another there, and unchanged stretches are found chunk by chunk, without visiting their cells.
// Random edits, moves, count changes and reloads over several chunks (tables of the same width
// among them, short tables of hundreds of columns whose files may end inside a row, and files
// whose run of lines is broken by lone CRs, lone LFs, Ctrl+Z or an unended last line) must never
// let a changed or mismatched stretch through: the bytes must be those of the plain file.
TEST_F(TableFileTest, EditedBigLoadedTablesAreWrittenAsCellByCell) {
    std::mt19937 random(11);
    auto pick = [&random](int32_t below) { return static_cast<int32_t>(random() % below); };
    auto load = [&](int32_t cols, int32_t rows, int file) {
        const char* const ends[] = {"\r\n", "\r", "\n\r\n", "\r\r\n", "\032"};
        std::string lines;
        const int32_t cut = cols > 6 ? pick(cols) : 0;  // a wide file may end inside its last row
        for (int32_t i = 0; i < (cols - 1) * rows - cut; ++i) {
            const std::string text =
                i % 5 == 0 ? std::string() : Numbered(Numbered("f", file) + ".", i);
            lines += text + ends[file % 3 == 2 && i % 997 == 500 ? 1 + i / 997 % 4 : 0];
        }
        if (file % 3 == 1) {
            lines.resize(lines.size() - 2);  // the last line without its end
        }
        LoadCells(cols, rows, lines);
    };
    for (int step = 0; step < 300; ++step) {
        if (step % 150 == 0) {
            step == 0 ? load(5, 3000, 0) : load(500, 2, 0);
        }
        const int32_t rows = grid_.RowCount(), cols = grid_.ColCount(), row = pick(rows);
        // A wide table mostly gets the changes that keep most of its columns as loaded.
        const int wideOps[] = {0, 0, 4, 4, 4, 4, 4, 4, 5, 7, 9, 10, 11, 11};
        const int op = cols > 6 ? wideOps[pick(std::size(wideOps))] : pick(13);
        if (op == 8) {  // a sort's reordering of some rows
            std::vector<int32_t> sources(static_cast<std::size_t>(pick(rows - row) + 1));
            std::iota(sources.begin(), sources.end(), row);
            std::shuffle(sources.begin(), sources.end(), random);
            grid_.PermuteRows(row, sources, pick(3));
        } else if (op == 9) {  // a replace-all, or its undoing
            CellTextList texts;
            for (int32_t r = row; r < rows; r += 1 + pick(50)) {
                texts.Add(GridCell{1 + pick(cols), r}, pick(2) ? "" : Numbered("x", r));
            }
            grid_.ExchangeCellTexts(texts);
        } else if (op == 11) {  // columns removed and inserted, or put back by their undoing
            const int32_t first = 1 + pick(cols - 1);
            TableGrid::CellBlock block{
                first, first + pick(std::min(cols - first + 1, 4)), 0, rows, {}};
            grid_.ExchangeBlock(block);
            if (pick(2) != 0) {
                grid_.ExchangeBlock(block);
            }
        } else if (op == 12) {  // clear all, or its undoing
            TableGrid::StoredColumns taken = grid_.TakeRows(rows, 1, cols);
            if (pick(2) != 0) {
                grid_.PutRowsBack(std::move(taken));
            }
        } else {
            op == 0   ? grid_.SetCell(1 + pick(cols - 1), row, pick(2) ? "" : Numbered("e", step))
              : op == 1 ? grid_.InsertEmptyRow(row, rows, 1, cols)
            : op == 2 ? grid_.RemoveRowShiftingUp(row, rows, 1 + pick(cols - 1), cols)
            : op == 3 ? grid_.MoveRow(1 + pick(rows - 1), 1 + pick(rows - 1))
            : op == 4 ? grid_.MoveColumn(1 + pick(cols - 1), 1 + pick(cols - 1))
            : op == 5
                ? grid_.ClearCells(row, std::min(rows, row + pick(1500)), 1 + pick(cols - 1), cols)
            : op == 6                  ? grid_.SetRowCount(std::max(2, rows + pick(1200) - 600))
            : op == 7                  ? grid_.SetColCount(std::max(2, cols + pick(3) - 1))
            : cols > 6 || pick(3) == 0 ? load(300 + pick(300), 2 + pick(2), step)
                                       : load(pick(3) ? 5 : 4, 1000 + pick(2500), step);
        }
        TableFilePiecesBuilder sliced(grid_, "T", window_);  // as the recovery copy builds it
        while (!sliced.Step(1 + pick(700))) {
        }
        for (const std::string& built : {Joined(sliced.Take()), BuildTableFile(grid_, "T", window_),
                                         Joined(BuildTableFilePieces(grid_, "T", window_))}) {
            ASSERT_EQ(built, PlainTableFile(grid_)) << "step " << step;
        }
    }
}

// A sort of a loaded table keeps its texts as lines of the file's buffer, in an order shared by
// the columns, instead of a handle a cell; sorting it back gives the file's order again, written
// as the file was. Long enough for both threads, with an edited cell among the lines.
TEST_F(TableFileTest, SortedLoadedTablesKeepTheirLinesAndSortBack) {
    constexpr int32_t kRows = 70000, kCols = 4;
    std::string cells;
    for (int32_t i = 0; i < (kCols - 1) * kRows; ++i) {
        cells += (i % 7 == 3 ? std::string() : Numbered("c", i)) + "\r\n";
    }
    LoadCells(kCols, kRows, cells);
    grid_.SetCell(2, 500, "edited");
    const std::string loaded = PlainTableFile(grid_);
    const auto bytesPerRow = [this] {
        TableGrid::StoredColumns rows = grid_.TakeRows(kRows, 1, kCols);
        std::size_t bytes = 0;
        for (const auto& [col, column] : rows) {
            bytes += column.StoredBytes();
        }
        grid_.PutRowsBack(std::move(rows));
        return static_cast<double>(bytes) / kRows;
    };
    std::vector<int32_t> sources(kRows - 1), back(sources.size());
    std::iota(sources.begin(), sources.end(), 1);
    std::shuffle(sources.begin(), sources.end(), std::mt19937(5));
    for (std::size_t i = 0; i < sources.size(); ++i) {
        back[static_cast<std::size_t>(sources[i] - 1)] = 1 + static_cast<int32_t>(i);
    }
    grid_.PermuteRows(1, sources, 1);
    for (int32_t row = 1; row < kRows; ++row) {
        const int32_t from = sources[static_cast<std::size_t>(row - 1)];
        for (int32_t col = 1; col < kCols; ++col) {
            const int32_t i = from * (kCols - 1) + col - 1;
            const std::string expected = col == 2 && from == 500 ? "edited"
                                         : i % 7 == 3            ? std::string()
                                                                 : Numbered("c", i);
            ASSERT_EQ(grid_.Cell(col, row), expected) << col << ", " << row;
        }
    }
    EXPECT_LT(bytesPerRow(), 6.0);  // 4 for the shared order; a handle a cell would be 24
    grid_.PermuteRows(1, back, 1);
    EXPECT_LT(bytesPerRow(), 1.0);
    EXPECT_EQ(BuildTableFile(grid_, "T", window_), loaded);
}

// Any bytes but CR and 0x1A, invalid CP932 and lone LFs included.
std::string RandomText(std::mt19937& random) {
    std::string text(random() % 13, '\0');
    for (char& c : text) {
        do {
            c = static_cast<char>(random());
        } while (c == '\r' || c == '\x1A');
    }
    return text;
}

TEST_F(TableFileTest, AnyTableWithoutCrOrCtrlZReadsBackIdentical) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> cols(1, 7), rows(1, 25), width(-5, 400);
    for (int round = 0; round < 300; ++round) {
        TableGrid grid(kMainTableShape);
        grid.SetColCount(cols(random));
        grid.SetRowCount(rows(random));
        for (int32_t c = 1; c < grid.ColCount(); ++c) {
            grid.SetColWidth(c, width(random));
            for (int32_t r = 0; r < grid.RowCount(); ++r) {
                grid.SetCell(c, r, RandomText(random));
            }
        }
        const std::string title = RandomText(random);
        const WindowGeometry window{width(random), -width(random), width(random), 7};
        Loaded(BuildTableFile(grid, title, window));
        EXPECT_EQ((std::vector{window_.left, window_.top}), (std::vector{window.left, window.top}));
        ASSERT_EQ(PlainTableFile(grid_, title_), PlainTableFile(grid, title)) << round;
    }
}

// What is appended while a file is read (`yes >> t.qvd`) is not part of it: the read ends at
// the size the file had when opened, and the progress is told along the way. A one-line
// gigabyte file is rejected from its first bytes.
TEST_F(TableFileTest, GrowingAndHugeFilesAreReadAsTheyWereOpened) {
    test::TempFolder folder;
    test::WriteTestFile(folder / "huge.qvd", "Quorvanf");
    std::filesystem::resize_file(folder / "huge.qvd", 1 << 30);  // sparse: costs no disk
    EXPECT_FALSE(ReadTableFile(folder / "huge.qvd"));
    const std::string path = folder / "t.qvd", firstCell(3 << 20, 'a');
    test::WriteTestFile(path, FileFromCounts({"2", "5", "10", "-", firstCell}));
    int calls = 0;
    Loaded(ReadTableFile(path, [&](uint64_t, uint64_t) {
        std::ofstream(path, std::ios::app) << "grown\r\n";
        return ++calls < 1000;
    }));
    EXPECT_EQ(grid_.Cell(1, 0), firstCell);
    EXPECT_EQ(grid_.CellText(1, 1) + "|" + std::to_string(calls > 0), "|1");
}

}  // namespace
}  // namespace qv
