// Cells placed a whole file at once are those appended one by one: the same blocks of lines in
// every column, or for a short table the same lines kept whole, and appending goes on alike.
#include "table/bulk_cells.h"

#include <gtest/gtest.h>

#include "platform/line_reader.h"

namespace qv {
namespace {

// How a column keeps its rows: each segment's rows, and for loaded lines its first line and
// stride.
std::string Shape(const CellColumn& column) {
    std::string shape;
    for (int32_t row = 0; row < column.Length();) {
        const CellColumn::Segment segment = column.SegmentAt(row, column.Length());
        shape += std::to_string(segment.rows);
        if (segment.lines != nullptr) {
            shape += " from line " + std::to_string(segment.lines->LineNumber(segment.offset)) +
                     " by " + std::to_string(segment.lineStride);
        }
        shape += "; ";
        row += segment.rows;
    }
    return shape;
}

std::string Shape(BulkCells& bulk) {
    std::string shape;
    for (const LoadedRuns::Run& run : bulk.TakeRuns(1)) {
        shape += "run of " + std::to_string(run.cols) + " x " + std::to_string(run.rows) +
                 " from line " + std::to_string(run.lines->firstLine) + "; ";
    }
    for (const auto& [col, column] : bulk.TakeColumns(1)) {
        shape += "column " + std::to_string(col) + ": " + Shape(column) + "\n";
    }
    return shape;
}

TEST(BulkCellsTest, RowsPlacedAtOnceAreThoseAppendedOneByOne) {
    struct Case {
        int cols, rows, firstRow;
    };
    for (const Case c :
         {Case{1, 5, 0}, {2, 10, 2}, {9, 1024, 0}, {9, 1025, 0}, {3, 3000, 1}, {1, 300'000, 0}}) {
        std::string bytes;
        for (int k = 0; k <= c.cols * c.rows; ++k) {  // and one line more
            bytes += std::to_string(k) + "\r\n";
        }
        auto buffer = std::make_shared<const std::string>(bytes);
        BulkCells atOnce(buffer, c.cols, BulkCells::Texts::EveryLine);
        ASSERT_TRUE(atOnce.AppendLineRows(c.firstRow, c.rows, *buffer));
        BulkCells oneByOne(buffer, c.cols, BulkCells::Texts::EveryLine);
        for (int k = 0; k < c.cols; ++k) {
            oneByOne.AppendEmpty(k, c.firstRow);
        }
        LineReader lines(*buffer);
        for (int k = 0; k < c.cols * c.rows; ++k) {
            oneByOne.Append(k % c.cols, lines.Next());
        }
        const std::string_view next = lines.Next();
        atOnce.Append(0, next);
        oneByOne.Append(0, next);
        EXPECT_EQ(Shape(atOnce), Shape(oneByOne)) << c.cols << " x " << c.rows;
    }
}

TEST(BulkCellsTest, RowsArePlacedAtOnceOnlyIntoAFreshBulkOfLines) {
    auto buffer = std::make_shared<const std::string>("a\r\nb\r\nc\r\nd\r\n");
    BulkCells started(buffer, 2, BulkCells::Texts::EveryLine);
    started.Append(0, std::string_view(buffer->data(), 1));
    EXPECT_FALSE(started.AppendLineRows(0, 1, std::string_view(*buffer).substr(3)));
    BulkCells anywhere(buffer, 2);
    EXPECT_FALSE(anywhere.AppendLineRows(0, 2, *buffer));
    BulkCells tooFew(buffer, 2, BulkCells::Texts::EveryLine);
    EXPECT_FALSE(tooFew.AppendLineRows(0, 3, *buffer));
    EXPECT_EQ(tooFew.FilledColumns(), 0);
}

}  // namespace
}  // namespace qv
