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
    for (const auto& [cols, rows] :
         {std::pair{1, 5}, {9, 1024}, {9, 1025}, {3, 3000}, {1, 300'000}}) {
        std::string bytes;
        for (int k = 0; k <= cols * rows; ++k) {  // and one line more
            bytes += std::to_string(k) + "\r\n";
        }
        auto buffer = std::make_shared<const std::string>(bytes);
        BulkCells atOnce(buffer, cols, BulkCells::Texts::EveryLine);
        ASSERT_TRUE(atOnce.AppendLineRows(rows, *buffer));
        BulkCells oneByOne(buffer, cols, BulkCells::Texts::EveryLine);
        LineReader lines(*buffer);
        for (int k = 0; k < cols * rows; ++k) {
            oneByOne.Append(k % cols, lines.Next());
        }
        const std::string_view next = lines.Next();
        atOnce.Append(0, next);
        oneByOne.Append(0, next);
        EXPECT_EQ(Shape(atOnce), Shape(oneByOne)) << cols << " x " << rows;
    }
}

TEST(BulkCellsTest, RowsArePlacedAtOnceOnlyIntoAFreshBulkOfLines) {
    auto buffer = std::make_shared<const std::string>("a\r\nb\r\nc\r\nd\r\n");
    BulkCells started(buffer, 2, BulkCells::Texts::EveryLine);
    started.Append(0, std::string_view(buffer->data(), 1));
    EXPECT_FALSE(started.AppendLineRows(1, std::string_view(*buffer).substr(3)));
    BulkCells anywhere(buffer, 2);
    EXPECT_FALSE(anywhere.AppendLineRows(2, *buffer));
    BulkCells tooFew(buffer, 2, BulkCells::Texts::EveryLine);
    EXPECT_FALSE(tooFew.AppendLineRows(3, *buffer));
    EXPECT_EQ(tooFew.FilledColumns(), 0);
}

}  // namespace
}  // namespace qv
