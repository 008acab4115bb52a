// Tables written and read back, and inputs at the edges of what the readers take.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "history/history_file.h"
#include "platform/line_writer.h"
#include "platform/temp_folder.h"
#include "support/grid_fixtures.h"
#include "table/table_file_reader.h"
#include "table/table_file_writer.h"

namespace qv {
namespace {

// Any bytes but CR and 0x1A, invalid CP932 and lone LFs included.
std::string RandomText(std::mt19937& random) {
    std::uniform_int_distribution<int> length(0, 12);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string text(static_cast<size_t>(length(random)), '\0');
    for (char& c : text) {
        do {
            c = static_cast<char>(byte(random));
        } while (c == '\r' || c == '\x1A');
    }
    return text;
}

TEST(TableFileRoundTripTest, AnyTableWithoutCrOrCtrlZReadsBackIdentical) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> cols(1, 7), rows(1, 25), width(-5, 400);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TableGrid grid(test::MainGridShape());
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

        std::optional<TableFileContent> content =
            ParseTableFile(BuildTableFile(grid, title, window));
        ASSERT_TRUE(content);
        EXPECT_EQ(content->window.left, window.left);
        EXPECT_EQ(content->window.top, window.top);
        TableGrid reread(test::MainGridShape());
        std::string rereadTitle;
        ApplyTableFile(std::move(*content), reread, rereadTitle);

        ASSERT_EQ(rereadTitle, title);
        ASSERT_EQ(reread.ColCount(), grid.ColCount());
        ASSERT_EQ(reread.RowCount(), grid.RowCount());
        for (int32_t c = 1; c < grid.ColCount(); ++c) {
            ASSERT_EQ(reread.ColWidth(c), grid.ColWidth(c));
            for (int32_t r = 0; r < grid.RowCount(); ++r) {
                ASSERT_EQ(reread.Cell(c, r), grid.Cell(c, r)) << c << "," << r;
            }
        }
    }
}

TEST(TableFileEdgeTest, AOneLineGigabyteFileIsRejectedFromItsFirstBytes) {
    test::TempFolder folder;
    const std::string path = folder / "huge.qvd";
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "Quorvanf", 8), 8);
    ASSERT_EQ(ftruncate(fd, off_t{1} << 30), 0);  // sparse: costs no disk
    close(fd);
    EXPECT_FALSE(ReadTableFile(path));
}

TEST(HistoryFileEdgeTest, AHundredThousandEntriesLoadInOrder) {
    test::TempFolder folder;
    const std::string table = folder / "t.qvd";
    test::WriteTestFile(table, "Quorvane\r\n");
    LineWriter out;
    for (int i = 0; i < 100'000; ++i) {
        out.Line(i % 3 == 2 ? folder / "gone.qvd" : table);
        out.Line("title " + std::to_string(i));
    }
    const std::string history = folder / "Quorvane.hst";
    test::WriteTestFile(history, out.Take());
    TitleList list;
    LoadHistoryFile(history, list);
    ASSERT_EQ(list.Size(), 66'667u);
    EXPECT_EQ(list.Title(0), "title 0");
    EXPECT_EQ(list.Title(1), "title 1");
    EXPECT_EQ(list.Title(2), "title 3");
    EXPECT_EQ(list.Title(66'666), "title 99999");
}

}  // namespace
}  // namespace qv
